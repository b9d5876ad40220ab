// Corvane.Core tests.
#include "support/windows_dialogrecorder.h"
#include "support/windows_probe.h"

#include <harbor/hbhostapp.h>

#include <QApplication>
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

// Tooltips and message boxes are widgets: the host is a QApplication, and so is this runner.
int main(int argc, char** argv)
{
    QTEST_SET_MAIN_SOURCE_PATH
    QApplication app(argc, argv);
    WindowsSetup setup;
    return quick_test_main_with_setup(argc, argv, "windows", QUICK_TEST_SOURCE_DIR, &setup);
}

#include "windows_setup.moc"
