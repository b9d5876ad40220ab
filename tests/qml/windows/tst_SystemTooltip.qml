// Corvane.Core tests.
import QtQuick 2.15
import QtTest 1.15
import Corvane.Core 1.0
import Corvane.Test 1.0

TestCase {
    id: testCase
    name: "SystemTooltip"

    readonly property int delay: 60
    property int savedDelay: 0

    Component {
        id: tooltipComponent
        SystemTooltip {}
    }
    Component {
        id: spyComponent
        SignalSpy {}
    }

    function initTestCase() {
        savedDelay = CVSettings.tooltipDelay
        CVSettings.tooltipDelay = delay
    }

    function cleanupTestCase() {
        CVSettings.tooltipDelay = savedDelay
    }

    function init() {
        WindowsProbe.hideTooltip()
        WindowsProbe.setCursorPos(100, 100)
    }

    function cleanup() {
        var anyItem = makeTip("")
        anyItem.visible = false
        WindowsProbe.hideTooltip()
    }

    // The offscreen platform cannot stack windows and says so for every new tooltip window.
    function expectNewTooltipWindow() {
        if (Qt.platform.pluginName === "offscreen")
            ignoreWarning("This plugin does not support raise()")
    }

    function makeTip(text) {
        return createTemporaryObject(tooltipComponent, testCase, { text: text })
    }

    function spyOn(item, signalName) {
        var spy = createTemporaryObject(spyComponent, testCase, { target: item, signalName: signalName })
        verify(spy.valid)
        return spy
    }

    function test_showsAfterTheDelayAndFollowsTheCursor() {
        // Given a tooltip item that asks for its tooltip
        var tip = makeTip("Layer is frozen")
        var spy = spyOn(tip, "tipVisibleChanged")
        expectNewTooltipWindow()
        tip.visible = true

        // Then it is pending at once, and shown after the delay
        compare(spy.count, 1)
        verify(tip.visible)
        verify(!WindowsProbe.tooltipVisible())
        tryVerify(function() { return WindowsProbe.tooltipVisible() }, 1000)
        compare(WindowsProbe.tooltipText(), "Layer is frozen")
        var first = WindowsProbe.tooltipPos()

        // When the cursor moves and the tooltip window goes away, the next expiry shows it
        // again at the new place (Qt leaves a shown tooltip with the same text where it is)
        WindowsProbe.setCursorPos(160, 130)
        WindowsProbe.hideTooltip()
        expectNewTooltipWindow()
        tryVerify(function() { return WindowsProbe.tooltipPos().x === first.x + 60 }, 1000)
        compare(WindowsProbe.tooltipPos().y, first.y + 30)
        verify(WindowsProbe.tooltipVisible())

        // And it stays until visible is written false, then fades out
        tip.visible = false
        compare(spy.count, 2)
        tryVerify(function() { return !WindowsProbe.tooltipVisible() }, 1000)
        verify(!tip.visible)
    }

    function test_secondItemTakesOverAndFirstHidesForBoth() {
        var a = makeTip("Alpha")
        var b = makeTip("Beta")
        expectNewTooltipWindow()
        a.visible = true
        b.visible = true
        tryVerify(function() { return WindowsProbe.tooltipVisible() }, 1000)
        compare(WindowsProbe.tooltipText(), "Beta")

        a.visible = false
        tryVerify(function() { return !WindowsProbe.tooltipVisible() }, 1000)
        verify(!b.visible)
    }

    function test_replacesAShownTooltipAtOnce() {
        var a = makeTip("Alpha")
        var b = makeTip("Beta")
        expectNewTooltipWindow()
        a.visible = true
        tryVerify(function() { return WindowsProbe.tooltipVisible() }, 1000)
        var spy = spyOn(b, "tipVisibleChanged")

        b.visible = true
        compare(spy.count, 0)

        compare(WindowsProbe.tooltipText(), "Beta")
    }

    function test_everyItemReadsVisibleWhileTheTimerRuns() {
        var asking = makeTip("Asking")
        var bystander = makeTip("Bystander")
        verify(!bystander.visible)
        asking.visible = true
        verify(bystander.visible)
    }

    function test_sameTextAlreadyShownEmitsNothing() {
        // Given another party showing this item's text, with no timer running
        var tip = makeTip("Shared text")
        expectNewTooltipWindow()
        WindowsProbe.showTooltip("Shared text")
        verify(WindowsProbe.tooltipVisible())
        verify(tip.visible)
        var spy = spyOn(tip, "tipVisibleChanged")

        tip.visible = true

        compare(spy.count, 0)
        compare(WindowsProbe.tooltipText(), "Shared text")
    }

    function test_hidingWhenNothingIsPendingEmitsNothing() {
        var tip = makeTip("Idle")
        var spy = spyOn(tip, "tipVisibleChanged")
        tip.visible = false
        compare(spy.count, 0)
    }

    function test_textChangeDoesNotChangeTheShownTooltip() {
        var tip = makeTip("Before")
        var spy = spyOn(tip, "textChanged")
        expectNewTooltipWindow()
        tip.visible = true
        tryVerify(function() { return WindowsProbe.tooltipVisible() }, 1000)

        tip.text = "After"
        tip.text = "After"
        compare(spy.count, 1)
        wait(delay * 2)
        compare(WindowsProbe.tooltipText(), "Before")
    }
}
