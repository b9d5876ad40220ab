// Corvane stand-in for the host's Qt utility library.
#include "lumen/qtwindowparent.h"

#include <QWindow>

namespace lum
{
QtWindowParent::QtWindowParent(QObject* parent)
    : QObject(parent)
{
}

QtWindowParent::~QtWindowParent() = default;

wxWindow* QtWindowParent::getWxParent() const
{
    return m_wxParent;
}

void QtWindowParent::setWxParent(wxWindow* window)
{
    m_wxParent = window;
}

QWindow* QtWindowParent::window() const
{
    return m_window;
}

void QtWindowParent::setWindow(QWindow* window)
{
    if (m_window == window)
        return;
    m_window = window;
    Q_EMIT windowChanged();
}
}
