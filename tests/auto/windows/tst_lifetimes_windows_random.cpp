// Corvane.Core tests: windows, anchors, popups, tooltips and message dialogs destroyed in random
// orders, also from inside their own signals and while one of their boxes is open.
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
#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>

#include <wx/defs.h>
#include <wx/string.h>

#include <map>

using core::MessageDialog;
using core::SystemTooltip;
using core::TransientPopup;
using Button = MessageDialog::PressedButton;

// Destroys its parent when a signal it is connected to arrives.
class Wire : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

public Q_SLOTS:
    void fire()
    {
        QObject* victim = parent();
        delete this;
        delete victim;
    }
};

// One run. It is also the host's popup factory and answers the host's message boxes.
class tst_LifetimesWindowsRandom : public QObject, public hb::HbPopupFactory
{
    Q_OBJECT

    struct Frame
    {
        QString title;
        bool shown = false;
        Button pressed = Button::Ok; // what no box reads as
    };

    cvtest::RandomRun* r = nullptr;
    hb::HbHostApp* m_app = nullptr;
    std::vector<QPointer<QObject>> m_objects;
    std::map<TransientPopup*, QPointer<lum::TransientPopupCore>> m_cores;
    std::map<TransientPopup*, QPointer<QQuickItem>> m_contents;
    std::map<MessageDialog*, QPointer<lum::QtWindowParent>> m_owners;
    QHash<QString, QPointer<MessageDialog>> m_titles;
    std::vector<Frame> m_frames;
    TransientPopup* m_opening = nullptr;
    int m_nesting = 0, m_serial = 0, m_realCores = 0;
    QString m_problems;

    template <typename T = QObject>
    T* pick()
    {
        std::vector<T*> found;
        for (const QPointer<QObject>& object : m_objects)
            if (T* typed = qobject_cast<T*>(object.data()))
                found.push_back(typed);
        return found.empty() || r->chance(5) ? nullptr : found[std::size_t(r->below(int(found.size())))];
    }
    static bool isOpen(const QPointer<lum::TransientPopupCore>& core) { return core && !core->property("cvClosed").toBool(); }

    template <typename T>
    T* add(T* object)
    {
        m_objects.emplace_back(object);
        return object;
    }

    void create()
    {
        switch (r->below(6)) {
        case 0: {
            auto* window = add(new QQuickWindow);
            window->setGeometry(20 + r->below(400), 20 + r->below(300), 120, 80);
            // The window owns the bridge it names, as the host's own popup windows do.
            if (r->chance(50))
                window->setProperty("__transientPopupParent", QVariant::fromValue<QObject*>(new lum::QtWindowParent(window)));
            for (int i = r->below(3); i >= 0; --i)
                add(new QQuickItem(window->contentItem()))->setSize(QSizeF(10 + r->below(30), 4.5 + r->below(20)));
            if (r->chance(25))
                window->show();
            break;
        }
        case 1: add(new QQuickItem(pick<QQuickItem>()))->setPosition(QPointF(r->below(80), r->below(60))); break;
        case 2: add(new lum::QtWindowParent)->setWxParent(reinterpret_cast<wxWindow*>(quintptr(0x10000 + 16 * m_serial++))); break;
        case 3: {
            auto* popup = add(new TransientPopup);
            popup->setRequestFocusOnShow(r->chance(70));
            m_cores[popup] = nullptr;
            popup->setContent(m_contents[popup] = pick<QQuickItem>());
            break;
        }
        case 4: add(new SystemTooltip(pick<QQuickItem>()))->setText(QStringLiteral("tip %1").arg(m_serial++)); break;
        default: {
            auto* dialog = add(new MessageDialog);
            m_owners[dialog] = nullptr;
            setTitle(dialog);
        }
        }
    }

    void setTitle(MessageDialog* dialog)
    {
        const QString title = QStringLiteral("box %1").arg(m_serial++);
        m_titles.insert(title, dialog);
        dialog->setTitle(title);
    }

