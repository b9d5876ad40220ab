// Corvane.Core tests: windows, anchors, popups, tooltips, message dialogs and QML engines destroyed
// in random orders, also from inside their own signals and while one of their boxes is open.
#include "support/reliability_random.h"
#include "windows/messagedialog.h"
#include "windows/systemtooltip.h"
#include "windows/transientpopup.h"

#include <harbor/hbhostapp.h>
#include <harbor/hbpopupfactory.h>
#include <lumen/qtwindowparent.h>
#include <lumen/settings.h>
#include <lumen/strings.h>
#include <lumen/transientpopupcore.h>

#include <QApplication>
#include <QPointer>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>
#include <QToolTip>

#include <wx/defs.h>
#include <wx/string.h>

#include <map>
#include <memory>

using core::MessageDialog;
using core::SystemTooltip;
using core::TransientPopup;
using Button = MessageDialog::PressedButton;

namespace
{
// Contents and owners are declared inline: a binding by id would write them again behind the
// run's back when the object it names dies.
const char* const qmlText = R"(import QtQuick 2.15
import Corvane.Core 1.0
Item {
    id: root
    TransientPopup { id: popup; content: Rectangle { width: 12; height: 10 }
        onVisibleChanged: driver.poke(); onXChanged: driver.poke() }
    SystemTooltip { text: "qml tip"; onTipVisibleChanged: driver.poke() }
    MessageDialogCV { wndparent: QtWindowParent {}
        onTitleChanged: driver.poke() }
    Component.onDestruction: driver.poke()
})";

// Every answer a box may give, and the button show() must report for it.
const std::pair<int, Button> answers[] = {{wxYES, Button::Yes}, {wxOK, Button::Ok}, {wxNO, Button::No},
    {wxCANCEL, Button::Cancel}, {0, Button::Ok}, {5, Button::Ok}, {-1, Button::Ok}};

template <typename T>
using List = std::vector<QPointer<T>>;
}

// Destroys its parent when a signal it listens to arrives.
class Wire : public QObject
{
    Q_OBJECT

public:
    Wire(QObject* victim, std::function<void(QObject*)> kill) : QObject(victim), m_kill(std::move(kill)) {}

public Q_SLOTS:
    void fire()
    {
        QObject* victim = parent();
        const std::function<void(QObject*)> kill = m_kill;
        delete this;
        kill(victim);
    }

private:
    std::function<void(QObject*)> m_kill;
};

// One run, and the "driver" that the QML handlers and the host's factories call.
class WindowsRun : public QObject, public hb::HbPopupFactory
{
    Q_OBJECT

public:
    WindowsRun(cvtest::RandomRun& random, hb::HbHostApp& app) : r(random), m_app(app)
    {
        m_app.quick().setPopupFactory(this);
        m_app.dialogs().setupMessageBoxFaker(
            [this](const wxString&, const wxString& title, int, wxWindow* owner) { return box(lum::toQt(title), owner); });
    }
    ~WindowsRun() override
    {
        hb::HbApp::s_app = &m_app;
        m_app.setQuickHost(&m_app.quick());
        m_app.setDialogFactory(&m_app.dialogs());
        m_app.quick().setPopupFactory(nullptr);
        m_app.dialogs().unsetMessageBoxFaker();
    }

    QString operation;
    QString problems;

    void step()
    {
        static const char* const names[] = {"new window", "new item", "new bridge", "new popup", "new tooltip",
            "new dialog", "new engine", "create from QML", "host", "use", "destroy", "events"};
        static const int weights[] = {4, 4, 3, 4, 3, 3, 2, 5, 3, 34, 27, 8};
        int roll = r.below(100), at = 0;
        while (roll >= weights[at])
            roll -= weights[at++];
        operation = QLatin1String(names[at]);
        switch (at) {
        case 0: if (m_windows.size() < 5) newWindow(); break;
        case 1: if (m_items.size() < 14) m_items.emplace_back(newItem(pick(m_items))); break;
        case 2: if (m_bridges.size() < 8) addBridge(new lum::QtWindowParent); break;
        case 3: if (m_popups.size() < 8) addPopup(new TransientPopup); break;
        case 4: if (m_tooltips.size() < 6) addTooltip(new SystemTooltip(r.chance(30) ? pick(m_items) : nullptr)); break;
        case 5: if (m_dialogs.size() < 8) addDialog(new MessageDialog); break;
        case 6: if (m_engines.size() < 2) newEngine(); break;
        case 7: createFromQml(); break;
        case 8: hostStep(); break;
        case 9: use(); break;
        case 10: destroy(pickAny(), pickAny()); break;
        default: events();
        }
    }

