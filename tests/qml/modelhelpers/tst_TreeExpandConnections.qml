// Corvane.Core tests.
import QtQuick 2.15
import QtTest 1.15
import Corvane.Core 1.0
import Corvane.Test 1.0

TestCase {
    id: testCase
    name: "TreeExpandConnections"

    // A panel's tree view, reduced to what the connection sees: it keeps the set of expanded
    // nodes, reports the user's clicks, and expands what it is asked to.
    Component {
        id: panelComponent
        Item {
            id: panel
            property alias tree: treeModel
            property alias connections: expandConnections
            property var expanded: ({})
            property var requests: []

            function key(index) { return treeModel.nameOf(index) }
            function userExpands(index) {
                expanded[key(index)] = true
                expandConnections.onRowExpanded(index, true)
            }
            function userCollapses(index) {
                delete expanded[key(index)]
                expandConnections.onRowExpanded(index, false)
            }
            function rebuild() {
                expanded = ({})
                expandConnections.onTreeCreated()
            }
            function expandedNames() { return Object.keys(expanded).sort().join(",") }

            TestTreeModel { id: treeModel }
            ModelTester { model: treeModel }
            TreeExpandConnections {
                id: expandConnections
                model: treeModel
                onRequestExpandRows: {
                    panel.requests.push(treeModel.names(rows))
                    for (var i = 0; i < rows.length; ++i)
                        panel.expanded[panel.key(rows[i])] = true
                }
            }
        }
    }

    // Root: A (a1, a2), B (b1 (c1)).
    function createPanel() {
        var panel = createTemporaryObject(panelComponent, testCase)
        var tree = panel.tree
        var a = tree.addNode(tree.rootId, "A", false)
        tree.addNodes(a, ["a1", "a2"])
        var b = tree.addNode(tree.rootId, "B", false)
        var b1 = tree.addNode(b, "b1", false)
        tree.addNode(b1, "c1", false)
        panel.rebuild()
        compare(panel.requests.length, 0)
        return panel
    }

    function test_expansionSurvivesReset() {
        // Given the user expanded A, B and b1
        var panel = createPanel()
        var tree = panel.tree
        panel.userExpands(tree.find("A"))
        panel.userExpands(tree.find("B"))
        panel.userExpands(tree.find("b1"))
        compare(panel.requests, ["A", "B", "b1"])
        panel.userCollapses(tree.find("B"))
        compare(panel.requests[3], "b1")

        // When the model is reset and the view forgets its state
        panel.requests = []
        panel.expanded = ({})
        tree.resetKeepingNodes()

        // Then the view is asked to expand what the user left expanded
        compare(panel.requests, ["b1,A"])
        compare(panel.expandedNames(), "A,b1")
    }

    function test_misuseFromQmlIsHarmless_data() {
        return [
            { tag: "undefined index", index: undefined },
            { tag: "null index", index: null },
            { tag: "number", index: 3 },
            { tag: "text", index: "A" },
            { tag: "object", index: testCase },
        ]
    }

    // The engine itself warns about arguments it cannot convert and passes an invalid index.
    function expectConversionWarnings() {
        ignoreWarning(/Could not convert argument 0 at/)
        for (var frame = 0; frame < 5; ++frame)
            ignoreWarning(/@file:/)
        ignoreWarning(/Passing incompatible arguments to C\+\+ functions/)
        ignoreWarning(/This will throw a JavaScript TypeError/)
    }

    function test_misuseFromQmlIsHarmless(data) {
        var panel = createPanel()
        var connections = panel.connections
        expectConversionWarnings()
        connections.onRowExpanded(data.index, true)
        connections.model = null
        connections.onTreeCreated()
        connections.onRowExpanded(panel.tree.find("A"), true)
        compare(connections.model, null)

        // The connection still works afterwards
        connections.model = panel.tree
        panel.userExpands(panel.tree.find("B"))
        compare(panel.requests[panel.requests.length - 1], "B")
    }
}
