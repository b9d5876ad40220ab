// Corvane demo host application: the start page and a tool palette, showing the module's
// image, text and window helpers.
import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Layouts 1.15
import QtQuick.Window 2.15
import Corvane.Core 1.0
import "Compat.js" as Compat

Item {
    id: page

    property QtObject theme
    property var hostWindow
    property string lastPressed: "none yet"

    readonly property var buttonNames: ["Ok", "Yes", "No", "Cancel"]
    readonly property var typeCodes: ({ "info": 0, "warning": 1, "error": 2 })
    readonly property var buttonCodes: ({ "ok": 0, "yesno": 1, "okcancel": 2, "yesnocancel": 3 })

    QtUtils { id: utils }
    QtFontUtils { id: fontUtils }
    MessageDialogCV { id: messageBox }
    TransientPopup { id: dropDown }

    function svg(name) {
        return Compat.call(utils, "themePathSvg", [name, theme.id], "qrc:/svg/" + (theme.dark ? "dark" : "light") + "/" + name + ".svg")
    }
    function png(name, size) {
        return Compat.call(utils, "themePathPng", [name, theme.id, size],
                           "qrc:/toolicons/" + size + "/" + (theme.dark ? "dark" : "light") + "/" + name + ".png")
    }

    /// Shows a message box of kind TYPE with the button set BUTTONS; answers the pressed button's name.
    function openMessage(type, buttons) {
        Compat.set(messageBox, "type", typeCodes[type] !== undefined ? typeCodes[type] : 0)
        Compat.set(messageBox, "buttons", buttonCodes[buttons] !== undefined ? buttonCodes[buttons] : 0)
        Compat.set(messageBox, "title", "Corvane demo")
        Compat.set(messageBox, "message", "A " + type + " message with the buttons " + buttons + ".")
        var pressed = Compat.call(messageBox, "show", [], -1)
        lastPressed = pressed >= 0 && pressed < buttonNames.length ? buttonNames[pressed] : "no answer (" + pressed + ")"
        return lastPressed
    }

    /// Opens the drop-down panel below its button; answers whether the host opened a popup window.
    function openDropDown() {
        var bridge = Compat.call(dropDown, "showBelow", [dropButton, 0, 2], null)
        // Without a popup factory of the host, the panel shows in-window.
        if (!bridge)
            fallbackPopup.open()
        return bridge !== null
    }

    function closeDropDown() {
        Compat.call(dropDown, "close", [])
        fallbackPopup.close()
    }

    Component.onCompleted: {
        Compat.set(logo, "fillMode", 1)
        Compat.set(logo, "image", demoImages.logo)
        Compat.set(escapeFilter, "target", escapeField)
        Compat.set(escapeFilter, "markEventAccepted", false)
        Compat.set(escapeFilter, "keysCodes", [Qt.Key_Escape])
        Compat.set(dropDown, "content", dropDownContent)
        helpText.text = Compat.call(fontUtils, "addHtmlParagraphs", [helpText.plain], helpText.plain)
    }

    ScrollView {
        anchors.fill: parent
        contentWidth: availableWidth
        clip: true

        ColumnLayout {
            width: parent.width
            spacing: 14

            // Title row: the logo is a lambda image, drawn for the window's pixel ratio.
            RowLayout {
                Layout.margins: 12
                spacing: 12
                ImageItem {
                    id: logo
                    objectName: "logo"
                    implicitWidth: 64
                    implicitHeight: 64
                    Layout.preferredWidth: 64
                    Layout.preferredHeight: 64
                }
                ColumnLayout {
                    Label { text: "Start"; font.pixelSize: 24; font.bold: true; color: theme.text }
                    Label { text: "Recent drawings, the tool palette and the message boxes of the host"; color: theme.dimText }
                }
                Item { Layout.fillWidth: true }
                Switch {
                    id: themeSwitch
                    objectName: "themeSwitch"
                    text: "Dark theme"
                    checked: theme.dark
                    onToggled: theme.id = checked ? 0 : 1
                    contentItem: Text {
                        leftPadding: themeSwitch.indicator.width + themeSwitch.spacing
                        text: themeSwitch.text
                        color: theme.text
                        verticalAlignment: Text.AlignVCenter
                    }
                }
            }

            // The ribbon: icons from the themed resource paths, labels wrapped at a measured width.
            Rectangle {
                Layout.fillWidth: true
                Layout.leftMargin: 12
                Layout.rightMargin: 12
                implicitHeight: ribbon.implicitHeight + 16
                color: theme.panel
                border.color: theme.line
                radius: 4

                Row {
                    id: ribbon
                    x: 8
                    y: 8
                    spacing: 6

                    Repeater {
                        model: [
                            { icon: "new", label: "New drawing", tip: "Starts a drawing from the default template" },
                            { icon: "open", label: "Open", tip: "Opens a drawing file" },
                            { icon: "save", label: "Save all drawings", tip: "Saves every open drawing" },
                            { icon: "layers", label: "Layer properties manager", tip: "Opens the layer manager" },
                            { icon: "print", label: "Plot", tip: "Plots the current layout" },
                            { icon: "measure", label: "Measure distance", tip: "Measures between two points" },
                            { icon: "help", label: "Help", tip: "Opens the help" }
                        ]

                        delegate: Rectangle {
                            id: ribbonButton
                            readonly property int labelWidth: Compat.call(fontUtils, "preferredRibbonLabelWidth",
                                                                          [label.font, modelData.label, 40, 96],
                                                                          Math.min(96, Math.max(40, label.implicitWidth)))
                            width: Math.max(48, labelWidth + 12)
                            height: 88
                            radius: 3
                            color: area.pressed ? theme.selection : area.containsMouse ? theme.hover : "transparent"

                            Image {
                                id: icon
                                objectName: "ribbonIcon_" + modelData.icon
                                anchors.horizontalCenter: parent.horizontalCenter
                                y: 8
                                sourceSize: Qt.size(32, 32)
                                source: page.svg(modelData.icon)
                            }
                            Text {
                                id: label
                                objectName: "ribbonLabel_" + modelData.icon
                                anchors.horizontalCenter: parent.horizontalCenter
                                anchors.top: icon.bottom
                                anchors.topMargin: 4
                                width: ribbonButton.labelWidth
                                text: modelData.label
                                color: theme.text
                                wrapMode: Text.WordWrap
                                maximumLineCount: 2
                                elide: Text.ElideRight
                                horizontalAlignment: Text.AlignHCenter
                                font.pixelSize: 12
                            }
                            MouseArea {
                                id: area
                                objectName: "ribbonButton_" + modelData.icon
                                anchors.fill: parent
                                hoverEnabled: true
                                onContainsMouseChanged: Compat.set(tip, "visible", containsMouse)
                                onClicked: if (modelData.icon === "layers") page.hostWindow.showPage("layers")
                            }
                            // The host's native tooltip, after the host's tooltip delay.
                            SystemTooltip {
                                id: tip
                                objectName: "tooltip_" + modelData.icon
                                anchors.fill: parent
                                Component.onCompleted: Compat.set(tip, "text", modelData.tip)
                            }
                        }
                    }

                    // Bitmap tool icons of both sizes.
                    Column {
                        spacing: 6
                        anchors.verticalCenter: parent.verticalCenter
                        Repeater {
                            model: ["measure", "print", "layers"]
                            Row {
                                spacing: 6
                                Image { source: page.png(modelData, 16); width: 16; height: 16 }
                                Image { source: page.png(modelData, 32); width: 16; height: 16; smooth: true }
                            }
                        }
                    }

                    // The drop-down panel opens below this button.
                    Button {
                        id: dropButton
                        objectName: "dropDownButton"
                        anchors.verticalCenter: parent.verticalCenter
                        text: "Workspace \u25be"
                        onClicked: page.openDropDown()
                    }
                }
            }

            // Recent drawings: thumbnails the host renders in memory.
            Label { Layout.leftMargin: 12; text: "Recent drawings"; font.pixelSize: 16; font.bold: true; color: theme.text }
            Flow {
                Layout.fillWidth: true
                Layout.leftMargin: 12
                Layout.rightMargin: 12
                spacing: 12
                Repeater {
                    model: 6
                    Column {
                        spacing: 4
                        Rectangle {
                            width: 162; height: 122
                            color: "transparent"
                            border.color: theme.line
                            ImageItem {
                                id: thumbnail
                                objectName: "thumbnail_" + index
                                x: 1; y: 1
                                width: 160; height: 120
                                Component.onCompleted: {
                                    var ratio = Screen.devicePixelRatio > 0 ? Screen.devicePixelRatio : 1
                                    Compat.set(thumbnail, "image", demoImages.thumbnail(index, Math.round(160 * ratio)))
                                    Compat.set(thumbnail, "fillMode", 1)
                                }
                            }
                        }
                        Text { text: "Drawing " + (index + 1) + ".dwg"; color: theme.text }
                    }
                }
            }

            RowLayout {
                Layout.fillWidth: true
                Layout.leftMargin: 12
                Layout.rightMargin: 12
                spacing: 24

                // Message boxes of the host, each kind with each button set.
                ColumnLayout {
                    Layout.alignment: Qt.AlignTop
                    Label { text: "Message boxes"; font.pixelSize: 16; font.bold: true; color: theme.text }
                    GridLayout {
                        columns: 4
                        Repeater {
                            model: ["info", "warning", "error"]
                            delegate: Repeater {
                        objectName: "messageButtons_" + modelData
                                property string kind: modelData
                                model: ["ok", "yesno", "okcancel", "yesnocancel"]
                                Button {
                                    objectName: "message_" + kind + "_" + modelData
                                    text: kind + " / " + modelData
                                    onClicked: page.openMessage(kind, modelData)
                                }
                            }
                        }
                    }
                    Label { objectName: "pressedLabel"; text: "Pressed: " + page.lastPressed; color: theme.text }
                }

                // Help text, turned into paragraphs by the module.
                ColumnLayout {
                    Layout.alignment: Qt.AlignTop
                    Layout.fillWidth: true
                    Label { text: "Help"; font.pixelSize: 16; font.bold: true; color: theme.text }
                    Text {
                        id: helpText
                        readonly property string plain: "Type a command or pick a tool from the ribbon.\n"
                                                        + "Escape in the field below is kept away from the field and reaches the page instead.\n"
                                                        + "Hover a ribbon button for the host's tooltip."
                        Layout.fillWidth: true
                        textFormat: Text.RichText
                        wrapMode: Text.WordWrap
                        color: theme.text
                    }
                    Rectangle {
                        id: escapeArea
                        objectName: "escapeArea"
                        Layout.fillWidth: true
                        // The field over the counter, both as wide as the box: side by side they
                        // spilt over its border at ratio 1.
                        implicitHeight: escapeColumn.implicitHeight + 12
                        color: theme.panel
                        border.color: theme.line
                        property int escapes: 0
                        focus: true
                        Keys.onEscapePressed: escapes++
                        ColumnLayout {
                            id: escapeColumn
                            anchors.fill: parent
                            anchors.margins: 6
                            TextField {
                                id: escapeField
                                objectName: "escapeField"
                                Layout.fillWidth: true
                                Layout.preferredWidth: 0
                                placeholderText: "Command line (Escape would clear it)"
                                Keys.onEscapePressed: clear()
                            }
                            Text {
                                Layout.fillWidth: true
                                text: "Escape reached the page " + escapeArea.escapes + "\u00d7"
                                wrapMode: Text.WordWrap
                                color: theme.dimText
                            }
                        }
                        KeyEventFilter { id: escapeFilter }
                    }
                }
            }
            Item { implicitHeight: 12 }
        }
    }

    // Shown only while the host's popup window holds it.
    Item {
        id: dropDownContent
        visible: Compat.get(dropDown, "visible", false) === true
        width: 220
        height: 130
        Rectangle {
            anchors.fill: parent
            color: theme.panel
            border.color: theme.accent
            Column {
                anchors.fill: parent
                anchors.margins: 8
                spacing: 4
                Label { text: "Workspace"; font.bold: true; color: theme.text }
                RadioButton { text: "Drafting and annotation"; checked: true }
                RadioButton { text: "3D modelling" }
            }
        }
    }

    Popup {
        id: fallbackPopup
        parent: dropButton
        y: dropButton.height + 2
        padding: 0
        contentItem: Rectangle {
            implicitWidth: 220
            implicitHeight: 90
            color: theme.panel
            border.color: theme.accent
            Label { anchors.centerIn: parent; text: "Drafting and annotation"; color: theme.text }
        }
    }
}