    // What every live object answers now, against what the run expects.
    QString check()
    {
        QString found = problems;
        problems.clear();
        for (const QPointer<TransientPopup>& popup : m_popups) {
            if (popup && popup->isVisible() != isOpen(m_popupCores[popup]))
                found += QStringLiteral("popup reads visible %1 against its popup\n").arg(popup->isVisible());
            if (popup && popup->content() != m_contents[popup].data())
                found += QStringLiteral("popup content is not the one set, or not null once destroyed\n");
        }
        for (const QPointer<MessageDialog>& dialog : m_dialogs)
            if (dialog && dialog->wndparent() != m_owners[dialog].data())
                found += QStringLiteral("dialog owner is not the one set, or not null once destroyed\n");
        return found;
    }

    // Everything left goes in a random order; handlers that run meanwhile may open more.
    void destroyAll()
    {
        while (QObject* object = (tidy(), pickAny(true))) {
            delete object;
            if (r.chance(20))
                events();
        }
        events();
    }

    Q_INVOKABLE void poke()
    {
        if (m_nesting >= 3 || !r.chance(60))
            return;
        ++m_jsDepth, ++m_nesting;
        inner();
        --m_jsDepth, --m_nesting;
    }

    // A box: checks who asked, answers, and acts while it is open.
    int box(const QString& title, wxWindow* owner)
    {
        const QPointer<MessageDialog> dialog = m_titles.value(title);
        if (!dialog)
            problems += QStringLiteral("a box came for a dialog that is gone: %1\n").arg(title);
        else if (const QPointer<lum::QtWindowParent>& bridge = m_owners[dialog]; owner != (bridge ? bridge->getWxParent() : nullptr))
            problems += QStringLiteral("the box of %1 has the wrong owner\n").arg(title);
        const auto& [answer, pressed] = answers[r.below(int(std::size(answers)))];
        if (!m_frames.empty() && m_frames.back().title == title && !m_frames.back().shown)
            m_frames.back() = {title, true, pressed};
        if (m_nesting < 3 && r.chance(50))
            ++m_nesting, inner(), --m_nesting;
        return answer;
    }

    lum::TransientPopupCore* createTransientPopup(int x, int y, QQuickItem* content, QObject* parent, bool noFocus) override
    {
        if (!m_opening) {
            problems += QStringLiteral("a popup opened outside the run's calls\n");
            return nullptr;
        }
        const int roll = r.below(100);
        lum::TransientPopupCore* core = nullptr;
        if (roll < 25 && m_realCores < 3) {
            core = HbPopupFactory::createTransientPopup(x, y, content, parent, noFocus);
            ++m_realCores;
            connect(core, &QObject::destroyed, this, [this] { --m_realCores; });
        } else if (roll < 85) {
            core = new lum::TransientPopupCore;
            core->setWindowParent(new lum::QtWindowParent(core));
        }
        if (core) {
            connect(core, &lum::TransientPopupCore::closed, this, [core] { core->setProperty("cvClosed", true); });
            m_cores.emplace_back(core);
        }
        m_popupCores[m_opening] = core;
        return core;
    }

private:
    static bool isOpen(const QPointer<lum::TransientPopupCore>& core) { return core && !core->property("cvClosed").toBool(); }

    template <typename T>
    T* pick(const List<T>& list)
    {
        return list.empty() ? nullptr : list[std::size_t(r.below(int(list.size())))].data();
    }

