// Corvane demo host application: the file manager, 100,000 generated files in project folders,
// sorted through SortFilterSelectModel, with the folders' expansion kept in the model.
import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Layouts 1.15
import Corvane.Core 1.0
import Corvane.Demo 1.0
import "Compat.js" as Compat

Item {
    id: panel

    property QtObject theme
    property bool sorting: false
    // Bumped when the shown rows change; the counts below fall back to it without a watcher.
    property int rowsTick: 0

    SortFilterSelectModel {
        id: proxy
        objectName: "fileProxy"
    }

    // The tree laid out as table rows for the TableView.
    TreeRowsModel {
        id: rows
        objectName: "fileRows"
    }
    property alias shownRows: rows

    // Keeps the folders' expansion in the tree model and asks for it back after a reset.
    TreeExpandConnections {
        id: expansion
    }

    ModelWatcher { id: folderWatcher }
    ModelWatcher { id: rowWatcher }

    // The busy cursor while a sort of all files runs.
    CursorChanger { id: busyCursor; objectName: "busyCursor" }

    Component.onCompleted: {
        Compat.set(proxy, "parentId", "FileManager")
        proxy.sourceModel = fileTreeModel
        rows.sourceModel = proxy
        Compat.set(expansion, "model", proxy)
        Compat.set(folderWatcher, "model", proxy)
        Compat.set(rowWatcher, "model", rows)
        Compat.set(busyCursor, "cursor", Qt.WaitCursor)
        // The first folder opens the first time; afterwards the model remembers.
        Compat.call(expansion, "onTreeCreated", [])
        if (rows.rowCount() > 0 && !rows.isExpanded(0))
            toggle(0)
        // The view learns the role names when it gets its model: only now are the proxy's
        // extra roles ("isSelected", ...) known.
        table.model = rows
        refreshColumns()
    }

    Component.onDestruction: Compat.call(proxy, "saveColumnData", [])

    function refreshColumns() {
        var count = proxy.columnCount()
        var widths = []
        for (var c = 0; c < count; ++c) {
            var fallback = proxy.headerData(c, Qt.Horizontal, Qt.SizeHintRole)
            widths.push(Compat.call(proxy, "columnWidth", [c], fallback ? fallback.width : 100))
        }
        header.widths = widths
        header.revision++
        table.forceLayout()
    }

    function toggle(row) {
        var expand = !rows.isExpanded(row)
        var node = rows.sourceIndex(row)
        if (!rows.setExpanded(row, expand))
            return
        // The wish goes into the model, where it outlives this view's rows.
        Compat.call(expansion, "onRowExpanded", [node, expand])
    }

    // Scripted runs: the row of the folder "Project N", -1 when it is not shown.
    function folderRow(number) {
        for (var r = 0; r < rows.rowCount(); ++r) {
            var node = rows.sourceIndex(r)
            if (node.parent.valid === false && proxy.data(node) === "Project " + number)
                return r
        }
        return -1
    }

    /// Commands of a scripted run; answers whether the command did what it says.
    function command(name, args) {
        if (name === "expand" || name === "collapse") {
            var row = folderRow(args[0])
            if (row < 0)
                return false
            if (rows.isExpanded(row) !== (name === "expand"))
                toggle(row)
            return rows.isExpanded(row) === (name === "expand")
        }
        if (name === "reload") {
            fileTreeModel.reload()
            return true
        }
        if (name === "expect-expanded")
            return folderRow(args[0]) >= 0 && rows.isExpanded(folderRow(args[0]))
        if (name === "expect-rows")
            return rows.rowCount() === Number(args[0])
            && Compat.get(rowWatcher, "rows", -1) === Number(args[0])
        if (name === "expect-sorted")
            return Compat.get(proxy, "proxySortColumn", -1) === Number(args[0])
            && Compat.get(proxy, "ascending", true) === (args[1] !== "desc")
        if (name === "sort") {
            sortBy(Number(args[0]), args[1] !== "desc")
            return true
        }
        return false
    }

    function sortBy(column, ascending) {
        // Show the busy cursor first, then sort on the next turn of the event loop, so that the
        // cursor is on screen while the files are being compared.
        Compat.set(busyCursor, "active", true)
        panel.sorting = true
        sortTimer.column = column
        sortTimer.ascending = ascending
        sortTimer.start()
    }

    Timer {
        id: sortTimer
        interval: 30
        property int column: -1
        property bool ascending: true
        onTriggered: {
            if (column < 0)
                Compat.call(proxy, "unSort", [])
            else
                Compat.call(proxy, "doSort", [column, ascending, false])
            Compat.set(busyCursor, "active", false)
            panel.sorting = false
        }
    }

    // The order the user chose, so that a rescan (a model reset, which unsorts the proxy) keeps it.
    property int chosenSortColumn: -1
    property bool chosenAscending: true

    Connections {
        target: proxy
        ignoreUnknownSignals: true
        function onProxySortColumnChanged() {
            panel.refreshColumns()
            var column = Compat.get(proxy, "proxySortColumn", -1)
            if (column >= 0 || !panel.resetting) {
                panel.chosenSortColumn = column
                panel.chosenAscending = Compat.get(proxy, "ascending", true)
            }
        }
        function onAscendingChanged() { header.revision++ }
        function onModelAboutToBeReset() { panel.resetting = true }
        function onModelReset() {
            panel.resetting = false
            if (panel.chosenSortColumn >= 0)
                panel.sortBy(panel.chosenSortColumn, panel.chosenAscending)
        }
    }
    property bool resetting: false

    Connections {
        target: rows
        function onModelReset() { panel.rowsTick++ }
        function onRowsInserted() { panel.rowsTick++ }
        function onRowsRemoved() { panel.rowsTick++ }
    }

    Connections {
        target: expansion
        ignoreUnknownSignals: true
        function onRequestExpandRows(nodes) { rows.expandSourceIndexes(nodes) }
    }

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 8
        spacing: 6

        RowLayout {
            Layout.fillWidth: true
            spacing: 8
            Label { text: "Files"; font.pixelSize: 18; font.bold: true; color: theme.text }
            Item { Layout.fillWidth: true }
            Button {
                objectName: "rescanButton"
                text: "Rescan folders"
                ToolTip.visible: hovered
                ToolTip.text: "Resets the file model; the folders you opened open again"
                onClicked: fileTreeModel.reload()
            }
            Button { text: "Collapse all"; onClicked: { rows.collapseAll() } }
        }

        Rectangle {
            Layout.fillWidth: true
            Layout.fillHeight: true
            color: theme.panel
            border.color: theme.line
            clip: true

            ManagerHeader {
                id: header
                objectName: "fileHeader"
                anchors.left: parent.left
                anchors.right: parent.right
                anchors.top: parent.top
                anchors.margins: 1
                proxy: proxy
                theme: panel.theme
                contentX: table.contentX
                onSortRequested: panel.sortBy(column, ascending)
                onUnsortRequested: panel.sortBy(-1, true)
                onLayoutEdited: { panel.refreshColumns(); Compat.call(proxy, "saveColumnData", []) }
                onWidthsChanging: panel.refreshColumns()
            }

            TableView {
                id: table
                objectName: "fileTable"
                anchors.top: header.bottom
                anchors.left: parent.left
                anchors.right: parent.right
                anchors.bottom: parent.bottom
                anchors.margins: 1
                clip: true
                boundsBehavior: Flickable.StopAtBounds
                columnWidthProvider: function (column) { return header.widths[column] || 0 }
                rowHeightProvider: function () { return 24 }
                ScrollBar.vertical: ScrollBar {}
                ScrollBar.horizontal: ScrollBar {}

                delegate: Rectangle {
                    id: cell
                    readonly property bool folder: model.isFolder === true
                    readonly property bool isNameColumn: {
                        header.revision
                        return proxy.headerData(column, Qt.Horizontal, Compat.ColumnIdRole) === "name"
                    }
                    implicitHeight: 24
                    color: model.isSelected === true ? panel.theme.selection
                                                     : hover.containsMouse ? panel.theme.hover : "transparent"

                    MouseArea {
                        id: hover
                        anchors.fill: parent
                        hoverEnabled: true
                        onClicked: {
                            var node = rows.sourceIndex(row)
                            if (mouse.modifiers & Qt.ControlModifier)
                                Compat.call(proxy, "ctrlSelection", [node])
                            else if (mouse.modifiers & Qt.ShiftModifier)
                                Compat.call(proxy, "shiftSelection", [node])
                            else
                                Compat.call(proxy, "leftClickSelection", [node])
                        }
                        onDoubleClicked: if (cell.folder) panel.toggle(row)
                    }

                    Row {
                        anchors.verticalCenter: parent.verticalCenter
                        x: 6 + (cell.isNameColumn ? (model.depth || 0) * 18 : 0)
                        width: parent.width - x - 6
                        spacing: 4
                        Text {
                            visible: cell.isNameColumn
                            width: 14
                            text: model.hasChildren === true ? (model.expanded === true ? "\u25be" : "\u25b8") : ""
                            color: panel.theme.dimText
                            MouseArea {
                                anchors.fill: parent
                                anchors.margins: -4
                                onClicked: panel.toggle(row)
                            }
                        }
                        Text {
                            width: parent.width - (cell.isNameColumn ? 18 : 0)
                            text: model.display === undefined ? "" : model.display
                            color: panel.theme.text
                            font.bold: cell.folder && cell.isNameColumn
                            elide: Text.ElideRight
                        }
                    }
                }
            }
        }

        Label {
            Layout.fillWidth: true
            elide: Text.ElideRight
            color: theme.dimText
            text: { panel.rowsTick; return status() }
            function status() { return (panel.sorting ? "Sorting\u2026 " : "")
                  + fileTreeModel.fileCount + " files in " + Compat.get(folderWatcher, "rows", proxy.rowCount())
                  + " folders; " + Compat.get(rowWatcher, "rows", rows.rowCount()) + " rows shown. "
                  + "Sort by name, size or type from the header; open folders with the arrow or a double-click." }
        }
    }
}
