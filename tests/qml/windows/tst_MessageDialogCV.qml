// Corvane.Core tests.
import QtQuick 2.15
import QtTest 1.15
import Corvane.Core 1.0
import Corvane.Test 1.0

TestCase {
    id: testCase
    name: "MessageDialogCV"

    Component {
        id: dialogComponent
        MessageDialogCV {}
    }
    Component {
        id: recorderComponent
        DialogRecorder {}
    }
    Component {
        id: spyComponent
        SignalSpy {}
    }

    function makeDialog(properties) {
        return createTemporaryObject(dialogComponent, testCase, properties || {})
    }

    function test_everyKindAndButtonSetReachesItsBox_data() {
        var rows = []
        var kinds = [["info", MessageDialogCV.Info], ["warning", MessageDialogCV.Warning],
                     ["error", MessageDialogCV.Error]]
        var sets = [["ok", MessageDialogCV.Ok], ["yesno", MessageDialogCV.YesNo],
                    ["okcancel", MessageDialogCV.OkCancel], ["yesnocancel", MessageDialogCV.YesNoCancel]]
        for (var k = 0; k < kinds.length; ++k) {
            for (var s = 0; s < sets.length; ++s)
                rows.push({ tag: kinds[k][0] + " " + sets[s][0], type: kinds[k][1], buttons: sets[s][1],
                            icon: kinds[k][0], expectedButtons: sets[s][0] })
        }
        return rows
    }

    function test_everyKindAndButtonSetReachesItsBox(data) {
        // Given a dialog of one kind and button set
        var recorder = createTemporaryObject(recorderComponent, testCase)
        var dialog = makeDialog({ type: data.type, buttons: data.buttons, title: "Purge", message: "Purge 3 layers?" })

        // When it is shown
        dialog.show()

        // Then exactly one box of that kind with those buttons was shown, with the texts
        compare(recorder.calls.length, 1)
        compare(recorder.calls[0].icon, data.icon)
        compare(recorder.calls[0].buttons, data.expectedButtons)
        compare(recorder.calls[0].title, "Purge")
        compare(recorder.calls[0].message, "Purge 3 layers?")
        compare(recorder.calls[0].owner, 0)
    }

    function test_answerIsMappedToPressedButton_data() {
        return [
            { tag: "wxYES", answer: 2, expected: MessageDialogCV.Yes },
            { tag: "wxOK", answer: 4, expected: MessageDialogCV.Ok },
            { tag: "wxNO", answer: 8, expected: MessageDialogCV.No },
            { tag: "wxCANCEL", answer: 16, expected: MessageDialogCV.Cancel },
            { tag: "zero", answer: 0, expected: MessageDialogCV.Ok },
            { tag: "one", answer: 1, expected: MessageDialogCV.Ok },
            { tag: "five", answer: 5, expected: MessageDialogCV.Ok },
            { tag: "minus one", answer: -1, expected: MessageDialogCV.Ok },
        ]
    }

    function test_answerIsMappedToPressedButton(data) {
        var recorder = createTemporaryObject(recorderComponent, testCase, { answer: data.answer })
        var dialog = makeDialog({ buttons: MessageDialogCV.YesNoCancel })
        compare(dialog.show(), data.expected)
    }

    function test_unknownKindShowsNothingAndUnknownButtonSetOnlyOk() {
        var recorder = createTemporaryObject(recorderComponent, testCase, { answer: 16 })
        var dialog = makeDialog()
        dialog.type = 3
        compare(dialog.show(), MessageDialogCV.Ok)
        compare(recorder.calls.length, 0)
        dialog.type = MessageDialogCV.Info
        dialog.buttons = 7
        dialog.show()
        compare(recorder.calls.length, 1)
        compare(recorder.calls[0].buttons, "ok")
    }

    function test_ownerWindowComesFromTheBridge() {
        var recorder = createTemporaryObject(recorderComponent, testCase)
        var bridgeWithoutWindow = createTemporaryQmlObject("import Corvane.Core 1.0; QtWindowParent {}", testCase)
        var dialog = makeDialog({ wndparent: recorder.ownerBridge() })
        dialog.show()
        dialog.wndparent = bridgeWithoutWindow
        dialog.show()
        compare(recorder.calls[0].owner, recorder.ownerTag)
        compare(recorder.calls[1].owner, 0)
    }

    function test_showLaterUsesTheValuesOfTheMomentItRuns() {
        // Given a dialog queued for later
        var recorder = createTemporaryObject(recorderComponent, testCase)
        var dialog = makeDialog({ title: "Old", message: "Text" })
        dialog.showLater()
        compare(recorder.calls.length, 0)

        // When its title and kind change before the event loop runs
        dialog.title = "New"
        dialog.type = MessageDialogCV.Error

        // Then the box shows the new values
        tryCompare(recorder, "count", 1)
        compare(recorder.calls[0].title, "New")
        compare(recorder.calls[0].icon, "error")
    }

    function test_eachShowLaterQueuesItsOwnBox() {
        var recorder = createTemporaryObject(recorderComponent, testCase)
        var dialog = makeDialog({ title: "Twice" })
        dialog.showLater()
        dialog.showLater()
        tryCompare(recorder, "count", 2)
        wait(20)
        compare(recorder.count, 2)
    }

    function test_writesEmitOnlyOnChange_data() {
        return [
            { tag: "type", property: "type", signal: "typeChanged", value: MessageDialogCV.Warning },
            { tag: "buttons", property: "buttons", signal: "buttonsChanged", value: MessageDialogCV.OkCancel },
            { tag: "title", property: "title", signal: "titleChanged", value: "Layers" },
            { tag: "message", property: "message", signal: "messageChanged", value: "Delete?" },
            { tag: "wndparent", property: "wndparent", signal: "wndparentChanged", value: "bridge" },
        ]
    }

    function test_writesEmitOnlyOnChange(data) {
        var recorder = createTemporaryObject(recorderComponent, testCase)
        var dialog = makeDialog()
        var spy = createTemporaryObject(spyComponent, testCase, { target: dialog, signalName: data.signal })
        verify(spy.valid)
        var value = data.value === "bridge" ? recorder.ownerBridge() : data.value
        dialog[data.property] = value
        compare(spy.count, 1)
        compare(dialog[data.property], value)
        dialog[data.property] = value
        compare(spy.count, 1)
        compare(recorder.calls.length, 0)
    }
}
