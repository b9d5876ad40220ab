// Corvane.Core — QML extension module of the Corvane CAD application.
#pragma once

#include <lumen/qtwindowparent.h>

#include <QObject>
#include <QQuickItem>

#include <memory>

namespace lum
{
class TransientPopupCore;
}

namespace core
{
// "TransientPopup": shows a QML item in a short-lived popup window of the host, at a screen point
// or below an anchor item. The host creates and runs the window; this object tracks whether the
// popup it opened last is still open and can ask it to close. Opening again while a popup is open
// replaces the tracked popup without closing the old one. Destroying this object leaves an open
// popup alone.
class TransientPopup : public QObject
{
    Q_OBJECT
    /// The item shown in the popup; not owned. Used at the next opening.
    Q_PROPERTY(QQuickItem* content READ content WRITE setContent NOTIFY contentChanged)
    /// Screen point of the popup in the host's native pixels; used by show(), set by showBelow().
    Q_PROPERTY(int x READ x WRITE setX NOTIFY xChanged)
    Q_PROPERTY(int y READ y WRITE setY NOTIFY yChanged)
    /// Whether the popup takes the keyboard focus when it opens; true by default.
    Q_PROPERTY(bool requestFocusOnShow READ requestFocusOnShow WRITE setRequestFocusOnShow NOTIFY requestFocusOnShowChanged)
    /// True while the tracked popup is open. Writing true calls show(), false calls close(); the
    /// change is reported only when the popup opens or reports that it closed.
    Q_PROPERTY(bool visible READ isVisible WRITE setVisible NOTIFY visibleChanged)

public:
    explicit TransientPopup(QObject* parent = nullptr);
    ~TransientPopup() override;

    QQuickItem* content() const;
    void setContent(QQuickItem* content);

    int x() const;
    void setX(int x);

    int y() const;
    void setY(int y);

    bool requestFocusOnShow() const;
    void setRequestFocusOnShow(bool requestFocusOnShow);

    bool isVisible() const;
    void setVisible(bool visible);

public Q_SLOTS:
    /// Opens the popup at (x, y). Does nothing without the host's Qt Quick host.
    void show();
    /// Asks the open popup to close; visible turns false when it has.
    void close();
    /// Opens the popup at the bottom-left corner of item; see the overload.
    lum::QtWindowParent* showBelow(QQuickItem* item);
    /// Opens the popup at the bottom-left corner of item moved by the offsets, and stores the
    /// native point in x and y. Returns the popup window's bridge, or null when no popup opened
    /// (null item, no host, or the host made none).
    lum::QtWindowParent* showBelow(QQuickItem* item, double xOffset, double yOffset);

Q_SIGNALS:
    void contentChanged();
    void xChanged();
    void yChanged();
    void requestFocusOnShowChanged();
    void visibleChanged();

private:
    void attach(lum::TransientPopupCore* core);

    struct Private;
    const std::unique_ptr<Private> d;
};
}
