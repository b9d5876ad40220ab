// Corvane demo host application: the start page under simulated mouse and keyboard.
import QtQuick 2.15
import QtQuick.Controls 2.15
import QtTest 1.15
import "../../qml"

Item {
    id: root
    width: 1180
    height: 720

    function showPage(name) { return true }

    QtObject {
        id: colours
        property int id: 1
        readonly property bool dark: id === 0
        readonly property color background: "#f5f6f8"
        readonly property color panel: "#ffffff"
        readonly property color text: "#1f2329"
        readonly property color dimText: "#5b6470"
        readonly property color line: "#d8dce2"
        readonly property color header: "#eceef2"
        readonly property color selection: "#cfe3fb"
        readonly property color hover: "#eef4fc"
        readonly property color accent: "#1769c2"
    }

    StartPage {
        id: page
        anchors.fill: parent
        theme: colours
        hostWindow: root
    }

    TestCase {
        name: "StartPage"
        when: windowShown

        function cleanup() {
            colours.id = 1
            demoHost.setMessageBoxAnswer(0)
        }

        function test_themeSwitchSwapsTheThemedIcons() {
            var icon = findChild(page, "ribbonIcon_open")
            compare(String(icon.source), "qrc:/svg/light/open.svg")
            mouseClick(findChild(page, "themeSwitch"))
            compare(colours.id, 0)
            compare(String(icon.source), "qrc:/svg/dark/open.svg")
            compare(icon.status, Image.Ready)
        }

        function test_thumbnailsAndLogoShowImages() {
            for (var i = 0; i < 6; ++i)
                verify(findChild(page, "thumbnail_" + i).isValid, "thumbnail " + i)
            verify(findChild(page, "logo").isValid)
        }

        function test_ribbonLabelsGetMeasuredWidths() {
            var label = findChild(page, "ribbonLabel_layers")
            verify(label.width >= 40 && label.width <= 96, label.width)
            verify(label.lineCount <= 2)
        }

        function test_messageBoxesReportThePressedButton_data() {
            return [
                { tag: "warning yes/no answered yes", kind: "warning", buttons: "yesno", answer: 2, pressed: "Yes" },
                { tag: "info yes/no/cancel answered no", kind: "info", buttons: "yesnocancel", answer: 8, pressed: "No" },
                { tag: "error ok/cancel answered cancel", kind: "error", buttons: "okcancel", answer: 16, pressed: "Cancel" },
                { tag: "info ok answered ok", kind: "info", buttons: "ok", answer: 4, pressed: "Ok" }
            ]
        }

        function test_messageBoxesReportThePressedButton(data) {
            demoHost.setMessageBoxAnswer(data.answer)
            var button = findChild(page, "message_" + data.kind + "_" + data.buttons)
            verify(button)
            mouseClick(button)
            compare(findChild(page, "pressedLabel").text, "Pressed: " + data.pressed)
        }

        function test_hoveringARibbonButtonAsksForItsTooltip() {
            var button = findChild(page, "ribbonButton_print")
            var tip = findChild(page, "tooltip_print")
            compare(tip.text, "Plots the current layout")
            compare(tip.visible, false)
            mouseMove(button, button.width / 2, button.height / 2)
            tryCompare(tip, "visible", true)
            mouseMove(page, 5, page.height - 5)
            tryCompare(tip, "visible", false)
        }

        function test_escapeIsKeptAwayFromTheField() {
            var field = findChild(page, "escapeField")
            var area = findChild(page, "escapeArea")
            mouseClick(field)
            keyClick(Qt.Key_A)
            keyClick(Qt.Key_B)
            compare(field.text, "ab")
            keyClick(Qt.Key_Escape)
            // The field did not clear itself; the press travelled on to the page.
            compare(field.text, "ab")
            compare(area.escapes, 1)
        }
    }
}
