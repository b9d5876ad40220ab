// Corvane demo host application: the panels of the module in one window.
import QtQuick 2.15
import QtQuick.Window 2.15
import QtQuick.Controls 2.15
import QtQuick.Layouts 1.15
import Corvane.Core 1.0

Window {
    id: window
    readonly property int preferredWidth: 1180
    readonly property int preferredHeight: 720
    width: preferredWidth
    height: preferredHeight
    visible: true
    title: "Corvane.Core demo"
    color: colours.background

    readonly property var pageNames: ["layers", "files", "start"]

    // Colour theme of the whole demo: QtUtils theme ids, 0 dark and 1 light.
    QtObject {
        id: colours
        property int id: 1
        readonly property bool dark: id === 0
        readonly property color background: dark ? "#1f2329" : "#f5f6f8"
        readonly property color panel: dark ? "#272c33" : "#ffffff"
        readonly property color text: dark ? "#e6e9ef" : "#1f2329"
        readonly property color dimText: dark ? "#9aa3ad" : "#5b6470"
        readonly property color line: dark ? "#3a414b" : "#d8dce2"
        readonly property color header: dark ? "#323842" : "#eceef2"
        readonly property color selection: dark ? "#2f5d8c" : "#cfe3fb"
        readonly property color hover: dark ? "#2f353e" : "#eef4fc"
        readonly property color accent: dark ? "#4fb3ff" : "#1769c2"
    }

    /// Opens the panel NAME; false for an unknown name.
    function showPage(name) {
        var index = pageNames.indexOf(String(name))
        if (index < 0)
            return false
        tabs.currentIndex = index
        return true
    }

    function layerHighlightedRows() {
        return layers.highlightedRows
    }

    function setLayerFilter(text) {
        layers.filterText = String(text)
    }

    /// A scripted command for the file manager (see FileManager.command).
    function fileCommand(name, args) {
        return files.command(String(name), args)
    }

    /// Opens (true) or closes the start page's drop-down panel; whether a popup window is open.
    function dropDown(open) {
        showPage("start")
        if (!open) {
            start.closeDropDown()
            return true
        }
        return start.openDropDown()
    }

    /// Opens a message box of kind TYPE (info, warning, error) with BUTTONS; the pressed button.
    function openMessage(type, buttons) {
        showPage("start")
        return start.openMessage(String(type), String(buttons))
    }

    // The window's own colour is not part of a grabbed image; the panels sit on this instead.
    Rectangle {
        anchors.fill: parent
        color: colours.background
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        TabBar {
            id: tabs
            Layout.fillWidth: true
            Component.onCompleted: currentIndex = Math.max(0, window.pageNames.indexOf(initialPage))
            TabButton { text: "Layer manager" }
            TabButton { text: "File manager" }
            TabButton { text: "Start page and palette" }
        }

        StackLayout {
            Layout.fillWidth: true
            Layout.fillHeight: true
            currentIndex: tabs.currentIndex

            LayerManager { id: layers; theme: colours }
            FileManager { id: files; theme: colours }
            StartPage { id: start; theme: colours; hostWindow: window }
        }
    }
}
