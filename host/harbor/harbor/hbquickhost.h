// Corvane stand-in for the host's application-object library.
#pragma once

#include "harbor_export.h"

#include <memory>

namespace hb
{
class HbPopupFactory;

// The host's Qt Quick side: the services that QML panels reach through the application object.
class HARBOR_EXPORT HbQuickHost
{
public:
    HbQuickHost();
    virtual ~HbQuickHost();
    HbQuickHost(const HbQuickHost&) = delete;
    HbQuickHost& operator=(const HbQuickHost&) = delete;

    /// The factory handed to setPopupFactory(), or the host's own one that opens real windows.
    virtual HbPopupFactory* popupFactory();
    /// Not owned; null returns to the host's own factory.
    void setPopupFactory(HbPopupFactory* factory);

private:
    std::unique_ptr<HbPopupFactory> m_ownFactory;
    HbPopupFactory* m_factory = nullptr;
};
}
