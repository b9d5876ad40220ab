// Corvane.Core tests.
#include "windows/transientpopup.h"
#include "windows/transientpopup_p.h"

#include <harbor/hbapp.h>
#include <harbor/hbpopupfactory.h>
#include <harbor/hbquickhost.h>
#include <lumen/qtwindowparent.h>
#include <lumen/transientpopupcore.h>

#include <QPointer>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

using core::DisplayCorner;
using core::TransientPopup;

namespace
{
class FakeCore : public lum::TransientPopupCore
{
public:
    FakeCore()
    {
        setWindowParent(new lum::QtWindowParent(this));
    }

    void requestClose() override
    {
        ++closeRequests;
        lum::TransientPopupCore::requestClose();
    }

    int closeRequests = 0;
};

struct FactoryCall
{
    QPoint at;
    QQuickItem* content;
    QObject* parent;
    bool noFocus;
};

// Hands out fake cores (or none) and records what it was asked for.
class RecordingFactory : public hb::HbPopupFactory
{
public:
    lum::TransientPopupCore* createTransientPopup(int x, int y, QQuickItem* content, QObject* parent,
                                                  bool noFocus) override
    {
        calls.append({QPoint(x, y), content, parent, noFocus});
        if (refuse)
            return nullptr;
        auto* core = new FakeCore;
        cores.append(core);
        return core;
    }

    QList<FactoryCall> calls;
    QList<QPointer<FakeCore>> cores;
    bool refuse = false;
};

// The order in which a popup object's signals came.
class SignalLog : public QObject
{
public:
    explicit SignalLog(TransientPopup* popup)
    {
        connect(popup, &TransientPopup::visibleChanged, this, [this] { names << QStringLiteral("visible"); });
        connect(popup, &TransientPopup::xChanged, this, [this] { names << QStringLiteral("x"); });
        connect(popup, &TransientPopup::yChanged, this, [this] { names << QStringLiteral("y"); });
    }
    QStringList names;
};

DisplayCorner displayOf(const QList<QRect>& displays, int primary, const QPoint& point)
{
    for (int i = 0; i < displays.size(); ++i) {
        if (displays.at(i).contains(point))
            return {true, i == primary, displays.at(i).left(), displays.at(i).top()};
    }
    return {};
}
}

class tst_TransientPopup : public QObject
{
    Q_OBJECT

    std::unique_ptr<hb::HbApp> m_app;
    std::unique_ptr<hb::HbQuickHost> m_host;
    RecordingFactory* m_factory = nullptr;
    std::unique_ptr<QQuickWindow> m_window;
    QQuickItem* m_anchor = nullptr;

    FakeCore* core(int i = 0) const { return m_factory->cores.value(i); }

private Q_SLOTS:
    void initTestCase()
    {
        m_app = std::make_unique<hb::HbApp>();
        m_host = std::make_unique<hb::HbQuickHost>();
        m_app->setQuickHost(m_host.get());
        m_window = std::make_unique<QQuickWindow>();
        m_window->setGeometry(40, 30, 300, 200);
        m_anchor = new QQuickItem(m_window->contentItem());
        m_anchor->setPosition(QPointF(10.5, 20));
        m_anchor->setSize(QSizeF(80, 24.25));
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }
    void cleanupTestCase()
    {
        m_window.reset();
        m_app->setQuickHost(nullptr);
        m_host.reset();
        m_app.reset();
    }
    void init()
    {
        m_factory = new RecordingFactory;
        m_host->setPopupFactory(m_factory);
    }
    void cleanup()
    {
        m_host->setPopupFactory(nullptr);
        for (const QPointer<FakeCore>& core : qAsConst(m_factory->cores))
            delete core.data();
        delete m_factory;
        m_window->setProperty("__transientPopupParent", QVariant());
    }

