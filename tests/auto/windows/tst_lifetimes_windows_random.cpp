// Corvane.Core tests: windows, items, bridges and transient popups destroyed in random orders,
// also from inside their own signals. CV_RANDOM_SEED replays a run.
#include "support/reliability_random.h"
#include "windows/transientpopup.h"

#include <harbor/hbhostapp.h>
#include <harbor/hbpopupfactory.h>
#include <lumen/qtwindowparent.h>
#include <lumen/transientpopupcore.h>

#include <QPointer>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>

#include <map>

using core::TransientPopup;
using Core = lum::TransientPopupCore;

// One run; it is also the host's popup factory.
class tst_LifetimesWindowsRandom : public QObject, public hb::HbPopupFactory
{
    Q_OBJECT

    cvtest::RandomRun* r = nullptr;
    std::vector<QPointer<QObject>> m_objects;
    // Per popup: the popup the host made for it last, and the content it was given last
    std::map<TransientPopup*, std::pair<QPointer<Core>, QPointer<QQuickItem>>> m_popups;
    TransientPopup* m_opening = nullptr;
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
    template <typename T>
    T* add(T* object) { return m_objects.emplace_back(object), object; }
    static bool isOpen(const QPointer<Core>& core) { return core && !core->property("cvClosed").toBool(); }

    void create()
    {
        if (const int kind = r->below(4); kind == 0) {
            auto* window = add(new QQuickWindow);
            window->setGeometry(20 + r->below(400), 20 + r->below(300), 120, 80);
            // The window owns the bridge it names, as the host's own popup windows do.
            if (r->chance(50))
                window->setProperty("__transientPopupParent", QVariant::fromValue<QObject*>(new lum::QtWindowParent(window)));
            add(new QQuickItem(window->contentItem()))->setSize(QSizeF(10 + r->below(30), 4.5 + r->below(20)));
        } else if (kind == 1) {
            add(new QQuickItem(pick<QQuickItem>()))->setPosition(QPointF(r->below(80), r->below(60)));
        } else {
            auto* popup = add(new TransientPopup);
            popup->setRequestFocusOnShow(r->chance(70));
            m_popups[popup] = {nullptr, pick<QQuickItem>()};
            popup->setContent(m_popups[popup].second);
        }
    }

    void use(QObject* object)
    {
        auto* popup = qobject_cast<TransientPopup*>(object);
        if (auto* core = qobject_cast<Core*>(object))
            r->chance(70) ? core->requestClose() : delete core;
        else if (!popup && object)
            object->setObjectName(QStringLiteral("n%1").arg(r->below(1000)));
        if (!popup)
            return;
        const QPointer<TransientPopup> guard(popup);
        m_opening = popup;
        if (const int how = r->below(4); how == 0) {
            popup->setVisible(r->chance(70));
        } else if (how == 1) {
            popup->setContent(m_popups[popup].second = pick<QQuickItem>());
        } else if (how == 2) {
            popup->setX(r->argument(3000));
        } else if (lum::QtWindowParent* bridge = popup->showBelow(pick<QQuickItem>(), r->below(41) - 20.5, r->below(41) - 20.25)) {
            // Null unless the popup lives and opened one; then the bridge of that popup.
            const QPointer<Core> core = guard ? m_popups[popup].first : nullptr;
            if (!isOpen(core) || bridge != core->windowParent())
                m_problems += QStringLiteral("showBelow() answered a bridge other than its open popup's\n");
        }
    }

    // Destroys an object now, later, or when a neighbour (itself included) emits from a call;
    // never from a destructor (contentChanged does).
    void destroy(QObject* object, QObject* neighbour)
    {
        if (const int how = r->below(3); !object || how == 0 || !neighbour)
            return delete object;
        else if (how == 1)
            return object->deleteLater();
        auto* wire = new QObject(object);
        const auto fire = [wire] { delete wire->parent(); };
        if (auto* popup = qobject_cast<TransientPopup*>(neighbour))
            for (auto signal : {&TransientPopup::visibleChanged, &TransientPopup::xChanged, &TransientPopup::yChanged})
                connect(popup, signal, wire, fire);
        if (auto* core = qobject_cast<Core*>(neighbour))
            connect(core, &Core::closed, wire, fire);
        connect(neighbour, &QObject::objectNameChanged, wire, fire);
        use(neighbour);
    }

    Core* createTransientPopup(int, int, QQuickItem*, QObject*, bool) override
    {
        auto* core = r->chance(85) ? new Core : nullptr;
        if (core) {
            core->setWindowParent(new lum::QtWindowParent(core));
            connect(core, &Core::closed, this, [core] { core->setProperty("cvClosed", true); });
        }
        m_popups[m_opening].first = add(core);
        return core;
    }

    QString check()
    {
        QString found = std::exchange(m_problems, QString());
        m_objects.erase(std::remove(m_objects.begin(), m_objects.end(), nullptr), m_objects.end());
        for (const QPointer<QObject>& object : m_objects) {
            if (auto* popup = qobject_cast<TransientPopup*>(object.data())) {
                if (popup->isVisible() != isOpen(m_popups[popup].first))
                    found += QStringLiteral("popup reads visible %1 against its popup\n").arg(popup->isVisible());
                if (popup->content() != m_popups[popup].second.data())
                    found += QStringLiteral("popup content is not the one set, or not null once destroyed\n");
            }
        }
        return found;
    }

private Q_SLOTS:
    void shouldSurviveRandomDestructionOrders()
    {
        hb::HbHostApp app;
        cvtest::RandomRun random(20261206u, 3000);
        r = &random;
        app.quick().setPopupFactory(this);
        cvtest::MessageGuard messages;
        while (random.next()) {
            const int roll = random.below(100);
            messages.setContext(random.where(QString::number(roll)));
            if (roll < 25)
                create();
            else if (roll < 60)
                use(pick());
            else if (roll < 90)
                destroy(pick(), pick());
            else if (roll < 94)
                app.setQuickHost(app.quickHost() ? nullptr : &app.quick());
            else
                QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            const QString problems = check() + messages.takeProblems();
            QVERIFY2(problems.isEmpty(), qPrintable(random.where(QString::number(roll)) + QStringLiteral(": ") + problems));
        }
        // Everything left goes in a random order.
        app.setQuickHost(&app.quick());
        for (QObject* object = pick(); !m_objects.empty(); object = pick())
            delete object, check();
        QCoreApplication::processEvents();
        QVERIFY2(check().isEmpty() && messages.takeProblems().isEmpty(), qPrintable(random.where("destroy the rest")));
        app.quick().setPopupFactory(nullptr);
    }
};

QTEST_MAIN(tst_LifetimesWindowsRandom)
#include "tst_lifetimes_windows_random.moc"
