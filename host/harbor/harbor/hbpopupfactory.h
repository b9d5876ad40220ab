// Corvane stand-in for the host's application-object library.
#pragma once

#include "harbor_export.h"

class QObject;
class QQuickItem;

namespace lum
{
class TransientPopupCore;
}

namespace hb
{
// Opens transient popups: frameless Qt Quick windows that show a QML item.
class HARBOR_EXPORT HbPopupFactory
{
public:
    HbPopupFactory();
    virtual ~HbPopupFactory();
    HbPopupFactory(const HbPopupFactory&) = delete;
    HbPopupFactory& operator=(const HbPopupFactory&) = delete;

    /// Opens a popup window with its top-left corner at the native screen point (x, y), showing
    /// content (borrowed while open, handed back to its former parent item on closing). The
    /// window takes the keyboard focus unless noFocus. It closes on Escape, on a mouse press
    /// outside it and on requestClose(); then the returned core emits closed() and deletes
    /// itself from the event loop. A QWindow parent, or a bridge with a window, becomes the
    /// popup's transient parent. The popup window carries its own bridge in the dynamic property
    /// "__transientPopupParent", so popups opened from inside it are owned by it.
    virtual lum::TransientPopupCore* createTransientPopup(int x, int y, QQuickItem* content, QObject* parent,
                                                          bool noFocus);
};
}
