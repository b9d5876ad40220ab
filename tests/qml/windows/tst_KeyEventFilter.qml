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

    function test_listedKeyNeverReachesTheTreeAndStops() {
        // Given a filter for Escape over the target
        var tree = makeTree()
        makeFilter({ target: tree.target, keysCodes: [Qt.Key_Escape] })
        tree.leaf.forceActiveFocus()

        // When Escape and then another key are pressed on the innermost item
        keyClick(Qt.Key_Escape)
        // Then Escape reached nobody, not even the items outside the target
        compare(tree.leaf.presses, 0)
        compare(tree.middle.presses, 0)
        compare(tree.presses, 0)
        compare(tree.releases, 0)
        compare(tree.leaf.releases, 1)

        keyClick(Qt.Key_A)
        compare(tree.leaf.presses, 1)
    }

    function test_pressOnTheTargetItselfIsSwallowed() {
        var tree = makeTree()
        makeFilter({ target: tree.target, keysCodes: [Qt.Key_Escape, Qt.Key_Tab] })
        tree.target.forceActiveFocus()
        keyClick(Qt.Key_Escape)
        compare(tree.target.presses, 0)
        compare(tree.presses, 0)
    }

    function test_notAcceptedPressTravelsToItemsOutsideTheTarget() {
        // Given a filter that does not accept what it swallows
        var tree = makeTree()
        makeFilter({ target: tree.target, keysCodes: [Qt.Key_Escape], markEventAccepted: false })
        tree.leaf.forceActiveFocus()

        // When Escape is pressed on the innermost item
        keyClick(Qt.Key_Escape)

        // Then every filtered item on the way swallowed it and the first item outside got it
        compare(tree.leaf.presses, 0)
        compare(tree.middle.presses, 0)
        compare(tree.target.presses, 0)
        compare(tree.presses, 1)
    }

    function test_itemNestedInANonItemObjectIsCovered() {
        var tree = makeTree()
        makeFilter({ target: tree.target, keysCodes: [Qt.Key_Escape], markEventAccepted: false })
        tree.nested.parent = tree.middle
        tree.nested.forceActiveFocus()
        keyClick(Qt.Key_Escape)
        compare(tree.middle.presses, 0)
        compare(tree.presses, 1)
    }

    function test_itemCreatedLaterBelowTheTargetIsCovered() {
        // Given a filter set before the item exists
        var tree = makeTree()
        makeFilter({ target: tree.target, keysCodes: [Qt.Key_Escape] })

        // When an item is created below the target
        var late = counterItem.createObject(tree.leaf)
        wait(0)
        late.forceActiveFocus()
        keyClick(Qt.Key_Escape)

        // Then it is covered
        compare(late.presses, 0)
        keyClick(Qt.Key_B)
        compare(late.presses, 1)
        late.destroy()
    }

    function test_itemMovedOutOfTheTreeIsReleased() {
        var tree = makeTree()
        makeFilter({ target: tree.target, keysCodes: [Qt.Key_Escape] })
        var moved = counterItem.createObject(tree.leaf)
        wait(0)

        WindowsProbe.setObjectParent(moved, tree)
        moved.parent = tree
        moved.forceActiveFocus()
        keyClick(Qt.Key_Escape)

        compare(moved.presses, 1)
        moved.destroy()
    }

    function test_coverageFollowsObjectParentNotVisualParent() {
        var tree = makeTree()
        makeFilter({ target: tree.target, keysCodes: [Qt.Key_Escape] })
        // Visual parent inside the target, object parent outside it
        var outside = counterItem.createObject(tree)
        outside.parent = tree.leaf
        outside.forceActiveFocus()
        keyClick(Qt.Key_Escape)
        compare(outside.presses, 1)

        // Object parent inside, visual parent moved outside: still covered
        var inside = counterItem.createObject(tree.leaf)
        wait(0)
        inside.parent = tree
        inside.forceActiveFocus()
        keyClick(Qt.Key_Escape)
        compare(inside.presses, 0)
        outside.destroy()
        inside.destroy()
    }

    function test_targetChangeReleasesTheOldTree() {
        var tree = makeTree()
        var filter = makeFilter({ target: tree.target, keysCodes: [Qt.Key_Escape] })
        var spy = createTemporaryObject(spyComponent, testCase, { target: filter, signalName: "targetChanged" })
        verify(spy.valid)

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
    }

    function test_sameCodesInAnotherOrderCountAsDifferent() {
        var filter = makeFilter({ keysCodes: [Qt.Key_A, Qt.Key_B] })
        var spy = createTemporaryObject(spyComponent, testCase, { target: filter, signalName: "keysCodesChanged" })
        filter.keysCodes = [Qt.Key_B, Qt.Key_A]
        compare(spy.count, 1)
        compare(filter.keysCodes, [Qt.Key_B, Qt.Key_A])
    }

    function test_emptyListSwallowsNothing() {
        var tree = makeTree()
        makeFilter({ target: tree.target })
        tree.leaf.forceActiveFocus()
        keyClick(Qt.Key_Escape)
        compare(tree.leaf.presses, 1)
    }
}
