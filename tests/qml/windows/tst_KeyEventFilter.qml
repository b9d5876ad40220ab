// Corvane.Core tests.
import QtQuick 2.15
import QtTest 1.15
import Corvane.Core 1.0
import Corvane.Test 1.0

TestCase {
    id: testCase
    name: "KeyEventFilter"
    when: windowShown
    width: 200
    height: 200

    // outer > target > middle (a plain QtObject holder inside) > leaf
    Component {
        id: treeComponent
        FocusScope {
            id: outer
            property alias target: target
            property alias middle: middle
            property alias leaf: leaf
            property alias nested: nested
            property int presses: 0
            property int releases: 0
            anchors.fill: parent
            focus: true
            Keys.onPressed: { presses++; event.accepted = true }
            Keys.onReleased: { releases++; event.accepted = true }
            Item {
                id: target
                property int presses: 0
                Keys.onPressed: { presses++; event.accepted = false }
                Item {
                    id: middle
                    property int presses: 0
                    Keys.onPressed: { presses++; event.accepted = false }
                    Item {
                        id: leaf
                        property int presses: 0
                        property int releases: 0
                        Keys.onPressed: { presses++; event.accepted = true }
                        Keys.onReleased: { releases++; event.accepted = true }
                    }
                    property QtObject holder: QtObject {
                        property Item inner: Item { id: nested }
                    }
                }
            }
        }
    }
    Component {
        id: filterComponent
        KeyEventFilter {}
    }
    Component {
        id: counterItem
        Item {
            property int presses: 0
            Keys.onPressed: { presses++; event.accepted = true }
        }
    }
    Component {
        id: spyComponent
        SignalSpy {}
    }

    function makeTree() {
        return createTemporaryObject(treeComponent, testCase)
    }

    function makeFilter(properties) {
        return createTemporaryObject(filterComponent, testCase, properties)
    }

    // Presses that reached: the focused item, leaf, middle, target, outer.
    function presses(tree, focused) {
        return [focused.presses || 0, tree.leaf.presses, tree.middle.presses, tree.target.presses, tree.presses].join(",")
    }

    // Each row sets up a tree with a filter over its target, focuses the item that `focus`
    // returns, clicks `key`, and lists the presses that arrived.
    function test_swallowsListedKeysBelowTheTarget_data() {
        var escape = [Qt.Key_Escape]
        return [
            { tag: "listed key on the innermost item reaches nobody", codes: escape, key: Qt.Key_Escape,
              focus: function(tree) { return tree.leaf }, expected: "0,0,0,0,0" },
            { tag: "other key passes", codes: escape, key: Qt.Key_A,
              focus: function(tree) { return tree.leaf }, expected: "1,1,0,0,0" },
            { tag: "press on the target itself", codes: [Qt.Key_Escape, Qt.Key_Tab], key: Qt.Key_Escape,
              focus: function(tree) { return tree.target }, expected: "0,0,0,0,0" },
            { tag: "not accepted: first item outside the target gets it", codes: escape, accepted: false,
              key: Qt.Key_Escape, focus: function(tree) { return tree.leaf }, expected: "0,0,0,0,1" },
            { tag: "item nested in a non-item object", codes: escape, accepted: false, key: Qt.Key_Escape,
              focus: function(tree) { tree.nested.parent = tree.middle; return tree.nested }, expected: "0,0,0,0,1" },
            { tag: "item created later below the target", codes: escape, key: Qt.Key_Escape,
              focus: function(tree) { var late = counterItem.createObject(tree.leaf); wait(0); return late },
              expected: "0,0,0,0,0" },
            { tag: "item moved out of the tree", codes: escape, key: Qt.Key_Escape,
              focus: function(tree) {
                  var moved = counterItem.createObject(tree.leaf)
                  wait(0)
                  WindowsProbe.setObjectParent(moved, tree)
                  moved.parent = tree
                  return moved
              }, expected: "1,0,0,0,0" },
            { tag: "visual parent inside, object parent outside", codes: escape, key: Qt.Key_Escape,
              focus: function(tree) { var item = counterItem.createObject(tree); item.parent = tree.leaf; return item },
              expected: "1,0,0,0,0" },
            { tag: "object parent inside, visual parent outside", codes: escape, key: Qt.Key_Escape,
              focus: function(tree) {
                  var item = counterItem.createObject(tree.leaf)
                  wait(0)
                  item.parent = tree
                  return item
              }, expected: "0,0,0,0,0" },
            { tag: "empty list swallows nothing", codes: [], key: Qt.Key_Escape,
              focus: function(tree) { return tree.leaf }, expected: "1,1,0,0,0" },
        ]
    }

    function test_swallowsListedKeysBelowTheTarget(data) {
        var tree = makeTree()
        makeFilter({ target: tree.target, keysCodes: data.codes, markEventAccepted: data.accepted !== false })
        var focused = data.focus(tree)
        focused.forceActiveFocus()
        keyClick(data.key)
        compare(presses(tree, focused), data.expected)
        // The release of a swallowed press still arrives
        if (focused === tree.leaf) {
            compare(tree.leaf.releases, 1)
            compare(tree.releases, 0)
        }
    }

    function test_targetChangeReleasesTheOldTree() {
        var tree = makeTree()
        var filter = makeFilter({ target: tree.target, keysCodes: [Qt.Key_Escape] })
        var spy = createTemporaryObject(spyComponent, testCase, { target: filter, signalName: "targetChanged" })
        filter.target = tree.target
        compare(spy.count, 0)
        filter.target = null
        compare(spy.count, 1)
        tree.leaf.forceActiveFocus()
        keyClick(Qt.Key_Escape)
        compare(tree.leaf.presses, 1)
    }

    function test_destroyedTargetIsNeverWalkedAgain() {
        // Given a filter whose target is destroyed while set
        var tree = makeTree()
        var doomed = counterItem.createObject(tree)
        var filter = makeFilter({ target: doomed, keysCodes: [Qt.Key_Escape] })
        var spy = createTemporaryObject(spyComponent, testCase, { target: filter, signalName: "targetChanged" })
        WindowsProbe.destroyNow(doomed)
        // Then the filter reports it gone, and changing the target touches only the new tree
        compare(filter.target, null)
        compare(spy.count, 1)
        filter.target = tree.target
        tree.leaf.forceActiveFocus()
        keyClick(Qt.Key_Escape)
        compare(tree.leaf.presses, 0)
    }

    function test_keysCodesChangeTakesEffectAtTheNextPress() {
        var tree = makeTree()
        var filter = makeFilter({ target: tree.target, keysCodes: [Qt.Key_Escape] })
        var spy = createTemporaryObject(spyComponent, testCase, { target: filter, signalName: "keysCodesChanged" })
        tree.leaf.forceActiveFocus()
        filter.keysCodes = [Qt.Key_Escape]
        compare(spy.count, 0)
        filter.keysCodes = [Qt.Key_C]
        compare(spy.count, 1)
        keyClick(Qt.Key_Escape)
        keyClick(Qt.Key_C)
        compare(tree.leaf.presses, 1)
        // The same codes in another order are another list
        filter.keysCodes = [Qt.Key_B, Qt.Key_C]
        filter.keysCodes = [Qt.Key_C, Qt.Key_B]
        compare(spy.count, 3)
        compare(filter.keysCodes, [Qt.Key_C, Qt.Key_B])
    }
}
