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
    int x;
    int y;
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
        calls.append({x, y, content, parent, noFocus});
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

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void shouldConvertAnchorsPerDisplay_data();
    void shouldConvertAnchorsPerDisplay();
    void shouldConvertWithTheRealDisplays();

    void shouldDoNothingWithoutHost_data();
    void shouldDoNothingWithoutHost();
    void shouldOpenAtTheStoredPointWithFocusArgument_data();
    void shouldOpenAtTheStoredPointWithFocusArgument();
    void shouldTrackThePopupUntilItReportsClosed();
    void shouldReadInvisibleSilentlyWhenTheCoreIsDeleted();
    void shouldTrackOnlyTheNewestPopup();
    void shouldReportTheLossWhenTheHostMakesNoPopup();
    void shouldMapVisibleWritesToShowAndClose();
    void shouldOpenBelowTheItemAndReportInOrder();
    void shouldOpenBelowTheItemWithOffsets();
    void shouldNotRepeatAnUnchangedPosition();
    void shouldTakeTheParentFromTheWindow();
    void shouldReturnNullForNoItemOrNoPopup();
    void shouldLeaveThePopupOpenWhenDestroyed();
    void shouldNotHandADestroyedContentToTheHost();

private:
    std::unique_ptr<hb::HbApp> m_app;
    std::unique_ptr<hb::HbQuickHost> m_host;
    RecordingFactory* m_factory = nullptr;
    std::unique_ptr<QQuickWindow> m_window;
    QQuickItem* m_anchor = nullptr;
};

void tst_TransientPopup::initTestCase()
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

void tst_TransientPopup::cleanupTestCase()
{
    m_window.reset();
    m_app->setQuickHost(nullptr);
    m_host.reset();
    m_app.reset();
}

void tst_TransientPopup::init()
{
    m_factory = new RecordingFactory;
    m_host->setPopupFactory(m_factory);
}

void tst_TransientPopup::cleanup()
{
    m_host->setPopupFactory(nullptr);
    for (const QPointer<FakeCore>& core : qAsConst(m_factory->cores))
        delete core.data();
    delete m_factory;
    m_factory = nullptr;
    m_window->setProperty("__transientPopupParent", QVariant());
}

void tst_TransientPopup::shouldConvertAnchorsPerDisplay_data()
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

void tst_TransientPopup::shouldConvertAnchorsPerDisplay()
{
    QFETCH(QPointF, global);
    QFETCH(QPoint, expected);
    const QList<QRect> displays{QRect(0, 0, 1920, 1080), QRect(1920, 0, 2560, 1440), QRect(-1920, -800, 1920, 1080)};
    const auto displayAt = [&displays](const QPoint& point) { return displayOf(displays, 0, point); };
    const auto doubling = [](int value) { return 2 * value; };

    QCOMPARE(core::anchorToNative(global, displayAt, doubling), expected);
}

void tst_TransientPopup::shouldConvertWithTheRealDisplays()
{
    if (!hb::HbApp::wxReady())
        QSKIP("wxWidgets has no display here");
    // The X server's screen starts at the origin; this platform does not scale.
    QCOMPARE(core::anchorToNative(QPointF(10.9, 20.2)), QPoint(10, 20));
    QCOMPARE(core::anchorToNative(QPointF(-20000.6, 70000.2)), QPoint(-20000, 70000));
}

void tst_TransientPopup::shouldDoNothingWithoutHost_data()
{
    QTest::addColumn<bool>("withApp");
    QTest::newRow("no application object") << false;
    QTest::newRow("no Qt Quick host") << true;
}