    // Any object the run made (null now and then); with all, the first live one of any list.
    QObject* pickAny(bool all = false)
    {
        QObject* const picks[] = {pick(m_windows), pick(m_items), pick(m_bridges), pick(m_popups), pick(m_cores),
            pick(m_tooltips), pick(m_dialogs), pick(m_engines), pick(m_roots)};
        for (int i = 0; all && i < int(std::size(picks)); ++i)
            if (picks[i])
                return picks[i];
        return all ? nullptr : picks[r.below(int(std::size(picks)))];
    }

    QQuickItem* newItem(QQuickItem* parent)
    {
        auto* item = new QQuickItem(r.chance(50) ? parent : nullptr);
        item->setPosition(QPointF(r.below(80), r.below(60)));
        item->setSize(QSizeF(r.below(40), 4.5 + r.below(20)));
        return item;
    }

    void newWindow()
    {
        auto* window = new QQuickWindow;
        window->setGeometry(20 + r.below(400), 20 + r.below(300), 120, 80);
        // The window owns the bridge it names, as the host's own popup windows do.
        if (r.chance(50)) {
            auto* bridge = new lum::QtWindowParent(window);
            bridge->setWindow(window);
            window->setProperty("__transientPopupParent", QVariant::fromValue<QObject*>(bridge));
        }
        for (int i = 0; i < 1 + r.below(3); ++i)
            m_items.emplace_back(newItem(window->contentItem()))->setParentItem(window->contentItem());
        if (r.chance(25))
            window->show();
        m_windows.emplace_back(window);
    }

    void newEngine()
    {
        auto* engine = new QQmlEngine;
        engine->rootContext()->setContextProperty(QStringLiteral("driver"), this);
        m_engines.emplace_back(engine);
    }

    void createFromQml()
    {
        QQmlEngine* engine = pick(m_engines);
        if (!engine || m_roots.size() >= 6)
            return;
        QQmlComponent component(engine);
        component.setData(qmlText, QUrl(QStringLiteral("file:///lifetimes.qml")));
        QObject* root = component.create();
        if (!root)
            return void(problems += component.errorString());
        m_roots.emplace_back(root);
        QList<QObject*> made = root->findChildren<QObject*>();
        for (QObject* object : made << root)
            object->setProperty("cvQml", true);
        for (QObject* object : made) {
            if (auto* popup = qobject_cast<TransientPopup*>(object))
                addPopup(popup);
            else if (auto* tooltip = qobject_cast<SystemTooltip*>(object))
                addTooltip(tooltip);
            else if (auto* dialog = qobject_cast<MessageDialog*>(object))
                addDialog(dialog);
            else if (auto* bridge = qobject_cast<lum::QtWindowParent*>(object))
                addBridge(bridge);
            else if (auto* item = qobject_cast<QQuickItem*>(object))
                m_items.emplace_back(item);
        }
        if (QQuickWindow* window = pick(m_windows); window && r.chance(60))
            qobject_cast<QQuickItem*>(root)->setParentItem(window->contentItem());
        if (r.chance(40))
            root->setParent(engine); // goes with its engine
    }

    void addBridge(lum::QtWindowParent* bridge)
    {
        // A made-up native window, only compared and never dereferenced.
        bridge->setWxParent(reinterpret_cast<wxWindow*>(quintptr(0x10000 + 16 * m_serial++)));
        m_bridges.emplace_back(bridge);
    }
    void addPopup(TransientPopup* popup)
    {
        m_popups.emplace_back(popup);
        m_contents[popup] = popup->content();
        m_popupCores[popup] = nullptr;
        popup->setRequestFocusOnShow(r.chance(70));
    }
    void addTooltip(SystemTooltip* tooltip)
    {
        tooltip->setText(QStringLiteral("tip %1").arg(m_serial++));
        m_tooltips.emplace_back(tooltip);
    }
    void addDialog(MessageDialog* dialog)
    {
        m_dialogs.emplace_back(dialog);
        m_owners[dialog] = dialog->wndparent();
        setTitle(dialog);
    }
    void setTitle(MessageDialog* dialog)
    {
        const QString title = QStringLiteral("box %1").arg(m_serial++);
        m_titles.insert(title, dialog);
        dialog->setTitle(title);
    }

