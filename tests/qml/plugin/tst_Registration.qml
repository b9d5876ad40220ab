// Corvane.Core tests.
import QtQuick 2.15
import QtTest 1.15
import Corvane.Core 1.0

TestCase {
    name: "Registration"

    function createError(source) {
        try {
            var object = Qt.createQmlObject("import Corvane.Core 1.0\n" + source, testCase)
            object.destroy()
            return ""
        } catch (e) {
            return e.qmlErrors.length > 0 ? e.qmlErrors[0].message : String(e)
        }
    }

    Item { id: testCase }

    // Every registered name: created, or refused with its reason.
    function test_registeredNames_data() {
        var rows = ["ImageItem", "QtUtils", "QtModelUtils", "QtFontUtils", "IdentityProxyModel", "SortFilterModel",
                    "SortFilterSelectModel", "IntervalModel", "ModelWatcher", "CursorChanger", "KeyEventFilter",
                    "TransientPopup", "MessageDialogCV", "FilterOperatorsModel", "QtWindowParent", "TreeExpandConnections",
                    "SystemTooltip"].map(function (type) { return { tag: type, reason: "" } })
        rows.push({ tag: "QtValueWrapper", reason: "type is C++ constructed only" },
                  { tag: "RowFilter", reason: "type is C++ constructed only" })
        ;["DialogReturn", "QMessageStyle", "LayerCellTypes", "LayerHeaderTypes", "QImageExt", "ManagerCellTypes",
          "HelpButtonCategory", "QDropPositionType", "Cv", "StartCellTypes"].forEach(function (type) {
            rows.push({ tag: type, reason: "Error: only enums" })
        })
        return rows
    }

    function test_registeredNames(data) {
        var error = createError(data.tag + " {}")
        verify(data.reason ? error.indexOf(data.reason) >= 0 : error === "", error)
    }

    TextInput { id: numberInput; validator: CVDoubleValidator }

    // The singletons reach QML documents; the C++ plugin test pins the validator's answers.
    function test_singletons() {
        compare(CVSettings.tooltipDelay, 700)
        numberInput.text = "1,5"
        verify(!numberInput.acceptableInput)
        numberInput.text = "1.5"
        verify(numberInput.acceptableInput)
    }

    function test_enumerators_data() {
        return [
            { tag: "DialogReturn.Ok", value: DialogReturn.Ok, expected: 5100 },
            { tag: "DialogReturn.Cancel", value: DialogReturn.Cancel, expected: 5101 },
            { tag: "DialogReturn.FirstCustomAction", value: DialogReturn.FirstCustomAction, expected: 1 },
            { tag: "DialogReturn.SecondCustomAction", value: DialogReturn.SecondCustomAction, expected: 2 },
            { tag: "scoped DialogReturn", value: DialogReturn.DialogReturn.Cancel, expected: 5101 },
            { tag: "QMessageStyle.Question", value: QMessageStyle.Question, expected: 2 },
            { tag: "QMessageStyle.Error", value: QMessageStyle.QMessageStyle.Error, expected: 3 },
            { tag: "LayerCellTypes.Colour", value: LayerCellTypes.Colour, expected: 1 },
            { tag: "LayerCellTypes.PlotStyle", value: LayerCellTypes.LayerCellTypes.PlotStyle, expected: 10 },
            { tag: "LayerCellTypes.Unknown", value: LayerCellTypes.Unknown, expected: -1 },
            { tag: "ManagerCellTypes.Unknown", value: ManagerCellTypes.Unknown, expected: -1 },
            { tag: "StartCellTypes.Unknown", value: StartCellTypes.Unknown, expected: -1 },
            { tag: "LayerHeaderTypes.UnknownType", value: LayerHeaderTypes.UnknownType, expected: -1 },
            { tag: "LayerHeaderTypes.Unknown", value: LayerHeaderTypes.Unknown, expected: -1 },
            { tag: "LayerHeaderTypes.Image", value: LayerHeaderTypes.LayerHeaderTypes.Image, expected: 1 },
            { tag: "ManagerCellTypes.Method", value: ManagerCellTypes.ManagerCellTypes.Method, expected: 5 },
            { tag: "HelpButtonCategory.Sysvars", value: HelpButtonCategory.Sysvars, expected: 2 },
            { tag: "StartCellTypes.ImageButtonPinned", value: StartCellTypes.ImageButtonPinned, expected: 2 },
            { tag: "QDropPositionType.DropOn", value: QDropPositionType.QDropPositionType.DropOn, expected: 1 },
            { tag: "DialogReturn.Colour (shared namespace)", value: DialogReturn.Colour, expected: 1 },
            { tag: "QImageExt.Colour", value: QImageExt.Colour, expected: 1 },
            { tag: "QImageExt.DropAfter", value: QImageExt.DropAfter, expected: 2 },
            { tag: "Cv.AllPalettes", value: Cv.AllPalettes, expected: 1 },
            { tag: "Cv.EViewOptions.List", value: Cv.EViewOptions.List, expected: 2 },
            { tag: "Cv.EChangeMode.CurrentPalette", value: Cv.EChangeMode.CurrentPalette, expected: 0 },
            { tag: "MessageDialogCV.Error", value: MessageDialogCV.Error, expected: 2 },
            { tag: "MessageDialogCV.YesNoCancel", value: MessageDialogCV.YesNoCancel, expected: 3 },
            { tag: "MessageDialogCV.No", value: MessageDialogCV.No, expected: 2 },
            // Cv holds only its own enumerations
            { tag: "Cv.IconWithText", value: Cv.IconWithText, expected: 0 },
            { tag: "no Cv.Colour", value: Cv.Colour, expected: undefined },
        ]
    }

    function test_enumerators(data) {
        compare(data.value, data.expected)
    }

    QtFontUtils { id: fontUtils }
    ListModel { id: namesModel; ListElement { name: "Layer 1" } ListElement { name: "Dimensions" } }
    FontMetrics { id: metrics; font.family: "DejaVu Sans"; font.pointSize: 10 }

    // A ListModel where a model pointer is expected: QML finds no callable overload until the module
    // registers the pointer type. The C++ tests pin the results.
    function test_fontUtilsTakeAModelFromQml() {
        compare(fontUtils.maxColumnTextWidth("DejaVu Sans", 10, null, 0), -1)
        compare(fontUtils.maxColumnTextWidth("DejaVu Sans", 10, namesModel, 0), 10 * Math.round(metrics.averageCharacterWidth))
    }

    // QML's writes of visible drive the tooltip on Qt 5 and Qt 6 alike (here without a hidden parent item).
    QtObject { id: noItem }
    function test_tooltipFollowsVisibleWrites() {
        var tip = Qt.createQmlObject("import Corvane.Core 1.0\nSystemTooltip {}", noItem), changes = 0
        tip.tipVisibleChanged.connect(function () { ++changes })
        tip.visible = true
        tip.visible = false
        compare(changes, 2)
        tip.destroy()
    }
}