void tst_TransientPopup::shouldDoNothingWithoutHost()
{
    QFETCH(bool, withApp);
    TransientPopup popup;
    QSignalSpy spy(&popup, &TransientPopup::visibleChanged);
    QVERIFY(spy.isValid());
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

void tst_TransientPopup::shouldOpenAtTheStoredPointWithFocusArgument_data()
{
    QTest::addColumn<bool>("requestFocus");
    QTest::newRow("focus by default") << true;
    QTest::newRow("no focus") << false;
}

void tst_TransientPopup::shouldOpenAtTheStoredPointWithFocusArgument()
{
    QFETCH(bool, requestFocus);
    TransientPopup popup;
    QQuickItem content;
    popup.setContent(&content);
    popup.setX(300);
    popup.setY(-40);
    popup.setRequestFocusOnShow(requestFocus);

    popup.show();

    QCOMPARE(m_factory->calls.size(), 1);
    const FactoryCall call = m_factory->calls.first();
    QCOMPARE(call.x, 300);
    QCOMPARE(call.y, -40);
    QCOMPARE(call.content, &content);
    QCOMPARE(call.parent, nullptr);
    QCOMPARE(call.noFocus, !requestFocus);
}

void tst_TransientPopup::shouldTrackThePopupUntilItReportsClosed()
{
    // Given an open popup
    TransientPopup popup;
    QSignalSpy spy(&popup, &TransientPopup::visibleChanged);
    popup.show();
    QCOMPARE(spy.count(), 1);
    QVERIFY(popup.isVisible());

    // When it is asked to close
    popup.close();

    // Then it stays visible until the popup reports closed()
    QCOMPARE(m_factory->cores.first()->closeRequests, 1);
    QVERIFY(popup.isVisible());
    QCOMPARE(spy.count(), 1);
    QTRY_VERIFY(!popup.isVisible());
    QCOMPARE(spy.count(), 2);

    // And a later closed() of the same core is no longer heard
    Q_EMIT m_factory->cores.first()->closed();
    QCOMPARE(spy.count(), 2);
}

void tst_TransientPopup::shouldReadInvisibleSilentlyWhenTheCoreIsDeleted()
{
    TransientPopup popup;
    popup.show();
    QSignalSpy spy(&popup, &TransientPopup::visibleChanged);

    delete m_factory->cores.first().data();

    QVERIFY(!popup.isVisible());
    QCOMPARE(spy.count(), 0);
    popup.close();
}

void tst_TransientPopup::shouldTrackOnlyTheNewestPopup()
{
    TransientPopup popup;
    popup.show();
    QSignalSpy spy(&popup, &TransientPopup::visibleChanged);

    popup.show();

    QCOMPARE(spy.count(), 1);
    QCOMPARE(m_factory->cores.size(), 2);
    QVERIFY(m_factory->cores.first());
    QCOMPARE(m_factory->cores.first()->closeRequests, 0);
    Q_EMIT m_factory->cores.first()->closed();
    QVERIFY(popup.isVisible());
    QCOMPARE(spy.count(), 1);
    popup.close();
    QCOMPARE(m_factory->cores.first()->closeRequests, 0);
    QCOMPARE(m_factory->cores.last()->closeRequests, 1);
}

void tst_TransientPopup::shouldReportTheLossWhenTheHostMakesNoPopup()
{
    TransientPopup popup;
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
}

void tst_TransientPopup::shouldMapVisibleWritesToShowAndClose()
{
    TransientPopup popup;
    QSignalSpy spy(&popup, &TransientPopup::visibleChanged);
    popup.setVisible(false);
    QCOMPARE(m_factory->calls.size(), 0);
    QCOMPARE(spy.count(), 0);

    popup.setX(12);
    popup.setVisible(true);
    QCOMPARE(m_factory->calls.size(), 1);
    QCOMPARE(m_factory->calls.first().x, 12);
    QCOMPARE(m_factory->calls.first().parent, nullptr);
    QCOMPARE(spy.count(), 1);

    popup.setVisible(false);
    QCOMPARE(m_factory->cores.first()->closeRequests, 1);
    QVERIFY(popup.isVisible());
}

void tst_TransientPopup::shouldOpenBelowTheItemAndReportInOrder()
{
    // Given a popup whose stored point differs from the anchor's
    TransientPopup popup;
    SignalLog log(&popup);
    const QPointF corner = m_anchor->mapToGlobal(QPointF(0, m_anchor->height()));
    const QPoint expected = core::anchorToNative(corner);

    // When it opens below the anchor
    lum::QtWindowParent* bridge = popup.showBelow(m_anchor);

    // Then the host got the converted corner, and the popup reported in order
    QCOMPARE(m_factory->calls.size(), 1);
    QCOMPARE(QPoint(m_factory->calls.first().x, m_factory->calls.first().y), expected);
    QCOMPARE(log.names, QStringList({QStringLiteral("visible"), QStringLiteral("x"), QStringLiteral("y")}));
    QCOMPARE(QPoint(popup.x(), popup.y()), expected);
    QCOMPARE(bridge, m_factory->cores.first()->windowParent());
    QVERIFY(bridge);
}

void tst_TransientPopup::shouldOpenBelowTheItemWithOffsets()
{
    TransientPopup popup;
    popup.showBelow(m_anchor, 5.5, -3.25);
    const QPoint expected = core::anchorToNative(m_anchor->mapToGlobal(QPointF(5.5, m_anchor->height() - 3.25)));
    QCOMPARE(QPoint(m_factory->calls.first().x, m_factory->calls.first().y), expected);
}

void tst_TransientPopup::shouldNotRepeatAnUnchangedPosition()
{
    TransientPopup popup;
    const QPoint expected = core::anchorToNative(m_anchor->mapToGlobal(QPointF(0, m_anchor->height())));
    popup.setX(expected.x());
    SignalLog log(&popup);

    popup.showBelow(m_anchor);

    QCOMPARE(log.names, QStringList({QStringLiteral("visible"), QStringLiteral("y")}));
}

void tst_TransientPopup::shouldTakeTheParentFromTheWindow()
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

void tst_TransientPopup::shouldReturnNullForNoItemOrNoPopup()
{
    TransientPopup popup;
    popup.setX(7);
    QCOMPARE(popup.showBelow(nullptr), nullptr);
    QCOMPARE(m_factory->calls.size(), 0);

    m_factory->refuse = true;
    QCOMPARE(popup.showBelow(m_anchor, 1, 1), nullptr);
    QCOMPARE(m_factory->calls.size(), 1);
    QCOMPARE(popup.x(), 7);
    QCOMPARE(popup.y(), 0);
}

void tst_TransientPopup::shouldLeaveThePopupOpenWhenDestroyed()
{
    auto popup = std::make_unique<TransientPopup>();
    popup->show();
    popup.reset();
    QVERIFY(m_factory->cores.first());
    QCOMPARE(m_factory->cores.first()->closeRequests, 0);
    Q_EMIT m_factory->cores.first()->closed();
}

void tst_TransientPopup::shouldNotHandADestroyedContentToTheHost()
{
    TransientPopup popup;
    auto* content = new QQuickItem;
    popup.setContent(content);
    delete content;
    popup.show();
    QCOMPARE(popup.content(), nullptr);
    QCOMPARE(m_factory->calls.first().content, nullptr);
}

QTEST_MAIN(tst_TransientPopup)
#include "tst_transientpopup.moc"
