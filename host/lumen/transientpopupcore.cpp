// Corvane stand-in for the host's Qt utility library.
#include "lumen/transientpopupcore.h"

#include "lumen/qtwindowparent.h"

#include <QMetaObject>

namespace lum
{
TransientPopupCore::TransientPopupCore(QObject* parent)
    : QObject(parent)
{
}

TransientPopupCore::~TransientPopupCore() = default;

QtWindowParent* TransientPopupCore::windowParent() const
{
    return m_windowParent;
}

void TransientPopupCore::setWindowParent(QtWindowParent* bridge)
{
    m_windowParent = bridge;
}

void TransientPopupCore::requestClose()
{
    QMetaObject::invokeMethod(this, &TransientPopupCore::closed, Qt::QueuedConnection);
}
}
