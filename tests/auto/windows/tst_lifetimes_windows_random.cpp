// Corvane.Core tests: popups, tooltips, message dialogs and QML engines destroyed in random
// orders, also while their signals are being delivered or one of their boxes is open.
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
#include <vessel/dialogfactory.h>

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

#include <algorithm>
#include <iterator>
#include <map>
#include <memory>
#include <vector>

using core::MessageDialog;
using core::SystemTooltip;
using core::TransientPopup;
using cvtest::MessageGuard;
using cvtest::RandomRun;

namespace
{
// Every text creates module objects whose handlers call back into the run. Contents and owners
// are declared inline rather than bound by id: a binding would write them again behind the run's
// back when the referenced object dies. No TableView and no proxy stacked on a proxy here: Qt 5.15
// itself crashes when a TableView's model dies before the first render, and a proxy over a proxy
// whose source dies reads freed memory.
const char* const qmlTexts[] = {
    R"(import QtQuick 2.15
import Corvane.Core 1.0
Item {
    id: root
    width: 48; height: 20
    Item { width: 20; height: 8; y: 6 }
    TransientPopup {
        id: popup
        content: Rectangle { width: 12; height: 10 }
        onVisibleChanged: driver.poke(popup)
        onXChanged: driver.poke(popup)
    }
    SystemTooltip { id: tip; text: "qml tip"; onTipVisibleChanged: driver.poke(tip) }
    MessageDialogCV {
        id: dialog
        wndparent: QtWindowParent {}
        onTitleChanged: driver.poke(dialog)
    }
    Component.onDestruction: driver.poke(root)
})",
    R"(import QtQuick 2.15
import Corvane.Core 1.0
TransientPopup {
    id: popup
    requestFocusOnShow: false
    content: SystemTooltip { text: "inside"; width: 8; height: 8; onTipVisibleChanged: driver.poke(popup) }
    onVisibleChanged: driver.poke(popup)
    onYChanged: driver.poke(popup)
})",
    R"(import QtQuick 2.15
import QtQuick.Window 2.15
import Corvane.Core 1.0
Window {
    id: window
    width: 64; height: 32
    Item { width: 30; height: 12 }
    TransientPopup { id: popup; onVisibleChanged: driver.poke(window) }
    MessageDialogCV { type: MessageDialogCV.Warning; buttons: MessageDialogCV.YesNoCancel }
})",
};

// A host popup without a window: closes when told to, and reports it only then.
class FakeCore : public lum::TransientPopupCore
{
public:
    FakeCore()
    {
        setWindowParent(new lum::QtWindowParent(this));
    }

    void closeNow()
    {
        Q_EMIT closed();
    }
};

// Hands out fake popups only.
class FakeFactory : public hb::HbPopupFactory
{
public:
    lum::TransientPopupCore* createTransientPopup(int, int, QQuickItem*, QObject*, bool) override
    {
        cores.append(new FakeCore);
        return cores.last();
    }

    QList<QPointer<FakeCore>> cores;
};


template <typename T>
void dropDead(std::vector<QPointer<T>>& list)
{
    list.erase(std::remove_if(list.begin(), list.end(), [](const QPointer<T>& object) { return object.isNull(); }),
               list.end());
}
}

class WindowsLifetimeRun;

// Opens fake popups, real host popups or none, and tells the run which popup asked.
class RunPopupFactory : public hb::HbPopupFactory
{
public:
    explicit RunPopupFactory(WindowsLifetimeRun& run)
        : m_run(run)
    {
    }
    lum::TransientPopupCore* createTransientPopup(int x, int y, QQuickItem* content, QObject* parent,
                                                  bool noFocus) override;

private:
    WindowsLifetimeRun& m_run;
};

// A factory of the dialog library's own interface, as another host would bring; boxes go to the run.
class RunDialogFactory : public ves::IDialogFactory
{
public:
    explicit RunDialogFactory(WindowsLifetimeRun* run)
        : m_run(run)
    {
    }
    int showMessageBox(const OdString& title, const OdString& message, wxWindow* parent, int wxStyle) const override;

private:
    WindowsLifetimeRun* m_run;
};

// One randomized run: the objects, what each should answer, and the operations on them. It is
// also the "driver" that the QML handlers call.
class WindowsLifetimeRun : public QObject
{
    Q_OBJECT

public:
    WindowsLifetimeRun(RandomRun& random, hb::HbHostApp& app)
        : m_random(random)
        , m_app(app)
        , m_popupFactory(*this)
    {
        m_app.quick().setPopupFactory(&m_popupFactory);
        m_app.dialogs().setupMessageBoxFaker([this](const wxString&, const wxString& title, int, wxWindow* owner) {
            return box(lum::toQt(title), owner);
        });
    }

