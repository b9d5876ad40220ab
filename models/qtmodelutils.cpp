// Corvane.Core — QML extension module of the Corvane CAD application.
#include "models/qtmodelutils.h"

namespace core
{
QtModelUtils::QtModelUtils(QObject* parent)
    : QObject(parent)
{
}

QtModelUtils::~QtModelUtils() = default;
}
