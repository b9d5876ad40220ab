// Corvane demo host application: the file manager under simulated mouse input.
import QtQuick 2.15
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

    FileManager {
        id: panel
        anchors.fill: parent
        theme: colours
    }

    TestCase {
        name: "FileManager"
        when: windowShown

        property var proxy
        property var header
        property var table
        property var rows

        readonly property int rowHeight: 24

        function initTestCase() {
            proxy = findChild(panel, "fileProxy")
            header = findChild(panel, "fileHeader")
            table = findChild(panel, "fileTable")
            rows = panel.shownRows
            verify(proxy && header && table && rows)
        }

        function folderNames() {
            var names = []
            for (var r = 0; r < rows.rowCount(); ++r) {
                if (rows.sourceIndex(r).parent.valid === false)
                    names.push(String(proxy.data(rows.sourceIndex(r))) + (rows.isExpanded(r) ? "+" : ""))
            }
            return names
        }

        function bytes(text) {
            var parts = String(text).split(" ")
            var units = { "B": 1, "KB": 1024, "MB": 1024 * 1024 }
            return Number(parts[0]) * units[parts[1]]
        }

        function foldersOrderedBySize(ascending) {
            var sizes = []
            for (var r = 0; r < rows.rowCount(); ++r) {
                var node = rows.sourceIndex(r)
                if (node.parent.valid === false)
                    sizes.push(bytes(proxy.data(proxy.index(node.row, 2))))
            }
            for (var i = 1; i < sizes.length; ++i) {
                if (ascending ? sizes[i - 1] > sizes[i] : sizes[i - 1] < sizes[i])
                    return false
            }
            return sizes.length === 200
        }

        function test_1_foldersOpenWithADoubleClickAndComeBackAfterARescan() {
            // Given the first folder open, as the panel starts
            waitForRendering(table)
            verify(rows.isExpanded(0))
            compare(rows.rowCount(), 200 + 500)
            // When the first folder is closed with a double click and the fifth opened the same way
            mouseDoubleClickSequence(table, 200, rowHeight / 2)
            compare(rows.rowCount(), 200)
            wait(500)  // two separate double clicks, not one triple click
            mouseDoubleClickSequence(table, 200, rowHeight * 4 + rowHeight / 2)
            compare(rows.rowCount(), 700)
            var opened = folderNames().filter(function (name) { return name.endsWith("+") })
            compare(opened.length, 1)
            // And the folders are rescanned (a model reset)
            mouseClick(findChild(panel, "rescanButton"))
            // Then the same folder is open again, and only that one
            tryVerify(function () { return rows.rowCount() === 700 })
            compare(folderNames().filter(function (name) { return name.endsWith("+") }), opened)
        }

        function test_2_sortingBySizeShowsTheBusyCursorWhileItRuns() {
            var busy = findChild(panel, "busyCursor")
            tryCompare(busy, "active", false)  // a re-sort after the rescan above may still run
            var x = header.xOf(2) + header.widths[2] / 2
            mouseClick(header, x, header.height / 2)
            // The cursor is on before the files are compared, and off once they are sorted.
            compare(busy.active, true)
            tryCompare(busy, "active", false)
            compare(proxy.proxySortColumn, 2)
            var ascending = proxy.ascending
            // The open folder stays open through the sort.
            compare(folderNames().filter(function (name) { return name.endsWith("+") }).length, 1)
            verify(foldersOrderedBySize(ascending))
            // A rescan (new sizes) keeps the chosen order.
            mouseClick(findChild(panel, "rescanButton"))
            tryCompare(busy, "active", false)
            tryCompare(proxy, "proxySortColumn", 2)
            compare(proxy.ascending, ascending)
            verify(foldersOrderedBySize(ascending))
        }
    }
}
