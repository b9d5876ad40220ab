// Corvane.Core tests: message dialogs, transient popups, the key filter and the cursor changer
// against the host's application object.
#include "windows/cursorchanger.h"
#include "windows/keyeventfilter.h"
#include "windows/messagedialog.h"
#include "windows/transientpopup.h"
#include "windows/transientpopup_p.h"

#include <harbor/hbhostapp.h>
#include <harbor/hbpopupfactory.h>
#include <lumen/qtwindowparent.h>
#include <lumen/transientpopupcore.h>

#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickWindow>
#include <QtTest>

#include <wx/defs.h>
#include <wx/string.h>

using core::MessageDialog;
using core::TransientPopup;
using Button = MessageDialog::PressedButton;

namespace
{
struct Box { QString title; int style; wxWindow* owner; };
struct FactoryCall { QPoint at; QQuickItem* content; QObject* parent; bool noFocus; };

// Hands out popups without windows (or none) and records where and how they were asked for.
class RecordingFactory : public hb::HbPopupFactory
{
public:
    lum::TransientPopupCore* createTransientPopup(int x, int y, QQuickItem* content, QObject* parent, bool noFocus) override
    {
        calls.append({QPoint(x, y), content, parent, noFocus});
        cores.append(new lum::TransientPopupCore);
        cores.last()->setWindowParent(new lum::QtWindowParent(cores.last()));
        return cores.last();
    }
    QList<FactoryCall> calls;
    QList<QPointer<lum::TransientPopupCore>> cores;
};

// Counts the key presses and releases it gets; accepts them or lets them travel on.
class KeyItem : public QQuickItem
{
public:
    KeyItem(QQuickItem* parent, bool accept) : QQuickItem(parent), accept(accept) {}
    int presses = 0, releases = 0;
    bool accept;

protected:
    void keyPressEvent(QKeyEvent* event) override { ++presses, event->setAccepted(accept); }
    void keyReleaseEvent(QKeyEvent* event) override { ++releases, event->setAccepted(accept); }
};
}

class tst_Windows : public QObject
{
    Q_OBJECT