    ~WindowsLifetimeRun() override
    {
        hb::HbApp::s_app = &m_app;
        m_app.setQuickHost(&m_app.quick());
        m_app.setDialogFactory(&m_app.dialogs());
        m_app.quick().setPopupFactory(nullptr);
        m_app.dialogs().unsetMessageBoxFaker();
    }

    QString operation;

    /// Popups, tooltips and dialogs that QML engines made so far.
    int madeInQml() const
    {
        return m_madeInQml;
    }

    void step()
    {
        const int roll = m_random.below(100);
        if (roll < 4) {
            operation = QStringLiteral("new window");
            if (m_windows.size() < 5)
                newWindow();
        } else if (roll < 8) {
            operation = QStringLiteral("new item");
            if (m_items.size() < 14)
                newItem();
        } else if (roll < 11) {
            operation = QStringLiteral("new bridge");
            if (m_bridges.size() < 10)
                registerBridge(new lum::QtWindowParent);
        } else if (roll < 15) {
            operation = QStringLiteral("new popup");
            if (m_popups.size() < 10) {
                auto* popup = new TransientPopup;
                registerPopup(popup);
                popup->setRequestFocusOnShow(m_random.chance(70));
                setContent(popup, pickItem());
            }
        } else if (roll < 18) {
            operation = QStringLiteral("new tooltip");
            if (m_tooltips.size() < 8) {
                auto* tooltip = new SystemTooltip(m_random.chance(30) ? pickItem() : nullptr);
                tooltip->setText(m_random.chance(10) ? QString() : QStringLiteral("tip %1").arg(m_serial++));
                m_tooltips.emplace_back(tooltip);
            }
        } else if (roll < 21) {
            operation = QStringLiteral("new dialog");
            if (m_dialogs.size() < 10)
                registerDialog(new MessageDialog);
        } else if (roll < 23) {
            operation = QStringLiteral("new engine");
            if (m_engines.size() < 3) {
                auto* engine = new QQmlEngine;
                engine->rootContext()->setContextProperty(QStringLiteral("driver"), this);
                m_engines.emplace_back(engine);
            }
        } else if (roll < 26) {
            operation = QStringLiteral("new component");
            newComponent();
        } else if (roll < 31) {
            operation = QStringLiteral("create from QML");
            createFromComponent();
        } else if (roll < 33) {
            operation = QStringLiteral("dialog factories");
            factoryStep();
        } else if (roll < 36) {
            operation = QStringLiteral("host");
            hostStep();
        } else if (roll < 50) {
            operation = QStringLiteral("use popup");
            usePopup(pick(m_popups));
        } else if (roll < 55) {
            operation = QStringLiteral("use core");
            useCore(pick(m_cores));
        } else if (roll < 61) {
            operation = QStringLiteral("use tooltip");
            useTooltip(pick(m_tooltips));
        } else if (roll < 69) {
            operation = QStringLiteral("use dialog");
            useDialog(pick(m_dialogs));
        } else if (roll < 92) {
            operation = QStringLiteral("destroy");
            if (m_random.chance(15))
                destroyEngineWhileItsObjectEmits();
            else
                destroy(pickAny(), pickAny());
        } else {
            operation = QStringLiteral("events");
            events();
        }
        tidy();
    }

    // What every live object answers now, against what the run expects.
    QString check()
    {
        QString problems = m_problems;
        m_problems.clear();
        for (const QPointer<TransientPopup>& popup : m_popups) {
            if (!popup)
                continue;
            const PopupModel& model = m_popupModels[popup.data()];
            const bool open = isOpen(model.core);
            if (popup->isVisible() != open)
                problems += QStringLiteral("popup reads visible %1, its popup is %2\n")
                                .arg(popup->isVisible())
                                .arg(open ? QStringLiteral("open") : QStringLiteral("gone"));
            if (popup->content() != model.content.data())
                problems += QStringLiteral("popup content is not the one set, or not null once destroyed\n");
        }
        for (const QPointer<MessageDialog>& dialog : m_dialogs) {
            if (dialog && dialog->wndparent() != m_owners[dialog.data()].data())
                problems += QStringLiteral("dialog owner is not the one set, or not null once destroyed\n");
        }
        return problems;
    }

    // Everything left goes in a random order, engines included. Handlers that run meanwhile may
    // open popups, which go too.
    void destroyAll()
    {
        for (;;) {
            tidy();
            std::vector<QObject*> rest;
            const auto add = [&rest](const auto& list) { rest.insert(rest.end(), list.begin(), list.end()); };
            add(m_windows);
            add(m_items);
            add(m_bridges);
            add(m_popups);
            add(m_cores);
            add(m_tooltips);
            add(m_dialogs);
            add(m_engines);
            add(m_components);
            add(m_roots);
            if (rest.empty())
                break;
            delete rest[std::size_t(m_random.below(int(rest.size())))];
            if (m_random.chance(20))
                events();
        }
        m_app.setDialogFactory(&m_app.dialogs());
        m_dialogFactories.clear();
        events();
    }

