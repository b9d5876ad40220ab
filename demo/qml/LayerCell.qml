// Corvane demo host application: one cell of the layer table. It reads the proxy's roles
// "isSelected", "isHovered", "beginedit", "isPreFocusCell" and "isFocusCell".
import QtQuick 2.15
import QtQuick.Controls 2.15
import "Compat.js" as Compat

Rectangle {
    id: cell

    property QtObject theme
    property var tableProxy
    property var tableView

    readonly property bool selected: model.isSelected === true
    readonly property bool hovered: model.isHovered === true
    readonly property bool preFocus: model.isPreFocusCell === true
    readonly property bool focusCell: model.isFocusCell === true
    readonly property bool editing: model.beginedit === true
    readonly property int cellType: model.cellType === undefined ? 8 : model.cellType

    readonly property string columnId: {
        var id = tableProxy && column >= 0 ? tableProxy.headerData(column, Qt.Horizontal, Compat.ColumnIdRole) : ""
        return id === undefined || id === null ? "" : String(id)
    }

    signal preFocusHere()
    /// The highlight of a row's first cell came or went (counted by scripted checks).
    signal rowHighlightChanged(bool highlighted)

    implicitHeight: 26
    color: selected ? theme.selection : hovered ? theme.hover : "transparent"

    onPreFocusChanged: if (preFocus) preFocusHere()
    onSelectedChanged: if (column === 0) rowHighlightChanged(selected)
    Component.onDestruction: if (column === 0 && selected) rowHighlightChanged(false)
    onFocusCellChanged: if (focusCell && cellType === 8) cell.forceActiveFocus()

    Rectangle {
        anchors.bottom: parent.bottom
        width: parent.width
        height: 1
        color: theme.line
        opacity: 0.5
    }

    // The pre-focus cell: where the arrow keys are.
    Rectangle {
        anchors.fill: parent
        anchors.margins: 1
        color: "transparent"
        border.color: theme.accent
        border.width: 2
        visible: cell.preFocus
    }

    MouseArea {
        anchors.fill: parent
        hoverEnabled: true
        acceptedButtons: Qt.LeftButton | Qt.RightButton
        onEntered: Compat.call(tableProxy, "setHovered", [row, true])
        onExited: Compat.call(tableProxy, "setHovered", [row, false])
        onClicked: {
            tableView.forceActiveFocus()
            if (mouse.button === Qt.RightButton)
                Compat.call(tableProxy, "rightClickSelection", [row, column])
            else if (mouse.modifiers & Qt.ControlModifier)
                Compat.call(tableProxy, "ctrlSelection", [row, column])
            else if (mouse.modifiers & Qt.ShiftModifier)
                Compat.call(tableProxy, "shiftSelection", [row, column])
            else
                Compat.call(tableProxy, "leftClickSelection", [row, column])
        }
        onDoubleClicked: if (cell.columnId === "name") Compat.call(tableProxy, "setBeginEditIndex", [row])
    }

    // Text cells (name, description, line type, weight, transparency, plot style).
    Text {
        anchors.verticalCenter: parent.verticalCenter
        x: 6
        width: parent.width - 12
        visible: !cell.editing && cell.cellType !== 1 && cell.cellType !== 4 && cell.cellType !== 5
        text: model.display === undefined ? "" : model.display
        color: theme.text
        elide: Text.ElideRight
    }

    // Colour: a swatch and the colour's name.
    Row {
        visible: cell.cellType === 1
        anchors.verticalCenter: parent.verticalCenter
        x: 6
        spacing: 6
        Rectangle {
            width: 14; height: 14
            color: {
                // Delegates are reused across columns: only a colour value paints the swatch.
                var value = model.value
                return cell.cellType === 1 && value !== undefined && typeof value !== "boolean"
                        && typeof value !== "number" ? value : "transparent"
            }
            border.color: theme.dimText
            anchors.verticalCenter: parent.verticalCenter
        }
        Text { text: model.display === undefined ? "" : model.display; color: theme.text }
    }

    // On/off, freeze and lock: image buttons that toggle the layer property.
    Image {
        visible: cell.cellType === 4 || cell.cellType === 5
        anchors.centerIn: parent
        sourceSize: Qt.size(16, 16)
        opacity: model.value === true ? 1.0 : 0.3
        source: {
            if (!visible)
                return ""
            var icons = { "on": "bulb", "freeze": "freeze", "lock": "lock" }
            var icon = icons[cell.columnId]
            if (icon === undefined)
                return ""
            return "qrc:/svg/" + (cell.theme.dark ? "dark" : "light") + "/" + icon + ".svg"
        }
        MouseArea {
            anchors.fill: parent
            anchors.margins: -4
            onClicked: model.value = !(model.value === true)
        }
    }

    // Begin-edit of the name cell (F2 or double-click).
    Loader {
        anchors.fill: parent
        active: cell.editing
        sourceComponent: TextField {
            text: model.display
            selectByMouse: true
            leftPadding: 5
            topPadding: 2
            bottomPadding: 2
            Component.onCompleted: { forceActiveFocus(); selectAll() }
            onAccepted: {
                model.edit = text
                Compat.call(cell.tableProxy, "setBeginEditIndex", [-1])
                cell.tableView.forceActiveFocus()
            }
            Keys.onEscapePressed: {
                Compat.call(cell.tableProxy, "setBeginEditIndex", [-1])
                cell.tableView.forceActiveFocus()
            }
            onActiveFocusChanged: if (!activeFocus && cell.editing) Compat.call(cell.tableProxy, "setBeginEditIndex", [-1])
        }
    }
}
