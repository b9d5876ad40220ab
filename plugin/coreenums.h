// Corvane.Core — QML extension module of the Corvane CAD application.
#pragma once

#include <QObject>

// Enumerations shared by the application's QML documents: cell and header kinds of the manager
// tables, drop positions, message styles, dialog results and help categories. QML reaches every
// enumerator of this namespace through each of the names it is registered under.
namespace core
{
Q_NAMESPACE

enum class QMessageStyle : int
{
    Dialog = 0,
    Warning = 1,
    Question = 2,
    Error = 3,
};
Q_ENUM_NS(QMessageStyle)

enum class DialogReturn : int
{
    Ok = 5100,
    Cancel = 5101,
    FirstCustomAction = 1,
    SecondCustomAction = 2,
};
Q_ENUM_NS(DialogReturn)

enum class LayerCellTypes : int
{
    Unknown = -1,
    Current = 0,
    Colour = 1,
    ComboBoxLineType = 2,
    ComboBoxLineWeight = 3,
    ImageButton = 4,
    ImageButtonOnOff = 5,
    Index = 6,
    Material = 7,
    TextField = 8,
    Transparency = 9,
    PlotStyle = 10,
};
Q_ENUM_NS(LayerCellTypes)

enum class LayerHeaderTypes : int
{
    UnknownType = -1,
    Label = 0,
    Image = 1,
};
Q_ENUM_NS(LayerHeaderTypes)

enum class ManagerCellTypes : int
{
    Unknown = -1,
    Name = 0,
    Path = 1,
    Size = 2,
    Type = 3,
    Status = 4,
    Method = 5,
};
Q_ENUM_NS(ManagerCellTypes)

enum class HelpButtonCategory : int
{
    Commands = 0,
    Articles = 1,
    Sysvars = 2,
    Dialogs = 3,
};
Q_ENUM_NS(HelpButtonCategory)

enum class StartCellTypes : int
{
    Unknown = -1,
    DwgName = 0,
    TextFieldInfo = 1,
    ImageButtonPinned = 2,
};
Q_ENUM_NS(StartCellTypes)

enum class QDropPositionType : int
{
    DropBefore = 0,
    DropOn = 1,
    DropAfter = 2,
};
Q_ENUM_NS(QDropPositionType)
}