    void shouldConvertAnchorsPerDisplay_data()
    {
        QTest::addColumn<QPointF>("global");
        QTest::addColumn<QPoint>("expected");
        // Two monitors side by side, the primary on the left, and one to its left above.
        QTest::newRow("primary truncates before scaling") << QPointF(100.7, 200.2) << QPoint(200, 400);
        QTest::newRow("secondary scales only the offset") << QPointF(2020, 50) << QPoint(2120, 100);
        QTest::newRow("secondary with fractions") << QPointF(2020.9, 50.9) << QPoint(2120, 100);
        QTest::newRow("secondary left of the primary") << QPointF(-1000.5, -300.5) << QPoint(-82, 198);
        QTest::newRow("no display: truncated toward zero") << QPointF(-5000.7, 3000.9) << QPoint(-5000, 3000);
    }
    void shouldConvertAnchorsPerDisplay()
    {
        QFETCH(QPointF, global);
        const QList<QRect> displays{QRect(0, 0, 1920, 1080), QRect(1920, 0, 2560, 1440), QRect(-1920, -800, 1920, 1080)};
        const auto displayAt = [&displays](const QPoint& point) { return displayOf(displays, 0, point); };
        QTEST(core::anchorToNative(global, displayAt, [](int value) { return 2 * value; }), "expected");
    }

    void shouldConvertWithTheRealDisplays()
    {
        if (!hb::HbApp::wxReady())
            QSKIP("wxWidgets has no display here");
        // The X server's screen starts at the origin; this platform does not scale.
        QCOMPARE(core::anchorToNative(QPointF(10.9, 20.2)), QPoint(10, 20));
        QCOMPARE(core::anchorToNative(QPointF(-20000.6, 70000.2)), QPoint(-20000, 70000));
    }

    void shouldDoNothingWithoutHost_data()
    {
        QTest::addColumn<bool>("withApp");
        QTest::newRow("no application object") << false;
        QTest::newRow("no Qt Quick host") << true;
    }
    void shouldDoNothingWithoutHost()
    {
        QFETCH(bool, withApp);
        TransientPopup popup;
        QSignalSpy spy(&popup, &TransientPopup::visibleChanged);
        hb::HbApp* const app = hb::HbApp::s_app;
        if (withApp)
            m_app->setQuickHost(nullptr);
        else
            hb::HbApp::s_app = nullptr;
        popup.show();
        lum::QtWindowParent* bridge = popup.showBelow(m_anchor);
        hb::HbApp::s_app = app;
        m_app->setQuickHost(m_host.get());
        QCOMPARE(bridge, nullptr);
        QCOMPARE(m_factory->calls.size(), 0);
        QCOMPARE(spy.count(), 0);
        QVERIFY(!popup.isVisible());
    }

    void shouldOpenAtTheStoredPointWithFocusArgument_data()
    {
        QTest::addColumn<bool>("requestFocus");
        QTest::addColumn<bool>("throughVisible");
        QTest::newRow("show, focus by default") << true << false;
        QTest::newRow("show, no focus") << false << false;
        QTest::newRow("visible written true") << true << true;
    }
    void shouldOpenAtTheStoredPointWithFocusArgument()
    {
        QFETCH(bool, requestFocus);
        QFETCH(bool, throughVisible);
        TransientPopup popup;
        QSignalSpy spy(&popup, &TransientPopup::visibleChanged);
        // A destroyed content is never handed to the host
        auto* gone = new QQuickItem;
        popup.setContent(gone);
        delete gone;
        QCOMPARE(popup.content(), nullptr);
        popup.setVisible(false);
        QCOMPARE(m_factory->calls.size(), 0);
        QQuickItem content;
        popup.setContent(&content);
        popup.setX(300);
        popup.setY(-40);
        popup.setRequestFocusOnShow(requestFocus);
        throughVisible ? popup.setVisible(true) : popup.show();
        QCOMPARE(m_factory->calls.size(), 1);
        const FactoryCall call = m_factory->calls.first();
        QCOMPARE(call.at, QPoint(300, -40));
        QCOMPARE(call.content, &content);
        QCOMPARE(call.parent, nullptr);
        QCOMPARE(call.noFocus, !requestFocus);
        QCOMPARE(spy.count(), 1);
    }

    void shouldTrackThePopupUntilItReportsClosed()
    {
        TransientPopup popup;
        QSignalSpy spy(&popup, &TransientPopup::visibleChanged);
        popup.show();
        QCOMPARE(spy.count(), 1);
        // Closing asks the popup, and the object stays visible until the popup reports closed()
        popup.setVisible(false);
        QCOMPARE(core()->closeRequests, 1);
        QVERIFY(popup.isVisible());
        QTRY_VERIFY(!popup.isVisible());
        QCOMPARE(spy.count(), 2);
        // A later closed() of the same core is no longer heard
        Q_EMIT core()->closed();
        QCOMPARE(spy.count(), 2);
    }