    std::unique_ptr<hb::HbHostApp> m_app;
    QQuickWindow m_window;
    QQuickItem* m_anchor = new QQuickItem(m_window.contentItem());
    RecordingFactory* m_factory = nullptr;
    QList<Box> m_boxes;
    int m_answer = wxOK;
    lum::TransientPopupCore* core(int i = 0) const { return m_factory->cores.value(i); }

private Q_SLOTS:
    void initTestCase()
    {
        m_app = std::make_unique<hb::HbHostApp>();
        m_window.setGeometry(40, 30, 300, 200);
        m_anchor->setPosition(QPointF(10.5, 20));
        m_anchor->setSize(QSizeF(80, 24.25));
        m_window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m_window));
    }
    void cleanupTestCase() { m_app.reset(); }
    void init()
    {
        m_boxes.clear();
        m_app->dialogs().setupMessageBoxFaker([this](const wxString&, const wxString& title, int style, wxWindow* owner) {
            m_boxes.append({QString::fromStdWString(title.ToStdWstring()), style, owner});
            return m_answer;
        });
        m_app->quick().setPopupFactory(m_factory = new RecordingFactory);
    }
    void cleanup()
    {
        m_app->quick().setPopupFactory(nullptr);
        for (const QPointer<lum::TransientPopupCore>& core : qAsConst(m_factory->cores))
            delete core.data();
        delete m_factory;
        m_window.setProperty("__transientPopupParent", QVariant());
    }

    void shouldShowTheBoxOfTheKindAndAnswerThePressedButton_data()
    {
        for (const char* column : {"type", "buttons", "answer", "style", "pressed"}) // style -1: no box
            QTest::addColumn<int>(column);
        QTest::newRow("info ok") << 0 << 0 << int(wxOK) << int(wxICON_INFORMATION | wxOK) << int(Button::Ok);
        QTest::newRow("warning yes-no") << 1 << 1 << int(wxYES) << int(wxICON_WARNING | wxYES_NO) << int(Button::Yes);
        QTest::newRow("error ok-cancel") << 2 << 2 << int(wxCANCEL) << int(wxICON_ERROR | wxOK | wxCANCEL) << int(Button::Cancel);
        QTest::newRow("unknown kind shows nothing") << 3 << 1 << int(wxYES) << -1 << int(Button::Ok);
    }
    void shouldShowTheBoxOfTheKindAndAnswerThePressedButton()
    {
        QFETCH(int, type);
        QFETCH(int, buttons);
        QFETCH(int, style);
        QFETCH(int, answer);
        m_answer = answer;
        MessageDialog dialog;
        dialog.setType(MessageDialog::DialogType(type));
        dialog.setButtons(MessageDialog::DialogButtons(buttons));
        dialog.setTitle(QStringLiteral("Ebenen löschen — 3"));
        QTEST(int(dialog.show()), "pressed");
        QCOMPARE(m_boxes.size(), style == -1 ? 0 : 1);
        for (const Box& box : qAsConst(m_boxes))
            QVERIFY(box.style == style && box.title == dialog.title() && !box.owner);
    }

    void shouldShowLaterWithTheValuesOfThatMoment()
    {
        MessageDialog dialog;
        dialog.showLater();
        dialog.showLater();
        auto* gone = new MessageDialog;
        gone->showLater();
        delete gone;
        dialog.setTitle(QStringLiteral("New"));
        // Bindings hear of a real change once
        QSignalSpy typeSpy(&dialog, &MessageDialog::typeChanged);
        dialog.setType(MessageDialog::DialogType::Error);
        dialog.setType(MessageDialog::DialogType::Error);
        QVERIFY(m_boxes.isEmpty() && typeSpy.count() == 1);
        QTRY_COMPARE(m_boxes.size(), 2);
        QVERIFY(m_boxes.at(1).title == "New" && m_boxes.at(1).style == (wxICON_ERROR | wxOK));
    }

    void shouldPassTheOwnerUntilItIsDestroyed()
    {
        MessageDialog dialog;
        auto* bridge = new lum::QtWindowParent;
        bridge->setWxParent(reinterpret_cast<wxWindow*>(bridge));
        dialog.setWndparent(bridge);
        dialog.show();
        // Bindings learn that the owner is gone
        QSignalSpy spy(&dialog, &MessageDialog::wndparentChanged);
        delete bridge;
        QVERIFY(spy.count() == 1 && !dialog.wndparent());
        dialog.show();
        QVERIFY(m_boxes.size() == 2 && m_boxes.at(0).owner == reinterpret_cast<wxWindow*>(bridge) && !m_boxes.at(1).owner);
    }

    void shouldConvertAnchorsPerDisplay_data()
    {
        QTest::addColumn<QPointF>("global");
        QTest::addColumn<QPoint>("expected");
        // The primary display at the origin, one right of it and one left of it, higher up.
        QTest::newRow("primary truncates before scaling") << QPointF(100.7, 200.2) << QPoint(200, 400);
        QTest::newRow("secondary left of the primary") << QPointF(-1000.5, -300.5) << QPoint(-82, 198);
        QTest::newRow("no display: truncated toward zero") << QPointF(-5000.7, 3000.9) << QPoint(-5000, 3000);
    }
    void shouldConvertAnchorsPerDisplay()
    {
        QFETCH(QPointF, global);
        const auto displayAt = [](const QPoint& point) {
            for (const QRect& d : {QRect(0, 0, 1920, 1080), QRect(1920, 0, 2560, 1440), QRect(-1920, -800, 1920, 1080)})
                if (d.contains(point))
                    return core::DisplayCorner{true, d.topLeft().isNull(), d.left(), d.top()};
            return core::DisplayCorner{};
        };
        QTEST(core::anchorToNative(global, displayAt, [](int value) { return 2 * value; }), "expected");
    }

    void shouldOpenWithTheStoredValues()
    {
        TransientPopup popup;
        QSignalSpy spy(&popup, &TransientPopup::visibleChanged);
        QQuickItem content;
        popup.setContent(&content);
        popup.setX(300);
        popup.setY(-40);
        popup.setVisible(false);
        QVERIFY(m_factory->calls.isEmpty() && spy.isEmpty());
        popup.setVisible(true);
        popup.setRequestFocusOnShow(false);
        // A destroyed content is never handed to the host, and bindings learn that it is gone
        auto* gone = new QQuickItem;
        popup.setContent(gone);
        QSignalSpy contentSpy(&popup, &TransientPopup::contentChanged);
        delete gone;
        QVERIFY(contentSpy.count() == 1 && !popup.content());
        popup.show();
        QVERIFY(spy.count() == 2 && popup.isVisible() && m_factory->calls.size() == 2);
        for (const FactoryCall& call : qAsConst(m_factory->calls))
            QVERIFY(call.at == QPoint(300, -40) && !call.parent && call.noFocus == (&call != &m_factory->calls.first()));
        QVERIFY(m_factory->calls.first().content == &content && !m_factory->calls.last().content);
    }

    void shouldOpenBelowTheItemAndReportInOrder_data()
    {
        QTest::addColumn<QPointF>("offset");
        QTest::addColumn<bool>("sameX");
        QTest::addColumn<QStringList>("emitted");
        QTest::newRow("offsets") << QPointF(5.5, -3.25) << false << QStringList{"visible", "x", "y"};
        QTest::newRow("unchanged x not repeated") << QPointF() << true << QStringList{"visible", "y"};
        // Anchors without a native point open nothing and leave the point
        const double nan = qQNaN(), inf = qInf();
        QTest::newRow("NaN x") << QPointF(nan, 0) << false << QStringList();
        QTest::newRow("infinite y") << QPointF(0, -inf) << false << QStringList();
        QTest::newRow("huge x") << QPointF(1.1e7, 0) << false << QStringList();
        QTest::newRow("huge y") << QPointF(0, -1.1e7) << false << QStringList();
    }
    void shouldOpenBelowTheItemAndReportInOrder()
    {
        QFETCH(QPointF, offset);
        QFETCH(bool, sameX);
        QFETCH(QStringList, emitted);
        const bool opens = !emitted.isEmpty();
        const QPoint expected = opens ? core::anchorToNative(m_anchor->mapToGlobal(offset + QPointF(0, m_anchor->height()))) : QPoint(0, 3);
        TransientPopup popup;
        popup.setX(sameX || !opens ? expected.x() : 0);
        popup.setY(opens ? 0 : 3);
        // A window names the owner of the popups opened from it; anything else there is no owner
        lum::QtWindowParent owner;
        m_window.setProperty("__transientPopupParent", sameX ? QVariant::fromValue<QObject*>(&owner) : QVariant(7));
        QStringList seen;
        connect(&popup, &TransientPopup::visibleChanged, this, [&] { seen << "visible"; });
        connect(&popup, &TransientPopup::xChanged, this, [&] { seen << "x"; });
        connect(&popup, &TransientPopup::yChanged, this, [&] { seen << "y"; });
        lum::QtWindowParent* bridge = popup.showBelow(m_anchor, offset.x(), offset.y());
        QCOMPARE(seen, emitted);
        QCOMPARE(QPoint(popup.x(), popup.y()), expected);
        QCOMPARE(m_factory->calls.size(), int(opens));
        QCOMPARE(bridge != nullptr, opens);
        if (!opens)
            return;
        const FactoryCall& call = m_factory->calls.first();
        QVERIFY(call.at == expected && call.parent == (sameX ? &owner : nullptr) && !call.noFocus);
        // The bridge is the host's: QML must never collect it
        QVERIFY(bridge == core()->windowParent() && QQmlEngine::objectOwnership(bridge) == QQmlEngine::CppOwnership);
    }

    void shouldAnswerNullWhenAHandlerOfShowBelowDeletesOrClosesThePopup_data()
    {
        QTest::addColumn<int>("signal");
        QTest::addColumn<bool>("deletes"); // otherwise the popup closes, as a nested event loop does on Escape
        QTest::newRow("visibleChanged deletes") << 0 << true;
        QTest::newRow("xChanged deletes") << 1 << true;
        QTest::newRow("yChanged deletes") << 2 << true;
        QTest::newRow("visibleChanged closes") << 0 << false;
    }
    void shouldAnswerNullWhenAHandlerOfShowBelowDeletesOrClosesThePopup()
    {
        QFETCH(int, signal);
        QFETCH(bool, deletes);
        auto* popup = new TransientPopup;
        popup->setX(-5);
        popup->setY(-5);
        const QPointer<TransientPopup> guard(popup);
        QList<bool> seen;
        void (TransientPopup::*const emitters[])() = {&TransientPopup::visibleChanged, &TransientPopup::xChanged, &TransientPopup::yChanged};
        connect(popup, emitters[signal], popup, [&, popup] {
            if (deletes)
                delete popup;
            else if (seen.append(popup->isVisible()), seen.size() == 1)
                Q_EMIT core()->closed();
        });
        QCOMPARE(popup->showBelow(m_anchor, 1, 2), nullptr);
        QVERIFY(core() && guard.isNull() == deletes && (deletes || !popup->isVisible()));
        QCOMPARE(seen, deletes ? QList<bool>() : QList<bool>({true, false}));
        delete guard.data();
    }

    void shouldSwallowListedKeysBelowTheTarget_data()
    {
        QTest::addColumn<QList<int>>("codes");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QString>("presses"); // focused item, leaf, middle, target, outer
        const QList<int> escape{Qt::Key_Tab, Qt::Key_Escape};
        QTest::newRow("listed key") << escape << true << "leaf" << "0,0,0,0,0";
        QTest::newRow("other key") << QList<int>{Qt::Key_A} << true << "leaf" << "1,1,0,0,0";
        QTest::newRow("not accepted: first item outside gets it") << escape << false << "leaf" << "0,0,0,0,1";
        QTest::newRow("item added later") << escape << true << "late" << "0,0,0,0,0";
        QTest::newRow("item built later with its parent") << escape << true << "built" << "0,0,0,0,0";
        QTest::newRow("item added later below a plain object") << escape << true << "below plain" << "0,0,0,0,0";
        QTest::newRow("item made later by a Loader") << escape << true << "loaded" << "0,0,0,0,0";
    }
    void shouldSwallowListedKeysBelowTheTarget()
    {
        QFETCH(QList<int>, codes);
        QFETCH(bool, accepted);
        QFETCH(QString, focus);
        // outer > target > middle > leaf
        KeyItem outer(m_window.contentItem(), true);
        auto* target = new KeyItem(&outer, false);
        auto* middle = new KeyItem(target, false);
        auto* leaf = new KeyItem(middle, true);
        QQmlEngine engine;
        QQmlComponent component(&engine);
        component.setData("import QtQuick 2.15\nLoader { active: false; sourceComponent: Item {"
                          " property int presses; Keys.onPressed: presses++ } }", QUrl());
        QScopedPointer<QObject> loader(component.create());
        qobject_cast<QQuickItem*>(loader.get())->setParentItem(leaf);
        loader->setParent(leaf);
        core::KeyEventFilter filter;
        filter.setTarget(target);
        filter.setKeysCodes(codes);
        filter.setMarkEventAccepted(accepted);
        // Items as QML makes them: created first, then given their parents
        KeyItem* item = focus == "leaf" ? leaf : new KeyItem(focus == "built" ? leaf : nullptr, true);
        if (focus != "leaf" && focus != "built") {
            item->setParent(focus == "below plain" ? new QObject(middle) : static_cast<QObject*>(leaf));
            item->setParentItem(leaf);
        }
        loader->setProperty("active", focus == "loaded");
        QQuickItem* focused = focus == "loaded" ? loader->property("item").value<QQuickItem*>() : item;
        focused->forceActiveFocus();
        QTest::keyClick(&m_window, Qt::Key_Escape);
        if (focus == "loaded")
            item->presses = focused->property("presses").toInt();
        QTEST(QStringLiteral("%1,%2,%3,%4,%5").arg(item->presses).arg(leaf->presses).arg(middle->presses).arg(target->presses).arg(outer.presses), "presses");
        // Releases pass untouched
        QCOMPARE(item->releases, int(focus != "loaded"));
    }

    void shouldReleaseTheOldTreeWhenTheTargetChangesOrDies()
    {
        KeyItem outer(m_window.contentItem(), true);
        auto* first = new KeyItem(&outer, true);
        auto* doomed = new KeyItem(&outer, true);
        core::KeyEventFilter filter;
        QSignalSpy spy(&filter, &core::KeyEventFilter::targetChanged);
        filter.setKeysCodes({Qt::Key_Escape});
        filter.setTarget(first);
        filter.setTarget(first);
        filter.setTarget(doomed);
        delete doomed;
        QVERIFY(!filter.target() && spy.count() == 3);
        first->forceActiveFocus();
        QTest::keyClick(&m_window, Qt::Key_Escape);
        filter.setTarget(first);
        QTest::keyClick(&m_window, Qt::Key_Escape);
        QVERIFY(first->presses == 1 && spy.count() == 4);
    }

    // Catches a changer that pushes twice, changes another party's entry, or leaves its own behind.
    void shouldHoldOneOverrideCursorEntryWhileActive()
    {
        const auto top = [] { return QGuiApplication::overrideCursor()->shape(); };
        QGuiApplication::setOverrideCursor(Qt::IBeamCursor);
        auto changer = std::make_unique<core::CursorChanger>();
        changer->setCursor(Qt::WaitCursor);
        QCOMPARE(top(), Qt::IBeamCursor);
        changer->setActive(true);
        changer->setActive(true);
        changer->setCursor(Qt::SizeAllCursor);
        QCOMPARE(top(), Qt::SizeAllCursor);
        changer.reset();
        QCOMPARE(top(), Qt::IBeamCursor);
        QGuiApplication::restoreOverrideCursor();
        QVERIFY(!QGuiApplication::overrideCursor());
    }
};

QTEST_MAIN(tst_Windows)
#include "tst_windows.moc"
