// Corvane.Core tests.
import QtQuick 2.15
import QtQuick.Window 2.15
import QtTest 1.15
import Corvane.Core 1.0
import Corvane.Test 1.0

TestCase {
    id: testCase
    name: "TransientPopup"
    when: windowShown
    width: 300
    height: 200

    Rectangle {
        id: anchorItem
        x: 20.5
        y: 30
        width: 80
        height: 24
        color: "steelblue"
    }

    Component {
        id: popupComponent
        TransientPopup {}
    }
    Component {
        id: contentComponent
        Rectangle {
            width: 120
            height: 60
            visible: false
            focus: true
            property int presses: 0
            Keys.onPressed: presses++
        }
    }
    Component {
        id: spyComponent
        SignalSpy {}
    }

    function makePopup(properties) {
        var content = createTemporaryObject(contentComponent, testCase)
        var props = properties || {}
        props.content = content
        return createTemporaryObject(popupComponent, testCase, props)
    }

    function closeAll(popup) {
        if (popup.visible) {
            popup.close()
            tryCompare(popup, "visible", false)
        }
    }

    function test_opensBelowTheItemInARealWindow() {
        // Given a popup with content and an anchor in the test window
        var popup = makePopup()
        var spy = createTemporaryObject(spyComponent, testCase, { target: popup, signalName: "visibleChanged" })
        verify(spy.valid)

        // When it opens below the anchor
        var bridge = popup.showBelow(anchorItem)

        // Then a frameless window shows the content at the anchor's bottom-left corner
        verify(bridge !== null)
        compare(spy.count, 1)
        verify(popup.visible)
        var window = bridge.window
        verify(window.visible)
        var corner = anchorItem.mapToGlobal(0, anchorItem.height)
        compare(popup.x, Math.floor(corner.x))
        compare(popup.y, Math.floor(corner.y))
        compare(window.x, popup.x)
        compare(window.y, popup.y)
        compare(window.width, 120)
        compare(popup.content.Window.window, window)
        verify(popup.content.visible)

        // And it takes the focus
        tryVerify(function() { return WindowsProbe.isFocusWindow(window) })
        verify(popup.content.activeFocus)
        closeAll(popup)
    }

    function test_escapeClosesAndHandsTheContentBack() {
        var popup = makePopup()
        var content = popup.content
        var spy = createTemporaryObject(spyComponent, testCase, { target: popup, signalName: "visibleChanged" })
        var bridge = popup.showBelow(anchorItem, 4, 2)
        tryVerify(function() { return WindowsProbe.isFocusWindow(bridge.window) })

        WindowsProbe.sendKey(bridge.window, Qt.Key_Escape)

        tryCompare(popup, "visible", false)
        compare(spy.count, 2)
        compare(content.parent, testCase)
        verify(!content.visible)
        compare(content.presses, 0)
    }

    function test_otherKeysReachTheContent() {
        var popup = makePopup()
        var bridge = popup.showBelow(anchorItem)
        tryVerify(function() { return WindowsProbe.isFocusWindow(bridge.window) })
        WindowsProbe.sendKey(bridge.window, Qt.Key_Down)
        compare(popup.content.presses, 1)
        verify(popup.visible)
        closeAll(popup)
    }

    function test_clickOutsideCloses() {
        var popup = makePopup()
        popup.showBelow(anchorItem)
        WindowsProbe.click(anchorItem.Window.window, 250, 150)
        tryCompare(popup, "visible", false)
    }

    function test_clickInsideKeepsItOpen() {
        var popup = makePopup()
        var bridge = popup.showBelow(anchorItem)
        WindowsProbe.click(bridge.window, 10, 10)
        wait(20)
        verify(popup.visible)
        closeAll(popup)
    }

    function test_noFocusLeavesTheFocusWhereItWas() {
        var popup = makePopup({ requestFocusOnShow: false })
        anchorItem.Window.window.requestActivate()
        tryVerify(function() { return WindowsProbe.isFocusWindow(anchorItem.Window.window) })

        var bridge = popup.showBelow(anchorItem)

        verify(bridge.window.visible)
        wait(20)
        verify(WindowsProbe.isFocusWindow(anchorItem.Window.window))
        verify(!popup.content.activeFocus)
        closeAll(popup)
    }

    function test_showOpensAtTheStoredPoint() {
        var popup = makePopup({ x: 210, y: 140 })
        popup.visible = true
        verify(popup.visible)
        compare(popup.content.Window.window.x, 210)
        compare(popup.content.Window.window.y, 140)
        closeAll(popup)
    }

    function test_popupOpenedInsideAPopupIsOwnedByIt() {
        // Given an open popup whose content holds an anchor
        var outer = makePopup()
        var outerBridge = outer.showBelow(anchorItem)
        var inner = makePopup({ requestFocusOnShow: false })

        // When a second popup opens below the first one's content
        var innerBridge = inner.showBelow(outer.content)

        // Then the first popup's window owns it
        compare(WindowsProbe.transientParentOf(innerBridge.window), outerBridge.window)
        closeAll(inner)
        closeAll(outer)
    }
}
