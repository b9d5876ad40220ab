// Corvane demo host application.
import QtQuick 2.15
import QtQuick.Window 2.15
import Corvane.Core 1.0

Window {
    width: 640
    height: 360
    visible: true
    title: "Corvane.Core"
    color: "white"

    Column {
        anchors.fill: parent
        anchors.margins: 16
        spacing: 8

        Text { text: "Corvane.Core 1.0"; font.pixelSize: 22; font.bold: true }
        Text { text: "DialogReturn.Ok = " + DialogReturn.Ok + ", DialogReturn.Cancel = " + DialogReturn.Cancel }
        Text { text: "LayerCellTypes.Colour = " + LayerCellTypes.Colour + ", Cv.EViewOptions.List = " + Cv.EViewOptions.List }
        Text { text: "CVSettings.tooltipDelay = " + CVSettings.tooltipDelay + " ms" }
        Row {
            spacing: 8
            Text { text: "Number (CVDoubleValidator):"; anchors.verticalCenter: parent.verticalCenter }
            Rectangle {
                width: 160; height: 28; border.color: input.acceptableInput ? "green" : "red"
                TextInput {
                    id: input
                    anchors.fill: parent; anchors.margins: 4
                    text: "1.5"
                    validator: CVDoubleValidator
                    focus: true
                }
            }
            Text { text: input.acceptableInput ? "accepted" : "not accepted"; anchors.verticalCenter: parent.verticalCenter }
        }
    }
}
