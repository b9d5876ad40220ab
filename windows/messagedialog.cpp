// Corvane.Core — QML extension module of the Corvane CAD application.
#include "windows/messagedialog.h"

namespace core
{
MessageDialog::MessageDialog(QObject* parent)
    : QObject(parent)
{
}

MessageDialog::~MessageDialog() = default;
}
