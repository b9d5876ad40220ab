// Corvane.Core — QML extension module of the Corvane CAD application.
#include "windows/cursorchanger.h"

#include <QCursor>
#include <QGuiApplication>

namespace core
{
CursorChanger::CursorChanger(QObject* parent)
    : QObject(parent)
{
}

CursorChanger::~CursorChanger()
{
    if (m_active) {
        m_active = false;
        QGuiApplication::restoreOverrideCursor();
    }
}

bool CursorChanger::active() const
{
    return m_active;
}

void CursorChanger::setActive(bool active)
{
    if (m_active == active)
        return;
    if (active)
        QGuiApplication::setOverrideCursor(QCursor(Qt::CursorShape(m_cursor)));
    else
        QGuiApplication::restoreOverrideCursor();
    m_active = active;
    Q_EMIT activeChanged();
}

int CursorChanger::cursor() const
{
    return m_cursor;
}

void CursorChanger::setCursor(int cursor)
{
    if (m_cursor == cursor)
        return;
    m_cursor = cursor;
    // Only our own entry may change: while inactive the top entry belongs to someone else.
    if (m_active)
        QGuiApplication::changeOverrideCursor(QCursor(Qt::CursorShape(cursor)));
    Q_EMIT cursorChanged();
}
}