    // Called from QML handlers: acts on some object while the handler's signal is delivered.
    Q_INVOKABLE void poke(QObject*)
    {
        ++m_activity;
        if (m_nesting >= 3 || !m_random.chance(60))
            return;
        ++m_jsDepth;
        ++m_nesting;
        innerAction();
        --m_nesting;
        --m_jsDepth;
    }

    // A message box of any factory: checks who asked, answers, and acts while it is open.
    int box(const QString& title, wxWindow* owner)
    {
        ++m_activity;
        const QPointer<MessageDialog> dialog = m_titles.value(title);
        if (!dialog) {
            m_problems += QStringLiteral("a box came for a dialog that is gone: %1\n").arg(title);
        } else {
            const QPointer<lum::QtWindowParent>& expected = m_owners[dialog.data()];
            if (owner != (expected ? expected->getWxParent() : nullptr))
                m_problems += QStringLiteral("the box of %1 has the wrong owner\n").arg(title);
        }
        using Button = MessageDialog::PressedButton;
        // Each box answer and the button show() reports for it; anything unknown reads as Ok.
        static const std::pair<int, Button> answers[] = {{wxYES, Button::Yes}, {wxOK, Button::Ok},
            {wxNO, Button::No}, {wxCANCEL, Button::Cancel}, {0, Button::Ok}, {1, Button::Ok}, {5, Button::Ok},
            {-1, Button::Ok}};
        const auto& [answer, pressed] = answers[m_random.below(8)];
        if (!m_frames.empty() && m_frames.back().title == title && !m_frames.back().shown) {
            m_frames.back().shown = true;
            m_frames.back().pressed = pressed;
        }
        if (m_nesting < 3 && m_random.chance(50)) {
            ++m_nesting;
            innerAction();
            --m_nesting;
        }
        return answer;
    }

    lum::TransientPopupCore* makeCore(int x, int y, QQuickItem* content, QObject* parent, bool noFocus)
    {
        if (m_requesters.empty()) {
            m_problems += QStringLiteral("a popup opened outside the run's calls\n");
            return nullptr;
        }
        TransientPopup* requester = m_requesters.back();
        const int roll = m_random.below(100);
        lum::TransientPopupCore* core = nullptr;
        if (roll < 25 && m_realCores < 3) {
            core = m_popupFactory.HbPopupFactory::createTransientPopup(x, y, content, parent, noFocus);
            ++m_realCores;
            connect(core, &QObject::destroyed, this, [this] { --m_realCores; });
        } else if (roll < 85) {
            core = new FakeCore;
        }
        if (core) {
            core->setProperty("cvReal", roll < 25);
            connect(core, &lum::TransientPopupCore::closed, this, [core] { core->setProperty("cvClosed", true); });
            m_cores.emplace_back(core);
        }
        m_popupModels[requester].core = core;
        ++m_popupModels[requester].openings;
        return core;
    }

private:
    struct PopupModel
    {
        QPointer<lum::TransientPopupCore> core;
        QPointer<QQuickItem> content;
        int openings = 0;
    };

    struct Frame
    {
        QString title;
        bool shown = false;
        MessageDialog::PressedButton pressed = MessageDialog::PressedButton::Ok;
    };

    static bool isOpen(const QPointer<lum::TransientPopupCore>& core)
    {
        return core && !core->property("cvClosed").toBool();
    }

    static bool isQml(QObject* object)
    {
        return object->property("cvQml").toBool() || qobject_cast<QQmlEngine*>(object)
            || qobject_cast<QQmlComponent*>(object);
    }

    template <typename T>
    T* pick(const std::vector<QPointer<T>>& list)
    {
        if (list.empty())
            return nullptr;
        return list[std::size_t(m_random.below(int(list.size())))].data();
    }

    QQuickItem* pickItem()
    {
        return m_random.chance(15) ? nullptr : pick(m_items);
    }

    QObject* pickAny()
    {
        switch (m_random.below(10)) {
        case 0: return pick(m_windows);
        case 1: return pick(m_items);
        case 2: return pick(m_bridges);
        case 3: return pick(m_popups);
        case 4: return pick(m_cores);
        case 5: return pick(m_tooltips);
        case 6: return pick(m_dialogs);
        case 7: return pick(m_engines);
        case 8: return pick(m_components);
        default: return pick(m_roots);
        }
    }

    void registerPopup(TransientPopup* popup)
    {
        m_popups.emplace_back(popup);
        m_popupModels[popup].content = popup->content();
        connect(popup, &QObject::destroyed, this, [this, popup] { m_popupModels.erase(popup); });
    }

    void registerDialog(MessageDialog* dialog)
    {
        m_dialogs.emplace_back(dialog);
        m_owners[dialog] = dialog->wndparent();
        connect(dialog, &QObject::destroyed, this, [this, dialog] { m_owners.erase(dialog); });
        setTitle(dialog);
        if (!dialog->wndparent() && m_random.chance(50))
            setOwner(dialog, pick(m_bridges));
    }

