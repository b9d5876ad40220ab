// Corvane.Core — QML extension module of the Corvane CAD application.
#include "items/qtutils.h"

namespace core
{
QtUtils::QtUtils(QObject* parent)
    : QObject(parent)
{
}

QtUtils::~QtUtils() = default;
}
