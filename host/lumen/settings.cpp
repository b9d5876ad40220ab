// Corvane stand-in for the host's Qt utility library.
#include "lumen/settings.h"

#include <QCoreApplication>
#include <QThread>

namespace lum
{
namespace
{
// QML refuses a singleton instance living on another thread than its engine, and the engine
// may register the module from its loader thread: keep the object on the application thread.
void moveToApplicationThread(Settings* settings)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (app && settings->thread() != app->thread() && settings->thread() == QThread::currentThread())
        settings->moveToThread(app->thread());
}
}

Settings::Settings() = default;

Settings* Settings::instance()
{
    static Settings* const settings = [] {
        auto* created = new Settings;
        moveToApplicationThread(created);
        return created;
    }();
    // Created before the application object existed: move it as soon as one does.
    moveToApplicationThread(settings);
    return settings;
}

int Settings::tooltipDelay() const
{
    return m_tooltipDelay;
}

void Settings::setTooltipDelay(int milliseconds)
{
    if (m_tooltipDelay == milliseconds)
        return;
    m_tooltipDelay = milliseconds;
    Q_EMIT tooltipDelayChanged();
}
}
