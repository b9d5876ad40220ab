// Corvane.Core tests.
import QtQuick 2.15
import QtTest 1.15
import Corvane.Core 1.0
import Corvane.Test 1.0

Item {
    id: root
    width: 400
    height: 300

    Component {
        id: tableComponent

        TableView {
            id: view
            property alias proxy: proxy
            property alias source: source
            anchors.fill: parent

            TableSource { id: source }
            SortFilterSelectModel { id: proxy }

            model: proxy
            reuseItems: false
            delegate: Rectangle {
                // What an application cell reads from the proxy's roles
                property bool selected: isSelected
                property bool hovered: isHovered
                property bool editing: beginedit === true
                property bool preFocused: isPreFocusCell
                property bool focused: isFocusCell
                property string text: display
                objectName: "cell_" + row + "_" + column
                implicitWidth: 60
                implicitHeight: 20
                color: selected ? "steelblue" : "white"

                MouseArea {
                    anchors.fill: parent
                    onClicked: {
                        if (mouse.modifiers & Qt.ControlModifier)
                            proxy.ctrlSelection(row, column)
                        else if (mouse.modifiers & Qt.ShiftModifier)
                            proxy.shiftSelection(row, column)
                        else
                            proxy.leftClickSelection(row, column)
                    }
                }
            }
        }
    }

    TestCase {
        name: "SortFilterSelectModel"
        when: windowShown

        function createTable(columns, rows) {
            var view = createTemporaryObject(tableComponent, root)
            verify(view)
            view.source.fill(columns, rows)
            view.proxy.sourceModel = view.source
            settle(view)
            return view
        }

        // Lets the view apply batched model changes and drop the delegates it released.
        function settle(view) {
            view.forceLayout()
            wait(0)
        }

        function cell(view, row, column) {
            var children = view.contentItem.children
            for (var i = 0; i < children.length; ++i) {
                if (children[i].visible && children[i].objectName === "cell_" + row + "_" + column)
                    return children[i]
            }
            return null
        }

        function selectedRows(view) {
            var rows = []
            for (var r = 0; r < view.rows; ++r) {
                var all = true
                for (var c = 0; c < view.columns; ++c)
                    all = all && cell(view, r, c).selected
                if (all)
                    rows.push(r)
            }
            return rows.join(",")
        }

        // What a QML document sees: the type, its roles bound in delegates, its properties and
        // slots, and views that follow selection, layout and cell changes.
        function test_viewFollowsSelectionLayoutAndCells() {
            var view = createTable("PQRS", 5)
            compare(view.columns, 4)
            compare(view.rows, 5)
            mouseClick(cell(view, 1, 2))
            compare(selectedRows(view), "1")
            mouseClick(cell(view, 3, 0), 5, 5, Qt.LeftButton, Qt.ControlModifier)
            compare(selectedRows(view), "1,3")
            compare(view.proxy.selectedSourceRowsCount, 2)
            mouseClick(cell(view, 4, 1), 5, 5, Qt.LeftButton, Qt.ShiftModifier)
            compare(selectedRows(view), "3,4")
            view.proxy.moveColumn(0, 3)
            settle(view)
            compare(cell(view, 0, 3).text, "P0")
            view.proxy.setSourceColumnVisible(1, false)
            settle(view)
            compare(view.columns, 3)
            compare(selectedRows(view), "3,4")
            view.proxy.clearSelection()
            compare(selectedRows(view), "")
            compare(view.proxy.selectedSourceRowsCount, 0)
        }
    }
}
