// Corvane.Core tests.
import QtQuick 2.15
import QtTest 1.15
import Corvane.Core 1.0
import Corvane.Test 1.0

TestCase {
    id: testCase
    name: "QtModelUtils"

    QtModelUtils { id: utils }

    Component {
        id: cellComponent
        Item {
            property alias list: listModel
            // A cell bound the way a panel binds it: a fresh wrapper on every evaluation
            property var cell: utils.modelData(0, listModel, utils.roleIndex(listModel, "name"))
            property var shown: cell ? cell.value : "none"
            // The same, with the wrapper referenced by nothing but the binding itself
            property string inline: utils.modelData(1, listModel, utils.roleIndex(listModel, "name")).value
            ListModel {
                id: listModel
                ListElement { name: "first" }
                ListElement { name: "second" }
            }
            ModelTester { model: listModel }
        }
    }

    function test_boundValueFollowsModelThroughGarbageCollection() {
        var panel = createTemporaryObject(cellComponent, testCase)
        compare(panel.shown, "first")

        for (var round = 0; round < 20; ++round) {
            panel.list.setProperty(0, "name", "name " + round)
            panel.list.setProperty(1, "name", "other " + round)
            gc()
            wait(0)
            compare(panel.shown, "name " + round)
            compare(panel.inline, "other " + round)
            panel.list.append({ name: "more" })
            gc()
            panel.list.remove(panel.list.count - 1)
            gc()
            compare(panel.shown, "name " + round)
        }
        panel.list.insert(0, { name: "inserted" })
        gc()
        compare(panel.shown, "inserted")
    }

    function test_valueWrapperIsNotCreatable() {
        var error = ""
        try {
            Qt.createQmlObject("import Corvane.Core 1.0\nQtValueWrapper {}", testCase)
        } catch (e) {
            error = e.qmlErrors[0].message
        }
        compare(error, "type is C++ constructed only")
    }

    function test_indexesAndCounts() {
        var tree = createTemporaryObject(treeComponent, testCase)
        var parentId = tree.addNode(tree.rootId, "parent", false)
        tree.addNodes(parentId, ["first", "second"])

        var top = utils.modelIndex(tree, 0, 0, utils.emptyIndex())
        compare(tree.nameOf(top), "parent")
        compare(utils.getRowCount(tree, top), 2)
        compare(utils.getRowCount(tree, utils.emptyIndex()), 1)

        var selection = utils.selectionRange(utils.modelIndex(tree, 0, 0, top), utils.modelIndex(tree, 1, 0, top))
        compare(selection.length, 1)
        utils.saveWantsToBeExpanded(tree, top, true)
        compare(tree.names(utils.getAllWantToBeExpandedNodes(tree)), "parent")
    }

    Component {
        id: treeComponent
        TestTreeModel {}
    }
}
