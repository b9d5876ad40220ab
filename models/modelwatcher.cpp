// Corvane.Core — QML extension module of the Corvane CAD application.
#include "models/modelwatcher.h"

namespace core
{
ModelWatcher::ModelWatcher(QObject* parent)
    : QObject(parent)
{
}

ModelWatcher::~ModelWatcher() = default;
}
