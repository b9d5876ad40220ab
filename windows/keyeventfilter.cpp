// Corvane.Core — QML extension module of the Corvane CAD application.
#include "windows/keyeventfilter.h"

namespace core
{
KeyEventFilter::KeyEventFilter(QQuickItem* parent)
    : QQuickItem(parent)
{
}

KeyEventFilter::~KeyEventFilter() = default;
}
