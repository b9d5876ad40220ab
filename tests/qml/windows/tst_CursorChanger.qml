// Corvane.Core tests.
import QtQuick 2.15
import QtTest 1.15
import Corvane.Core 1.0
import Corvane.Test 1.0

TestCase {
    id: testCase
    name: "CursorChanger"

    Component {
        id: changerComponent
        CursorChanger {}
    }
    Component {
        id: spyComponent
        SignalSpy {}
    }

    function cleanup() {
        compare(WindowsProbe.overrideCursorShapes(), [], "a test left the override stack in use")
    }

    function makeChanger(properties) {
        return createTemporaryObject(changerComponent, testCase, properties || {})
    }

    function test_activatingTwicePushesOnce() {
        var changer = makeChanger({ cursor: Qt.WaitCursor })
        var spy = createTemporaryObject(spyComponent, testCase, { target: changer, signalName: "activeChanged" })
        verify(spy.valid)

        changer.active = true
        changer.active = true

        compare(spy.count, 1)
        compare(WindowsProbe.overrideCursorShapes(), [Qt.WaitCursor])
        changer.active = false
        compare(spy.count, 2)
    }

    function test_destroyingAnActiveChangerRestoresThePreviousCursor() {
        WindowsProbe.pushOverrideCursor(Qt.IBeamCursor)
        var changer = changerComponent.createObject(null, { cursor: Qt.BusyCursor, active: true })
        compare(WindowsProbe.overrideCursorShapes(), [Qt.BusyCursor, Qt.IBeamCursor])

        WindowsProbe.destroyNow(changer)

        compare(WindowsProbe.overrideCursorShapes(), [Qt.IBeamCursor])
        WindowsProbe.popOverrideCursor()
    }

    function test_destroyingAnInactiveChangerChangesNothing() {
        WindowsProbe.pushOverrideCursor(Qt.IBeamCursor)
        var changer = changerComponent.createObject(null, { cursor: Qt.BusyCursor })
        WindowsProbe.destroyNow(changer)
        compare(WindowsProbe.overrideCursorShapes(), [Qt.IBeamCursor])
        WindowsProbe.popOverrideCursor()
    }

    function test_twoChangersDeactivatedInActivationOrderEmptyTheStack() {
        var first = makeChanger({ cursor: Qt.WaitCursor })
        var second = makeChanger({ cursor: Qt.CrossCursor })

        first.active = true
        second.active = true
        compare(WindowsProbe.overrideCursorShapes(), [Qt.CrossCursor, Qt.WaitCursor])

        // Each deactivation pops the top entry, which is not necessarily its own
        first.active = false
        compare(WindowsProbe.overrideCursorShapes(), [Qt.WaitCursor])
        second.active = false
        compare(WindowsProbe.overrideCursorShapes(), [])
    }

    function test_cursorChangeWhileActiveShowsAtOnce() {
        var changer = makeChanger({ active: true })
        var spy = createTemporaryObject(spyComponent, testCase, { target: changer, signalName: "cursorChanged" })
        changer.cursor = Qt.SizeAllCursor
        compare(spy.count, 1)
        compare(WindowsProbe.overrideCursorShapes(), [Qt.SizeAllCursor])
        changer.cursor = Qt.SizeAllCursor
        compare(spy.count, 1)
        changer.active = false
    }

    function test_cursorChangeWhileInactiveLeavesOthersEntryAlone() {
        // Given another party's override cursor on the stack
        WindowsProbe.pushOverrideCursor(Qt.IBeamCursor)
        var changer = makeChanger()

        // When an inactive changer's shape changes
        changer.cursor = Qt.WaitCursor

        // Then the other party keeps its cursor, and activation uses the new shape
        compare(WindowsProbe.overrideCursorShapes(), [Qt.IBeamCursor])
        changer.active = true
        compare(WindowsProbe.overrideCursorShapes(), [Qt.WaitCursor, Qt.IBeamCursor])
        changer.active = false
        WindowsProbe.popOverrideCursor()
    }
}