    void registerBridge(lum::QtWindowParent* bridge)
    {
        // A made-up native window, only compared and never dereferenced.
        bridge->setWxParent(reinterpret_cast<wxWindow*>(quintptr(0x10000 + 16 * m_serial++)));
        m_bridges.emplace_back(bridge);
    }

    void newWindow()
    {
        auto* window = new QQuickWindow;
        window->setGeometry(20 + m_random.below(400), 20 + m_random.below(300), 120, 80);
        // The window owns the bridge it names: the property is a plain pointer, so the host's own
        // popup windows keep theirs exactly as long.
        if (m_random.chance(50)) {
            auto* bridge = new lum::QtWindowParent(window);
            bridge->setWindow(window);
            window->setProperty("__transientPopupParent", QVariant::fromValue<QObject*>(bridge));
        }
        for (int i = 0, count = 1 + m_random.below(3); i < count; ++i) {
            auto* anchor = new QQuickItem(window->contentItem());
            anchor->setPosition(QPointF(m_random.below(80), m_random.below(60)));
            anchor->setSize(QSizeF(10 + m_random.below(30), 4.5 + m_random.below(20)));
            m_items.emplace_back(anchor);
        }
        if (m_random.chance(25))
            window->show();
        m_windows.emplace_back(window);
    }

    void newItem()
    {
        auto* item = new QQuickItem;
        item->setSize(QSizeF(m_random.below(40), m_random.below(30)));
        if (QQuickWindow* window = pick(m_windows); window && m_random.chance(50))
            item->setParentItem(window->contentItem());
        else if (m_random.chance(30))
            item->setParentItem(pick(m_items));
        m_items.emplace_back(item);
    }

    void newComponent()
    {
        QQmlEngine* engine = pick(m_engines);
        if (!engine || m_components.size() >= 6)
            return;
        // The engine owns the component: a component keeps a plain pointer to its engine.
        auto* component = new QQmlComponent(engine, engine);
        const int text = m_random.below(int(std::size(qmlTexts)));
        component->setData(qmlTexts[text], QUrl(QStringLiteral("file:///lifetimes%1.qml").arg(text)));
        if (!component->isReady())
            m_problems += component->errorString();
        m_components.emplace_back(component);
    }

    void createFromComponent()
    {
        QQmlComponent* component = pick(m_components);
        if (!component || m_roots.size() >= 8 || !component->isReady())
            return;
        QObject* root = component->create();
        if (!root) {
            m_problems += component->errorString();
            return;
        }
        m_roots.emplace_back(root);
        const QList<QObject*> children = root->findChildren<QObject*>();
        std::vector<QObject*> made(children.begin(), children.end());
        made.push_back(root);
        // All marked before any is registered: registering emits, and handlers may run.
        for (QObject* object : made)
            object->setProperty("cvQml", true);
        for (QObject* object : made) {
            if (qobject_cast<TransientPopup*>(object) || qobject_cast<SystemTooltip*>(object)
                || qobject_cast<MessageDialog*>(object))
                ++m_madeInQml;
            if (auto* window = qobject_cast<QQuickWindow*>(object))
                m_windows.emplace_back(window);
            if (auto* popup = qobject_cast<TransientPopup*>(object))
                registerPopup(popup);
            if (auto* tooltip = qobject_cast<SystemTooltip*>(object))
                m_tooltips.emplace_back(tooltip);
            if (auto* dialog = qobject_cast<MessageDialog*>(object))
                registerDialog(dialog);
            if (auto* bridge = qobject_cast<lum::QtWindowParent*>(object))
                registerBridge(bridge);
            // A window's root item belongs to the window and is never handed around.
            auto* item = qobject_cast<QQuickItem*>(object);
            if (item && !(item->window() && item->window()->contentItem() == item))
                m_items.emplace_back(item);
        }
        auto* rootItem = qobject_cast<QQuickItem*>(root);
        if (QQuickWindow* window = pick(m_windows); rootItem && window && m_random.chance(60))
            rootItem->setParentItem(window->contentItem());
        // Some roots belong to the engine and go with it.
        if (m_random.chance(40))
            root->setParent(component->engine());
    }

