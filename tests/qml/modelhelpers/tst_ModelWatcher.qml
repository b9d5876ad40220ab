// Corvane.Core tests.
import QtQuick 2.15
import QtTest 1.15
import Corvane.Core 1.0
import Corvane.Test 1.0

TestCase {
    id: testCase
    name: "ModelWatcher"

    Component {
        id: panelComponent
        Item {
            property alias list: listModel
            property alias watcher: rowWatcher
            // What a panel shows: "3 rows"
            property string summary: rowWatcher.rows + " rows"
            property int summaryUpdates: 0
            onSummaryChanged: ++summaryUpdates

            ListModel {
                id: listModel
                ListElement { name: "a" }
                ListElement { name: "b" }
                ListElement { name: "c" }
            }
            ModelTester { model: listModel }
            ModelWatcher { id: rowWatcher; model: listModel }
        }
    }

    function test_bindingFollowsInsertionsAndRemovals() {
        var panel = createTemporaryObject(panelComponent, testCase)
        compare(panel.watcher.rows, 3)
        panel.summaryUpdates = 0

        panel.list.append({ name: "d" })
        compare(panel.summary, "4 rows")
        panel.list.insert(0, [{ name: "x" }, { name: "y" }])
        compare(panel.summary, "6 rows")
        panel.list.remove(0, 3)
        compare(panel.summary, "3 rows")
        compare(panel.summaryUpdates, 3)
    }

    function test_wrongValueAsModelIsRefusedByEngine_data() {
        return [
            { tag: "undefined", value: undefined },
            { tag: "item", value: testCase },
            { tag: "text", value: "list" },
        ]
    }

    function test_wrongValueAsModelIsRefusedByEngine(data) {
        var panel = createTemporaryObject(panelComponent, testCase)
        var refused = false
        try {
            panel.watcher.model = data.value
        } catch (e) {
            refused = true
        }
        verify(refused)
        compare(panel.watcher.model, panel.list)
        compare(panel.watcher.rows, 3)
    }
}
