// Corvane.Core — QML extension module of the Corvane CAD application.
#include "models/treeexpandconnections.h"

namespace core
{
TreeExpandConnections::TreeExpandConnections(QObject* parent)
    : QObject(parent)
{
}

TreeExpandConnections::~TreeExpandConnections() = default;
}