    void factoryStep()
    {
        const int roll = m_random.below(4);
        if (roll == 0 && m_dialogFactories.size() < 4) {
            if (m_dialogFactories.empty() || m_random.chance(50))
                m_dialogFactories.push_back(std::make_unique<RunDialogFactory>(this));
            else
                m_dialogFactories.push_back(std::make_unique<RunDialogFactory>(*m_dialogFactories.front()));
            // The interface's faker hook keeps nothing: boxes still reach showMessageBox().
            m_dialogFactories.back()->setupMessageBoxFaker([this](const wxString&, const wxString&, int, wxWindow*) {
                m_problems += QStringLiteral("a faker given to the dialog interface was called\n");
                return wxOK;
            });
        } else if (roll == 1 && m_dialogFactories.size() >= 2) {
            *m_dialogFactories.back() = *m_dialogFactories.front();
        } else if (roll == 2 && !m_dialogFactories.empty()) {
            const std::size_t at = std::size_t(m_random.below(int(m_dialogFactories.size())));
            if (m_app.dialogFactory() == m_dialogFactories[at].get())
                m_app.setDialogFactory(nullptr);
            m_dialogFactories.erase(m_dialogFactories.begin() + long(at));
        } else {
            swapDialogFactory();
        }
    }

    void swapDialogFactory()
    {
        const int at = m_random.below(int(m_dialogFactories.size()) + 2);
        if (at == 0)
            m_app.setDialogFactory(nullptr);
        else if (at == 1)
            m_app.setDialogFactory(&m_app.dialogs());
        else
            m_app.setDialogFactory(m_dialogFactories[std::size_t(at - 2)].get());
    }

    void hostStep()
    {
        switch (m_random.below(3)) {
        case 0:
            hb::HbApp::s_app = hb::HbApp::s_app ? nullptr : &m_app;
            break;
        case 1:
            m_app.setQuickHost(m_app.quickHost() ? nullptr : &m_app.quick());
            break;
        default:
            swapDialogFactory();
        }
    }

    // Opens through popup while the factory knows who asked.
    template <typename Call>
    auto opening(TransientPopup* popup, Call call)
    {
        m_requesters.push_back(popup);
        struct Pop
        {
            std::vector<TransientPopup*>& requesters;
            ~Pop() { requesters.pop_back(); }
        } pop{m_requesters};
        return call();
    }

    void setContent(TransientPopup* popup, QQuickItem* content)
    {
        m_popupModels[popup].content = content;
        popup->setContent(content);
    }

    void usePopup(TransientPopup* popup)
    {
        if (!popup)
            return;
        switch (m_random.below(7)) {
        case 0:
            opening(popup, [popup] { popup->show(); });
            break;
        case 1:
        case 2: {
            QQuickItem* anchor = m_random.chance(90) ? pick(m_items) : nullptr;
            const double dx = m_random.below(41) - 20.5;
            const double dy = m_random.below(41) - 20.25;
            QPointer<TransientPopup> guard(popup);
            const int openings = m_popupModels[popup].openings;
            lum::QtWindowParent* bridge = opening(popup, [=] { return popup->showBelow(anchor, dx, dy); });
            // Without an anchor or a host nothing opens, and the answer is null whatever is open.
            lum::QtWindowParent* expected = nullptr;
            if (guard && m_popupModels[popup].openings != openings && isOpen(m_popupModels[popup].core))
                expected = m_popupModels[popup].core->windowParent();
            if (bridge != expected)
                m_problems += QStringLiteral("showBelow() answered a bridge other than its open popup's\n");
            // What QML does with the answer: the owner of dialogs opened from inside the popup. The
            // bridge is the host's, so the run never destroys it.
            if (bridge)
                m_popupBridges.emplace_back(bridge);
            break;
        }
        case 3:
            popup->close();
            break;
        case 4: {
            const bool visible = m_random.chance(50);
            opening(popup, [=] { popup->setVisible(visible); });
            break;
        }
        case 5:
            setContent(popup, pickItem());
            break;
        default:
            // Bounded: at points near INT_MAX the host's popup window gets no backing image, and
            // Qt's software renderer warns when it paints it. The module passes points on as given.
            popup->setX(qBound(-20000, m_random.argument(3000), 20000));
        }
    }

    void useCore(lum::TransientPopupCore* core)
    {
        if (!core)
            return;
        auto* fake = dynamic_cast<FakeCore*>(core);
        const int roll = m_random.below(4);
        if (roll == 0 && fake && !core->property("cvClosed").toBool())
            fake->closeNow();
        else if (roll <= 1)
            core->requestClose();
        else
            destroyNow(core);
    }

    void useTooltip(SystemTooltip* tooltip)
    {
        if (!tooltip)
            return;
        if (m_random.chance(20)) {
            tooltip->setText(QStringLiteral("tip %1").arg(m_serial++));
            return;
        }
        const bool visible = m_random.chance(60);
        const int writes = ++m_activity;
        QPointer<SystemTooltip> guard(tooltip);
        tooltip->setVisible(visible);
        // Only when no handler acted meanwhile: closing or activating a window hides Qt's tooltip.
        if (!guard || writes != m_activity)
            return;
        if (visible && !tooltip->text().isEmpty() && !tooltip->isVisible())
            m_problems += QStringLiteral("a tooltip just shown reads invisible\n");
        if (visible)
            return;
        for (const QPointer<SystemTooltip>& other : m_tooltips) {
            const bool onScreen = other && QToolTip::isVisible() && QToolTip::text() == other->text();
            if (other && other->isVisible() != onScreen)
                m_problems += QStringLiteral("a tooltip reads visible although none is pending or shown\n");
        }
    }

