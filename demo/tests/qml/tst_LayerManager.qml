// Corvane demo host application: the layer manager under simulated mouse and keyboard.
import QtQuick 2.15
import QtQuick.Controls 2.15
import QtTest 1.15
import "../../qml"

Item {
    id: root
    width: 1180
    height: 640

    QtObject {
        id: colours
        property int id: 1
        readonly property bool dark: false
        readonly property color background: "#f5f6f8"
        readonly property color panel: "#ffffff"
        readonly property color text: "#1f2329"
        readonly property color dimText: "#5b6470"
        readonly property color line: "#d8dce2"
        readonly property color header: "#eceef2"
        readonly property color selection: "#cfe3fb"
        readonly property color hover: "#eef4fc"
        readonly property color accent: "#1769c2"
    }

    LayerManager {
        id: panel
        anchors.fill: parent
        theme: colours
    }

    TestCase {
        id: test
        name: "LayerManager"
        when: windowShown

        property var proxy
        property var header
        property var table

        readonly property int columnIdRole: 259
        // The proxy numbers its extra roles from 256 up, skipping the host's: "beginedit" is third.
        readonly property int beginEditRole: 258

        function columnIds() {
            var ids = []
            for (var c = 0; c < proxy.columnCount(); ++c)
                ids.push(proxy.headerData(c, Qt.Horizontal, columnIdRole))
            return ids.join(",")
        }

        function headerPoint(column, dx) {
            return { x: header.xOf(column) + (dx === undefined ? header.widths[column] / 2 : dx), y: header.height / 2 }
        }

        function initTestCase() {
            proxy = findChild(panel, "layerProxy")
            header = findChild(panel, "layerHeader")
            table = findChild(panel, "layerTable")
            verify(proxy && header && table)
        }

        function init() {
            // Every test starts from source order, all columns, the initial sort and no selection.
            proxy.showAllColumns()
            proxy.restoreColumnPositions()
            proxy.setSourceColumnVisible(9, false)
            proxy.doSort(0, true, true)
            proxy.clearSelection()
            panel.filterText = ""
            panel.refreshColumns()
            waitForRendering(root)
        }

        function test_headerClicksCycleThroughBothDirectionsAndSourceOrder() {
            // Given the table sorted by name, ascending (its initial sort)
            compare(proxy.proxySortColumn, 0)
            compare(proxy.ascending, true)
            var p = headerPoint(0)
            // When the name header is clicked, then again, then once more
            mouseClick(header, p.x, p.y)
            compare(proxy.ascending, false)
            compare(proxy.proxySortColumn, 0)
            mouseClick(header, p.x, p.y)
            // Then the third click has returned to source order
            compare(proxy.proxySortColumn, -1)
            mouseClick(header, p.x, p.y)
            compare(proxy.proxySortColumn, 0)
            compare(proxy.ascending, true)
        }

        function test_clickOnAnotherHeaderSortsByIt() {
            var p = headerPoint(7)
            mouseClick(header, p.x, p.y)
            compare(proxy.proxySortColumn, 7)
            compare(proxy.ascending, proxy.isInitiallyAscending(7))
        }

        function test_draggingAHeaderMovesTheColumn() {
            // Given name at proxy column 0
            compare(proxy.headerData(0, Qt.Horizontal, columnIdRole), "name")
            var from = headerPoint(0)
            var to = headerPoint(3)
            // When its header is dragged onto column 3
            mousePress(header, from.x, from.y)
            for (var step = 1; step <= 10; ++step)
                mouseMove(header, from.x + (to.x - from.x) * step / 10, from.y)
            mouseRelease(header, to.x, to.y)
            // Then it is shown at column 3 and the others moved up
            compare(columnIds(), "on,freeze,lock,name,colour,linetype,lineweight,transparency,plotstyle")
            // And the column is not sorted by the drag
            compare(proxy.proxySortColumn, 3)
        }

        function test_draggingAHeaderEdgeResizesTheColumn() {
            var before = proxy.columnWidth(4)
            var edge = headerPoint(4, header.widths[4] - 1)
            mousePress(header, edge.x, edge.y)
            for (var step = 1; step <= 8; ++step)
                mouseMove(header, edge.x + step * 5, edge.y)
            mouseRelease(header, edge.x + 40, edge.y)
            compare(proxy.columnWidth(4), before + 40)
            compare(header.widths[4], before + 40)
        }

        function test_columnMenuHidesAndShowsColumns() {
            // When the header is right-clicked
            var p = headerPoint(2)
            mouseClick(header, p.x, p.y, Qt.RightButton)
            var menu = findChild(header, "columnMenu")
            tryVerify(function () { return menu.opened })
            // Then the menu lists every source column, a separator and the two commands
            compare(menu.count, 10 + 3)
            compare(menu.itemAt(9).checked, false)           // description, hidden by default
            compare(menu.itemAt(0).enabled, false)           // the name column cannot be hidden
            compare(menu.itemAt(11).text, "Show all columns")
            // When "Transparency" is unchecked
            var item = menu.itemAt(7)
            compare(item.text, "Transparency")
            compare(item.checked, true)
            tryVerify(function () { return item.y > 0 }, 2000, "the menu has laid out its entries")
            mouseClick(item)
            // Then the column is gone
            compare(columnIds().indexOf("transparency"), -1)
            // When "Show all columns" is chosen from the menu
            mouseClick(header, p.x, p.y, Qt.RightButton)
            tryVerify(function () { return menu.opened && menu.itemAt(11).y > 0 })
            mouseClick(menu.itemAt(11))
            // Then every column shows, description included
            compare(proxy.columnCount(), 10)
        }

        function test_clicksSelectRows() {
            mouseClick(table, 40, 13)
            compare(proxy.selectedSourceRowsCount, 1)
            mouseClick(table, 40, 13 + 26 * 2, Qt.LeftButton, Qt.ControlModifier)
            compare(proxy.selectedSourceRowsCount, 2)
            mouseClick(table, 40, 13 + 26 * 4, Qt.LeftButton, Qt.ShiftModifier)
            compare(proxy.selectedSourceRowsCount, 3)
            tryCompare(panel, "highlightedRows", 3)
        }

        function test_arrowKeysMoveThePreFocusAndSpaceSelects() {
            table.forceActiveFocus()
            keyClick(Qt.Key_Down)
            keyClick(Qt.Key_Down)
            verify(proxy.hasPreFocus())
            tryVerify(function () { return panel.preFocusRow >= 0 })
            var row = panel.preFocusRow
            keyClick(Qt.Key_Space)
            compare(proxy.selectedSourceRowsCount, 1)
            verify(proxy.isSelected(row))
            keyClick(Qt.Key_Escape)
            verify(!proxy.hasPreFocus())
        }

        function test_f2RenamesTheLayerInTheNameCell() {
            // Given the second row selected from the keyboard
            table.forceActiveFocus()
            keyClick(Qt.Key_Down)
            keyClick(Qt.Key_Down)
            var row = panel.preFocusRow
            var before = proxy.data(proxy.index(row, 0))
            // When F2 is pressed, a new name typed and Enter pressed
            keyClick(Qt.Key_F2)
            tryVerify(function () { return proxy.data(proxy.index(row, 0), beginEditRole) === true })
            keySequence("ctrl+a")
            keyClick(Qt.Key_Backspace)
            var name = "Renamed layer"
            for (var i = 0; i < name.length; ++i)
                keyClick(name.charAt(i))
            keyClick(Qt.Key_Return)
            // Then the host model holds the new name and editing has ended
            var names = []
            for (var r = 0; r < proxy.rowCount(); ++r)
                names.push(proxy.data(proxy.index(r, 0)))
            verify(names.indexOf(name) >= 0, names.join("|"))
            verify(names.indexOf(before) < 0)
            verify(proxy.data(proxy.index(row, 0), beginEditRole) !== true)
        }

        function test_clickingTheBulbSwitchesTheLayerOnAndOff() {
            // The "on" column's cells are image buttons over the host's typed value.
            var valueRole = 357
            compare(proxy.headerData(1, Qt.Horizontal, columnIdRole), "on")
            var before = proxy.data(proxy.index(0, 1), valueRole)
            var x = header.xOf(1) + header.widths[1] / 2
            mouseClick(table, x, 13)
            compare(proxy.data(proxy.index(0, 1), valueRole), !before)
            mouseClick(table, x, 13)
            compare(proxy.data(proxy.index(0, 1), valueRole), before)
        }

        function test_fitToWidthSharesTheRoomByProportionalWeights() {
            // Given a table wider than its columns
            root.width = proxy.naturalWidth() + 400
            var fit = findChild(panel, "fitColumns")
            mouseClick(fit)
            verify(fit.checked)
            tryCompare(table, "width", root.width - 18)
            var total = 0
            for (var c = 0; c < header.widths.length; ++c)
                total += header.widths[c]
            compare(total, table.width)
            // Only the weighted column (name) grew; the others keep their own widths.
            verify(header.widths[0] > proxy.columnWidth(0))
            compare(header.widths[1], proxy.columnWidth(1))
            mouseClick(fit)
            compare(header.widths[0], proxy.columnWidth(0))
            root.width = 1180
        }

        function test_filterFieldNarrowsTheRows() {
            var field = findChild(panel, "layerFilterField")
            mouseClick(field)
            var text = "level 1"
            for (var i = 0; i < text.length; ++i)
                keyClick(text.charAt(i))
            tryVerify(function () { return proxy.rowCount() === 24 })
        }
    }
}
