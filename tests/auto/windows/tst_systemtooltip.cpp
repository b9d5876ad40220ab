// Corvane.Core tests.
#include "windows/systemtooltip.h"

#include <lumen/settings.h>

#include <QApplication>
#include <QToolTip>
#include <QtTest>

#include <cstdio>
#include <cstdlib>

using core::SystemTooltip;

// The shared tooltip timer must go with the application object: a host that quits while a
// tooltip is pending must neither warn nor crash at exit, and a later application object must
// get a working timer again.
class tst_SystemTooltip : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void shouldStartIdleAfterAnEarlierApplicationQuit()
    {
        // Given an earlier application object that quit with a tooltip pending (see main)
        SystemTooltip tip;
        tip.setText(QStringLiteral("Fresh"));

        // Then nothing is pending in this one
        QVERIFY(!tip.isVisible());
    }

    void shouldScheduleWithTheHostDelay()
    {
        lum::Settings::instance()->setTooltipDelay(30);
        SystemTooltip tip;
        tip.setText(QStringLiteral("Pending"));
        QSignalSpy spy(&tip, &SystemTooltip::tipVisibleChanged);

        tip.setVisible(true);

        QCOMPARE(spy.count(), 1);
        QVERIFY(tip.isVisible());
        if (QGuiApplication::platformName() == QLatin1String("offscreen"))
            QTest::ignoreMessage(QtWarningMsg, "This plugin does not support raise()");
        QTRY_VERIFY_WITH_TIMEOUT(QToolTip::isVisible(), 2000);
        QCOMPARE(QToolTip::text(), QStringLiteral("Pending"));

        // Qt's tooltip window would otherwise outlive this application object half-alive.
        tip.setVisible(false);
        const QWidgetList widgets = QApplication::topLevelWidgets();
        for (QWidget* widget : widgets) {
            if (widget->inherits("QTipLabel"))
                delete widget;
        }
    }
};

namespace
{
// Outside QtTest, any message means that an application object's start or end went wrong. Only
// the test machine's missing runtime directory is not ours to answer for.
void failOnAnyMessage(QtMsgType, const QMessageLogContext&, const QString& message)
{
    if (message.startsWith(QLatin1String("QStandardPaths:")))
        return;
    std::fprintf(stderr, "unexpected message: %s\n", qPrintable(message));
    std::_Exit(3);
}

// Leaves a tooltip pending while the application object goes away.
void quitWithPendingTooltip(int argc, char** argv)
{
    QApplication app(argc, argv);
    qInstallMessageHandler(failOnAnyMessage);
    SystemTooltip tip;
    tip.setText(QStringLiteral("Still pending"));
    tip.setVisible(true);
    if (!tip.isVisible())
        std::_Exit(4);
}
}

// Qt's tooltip needs widgets; without them the item schedules and hides without showing.
void runWithoutWidgets(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    lum::Settings::instance()->setTooltipDelay(1);
    SystemTooltip tip;
    tip.setText(QStringLiteral("No widgets"));
    tip.setVisible(true);
    QTest::qWait(20);
    if (!tip.isVisible())
        std::_Exit(5);
    tip.setVisible(false);
    if (tip.isVisible())
        std::_Exit(6);
}

int main(int argc, char** argv)
{
    const QtMessageHandler defaultHandler = qInstallMessageHandler(failOnAnyMessage);
    runWithoutWidgets(argc, argv);
    quitWithPendingTooltip(argc, argv);
    qInstallMessageHandler(defaultHandler);
    int status = 0;
    {
        QApplication app(argc, argv);
        tst_SystemTooltip test;
        status = QTest::qExec(&test, argc, argv);
    }
    if (status == 0)
        quitWithPendingTooltip(argc, argv);
    return status;
}

#include "tst_systemtooltip.moc"