    void hostStep()
    {
        switch (r.below(3)) {
        case 0: hb::HbApp::s_app = hb::HbApp::s_app ? nullptr : &m_app; break;
        case 1: m_app.setQuickHost(m_app.quickHost() ? nullptr : &m_app.quick()); break;
        default: m_app.setDialogFactory(m_app.dialogFactory() ? nullptr : &m_app.dialogs());
        }
    }

    void use() { useObject(pickAny()); }

    void useObject(QObject* object)
    {
        if (auto* popup = qobject_cast<TransientPopup*>(object))
            usePopup(popup);
        else if (auto* core = qobject_cast<lum::TransientPopupCore*>(object))
            r.chance(50) ? core->requestClose() : destroyNow(core);
        else if (auto* tooltip = qobject_cast<SystemTooltip*>(object))
            r.chance(20) ? tooltip->setText(QStringLiteral("tip %1").arg(m_serial++)) : tooltip->setVisible(r.chance(60));
        else if (auto* dialog = qobject_cast<MessageDialog*>(object))
            useDialog(dialog);
        else if (auto* bridge = qobject_cast<lum::QtWindowParent*>(object))
            bridge->setWindow(pick(m_windows));
        else if (object)
            object->setObjectName(QStringLiteral("n%1").arg(m_serial++));
    }

    void usePopup(TransientPopup* popup)
    {
        const QPointer<TransientPopup> guard(popup);
        TransientPopup* const outer = std::exchange(m_opening, popup);
        switch (r.below(6)) {
        case 0: popup->setVisible(r.chance(70)); break;
        case 1: popup->close(); break;
        case 2: m_contents[popup] = pick(m_items), popup->setContent(m_contents[popup]); break;
        case 3: popup->setX(qBound(-20000, r.argument(3000), 20000)); break;
        default: {
            QQuickItem* anchor = r.chance(90) ? pick(m_items) : nullptr;
            lum::QtWindowParent* bridge = popup->showBelow(anchor, r.below(41) - 20.5, r.below(41) - 20.25);
            // Null whenever the popup is gone or nothing opened; else the bridge of the open popup.
            const QPointer<lum::TransientPopupCore> core = guard ? m_popupCores[popup] : nullptr;
            if (bridge && !(anchor && isOpen(core) && bridge == core->windowParent()))
                problems += QStringLiteral("showBelow() answered a bridge other than its open popup's\n");
        }
        }
        m_opening = outer;
    }

    void useDialog(MessageDialog* dialog)
    {
        switch (r.below(5)) {
        case 0: {
            m_frames.push_back({dialog->title()});
            const Button answer = dialog->show();
            const Frame frame = m_frames.back();
            m_frames.pop_back();
            if (answer != frame.pressed)
                problems += QStringLiteral("show() of %1 answered %2\n").arg(frame.title).arg(int(answer));
            break;
        }
        case 1: dialog->showLater(); break;
        case 2: dialog->setWndparent(m_owners[dialog] = r.chance(20) ? nullptr : pick(m_bridges)); break;
        case 3: setTitle(dialog); break;
        default: dialog->setType(MessageDialog::DialogType(r.below(3)));
        }
    }

    // What a handler or an open box does: never creates.
    void inner()
    {
        if (r.chance(30))
            destroy(pickAny(), pickAny());
        else if (r.chance(80))
            use();
        else if (m_jsDepth == 0) // a box's own event loop; never under a QML handler
            QCoreApplication::processEvents();
    }

    // Under a QML handler, QML objects and engines go only from the event loop: Qt aborts when an
    // object dies inside its own handler, and an engine must not die under its running code.
    void destroyNow(QObject* object)
    {
        if (m_jsDepth > 0 && (object->property("cvQml").toBool() || qobject_cast<QQmlEngine*>(object)))
            object->deleteLater();
        else
            delete object;
    }

