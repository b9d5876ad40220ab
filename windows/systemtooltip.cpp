// Corvane.Core — QML extension module of the Corvane CAD application.
#include "windows/systemtooltip.h"

#include <lumen/settings.h>

#include <QApplication>
#include <QCursor>
#include <QPointer>
#include <QTimer>
#include <QToolTip>

#include <algorithm>

namespace core
{
namespace
{
// Qt's tooltip is a widget; an application without widgets (a bare QML viewer) has none.
bool hasTooltips()
{
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}

bool tooltipShown()
{
    return hasTooltips() && QToolTip::isVisible();
}

// The delay timer and pending text that all tooltip items share. While the timer runs, every
// expiry shows the text again at the cursor's current position.
class TooltipTimer : public QObject
{
public:
    explicit TooltipTimer(QObject* parent)
        : QObject(parent)
    {
        QObject::connect(&timer, &QTimer::timeout, this, &TooltipTimer::showTip);
    }

    void showTip()
    {
        if (hasTooltips())
            QToolTip::showText(QCursor::pos(), text, nullptr);
    }

    QString text;
    QTimer timer;
};

// The application object owns the shared timer, so it goes while Qt's timer machinery and
// tooltip window still exist; a static object would be destroyed after them at exit. A later
// application object gets a fresh one.
TooltipTimer* tooltipTimer()
{
    static QPointer<TooltipTimer> instance;
    if (!instance)
        instance = new TooltipTimer(QCoreApplication::instance());
    return instance;
}
}

struct SystemTooltip::Private
{
    QString text;
    bool followItem = false;
};

SystemTooltip::SystemTooltip(QQuickItem* parent)
    : QQuickItem(parent)
    , d(std::make_unique<Private>())
{
    // The item draws nothing; it starts hidden, as the tooltip does, so that the first write of
    // true from QML is a change (see itemChange).
    QQuickItem::setVisible(false);
    d->followItem = true;
}

SystemTooltip::~SystemTooltip() = default;

QString SystemTooltip::text() const
{
    return d->text;
}

void SystemTooltip::setText(const QString& text)
{
    if (d->text == text)
        return;
    d->text = text;
    Q_EMIT textChanged();
}

bool SystemTooltip::isVisible() const
{
    if (tooltipTimer()->timer.isActive())
        return true;
    return tooltipShown() && QToolTip::text() == d->text;
}

void SystemTooltip::setVisible(bool visible)
{
    const bool old = isVisible();
    TooltipTimer* shared = tooltipTimer();
    if (visible) {
        shared->text = d->text;
        if (tooltipShown()) {
            shared->showTip();
        } else {
            // A negative delay counts as none; Qt would refuse it and the tip would never show.
            shared->timer.setInterval(std::max(0, lum::Settings::instance()->tooltipDelay()));
            shared->timer.start();
        }
    } else {
        shared->timer.stop();
        if (hasTooltips())
            QToolTip::hideText();
    }
    if (visible != old)
        Q_EMIT tipVisibleChanged();
}

void SystemTooltip::itemChange(ItemChange change, const ItemChangeData& value)
{
    QQuickItem::itemChange(change, value);
    if (change == ItemVisibleHasChanged && d->followItem)
        setVisible(value.boolValue);
}
}
