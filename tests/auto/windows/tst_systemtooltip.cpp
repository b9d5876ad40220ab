// Corvane.Core tests.
#include "windows/systemtooltip.h"

#include <lumen/settings.h>

#include <QApplication>
#include <QToolTip>
#include <QtTest>

#include <cstdio>
#include <cstdlib>

using core::SystemTooltip;

namespace
{
// Removes Qt's tooltip window at once (hiding fades it out over a while).
void dropTipWindow()
{
    const QWidgetList widgets = QApplication::topLevelWidgets();
    for (QWidget* widget : widgets)
        if (widget->inherits("QTipLabel"))
            delete widget;
}

// The offscreen platform cannot stack windows and says so for every new tooltip window.
void expectNewTipWindow()
{
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        QTest::ignoreMessage(QtWarningMsg, "This plugin does not support raise()");
}
}

class tst_SystemTooltip : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { lum::Settings::instance()->setTooltipDelay(30); }
    void cleanup() { SystemTooltip().setVisible(false), dropTipWindow(); }

    void shouldShareOneTooltipBetweenAllItems()
    {
        SystemTooltip a, b;
        a.setText(QStringLiteral("Alpha"));
        b.setText(QStringLiteral("Beta"));
        QSignalSpy spyA(&a, &SystemTooltip::tipVisibleChanged);
        QSignalSpy spyB(&b, &SystemTooltip::tipVisibleChanged);
        // Hiding what is not pending changes nothing
        a.setVisible(false);
        QCOMPARE(spyA.count(), 0);
        // Pending at once for every item, shown after the host's delay
        a.setVisible(true);
        QVERIFY(spyA.count() == 1 && a.isVisible() && b.isVisible() && !QToolTip::isVisible());
        expectNewTipWindow();
        QTRY_VERIFY_WITH_TIMEOUT(QToolTip::isVisible(), 2000);
        QCOMPARE(QToolTip::text(), QStringLiteral("Alpha"));
        // A new text waits for the next showing; another item replaces the shown text at once
        a.setText(QStringLiteral("After"));
        QTest::qWait(70);
        QCOMPARE(QToolTip::text(), QStringLiteral("Alpha"));
        b.setVisible(true);
        QVERIFY(QToolTip::text() == QStringLiteral("Beta") && spyB.count() == 0);
        // Any item hides it for all
        a.setVisible(false);
        QTRY_VERIFY(!QToolTip::isVisible());
        QVERIFY(spyA.count() == 2 && !b.isVisible());
    }

    void shouldShowAtOnceWithANegativeDelay()
    {
        lum::Settings::instance()->setTooltipDelay(-5);
        SystemTooltip tip;
        tip.setText(QStringLiteral("Now"));
        expectNewTipWindow();
        tip.setVisible(true);
        QTRY_VERIFY_WITH_TIMEOUT(QToolTip::isVisible(), 2000);
    }
};

// The shared timer goes with the application object: a host that quits while a tooltip is
// pending must neither warn nor crash at exit, and a later application object gets a fresh timer.
namespace
{
// Outside QtTest any message means that an application object's start or end went wrong; only
// the test machine's missing runtime directory is not ours to answer for.
void failOnAnyMessage(QtMsgType, const QMessageLogContext&, const QString& message)
{
    if (message.startsWith(QLatin1String("QStandardPaths:")))
        return;
    std::fprintf(stderr, "unexpected message: %s\n", qPrintable(message));
    std::_Exit(3);
}

void quitWithPendingTooltip(int argc, char** argv)
{
    QApplication app(argc, argv);
    SystemTooltip tip;
    tip.setText(QStringLiteral("Still pending"));
    tip.setVisible(true);
    if (!tip.isVisible())
        std::_Exit(4);
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
        // Nothing is pending in a new application object after one quit with a tooltip pending
        if (SystemTooltip().isVisible())
            return 7;
        tst_SystemTooltip test;
        status = QTest::qExec(&test, argc, argv);
    }
    qInstallMessageHandler(failOnAnyMessage);
    if (status == 0)
        quitWithPendingTooltip(argc, argv);
    return status;
}

#include "tst_systemtooltip.moc"