    void setTitle(MessageDialog* dialog)
    {
        const QString title = QStringLiteral("box %1").arg(m_serial++);
        m_titles.insert(title, dialog);
        dialog->setTitle(title);
    }

    void setOwner(MessageDialog* dialog, lum::QtWindowParent* bridge)
    {
        m_owners[dialog] = bridge;
        dialog->setWndparent(bridge);
    }

    void useDialog(MessageDialog* dialog)
    {
        if (!dialog)
            return;
        switch (m_random.below(6)) {
        case 0:
        case 1: {
            m_frames.push_back({dialog->title()});
            const MessageDialog::PressedButton answer = dialog->show();
            const Frame frame = m_frames.back();
            m_frames.pop_back();
            if (answer != frame.pressed)
                m_problems += QStringLiteral("show() of %1 answered %2\n").arg(frame.title).arg(int(answer));
            break;
        }
        case 2:
            dialog->showLater();
            break;
        case 3:
            if (m_random.chance(20))
                setOwner(dialog, nullptr);
            else
                setOwner(dialog, m_random.chance(70) ? pick(m_bridges) : pick(m_popupBridges));
            break;
        case 4:
            setTitle(dialog);
            break;
        default: {
            // Now and then a kind that shows nothing.
            QPointer<MessageDialog> guard(dialog);
            dialog->setType(MessageDialog::DialogType(m_random.below(m_random.chance(90) ? 3 : 4)));
            if (guard)
                dialog->setButtons(MessageDialog::DialogButtons(m_random.below(4)));
        }
        }
    }

    // What a handler or an open box does: never creates, never destroys a dialog factory.
    void innerAction()
    {
        switch (m_random.below(8)) {
        case 0:
        case 1:
            destroy(pickAny(), pickAny());
            break;
        case 2: usePopup(pick(m_popups)); break;
        case 3: useCore(pick(m_cores)); break;
        case 4: useTooltip(pick(m_tooltips)); break;
        case 5: useDialog(pick(m_dialogs)); break;
        case 6:
            if (m_random.chance(50))
                swapDialogFactory();
            else
                hostStep();
            break;
        default:
            // A box's own event loop; never while a QML handler runs, whose object it could delete.
            if (m_jsDepth == 0)
                QCoreApplication::processEvents();
        }
    }

    // While a QML handler runs, QML objects and engines go only from the event loop: Qt aborts
    // when an object dies inside one of its own handlers, and an engine must not die under its
    // running code.
    void destroyNow(QObject* object)
    {
        if (m_jsDepth > 0 && isQml(object))
            object->deleteLater();
        else
            delete object;
    }

    // Destroys an object now, later, or from inside one of a neighbour's signals (itself included).
    void destroy(QObject* object, QObject* neighbour)
    {
        if (!object)
            return;
        const int how = m_random.below(3);
        if (how == 1) {
            object->deleteLater();
        } else if (how == 2 && neighbour) {
            arm(object, neighbour);
            provoke(neighbour);
        } else {
            destroyNow(object);
        }
    }

    void destroyEngineWhileItsObjectEmits()
    {
        QObject* emitter = nullptr;
        switch (m_random.below(3)) {
        case 0: emitter = pick(m_popups); break;
        case 1: emitter = pick(m_tooltips); break;
        default: emitter = pick(m_dialogs);
        }
        QQmlEngine* engine = emitter ? qmlEngine(emitter) : nullptr;
        if (!engine)
            return;
        arm(engine, emitter);
        provoke(emitter);
    }

    // Destroys object once neighbour emits one of its own signals. Only signals that come from
    // calls, never from a destructor, so the object is never deleted while it is being destroyed.
    void arm(QObject* object, QObject* neighbour)
    {
        auto* wire = new QObject(object);
        QPointer<QObject> target(object);
        const auto fire = [this, wire, target] {
            QObject* victim = target.data();
            delete wire;
            ++m_activity;
            ++m_nesting;
            if (victim)
                destroyNow(victim);
            --m_nesting;
        };
        if (auto* popup = qobject_cast<TransientPopup*>(neighbour)) {
            connect(popup, &TransientPopup::visibleChanged, wire, fire);
            connect(popup, &TransientPopup::xChanged, wire, fire);
            connect(popup, &TransientPopup::yChanged, wire, fire);
            connect(popup, &TransientPopup::contentChanged, wire, fire);
        } else if (auto* core = qobject_cast<lum::TransientPopupCore*>(neighbour)) {
            connect(core, &lum::TransientPopupCore::closed, wire, fire);
        } else if (auto* tooltip = qobject_cast<SystemTooltip*>(neighbour)) {
            connect(tooltip, &SystemTooltip::tipVisibleChanged, wire, fire);
            connect(tooltip, &SystemTooltip::textChanged, wire, fire);
        } else if (auto* dialog = qobject_cast<MessageDialog*>(neighbour)) {
            connect(dialog, &MessageDialog::titleChanged, wire, fire);
            connect(dialog, &MessageDialog::wndparentChanged, wire, fire);
            connect(dialog, &MessageDialog::typeChanged, wire, fire);
        } else if (auto* bridge = qobject_cast<lum::QtWindowParent*>(neighbour)) {
            connect(bridge, &lum::QtWindowParent::windowChanged, wire, fire);
        } else {
            connect(neighbour, &QObject::objectNameChanged, wire, fire);
        }
    }