    void use(QObject* object)
    {
        if (auto* popup = qobject_cast<TransientPopup*>(object)) {
            const QPointer<TransientPopup> guard(popup);
            TransientPopup* const outer = std::exchange(m_opening, popup);
            switch (r->below(5)) {
            case 0: popup->setVisible(r->chance(70)); break;
            case 1: popup->close(); break;
            case 2: popup->setContent(m_contents[popup] = pick<QQuickItem>()); break;
            case 3: popup->setX(qBound(-20000, r->argument(3000), 20000)); break;
            default: {
                QQuickItem* anchor = pick<QQuickItem>();
                lum::QtWindowParent* bridge = popup->showBelow(anchor, r->below(41) - 20.5, r->below(41) - 20.25);
                // Null unless the popup lives and opened one; then the bridge of that popup.
                const QPointer<lum::TransientPopupCore> core = guard ? m_cores[popup] : nullptr;
                if (bridge && !(anchor && isOpen(core) && bridge == core->windowParent()))
                    m_problems += QStringLiteral("showBelow() answered a bridge other than its open popup's\n");
            }
            }
            m_opening = outer;
        } else if (auto* dialog = qobject_cast<MessageDialog*>(object)) {
            switch (r->below(5)) {
            case 0: {
                m_frames.push_back({dialog->title()});
                const Button answer = dialog->show();
                const Frame frame = m_frames.back();
                m_frames.pop_back();
                if (answer != frame.pressed)
                    m_problems += QStringLiteral("show() of %1 answered %2\n").arg(frame.title).arg(int(answer));
                break;
            }
            case 1: dialog->showLater(); break;
            case 2: dialog->setWndparent(m_owners[dialog] = pick<lum::QtWindowParent>()); break;
            case 3: setTitle(dialog); break;
            default: dialog->setType(MessageDialog::DialogType(r->below(3)));
            }
        } else if (auto* core = qobject_cast<lum::TransientPopupCore*>(object)) {
            r->chance(70) ? core->requestClose() : delete core;
        } else if (auto* tooltip = qobject_cast<SystemTooltip*>(object)) {
            tooltip->setVisible(r->chance(60));
        } else if (auto* bridge = qobject_cast<lum::QtWindowParent*>(object)) {
            bridge->setWindow(pick<QQuickWindow>());
        } else if (object) {
            object->setObjectName(QStringLiteral("n%1").arg(m_serial++));
        }
    }

    // Destroys an object now, later, or when a neighbour (itself included) emits from a call.
    void destroy(QObject* object, QObject* neighbour)
    {
        const int how = r->below(3);
        if (!object || how == 0 || !neighbour)
            return delete object;
        if (how == 1)
            return object->deleteLater();
        // Only signals of the module's and the host's own classes: they come from calls, never from
        // a destructor, so nothing is deleted while it is being destroyed.
        const QMetaObject* meta = neighbour->metaObject();
        while (meta && !QByteArray(meta->className()).contains("::"))
            meta = meta->superClass();
        auto* wire = new Wire(object);
        const QMetaMethod fire = wire->metaObject()->method(wire->metaObject()->indexOfSlot("fire()"));
        for (int i = meta ? meta->methodOffset() : 0; meta && i < meta->methodCount(); ++i)
            if (meta->method(i).methodType() == QMetaMethod::Signal)
                connect(neighbour, meta->method(i), wire, fire);
        if (!meta)
            connect(neighbour, &QObject::objectNameChanged, wire, &Wire::fire);
        use(neighbour);
    }

    // What an open box does.
    void inner()
    {
        if (r->chance(30))
            destroy(pick(), pick());
        else if (r->chance(80))
            use(pick());
        else
            QCoreApplication::processEvents();
    }

    int box(const QString& title, wxWindow* owner)
    {
        static const std::pair<int, Button> answers[] = {{wxYES, Button::Yes}, {wxOK, Button::Ok}, {wxNO, Button::No},
            {wxCANCEL, Button::Cancel}, {0, Button::Ok}, {5, Button::Ok}, {-1, Button::Ok}};
        const QPointer<MessageDialog> dialog = m_titles.value(title);
        if (!dialog)
            m_problems += QStringLiteral("a box came for a dialog that is gone: %1\n").arg(title);
        else if (const auto& bridge = m_owners[dialog]; owner != (bridge ? bridge->getWxParent() : nullptr))
            m_problems += QStringLiteral("the box of %1 has the wrong owner\n").arg(title);
        const auto& [answer, pressed] = answers[r->below(int(std::size(answers)))];
        if (!m_frames.empty() && m_frames.back().title == title && !m_frames.back().shown)
            m_frames.back() = {title, true, pressed};
        if (m_nesting < 3)
            ++m_nesting, inner(), --m_nesting;
        return answer;
    }

