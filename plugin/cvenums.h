// Corvane.Core — QML extension module of the Corvane CAD application.
#pragma once

#include <QObject>

// Palette view options and palette change modes, registered for QML as "Cv".
namespace cv
{
Q_NAMESPACE

enum class EViewOptions : int
{
    IconWithText = 0,
    Icon = 1,
    List = 2,
};
Q_ENUM_NS(EViewOptions)

enum class EChangeMode : int
{
    CurrentPalette = 0,
    AllPalettes = 1,
};
Q_ENUM_NS(EChangeMode)
}