    void shouldReadInvisibleSilentlyWhenTheCoreIsDeleted()
    {
        TransientPopup popup;
        popup.show();
        QSignalSpy spy(&popup, &TransientPopup::visibleChanged);
        delete core();
        QVERIFY(!popup.isVisible());
        QCOMPARE(spy.count(), 0);
        popup.close();
    }

    void shouldTrackOnlyTheNewestPopup()
    {
        TransientPopup popup;
        popup.show();
        QSignalSpy spy(&popup, &TransientPopup::visibleChanged);
        popup.show();
        QCOMPARE(spy.count(), 1);
        QCOMPARE(m_factory->cores.size(), 2);
        QCOMPARE(core(0)->closeRequests, 0);
        Q_EMIT core(0)->closed();
        QVERIFY(popup.isVisible());
        QCOMPARE(spy.count(), 1);
        popup.close();
        QCOMPARE(core(0)->closeRequests, 0);
        QCOMPARE(core(1)->closeRequests, 1);
    }

    void shouldReportTheLossWhenTheHostMakesNoPopup()
    {
        TransientPopup popup;
        popup.setX(7);
        QSignalSpy spy(&popup, &TransientPopup::visibleChanged);
        m_factory->refuse = true;
        popup.show();
        QCOMPARE(spy.count(), 0);
        m_factory->refuse = false;
        popup.show();
        m_factory->refuse = true;
        popup.show();
        QCOMPARE(spy.count(), 2);
        QVERIFY(!popup.isVisible());
        // Below an item: null, and the stored point is kept
        QCOMPARE(popup.showBelow(nullptr), nullptr);
        QCOMPARE(m_factory->calls.size(), 3);
        QCOMPARE(popup.showBelow(m_anchor, 1, 1), nullptr);
        QCOMPARE(m_factory->calls.size(), 4);
        QCOMPARE(QPoint(popup.x(), popup.y()), QPoint(7, 0));
    }

    void shouldOpenBelowTheItemAndReportInOrder_data()
    {
        QTest::addColumn<QPointF>("offset");
        QTest::addColumn<bool>("sameX");
        QTest::addColumn<QStringList>("emitted");
        QTest::newRow("corner") << QPointF() << false << QStringList { "visible", "x", "y" };
        QTest::newRow("offsets") << QPointF(5.5, -3.25) << false << QStringList { "visible", "x", "y" };
        QTest::newRow("unchanged x not repeated") << QPointF() << true << QStringList { "visible", "y" };
    }
    void shouldOpenBelowTheItemAndReportInOrder()
    {
        QFETCH(QPointF, offset);
        QFETCH(bool, sameX);
        const QPoint expected = core::anchorToNative(m_anchor->mapToGlobal(offset + QPointF(0, m_anchor->height())));
        TransientPopup popup;
        if (sameX)
            popup.setX(expected.x());
        SignalLog log(&popup);
        lum::QtWindowParent* bridge = popup.showBelow(m_anchor, offset.x(), offset.y());
        QCOMPARE(m_factory->calls.size(), 1);
        QCOMPARE(m_factory->calls.first().at, expected);
        QTEST(log.names, "emitted");
        QCOMPARE(QPoint(popup.x(), popup.y()), expected);
        QVERIFY(bridge);
        QCOMPARE(bridge, core()->windowParent());
    }

    void shouldTakeTheParentFromTheWindow()
    {
        TransientPopup popup;
        lum::QtWindowParent owner;
        m_window->setProperty("__transientPopupParent", QVariant::fromValue<QObject*>(&owner));
        popup.showBelow(m_anchor);
        m_window->setProperty("__transientPopupParent", QStringLiteral("not an object"));
        popup.showBelow(m_anchor);
        QCOMPARE(m_factory->calls.at(0).parent, &owner);
        QCOMPARE(m_factory->calls.at(1).parent, nullptr);
    }

    void shouldLeaveThePopupOpenWhenDestroyed()
    {
        auto popup = std::make_unique<TransientPopup>();
        popup->show();
        popup.reset();
        QVERIFY(core());
        QCOMPARE(core()->closeRequests, 0);
        Q_EMIT core()->closed();
    }
};

QTEST_MAIN(tst_TransientPopup)
#include "tst_transientpopup.moc"
