// Corvane.Core — QML extension module of the Corvane CAD application.
#include "windows/transientpopup.h"

#include "windows/transientpopup_p.h"

#include <harbor/hbapp.h>
#include <harbor/hbpopupfactory.h>
#include <harbor/hbquickhost.h>
#include <lumen/qtwindowparent.h>
#include <lumen/transientpopupcore.h>

#include <QPointer>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>

#include <cmath>

#include <wx/display.h>
#include <wx/window.h>

namespace core
{
namespace
{
// Far beyond any desktop, and far enough from INT_MAX that the host's scaling stays in range.
constexpr double MaxAnchorCoordinate = 1e7;
}

QPoint anchorToNative(const QPointF& global, const DisplayAt& displayAt, const FromDip& fromDip)
{
    // Conversions to int truncate toward zero, which is what the host expects.
    const QPoint truncated(int(global.x()), int(global.y()));
    const DisplayCorner display = displayAt(truncated);
    if (!display.found)
        return truncated;
    if (display.primary)
        return QPoint(fromDip(truncated.x()), fromDip(truncated.y()));
    return QPoint(display.left + fromDip(int(global.x() - display.left)),
                  display.top + fromDip(int(global.y() - display.top)));
}

QPoint anchorToNative(const QPointF& global)
{
    const auto displayAt = [](const QPoint& point) {
        DisplayCorner corner;
        const int index = wxDisplay::GetFromPoint(wxPoint(point.x(), point.y()));
        if (index == wxNOT_FOUND)
            return corner;
        const wxDisplay display(static_cast<unsigned>(index));
        const wxRect geometry = display.GetGeometry();
        corner.found = true;
        corner.primary = display.IsPrimary();
        corner.left = geometry.x;
        corner.top = geometry.y;
        return corner;
    };
    const auto fromDip = [](int value) { return wxWindowBase::FromDIP(value, nullptr); };
    return anchorToNative(global, displayAt, fromDip);
}

struct TransientPopup::Private
{
    bool requestFocusOnShow = true;
    int x = 0;
    int y = 0;
    // Guarded: a content item destroyed while set is never handed to the host.
    QPointer<QQuickItem> content;
    QPointer<lum::TransientPopupCore> core;
};

namespace
{
hb::HbPopupFactory* popupFactory()
{
    if (!hb::HbApp::s_app)
        return nullptr;
    hb::HbQuickHost* host = hb::HbApp::s_app->quickHost();
    return host ? host->popupFactory() : nullptr;
}
}

TransientPopup::TransientPopup(QObject* parent)
    : QObject(parent)
    , d(std::make_unique<Private>())
{
}

TransientPopup::~TransientPopup() = default;

QQuickItem* TransientPopup::content() const
{
    return d->content;
}

void TransientPopup::setContent(QQuickItem* content)
{
    if (d->content == content)
        return;
    if (d->content)
        QObject::disconnect(d->content, &QObject::destroyed, this, nullptr);
    d->content = content;
    // The guard reads null once the item is gone; bindings learn it from the signal.
    if (content)
        QObject::connect(content, &QObject::destroyed, this, &TransientPopup::contentChanged);
    Q_EMIT contentChanged();
}

int TransientPopup::x() const
{
    return d->x;
}

void TransientPopup::setX(int x)
{
    if (d->x == x)
        return;
    d->x = x;
    Q_EMIT xChanged();
}

int TransientPopup::y() const
{
    return d->y;
}

void TransientPopup::setY(int y)
{
    if (d->y == y)
        return;
    d->y = y;
    Q_EMIT yChanged();
}

bool TransientPopup::requestFocusOnShow() const
{
    return d->requestFocusOnShow;
}

void TransientPopup::setRequestFocusOnShow(bool requestFocusOnShow)
{
    if (d->requestFocusOnShow == requestFocusOnShow)
        return;
    d->requestFocusOnShow = requestFocusOnShow;
    Q_EMIT requestFocusOnShowChanged();
}

bool TransientPopup::isVisible() const
{
    return !d->core.isNull();
}

void TransientPopup::setVisible(bool visible)
{
    if (visible)
        show();
    else
        close();
}

void TransientPopup::show()
{
    hb::HbPopupFactory* factory = popupFactory();
    if (!factory)
        return;
    attach(factory->createTransientPopup(d->x, d->y, d->content, nullptr, !d->requestFocusOnShow));
}

void TransientPopup::close()
{
    if (d->core)
        d->core->requestClose();
}

lum::QtWindowParent* TransientPopup::showBelow(QQuickItem* item)
{
    return showBelow(item, 0, 0);
}

lum::QtWindowParent* TransientPopup::showBelow(QQuickItem* item, double xOffset, double yOffset)
{
    hb::HbPopupFactory* factory = item ? popupFactory() : nullptr;
    if (!factory)
        return nullptr;

    const QPointF global = item->mapToGlobal(QPointF(xOffset, item->height() + yOffset));
    // Non-finite or far-off anchors (NaN, infinite or huge offsets) have no native point: no popup.
    if (!std::isfinite(global.x()) || !std::isfinite(global.y()) || std::abs(global.x()) > MaxAnchorCoordinate
        || std::abs(global.y()) > MaxAnchorCoordinate)
        return nullptr;
    const QPoint native = anchorToNative(global);
    QObject* parent = nullptr;
    if (QQuickWindow* window = item->window())
        parent = window->property("__transientPopupParent").value<QObject*>();

    // Handlers of the signals below may delete this object.
    const QPointer<TransientPopup> self(this);
    attach(factory->createTransientPopup(native.x(), native.y(), d->content, parent, !d->requestFocusOnShow));
    if (!self || !d->core)
        return nullptr;
    setX(native.x());
    if (!self)
        return nullptr;
    setY(native.y());
    if (!self || !d->core)
        return nullptr;
    lum::QtWindowParent* bridge = d->core->windowParent();
    // The bridge belongs to the host; QML must never collect it.
    if (bridge)
        QQmlEngine::setObjectOwnership(bridge, QQmlEngine::CppOwnership);
    return bridge;
}

void TransientPopup::attach(lum::TransientPopupCore* core)
{
    // The old popup is not closed; it is only no longer tracked.
    if (d->core)
        QObject::disconnect(d->core, nullptr, this, nullptr);
    const bool wasTracked = !d->core.isNull();
    d->core = core;
    if (core) {
        // Listened to before the announcement: a popup that closes while a handler of
        // visibleChanged runs (one that shows a box, say) must not stay tracked as open.
        QObject::connect(core, &lum::TransientPopupCore::closed, this, [this, core] {
            QObject::disconnect(core, nullptr, this, nullptr);
            d->core = nullptr;
            Q_EMIT visibleChanged();
        });
        Q_EMIT visibleChanged();
    } else if (wasTracked) {
        Q_EMIT visibleChanged();
    }
}
}
