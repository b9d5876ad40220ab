// Corvane.Core — QML extension module of the Corvane CAD application.
#include "windows/keyeventfilter.h"

#include <QKeyEvent>

namespace core
{
KeyEventFilter::KeyEventFilter(QQuickItem* parent)
    : QQuickItem(parent)
{
}

KeyEventFilter::~KeyEventFilter()
{
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
    if (m_target) {
        QObject::disconnect(m_target, &QObject::destroyed, this, nullptr);
        walk(m_target, Action::Remove);
    }
    m_target = target;
    if (m_target) {
        walk(m_target, Action::Install);
        // A destroyed target is never walked again; QML learns that it is gone.
        QObject::connect(m_target, &QObject::destroyed, this, [this] { Q_EMIT targetChanged(); });
    }
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
    Q_UNUSED(object)
    if (!event)
        return false;
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto* keyEvent = dynamic_cast<QKeyEvent*>(event);
        if (!keyEvent || !m_keysCodes.contains(keyEvent->key()))
            return false;
        keyEvent->setAccepted(m_markEventAccepted);
        return true;
    }
    case QEvent::ChildAdded:
        walk(static_cast<QChildEvent*>(event)->child(), Action::Install);
        return false;
    case QEvent::ChildRemoved:
        walk(static_cast<QChildEvent*>(event)->child(), Action::Remove);
        return false;
    default:
        return false;
    }
}

// Follows the QObject tree, so items nested in non-item objects are reached too.
void KeyEventFilter::walk(QObject* object, Action action)
{
    if (!object)
        return;
    // A removed child may be in its destructor already (no longer an item): removing a filter needs
    // no cast, and removing one that was never installed does nothing.
    if (action == Action::Remove)
        object->removeEventFilter(this);
    else if (auto* item = qobject_cast<QQuickItem*>(object))
        item->installEventFilter(this);
    const QObjectList children = object->children();
    for (QObject* child : children)
        walk(child, action);
}
}
