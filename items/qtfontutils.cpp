// Corvane.Core — QML extension module of the Corvane CAD application.
#include "items/qtfontutils.h"

QtFontUtils::QtFontUtils(QObject* parent)
    : QObject(parent)
{
}

QtFontUtils::~QtFontUtils() = default;