    void provoke(QObject* neighbour)
    {
        if (auto* popup = qobject_cast<TransientPopup*>(neighbour))
            usePopup(popup);
        else if (auto* core = qobject_cast<lum::TransientPopupCore*>(neighbour))
            useCore(core);
        else if (auto* tooltip = qobject_cast<SystemTooltip*>(neighbour))
            useTooltip(tooltip);
        else if (auto* dialog = qobject_cast<MessageDialog*>(neighbour))
            useDialog(dialog);
        else if (auto* bridge = qobject_cast<lum::QtWindowParent*>(neighbour))
            bridge->setWindow(m_random.chance(20) ? nullptr : pick(m_windows));
        else
            neighbour->setObjectName(QStringLiteral("n%1").arg(m_serial++));
    }

    void events()
    {
        if (m_random.chance(10))
            QTest::qWait(5);
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void tidy()
    {
        dropDead(m_windows);
        dropDead(m_items);
        dropDead(m_bridges);
        dropDead(m_popupBridges);
        dropDead(m_popups);
        dropDead(m_cores);
        dropDead(m_tooltips);
        dropDead(m_dialogs);
        dropDead(m_engines);
        dropDead(m_components);
        dropDead(m_roots);
        for (auto it = m_titles.begin(); it != m_titles.end();) {
            if (it.value())
                ++it;
            else
                it = m_titles.erase(it);
        }
    }

    RandomRun& m_random;
    hb::HbHostApp& m_app;
    RunPopupFactory m_popupFactory;
    std::vector<std::unique_ptr<RunDialogFactory>> m_dialogFactories;
    std::vector<QPointer<QQuickWindow>> m_windows;
    std::vector<QPointer<QQuickItem>> m_items;
    std::vector<QPointer<lum::QtWindowParent>> m_bridges;
    std::vector<QPointer<lum::QtWindowParent>> m_popupBridges;
    std::vector<QPointer<TransientPopup>> m_popups;
    std::vector<QPointer<lum::TransientPopupCore>> m_cores;
    std::vector<QPointer<SystemTooltip>> m_tooltips;
    std::vector<QPointer<MessageDialog>> m_dialogs;
    std::vector<QPointer<QQmlEngine>> m_engines;
    std::vector<QPointer<QQmlComponent>> m_components;
    std::vector<QPointer<QObject>> m_roots;
    std::map<TransientPopup*, PopupModel> m_popupModels;
    std::map<MessageDialog*, QPointer<lum::QtWindowParent>> m_owners;
    QHash<QString, QPointer<MessageDialog>> m_titles;
    std::vector<TransientPopup*> m_requesters;
    std::vector<Frame> m_frames;
    QString m_problems;
    int m_jsDepth = 0;
    int m_nesting = 0;
    int m_realCores = 0;
    int m_activity = 0;
    int m_serial = 0;
    int m_madeInQml = 0;
};

lum::TransientPopupCore* RunPopupFactory::createTransientPopup(int x, int y, QQuickItem* content, QObject* parent,
                                                               bool noFocus)
{
    return m_run.makeCore(x, y, content, parent, noFocus);
}

int RunDialogFactory::showMessageBox(const OdString& title, const OdString&, wxWindow* parent, int) const
{
    return m_run->box(lum::toQt(title), parent);
}

class tst_LifetimesWindowsRandom : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void shouldSurviveRandomDestructionOrders_data();
    void shouldSurviveRandomDestructionOrders();
    void shouldAnswerNullWhenDeletedByAHandlerOfShowBelow_issue10_data();
    void shouldAnswerNullWhenDeletedByAHandlerOfShowBelow_issue10();
    void shouldHearAPopupThatClosesWhileItsOpeningIsAnnounced_issue10();

private:
    std::unique_ptr<hb::HbHostApp> m_app;
};

void tst_LifetimesWindowsRandom::initTestCase()
{
    m_app = std::make_unique<hb::HbHostApp>();
}

void tst_LifetimesWindowsRandom::cleanupTestCase()
{
    m_app.reset();
}

