// Corvane demo host application: the layer manager, a host table model shown through the
// module's SortFilterSelectModel.
import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Layouts 1.15
import Corvane.Core 1.0
import "Compat.js" as Compat

Item {
    id: panel

    property QtObject theme
    property alias filterText: filterField.text
    /// Proxy row of the keyboard pre-focus cell, -1 without one.
    property int preFocusRow: -1
    property int selectedCount: 0
    property int shownRows: 0
    /// Rows the view currently draws as selected (first cells counted).
    property int highlightedRows: 0

    // The table's key in the registry store: the layout the user leaves comes back next time.
    readonly property string tableKey: "LayerManager"

    SortFilterSelectModel {
        id: proxy
        objectName: "layerProxy"
    }

    Component.onCompleted: {
        // The key first, then the source: attaching the source reads the stored layout.
        Compat.set(proxy, "parentId", tableKey)
        Compat.set(proxy, "defaultEditableColumnId", "name")
        Compat.set(proxy, "filter", layerRowFilter)
        proxy.sourceModel = layerTableModel
        // The view learns the role names when it gets its model: only now are the proxy's
        // extra roles ("isSelected", ...) known.
        table.model = proxy
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
        // Fitted: the room left of the table is shared by the columns' proportional weights.
        var weights = Compat.call(proxy, "proportionalWidth", [], 0)
        var room = table.width - Compat.call(proxy, "naturalWidth", [], 0)
        if (fitColumns.checked && weights > 0 && room > 0) {
            var given = 0
            var last = -1
            for (var f = 0; f < count; ++f) {
                var weight = Compat.call(proxy, "columnProportionalWidth", [f], 0)
                if (weight <= 0)
                    continue
                var share = Math.floor(room * weight / weights)
                widths[f] += share
                given += share
                last = f
            }
            widths[last] += room - given
        }
        header.widths = widths
        header.revision++
        shownRows = proxy.rowCount()
        selectedCount = Compat.get(proxy, "selectedSourceRowsCount", 0)
        table.forceLayout()
    }

    // The proxy moves an existing pre-focus cell; the first arrow key seeds it at the first cell
    // of the current row, making the first row current when there is none. True when it seeded.
    function ensurePreFocus() {
        if (Compat.call(proxy, "hasPreFocus", [], true))
            return false
        var selection = proxy.selectionModel
        if (selection && !selection.currentIndex.valid && proxy.rowCount() > 0)
            selection.setCurrentIndex(proxy.index(0, 0), 0x0010)  // ItemSelectionModel.Current
        Compat.call(proxy, "increasePreFocusIndexColumn", [])
        return true
    }

    function saveLayout() {
        Compat.call(proxy, "saveColumnData", [])
    }

    Connections {
        target: proxy
        ignoreUnknownSignals: true
        function onProxySortColumnChanged() { panel.refreshColumns() }
        function onAscendingChanged() { header.revision++ }
        function onSelectionChanged() { panel.selectedCount = Compat.get(proxy, "selectedSourceRowsCount", 0) }
        function onColumnsMoved() { panel.refreshColumns() }
        function onColumnsInserted() { panel.refreshColumns() }
        function onColumnsRemoved() { panel.refreshColumns() }
        function onModelReset() { panel.refreshColumns() }
        function onLayoutChanged() { panel.shownRows = proxy.rowCount() }
        function onRowsInserted() { panel.shownRows = proxy.rowCount() }
        function onRowsRemoved() { panel.shownRows = proxy.rowCount() }
    }

    Binding {
        target: layerRowFilter
        property: "text"
        value: filterField.text
    }

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 8
        spacing: 6

        RowLayout {
            Layout.fillWidth: true
            spacing: 8
            Label { text: "Layers"; font.pixelSize: 18; font.bold: true; color: theme.text }
            Item { Layout.fillWidth: true }
            TextField {
                id: filterField
                objectName: "layerFilterField"
                placeholderText: "Filter layers by name or description"
                Layout.preferredWidth: 320
                selectByMouse: true
            }
            CheckBox {
                id: fitColumns
                objectName: "fitColumns"
                text: "Fit to width"
                onToggled: panel.refreshColumns()
                contentItem: Text {
                    leftPadding: fitColumns.indicator.width + fitColumns.spacing
                    text: fitColumns.text
                    color: panel.theme.text
                    verticalAlignment: Text.AlignVCenter
                }
            }
            Button {
                text: "Show all columns"
                onClicked: { Compat.call(proxy, "showAllColumns", []); panel.saveLayout() }
            }
            Button {
                text: "Restore column positions"
                onClicked: { Compat.call(proxy, "restoreColumnPositions", []); panel.saveLayout() }
            }
        }

        Rectangle {
            Layout.fillWidth: true
            Layout.fillHeight: true
            color: theme.panel
            border.color: theme.line
            clip: true

            ManagerHeader {
                id: header
                objectName: "layerHeader"
                anchors.left: parent.left
                anchors.right: parent.right
                anchors.top: parent.top
                anchors.margins: 1
                proxy: proxy
                theme: panel.theme
                iconTheme: panel.theme.dark ? "dark" : "light"
                contentX: table.contentX
                onSortRequested: Compat.call(proxy, "doSort", [column, ascending, false])
                onUnsortRequested: Compat.call(proxy, "unSort", [])
                onLayoutEdited: { panel.refreshColumns(); panel.saveLayout() }
                onWidthsChanging: panel.refreshColumns()
            }

            TableView {
                id: table
                objectName: "layerTable"
                anchors.top: header.bottom
                anchors.left: parent.left
                anchors.right: parent.right
                anchors.bottom: parent.bottom
                anchors.margins: 1
                clip: true
                focus: true
                onWidthChanged: if (fitColumns.checked) panel.refreshColumns()
                // Without reuse each delegate lives with its cell, so the highlighted rows can be counted.
                reuseItems: false
                boundsBehavior: Flickable.StopAtBounds
                columnWidthProvider: function (column) { return header.widths[column] || 0 }
                rowHeightProvider: function () { return 26 }
                ScrollBar.vertical: ScrollBar {}
                ScrollBar.horizontal: ScrollBar {}

                Keys.onPressed: {
                    var handled = true
                    var arrows = [Qt.Key_Down, Qt.Key_Up, Qt.Key_Right, Qt.Key_Left, Qt.Key_Home, Qt.Key_End]
                    var plainArrow = arrows.indexOf(event.key) >= 0 && !(event.modifiers & Qt.ShiftModifier)
                    if (plainArrow && panel.ensurePreFocus()) {
                        // The first arrow only shows where the keyboard is.
                    } else if (event.key === Qt.Key_Down) {
                        if (event.modifiers & Qt.ShiftModifier) Compat.call(proxy, "selectNextRow", [])
                        else Compat.call(proxy, "increasePreFocusIndexRow", [])
                    } else if (event.key === Qt.Key_Up) {
                        if (event.modifiers & Qt.ShiftModifier) Compat.call(proxy, "selectPreviousRow", [])
                        else Compat.call(proxy, "decreasePreFocusIndexRow", [])
                    } else if (event.key === Qt.Key_Right) {
                        Compat.call(proxy, "increasePreFocusIndexColumn", [])
                    } else if (event.key === Qt.Key_Left) {
                        Compat.call(proxy, "decreasePreFocusIndexColumn", [])
                    } else if (event.key === Qt.Key_Home || event.key === Qt.Key_End) {
                        // First or last column of the pre-focus row, one step at a time.
                        var step = event.key === Qt.Key_Home ? "decreasePreFocusIndexColumn" : "increasePreFocusIndexColumn"
                        for (var i = 0; i < proxy.columnCount(); ++i)
                            Compat.call(proxy, step, [])
                    } else if (event.key === Qt.Key_Space || event.key === Qt.Key_Return || event.key === Qt.Key_Enter) {
                        if (panel.preFocusRow >= 0 && Compat.call(proxy, "hasPreFocus", [], false)) {
                            if (event.modifiers & Qt.ControlModifier) Compat.call(proxy, "ctrlSelection", [panel.preFocusRow, 0])
                            else Compat.call(proxy, "leftClickSelection", [panel.preFocusRow, 0])
                            Compat.call(proxy, "requestActiveFocusOnPrefocusedCell", [])
                        }
                    } else if (event.key === Qt.Key_F2) {
                        var selection = proxy.selectionModel
                        var row = Compat.call(proxy, "hasPreFocus", [], false) ? panel.preFocusRow
                                  : selection && selection.currentIndex.valid ? selection.currentIndex.row : -1
                        if (row >= 0)
                            Compat.call(proxy, "setBeginEditIndex", [row])
                    } else if (event.key === Qt.Key_Escape) {
                        Compat.call(proxy, "unsetPreFocus", [])
                        panel.preFocusRow = -1
                    } else if (event.key === Qt.Key_A && (event.modifiers & Qt.ControlModifier)) {
                        Compat.call(proxy, "selectAll", [])
                    } else {
                        handled = false
                    }
                    event.accepted = handled
                }

                delegate: LayerCell {
                    theme: panel.theme
                    tableProxy: proxy
                    tableView: table
                    onPreFocusHere: panel.preFocusRow = row
                    onRowHighlightChanged: panel.highlightedRows += highlighted ? 1 : -1
                }
            }
        }

        RowLayout {
            Layout.fillWidth: true
            Label {
                Layout.fillWidth: true
                elide: Text.ElideRight
                color: theme.dimText
                text: panel.shownRows + " of " + layerTableModel.rowCount() + " layers shown, "
                      + panel.selectedCount + " selected. Click a header to sort, drag it to move, "
                      + "drag its edge to resize, right-click it for the column menu; F2 renames."
            }
        }
    }
}