    // Destroys an object now, later, or when a neighbour (itself included) emits from a call.
    void destroy(QObject* object, QObject* neighbour)
    {
        if (!object)
            return;
        const int how = r.below(3);
        if (how == 0 || !neighbour)
            return destroyNow(object);
        if (how == 1)
            return object->deleteLater();
        auto* wire = new Wire(object, [this](QObject* victim) { ++m_nesting, destroyNow(victim), --m_nesting; });
        const QMetaMethod fire = wire->metaObject()->method(wire->metaObject()->indexOfSlot("fire()"));
        // Only the signals of the module's and the host's own classes: they come from calls, never
        // from a destructor, so nothing is deleted while it is being destroyed.
        const QMetaObject* meta = neighbour->metaObject();
        while (meta && !QByteArray(meta->className()).contains("::"))
            meta = meta->superClass();
        for (int i = meta ? meta->methodOffset() : 0; meta && i < meta->methodCount(); ++i)
            if (meta->method(i).methodType() == QMetaMethod::Signal)
                connect(neighbour, meta->method(i), wire, fire);
        if (!meta)
            connect(neighbour, &QObject::objectNameChanged, wire, &Wire::fire);
        useObject(neighbour);
    }

    void events()
    {
        if (r.chance(10))
            QTest::qWait(5);
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        tidy();
    }

    void tidy()
    {
        const auto tidy = [](auto& list) { list.erase(std::remove(list.begin(), list.end(), nullptr), list.end()); };
        tidy(m_windows), tidy(m_items), tidy(m_bridges), tidy(m_popups), tidy(m_cores), tidy(m_tooltips);
        tidy(m_dialogs), tidy(m_engines), tidy(m_roots);
    }

    cvtest::RandomRun& r;
    hb::HbHostApp& m_app;
    List<QQuickWindow> m_windows;
    List<QQuickItem> m_items;
    List<lum::QtWindowParent> m_bridges;
    List<TransientPopup> m_popups;
    List<lum::TransientPopupCore> m_cores;
    List<SystemTooltip> m_tooltips;
    List<MessageDialog> m_dialogs;
    List<QQmlEngine> m_engines;
    List<QObject> m_roots;
    std::map<TransientPopup*, QPointer<lum::TransientPopupCore>> m_popupCores;
    std::map<TransientPopup*, QPointer<QQuickItem>> m_contents;
    std::map<MessageDialog*, QPointer<lum::QtWindowParent>> m_owners;
    QHash<QString, QPointer<MessageDialog>> m_titles;
    struct Frame
    {
        QString title;
        bool shown = false;
        Button pressed = Button::Ok; // what no box reads as
    };
    std::vector<Frame> m_frames;
    TransientPopup* m_opening = nullptr;
    int m_jsDepth = 0, m_nesting = 0, m_realCores = 0, m_serial = 0;
};

class tst_LifetimesWindowsRandom : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void shouldSurviveRandomDestructionOrders()
    {
        hb::HbHostApp app;
        cvtest::RandomRun random(20261206u, 2500);
        cvtest::MessageGuard messages;
        // The offscreen platform cannot raise Qt's tooltip window and says so each time it shows.
        if (QGuiApplication::platformName() == QLatin1String("offscreen"))
            messages.allowWarning(QStringLiteral("This plugin does not support raise()"));
        const int delay = lum::Settings::instance()->tooltipDelay();
        lum::Settings::instance()->setTooltipDelay(1 + random.below(10));
        {
            WindowsRun run(random, app);
            const auto verify = [&] {
                const QString problems = run.check() + messages.takeProblems();
                return problems.isEmpty() ? QString() : random.where(run.operation) + QStringLiteral(": ") + problems;
            };
            while (random.next()) {
                messages.setContext(random.where(run.operation));
                run.step();
                const QString problems = verify();
                QVERIFY2(problems.isEmpty(), qPrintable(problems));
            }
            run.operation = QStringLiteral("destroy the rest");
            messages.setContext(random.where(run.operation));
            run.destroyAll();
            const QString problems = verify();
            QVERIFY2(problems.isEmpty(), qPrintable(problems));
        }
        lum::Settings::instance()->setTooltipDelay(delay);
        // Qt's tooltip window would otherwise outlive the run half-alive.
        const QWidgetList widgets = QApplication::topLevelWidgets();
        for (QWidget* widget : widgets)
            if (widget->inherits("QTipLabel"))
                delete widget;
        QVERIFY(messages.takeProblems().isEmpty());
    }
};

QTEST_MAIN(tst_LifetimesWindowsRandom)
#include "tst_lifetimes_windows_random.moc"
