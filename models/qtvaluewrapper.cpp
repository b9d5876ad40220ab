// Corvane.Core — QML extension module of the Corvane CAD application.
#include "models/qtvaluewrapper.h"

QtValueWrapper::QtValueWrapper(QObject* parent)
    : QObject(parent)
{
}

QtValueWrapper::~QtValueWrapper() = default;
