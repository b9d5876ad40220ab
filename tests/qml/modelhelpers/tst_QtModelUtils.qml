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

    // The object tree of a context menu: the item named after an action holds its custom component.
    Item {
        id: menuHost
        Item {
            objectName: "copyAction"
        }
        Item {
            Item {
                objectName: "renameAction"
                Component { id: renameComponent; Text { text: "Rename…" } }
            }
        }
        QtObject {
            objectName: "notAnItem"
            property Component action: Component { Item {} }
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

    function test_wrapperHeldAfterModelDestroyed() {
        var model = Qt.createQmlObject("import QtQml.Models 2.15; ListModel { ListElement { name: \"x\" } }", testCase)
        var held = utils.modelData(0, model, utils.roleIndex(model, "name"))
        compare(held.value, "x")

        model.destroy()
        wait(0)
        gc()

        compare(held.value, undefined)
    }

    function test_wrapperRefusedOutsideModel_data() {
        return [
            { tag: "no model", row: 0, model: null, role: 0 },
            { tag: "negative row", row: -1, model: menuList, role: 0 },
            { tag: "negative role", row: 0, model: menuList, role: -1 },
            { tag: "past the end", row: 5, model: menuList, role: 0 },
        ]
    }

    function test_wrapperRefusedOutsideModel(data) {
        compare(utils.modelData(data.row, data.model, data.role), null)
    }

    ListModel {
        id: menuList
        ListElement { name: "a" }
    }

    function test_findsCustomMenuAction() {
        compare(utils.findMenuAction(menuHost, "renameAction"), renameComponent)
    }

    function test_defaultMenuActionWhenMissing_data() {
        return [
            { tag: "no such item", name: "pasteAction", host: menuHost },
            { tag: "item without component", name: "copyAction", host: menuHost },
            { tag: "component not inside an item", name: "notAnItem", host: menuHost },
            { tag: "null host", name: "renameAction", host: null },
        ]
    }

    function test_defaultMenuActionWhenMissing(data) {
        compare(utils.findMenuAction(data.host, data.name), null)
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
        var parentId = tree.addNode(tree.rootId, "parent", true)
        tree.addNodes(parentId, ["first", "second"])

        var top = utils.modelIndex(tree, 0, 0, utils.emptyIndex())
        compare(tree.nameOf(top), "parent")
        compare(utils.getRowCount(tree, top), 2)
        compare(utils.getRowCount(tree, utils.emptyIndex()), 1)
        compare(utils.getRowCount(null, utils.emptyIndex()), 0)
        verify(!utils.modelIndex(null, 0, 0, utils.emptyIndex()).valid)
        verify(!utils.emptyIndex().valid)

        var selection = utils.selectionRange(utils.modelIndex(tree, 0, 0, top), utils.modelIndex(tree, 1, 0, top))
        compare(selection.length, 1)
    }

    function test_expansionSlotsFromQml() {
        var tree = createTemporaryObject(treeComponent, testCase)
        var a = tree.addNode(tree.rootId, "A", false)
        tree.addNode(a, "a1", false)

        utils.saveWantsToBeExpanded(tree, tree.indexOf(a), true)

        verify(utils.getWantsToBeExpanded(tree, tree.indexOf(a)))
        var nodes = utils.getAllWantToBeExpandedNodes(tree)
        compare(nodes.length, 1)
        compare(tree.names(nodes), "A")
        compare(tree.names(utils.getAllWantToBeExpandedNodes(tree, tree.indexOf(a))), "A")
        compare(utils.getAllWantToBeExpandedNodes(null).length, 0)
        verify(!utils.getWantsToBeExpanded(null, tree.indexOf(a)))
    }

    function test_otherNullArguments() {
        compare(utils.roleIndex(null, "name"), -1)
        compare(utils.roleIndex(menuList, "name"), 0)
        compare(utils.propertyValue(null, "objectName"), undefined)
        compare(utils.propertyValue(menuHost.children[1].children[0], "objectName"), "renameAction")
        utils.saveWantsToBeExpanded(null, utils.emptyIndex(), true)
    }

    Component {
        id: treeComponent
        TestTreeModel {}
    }
}
