// Corvane demo host application: the header row of a manager table. Click sorts (third click
// returns to source order), dragging a label moves the column, dragging an edge resizes it,
// and the right button opens the column menu built from the proxy's columnModel.
import QtQuick 2.15
import QtQuick.Controls 2.15
import "Compat.js" as Compat

Item {
    id: header

    property var proxy: null
    property QtObject theme
    /// Widths of the shown columns, in display order.
    property var widths: []
    /// Bumped whenever the columns change, so that labels are read again.
    property int revision: 0
    property real contentX: 0
    property string iconTheme: "light"

    readonly property int sortColumn: { revision; return Compat.get(proxy, "proxySortColumn", -1) }
    readonly property bool ascending: { revision; return Compat.get(proxy, "ascending", true) }

    signal sortRequested(int column, bool ascending)
    signal unsortRequested()
    /// A column was moved, resized, shown or hidden by the user.
    signal layoutEdited()
    /// Asks the table to take a new width into account while a column is being resized.
    signal widthsChanging()

    height: 28
    clip: true

    function xOf(column) {
        var x = 0
        for (var i = 0; i < column && i < widths.length; ++i)
            x += widths[i]
        return x
    }

    function columnAt(x) {
        var left = 0
        for (var i = 0; i < widths.length; ++i) {
            if (x < left + widths[i])
                return i
            left += widths[i]
        }
        return widths.length - 1
    }

    function label(column) {
        if (!proxy)
            return ""
        var text = proxy.headerData(column, Qt.Horizontal, Qt.DisplayRole)
        return text === undefined || text === null ? "" : String(text)
    }

    function headerName(column) {
        if (!proxy)
            return ""
        var name = proxy.headerData(column, Qt.Horizontal, Compat.NameNotEmptyRole)
        return name === undefined || name === null ? label(column) : String(name)
    }

    // Click cycle: initial direction, the other direction, source order.
    function clickSort(column) {
        var initial = Compat.call(proxy, "isInitiallyAscending", [column], true)
        if (sortColumn !== column)
            sortRequested(column, initial)
        else if (ascending === initial)
            sortRequested(column, !initial)
        else
            unsortRequested()
    }

    function openColumnMenu(x, y) {
        while (columnMenu.count > 0) {
            var old = columnMenu.takeItem(0)
            if (old)
                old.destroy()
        }
        var menuModel = Compat.get(proxy, "columnModel", null)
        if (!menuModel)
            return
        // The menu model does not watch the columns; it is read afresh before every opening.
        Compat.call(menuModel, "refresh", [])
        var rows = menuModel.rowCount()
        for (var r = 0; r < rows; ++r) {
            var index = menuModel.index(r, 0)
            var type = String(menuModel.data(index, 5))
            var item
            if (type === "separator") {
                item = separatorComponent.createObject(null)
            } else {
                var name = String(menuModel.data(index, 1)).replace(/&(?!&)/, "")
                item = itemComponent.createObject(null, {
                    text: name,
                    checkable: menuModel.data(index, 2) === true,
                    checked: menuModel.data(index, 3) === true,
                    enabled: type !== "showhide" || menuModel.data(index, 4) === true,
                    row: r,
                    kind: type,
                    menuModel: menuModel
                })
            }
            columnMenu.addItem(item)
        }
        columnMenu.popup(header, x, y)
    }

    Rectangle {
        anchors.fill: parent
        color: theme.header
        Rectangle { anchors.bottom: parent.bottom; width: parent.width; height: 1; color: theme.line }
    }

    Item {
        id: row
        x: -header.contentX
        height: header.height
        width: header.xOf(header.widths.length)

        Repeater {
            model: header.widths.length

            delegate: Item {
                id: cell
                readonly property int column: index
                readonly property bool sorted: header.sortColumn === column
                readonly property int headerType: {
                    header.revision
                    var type = header.proxy ? header.proxy.headerData(column, Qt.Horizontal, Compat.HeaderTypeRole) : 0
                    return type === undefined || type === null ? 0 : type
                }
                readonly property string columnId: {
                    header.revision
                    var id = header.proxy ? header.proxy.headerData(column, Qt.Horizontal, Compat.ColumnIdRole) : ""
                    return id === undefined || id === null ? "" : String(id)
                }
                x: header.xOf(column)
                width: header.widths[column] || 0
                height: header.height

                Rectangle {
                    anchors.fill: parent
                    color: labelArea.pressed && !labelArea.dragging ? theme.selection
                                                                      : labelArea.containsMouse ? theme.hover : "transparent"
                }

                Row {
                    anchors.verticalCenter: parent.verticalCenter
                    x: 6
                    width: parent.width - 12
                    spacing: 4
                    Text {
                        visible: cell.headerType === 0
                        text: { header.revision; return header.label(cell.column) }
                        color: theme.text
                        font.bold: cell.sorted
                        elide: Text.ElideRight
                        width: Math.min(implicitWidth, parent.width - (sortMark.visible ? 14 : 0))
                    }
                    Image {
                        visible: cell.headerType === 1
                        sourceSize: Qt.size(16, 16)
                        source: {
                            var icons = { "on": "bulb", "freeze": "freeze", "lock": "lock" }
                            var icon = icons[cell.columnId]
                            return visible && icon !== undefined ? "qrc:/svg/" + header.iconTheme + "/" + icon + ".svg" : ""
                        }
                    }
                    Text {
                        id: sortMark
                        visible: cell.sorted
                        text: header.ascending ? "\u25b2" : "\u25bc"
                        color: theme.accent
                        font.pixelSize: 9
                        anchors.verticalCenter: parent.verticalCenter
                    }
                }

                Rectangle { anchors.right: parent.right; width: 1; height: parent.height; color: theme.line }

                MouseArea {
                    id: labelArea
                    anchors.fill: parent
                    hoverEnabled: true
                    acceptedButtons: Qt.LeftButton | Qt.RightButton
                    property real startX: 0
                    property bool dragging: false
                    property int target: -1

                    onPressed: {
                        startX = mapToItem(row, mouse.x, 0).x
                        dragging = false
                    }
                    onPositionChanged: {
                        if (!pressed || !(mouse.buttons & Qt.LeftButton))
                            return
                        var x = mapToItem(row, mouse.x, 0).x
                        if (!dragging && Math.abs(x - startX) > 8)
                            dragging = true
                        if (dragging) {
                            dropMark.visible = true
                            target = header.columnAt(x)
                            dropMark.x = header.xOf(target > cell.column ? target + 1 : target) - 1
                        }
                    }
                    onReleased: {
                        if (dragging && target >= 0 && target !== cell.column) {
                            Compat.call(header.proxy, "moveColumn", [cell.column, target])
                            header.layoutEdited()
                        }
                        dragging = false
                        dropMark.visible = false
                    }
                    onClicked: {
                        if (dragging)
                            return
                        if (mouse.button === Qt.RightButton)
                            header.openColumnMenu(mapToItem(header, mouse.x, 0).x, header.height)
                        else
                            header.clickSort(cell.column)
                    }
                    ToolTip.visible: containsMouse && !pressed && cell.headerType === 1
                    ToolTip.delay: 700
                    ToolTip.text: header.headerName(cell.column)
                }

                // The right edge resizes the column.
                MouseArea {
                    anchors.right: parent.right
                    anchors.rightMargin: -3
                    width: 7
                    height: parent.height
                    cursorShape: Qt.SplitHCursor
                    property real startX: 0
                    property int startWidth: 0
                    onPressed: {
                        startX = mapToItem(header, mouse.x, 0).x
                        startWidth = cell.width
                    }
                    onPositionChanged: {
                        if (!pressed)
                            return
                        var width = Math.max(24, Math.round(startWidth + mapToItem(header, mouse.x, 0).x - startX))
                        Compat.call(header.proxy, "resizeColumn", [cell.column, width])
                        header.widthsChanging()
                    }
                    onReleased: header.layoutEdited()
                }
            }
        }

        Rectangle {
            id: dropMark
            width: 3
            height: header.height
            color: theme.accent
            visible: false
        }
    }

    Component {
        id: itemComponent
        MenuItem {
            property int row: -1
            property string kind: ""
            property var menuModel: null
            onTriggered: {
                if (kind === "showhide")
                    Compat.call(menuModel, "setSourceColumnVisible", [row, checked])
                else
                    Compat.call(menuModel, "trigger", [row])
                header.layoutEdited()
            }
        }
    }
    Component {
        id: separatorComponent
        MenuSeparator {}
    }
    Menu { id: columnMenu; objectName: "columnMenu" }
}
