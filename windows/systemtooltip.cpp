// Corvane.Core — QML extension module of the Corvane CAD application.
#include "windows/systemtooltip.h"

namespace core
{
SystemTooltip::SystemTooltip(QQuickItem* parent)
    : QQuickItem(parent)
{
}

SystemTooltip::~SystemTooltip() = default;
}