void tst_LifetimesWindowsRandom::shouldSurviveRandomDestructionOrders_data()
{
    QTest::addColumn<uint>("seed");
    QTest::newRow("first") << 20261206u;
    QTest::newRow("second") << 20261210u;
    QTest::newRow("third") << 20261213u;
}

void tst_LifetimesWindowsRandom::shouldSurviveRandomDestructionOrders()
{
    QFETCH(uint, seed);
    RandomRun random(seed, 10000);
    MessageGuard messages;
    // The offscreen platform cannot raise Qt's tooltip window and says so each time it shows.
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        messages.allowWarning(QStringLiteral("This plugin does not support raise()"));
    const int delay = lum::Settings::instance()->tooltipDelay();
    lum::Settings::instance()->setTooltipDelay(1 + random.below(10));
    int madeInQml = 0;
    {
        WindowsLifetimeRun run(random, *m_app);
        while (random.next()) {
            messages.setContext(random.where(run.operation));
            run.step();
            const QString problems = run.check() + messages.takeProblems();
            QVERIFY2(problems.isEmpty(), qPrintable(random.where(run.operation) + QStringLiteral(": ") + problems));
        }
        run.operation = QStringLiteral("destroy the rest");
        messages.setContext(random.where(run.operation));
        run.destroyAll();
        madeInQml = run.madeInQml();
        const QString problems = run.check() + messages.takeProblems();
        QVERIFY2(problems.isEmpty(), qPrintable(random.where(run.operation) + QStringLiteral(": ") + problems));
    }
    lum::Settings::instance()->setTooltipDelay(delay);
    // Qt's tooltip window would otherwise outlive the run half-alive.
    QToolTip::hideText();
    const QWidgetList widgets = QApplication::topLevelWidgets();
    for (QWidget* widget : widgets) {
        if (widget->inherits("QTipLabel"))
            delete widget;
    }
    QVERIFY(messages.takeProblems().isEmpty());
    qInfo("%d operations, %d module objects made in QML, seed %u", random.step() + 1, madeInQml, random.seed());
}

void tst_LifetimesWindowsRandom::shouldAnswerNullWhenDeletedByAHandlerOfShowBelow_issue10_data()
{
    QTest::addColumn<QString>("signal");
    QTest::newRow("visibleChanged") << QStringLiteral("visible");
    QTest::newRow("xChanged") << QStringLiteral("x");
    QTest::newRow("yChanged") << QStringLiteral("y");
}

void tst_LifetimesWindowsRandom::shouldAnswerNullWhenDeletedByAHandlerOfShowBelow_issue10()
{
    QFETCH(QString, signal);
    // Given a popup whose handler of one of the signals of showBelow() deletes it
    FakeFactory factory;
    m_app->quick().setPopupFactory(&factory);
    QQuickItem anchor;
    anchor.setSize(QSizeF(30, 12));
    auto* popup = new TransientPopup;
    popup->setX(-5);
    popup->setY(-5);
    const auto deletePopup = [popup] { delete popup; };
    if (signal == QLatin1String("visible"))
        connect(popup, &TransientPopup::visibleChanged, popup, deletePopup);
    else if (signal == QLatin1String("x"))
        connect(popup, &TransientPopup::xChanged, popup, deletePopup);
    else
        connect(popup, &TransientPopup::yChanged, popup, deletePopup);
    QPointer<TransientPopup> guard(popup);

    // When it opens below an item
    lum::QtWindowParent* bridge = popup->showBelow(&anchor, 1, 2);

    // Then it answers no bridge, and the popup it opened is left open
    m_app->quick().setPopupFactory(nullptr);
    QVERIFY(!guard);
    QCOMPARE(bridge, nullptr);
    QCOMPARE(factory.cores.size(), 1);
    QVERIFY(factory.cores.first());
    delete factory.cores.first().data();
}

void tst_LifetimesWindowsRandom::shouldHearAPopupThatClosesWhileItsOpeningIsAnnounced_issue10()
{
    // Given a handler that lets the popup close while its opening is announced, as a nested
    // event loop (a message box, say) does when the user presses Escape in the popup
    FakeFactory factory;
    m_app->quick().setPopupFactory(&factory);
    QQuickItem anchor;
    TransientPopup popup;
    QList<bool> seen;
    connect(&popup, &TransientPopup::visibleChanged, this, [&] {
        seen.append(popup.isVisible());
        if (seen.size() == 1)
            factory.cores.last()->closeNow();
    });

    // When it opens
    lum::QtWindowParent* bridge = popup.showBelow(&anchor);

    // Then it reports the close and no longer tracks the closed popup
    m_app->quick().setPopupFactory(nullptr);
    QCOMPARE(seen, QList<bool>({true, false}));
    QVERIFY(!popup.isVisible());
    QCOMPARE(bridge, nullptr);
    popup.close();
    delete factory.cores.first().data();
}

QTEST_MAIN(tst_LifetimesWindowsRandom)
#include "tst_lifetimes_windows_random.moc"
