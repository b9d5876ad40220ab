// Corvane.Core — QML extension module of the Corvane CAD application.
#include "windows/transientpopup.h"

namespace core
{
TransientPopup::TransientPopup(QObject* parent)
    : QObject(parent)
{
}

TransientPopup::~TransientPopup() = default;
}
