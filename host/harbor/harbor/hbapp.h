// Corvane stand-in for the host's application-object library.
#pragma once

#include "harbor_export.h"

namespace ves
{
class IDialogFactory;
}

namespace hb
{
class HbQuickHost;

// The host application object. Create it once, after the Qt application object; creating the
// first one starts wxWidgets for the process (it needs a display; see wxReady()).
class HARBOR_EXPORT HbApp
{
public:
    HbApp();
    virtual ~HbApp();
    HbApp(const HbApp&) = delete;
    HbApp& operator=(const HbApp&) = delete;

    /// The one application object, or null before it exists and after it is gone.
    static HbApp* s_app;

    /// The dialog factory handed to setDialogFactory(), or null.
    virtual ves::IDialogFactory* dialogFactory();
    /// The Qt Quick host handed to setQuickHost(), or null while there is none.
    virtual HbQuickHost* quickHost();

    /// Neither is owned; pass null to take it away again.
    void setDialogFactory(ves::IDialogFactory* factory);
    void setQuickHost(HbQuickHost* host);

    /// Whether wxWidgets started; false without a display.
    static bool wxReady();

private:
    ves::IDialogFactory* m_dialogFactory = nullptr;
    HbQuickHost* m_quickHost = nullptr;
};
}
