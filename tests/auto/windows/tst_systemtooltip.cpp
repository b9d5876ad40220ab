// Corvane.Core tests: the tooltip all items share, across application objects.
#include "windows/systemtooltip.h"

#include <lumen/settings.h>

#include <QApplication>
#include <QToolTip>
#include <QtTest>

#include <cstdio>
#include <cstdlib>

using core::SystemTooltip;

class tst_SystemTooltip : public QObject
{
    Q_OBJECT

    // Each case gets a new tooltip window; the offscreen platform cannot stack it and says so.
    static void expectNewTipWindow() { QTest::ignoreMessage(QtWarningMsg, "This plugin does not support raise()"); }

private Q_SLOTS:
    void init() { lum::Settings::instance()->setTooltipDelay(30); }
    void cleanup()
    {
        SystemTooltip().setVisible(false);
        // Hiding only fades Qt's tooltip window out
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (widget->inherits("QTipLabel"))
                delete widget;
    }

    void shouldShareOneTooltipBetweenAllItems()
    {
        SystemTooltip a, b;
        a.setText(QStringLiteral("Alpha"));
        b.setText(QStringLiteral("Beta"));
        QSignalSpy spyA(&a, &SystemTooltip::tipVisibleChanged);
        QSignalSpy spyB(&b, &SystemTooltip::tipVisibleChanged);
        // Hiding what is not pending changes nothing; showing is pending at once for every item
        a.setVisible(false);
        a.setVisible(true);
        QVERIFY(spyA.count() == 1 && a.isVisible() && b.isVisible() && !QToolTip::isVisible());
        expectNewTipWindow();
        QTRY_VERIFY_WITH_TIMEOUT(QToolTip::isVisible(), 2000);
        QCOMPARE(QToolTip::text(), QStringLiteral("Alpha"));
        // Another item replaces the shown text at once
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

// Outside QtTest any message but the test machine's missing runtime directory means that an
// application object's start or end went wrong.
static void failOnAnyMessage(QtMsgType, const QMessageLogContext&, const QString& message)
{
    if (!message.startsWith(QLatin1String("QStandardPaths:")))
        std::fprintf(stderr, "unexpected message: %s\n", qPrintable(message)), std::_Exit(3);
}

int main(int argc, char** argv)
{
    const QtMessageHandler defaultHandler = qInstallMessageHandler(failOnAnyMessage);
    {
        // The shared timer goes with the application object: quitting with a tooltip pending
        // neither warns nor crashes
        QApplication app(argc, argv);
        SystemTooltip tip;
        tip.setVisible(true);
    }
    qInstallMessageHandler(defaultHandler);
    QApplication app(argc, argv);
    tst_SystemTooltip test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_systemtooltip.moc"