    lum::TransientPopupCore* createTransientPopup(int x, int y, QQuickItem* content, QObject* parent, bool noFocus) override
    {
        const int roll = r->below(100);
        lum::TransientPopupCore* core = nullptr;
        if (roll < 25 && m_realCores < 3) {
            core = HbPopupFactory::createTransientPopup(x, y, content, parent, noFocus);
            ++m_realCores;
            connect(core, &QObject::destroyed, this, [this] { --m_realCores; });
        } else if (roll < 85) {
            core = new lum::TransientPopupCore;
            core->setWindowParent(new lum::QtWindowParent(core));
        }
        if (core)
            connect(core, &lum::TransientPopupCore::closed, this, [core] { core->setProperty("cvClosed", true); });
        m_cores[m_opening] = add(core);
        return core;
    }

    // What every live object answers now, against what the run expects.
    QString check()
    {
        QString found = std::exchange(m_problems, QString());
        for (const QPointer<QObject>& object : m_objects) {
            if (auto* popup = qobject_cast<TransientPopup*>(object.data())) {
                if (popup->isVisible() != isOpen(m_cores[popup]))
                    found += QStringLiteral("popup reads visible %1 against its popup\n").arg(popup->isVisible());
                if (popup->content() != m_contents[popup].data())
                    found += QStringLiteral("popup content is not the one set, or not null once destroyed\n");
            } else if (auto* dialog = qobject_cast<MessageDialog*>(object.data())) {
                if (dialog->wndparent() != m_owners[dialog].data())
                    found += QStringLiteral("dialog owner is not the one set, or not null once destroyed\n");
            }
        }
        return found;
    }

private Q_SLOTS:
    void shouldSurviveRandomDestructionOrders()
    {
        hb::HbHostApp app;
        cvtest::RandomRun random(20261206u, 4000);
        r = &random;
        m_app = &app;
        app.quick().setPopupFactory(this);
        app.dialogs().setupMessageBoxFaker(
            [this](const wxString&, const wxString& title, int, wxWindow* owner) { return box(lum::toQt(title), owner); });
        cvtest::MessageGuard messages;
        // The offscreen platform cannot raise Qt's tooltip window and says so each time it shows.
        messages.allowWarning(QStringLiteral("This plugin does not support raise()"));
        lum::Settings::instance()->setTooltipDelay(1 + random.below(10));
        QString operation;
        const auto verify = [&] {
            const QString problems = check() + messages.takeProblems();
            return problems.isEmpty() ? problems : random.where(operation) + QStringLiteral(": ") + problems;
        };
        while (random.next()) {
            static const char* const operations[] = {"create", "use", "destroy", "host", "events"};
            const int roll = random.below(100);
            const int at = roll < 20 ? 0 : roll < 60 ? 1 : roll < 88 ? 2 : roll < 92 ? 3 : 4;
            messages.setContext(random.where(operation = QLatin1String(operations[at])));
            if (at == 0)
                create();
            else if (at == 1)
                use(pick());
            else if (at == 2)
                destroy(pick(), pick());
            else if (at == 3)
                random.chance(50) ? void(hb::HbApp::s_app = hb::HbApp::s_app ? nullptr : &app)
                                  : app.setQuickHost(app.quickHost() ? nullptr : &app.quick());
            else
                QTest::qWait(random.chance(10) ? 5 : 0), QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            m_objects.erase(std::remove(m_objects.begin(), m_objects.end(), nullptr), m_objects.end());
            const QString problems = verify();
            QVERIFY2(problems.isEmpty(), qPrintable(problems));
        }
        // Everything left goes in a random order; handlers that run meanwhile may open more popups.
        messages.setContext(random.where(operation = QStringLiteral("destroy the rest")));
        hb::HbApp::s_app = &app;
        app.setQuickHost(&app.quick());
        for (QObject* object = pick(); !m_objects.empty(); object = pick()) {
            delete object;
            m_objects.erase(std::remove(m_objects.begin(), m_objects.end(), nullptr), m_objects.end());
        }
        QCoreApplication::processEvents();
        const QString problems = verify();
        QVERIFY2(problems.isEmpty(), qPrintable(problems));
        app.quick().setPopupFactory(nullptr);
        // Qt's tooltip window would otherwise outlive the run half-alive.
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (widget->inherits("QTipLabel"))
                delete widget;
    }
};

QTEST_MAIN(tst_LifetimesWindowsRandom)
#include "tst_lifetimes_windows_random.moc"
