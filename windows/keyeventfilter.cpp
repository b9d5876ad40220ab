// Corvane.Core — QML extension module of the Corvane CAD application.
#include "windows/keyeventfilter.h"

#include <QCoreApplication>
#include <QKeyEvent>

namespace core
{
KeyEventFilter::KeyEventFilter(QQuickItem* parent)
    : QQuickItem(parent)
{
}

KeyEventFilter::~KeyEventFilter()
{
    if (QCoreApplication* app = QCoreApplication::instance())
        app->removeEventFilter(this);
    // The target may be one of our own children and die in the base destructors; its destroyed()
    // must not call back into a filter that is no longer one.
    if (m_target)
        QObject::disconnect(m_target, &QObject::destroyed, this, nullptr);
}

QQuickItem* KeyEventFilter::target() const
{
    return m_target;
}

QList<int> KeyEventFilter::keysCodes() const
{
    return m_keysCodes;
}

bool KeyEventFilter::markEventAccepted() const
{
    return m_markEventAccepted;
}

void KeyEventFilter::setTarget(QQuickItem* target)
{
    if (m_target == target)
        return;
    if (m_target)
        QObject::disconnect(m_target, &QObject::destroyed, this, nullptr);
    m_target = target;
    // The application sees every key press before the item it is for: whether that item is below
    // the target is decided then, so no item can come to live below it unseen (QML and Loader
    // parent their objects without ChildAdded events, and a child built with its parent is no
    // item yet when its parent hears of it).
    if (QCoreApplication* app = QCoreApplication::instance()) {
        if (m_target)
            app->installEventFilter(this);
        else
            app->removeEventFilter(this);
    }
    // A destroyed target covers nothing any more; QML learns that it is gone.
    if (m_target)
        QObject::connect(m_target, &QObject::destroyed, this, [this] { Q_EMIT targetChanged(); });
    Q_EMIT targetChanged();
}

void KeyEventFilter::setKeysCodes(QList<int> target)
{
    if (m_keysCodes == target)
        return;
    m_keysCodes = target;
    Q_EMIT keysCodesChanged();
}

void KeyEventFilter::setMarkEventAccepted(bool markAccepted)
{
    if (m_markEventAccepted == markAccepted)
        return;
    m_markEventAccepted = markAccepted;
    Q_EMIT markEventAcceptedChanged();
}

bool KeyEventFilter::eventFilter(QObject* object, QEvent* event)
{
    if (!event || event->type() != QEvent::KeyPress || !covers(object))
        return false;
    auto* keyEvent = static_cast<QKeyEvent*>(event);
    if (!m_keysCodes.contains(keyEvent->key()))
        return false;
    keyEvent->setAccepted(m_markEventAccepted);
    return true;
}

// An item whose object parents lead to the target; plain objects on the way are passed through.
bool KeyEventFilter::covers(const QObject* object) const
{
    if (!m_target || !qobject_cast<const QQuickItem*>(object))
        return false;
    for (; object; object = object->parent())
        if (object == m_target)
            return true;
    return false;
}
}
