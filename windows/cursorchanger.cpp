// Corvane.Core — QML extension module of the Corvane CAD application.
#include "windows/cursorchanger.h"

namespace core
{
CursorChanger::CursorChanger(QObject* parent)
    : QObject(parent)
{
}

CursorChanger::~CursorChanger() = default;
}
