// Corvane.Core tests.
#include "support/windows_dialogrecorder.h"
#include "support/windows_probe.h"

#include <harbor/hbhostapp.h>

#include <QQmlEngine>
#include <QtQuickTest>

#include <memory>

// Plays the host for the window tests: one application object for the whole run.
class WindowsSetup : public QObject
{
    Q_OBJECT

public Q_SLOTS:
    void applicationAvailable()
    {
        m_app = std::make_unique<hb::HbHostApp>();
    }

    void qmlEngineAvailable(QQmlEngine*)
    {
        qmlRegisterType<cvtest::DialogRecorder>("Corvane.Test", 1, 0, "DialogRecorder");
        qmlRegisterSingletonType<cvtest::WindowsProbe>("Corvane.Test", 1, 0, "WindowsProbe",
                                                       [](QQmlEngine*, QJSEngine*) -> QObject* {
                                                           return new cvtest::WindowsProbe;
                                                       });
    }

    void cleanupTestCase()
    {
        m_app.reset();
    }

private:
    std::unique_ptr<hb::HbHostApp> m_app;
};

QUICK_TEST_MAIN_WITH_SETUP(windows, WindowsSetup)

#include "windows_setup.moc"
