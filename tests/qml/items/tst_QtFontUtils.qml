// Corvane.Core tests.
import QtQuick 2.15
import QtTest 1.15
import Corvane.Core 1.0

// What QML hands over: a ListModel where a model pointer is expected, a JavaScript font. QML finds
// no callable overload until the module registers the pointer type; the C++ tests pin the results.
TestCase {
    name: "QtFontUtils"

    QtFontUtils { id: fontUtils }
    ListModel { id: namesModel; ListElement { name: "Layer 1" } ListElement { name: "Dimensions" } }
    FontMetrics { id: metrics; font.family: "DejaVu Sans"; font.pointSize: 10 }

    function test_callsFromQml() {
        compare(fontUtils.maxColumnTextWidth("DejaVu Sans", 10, null, 0), -1)
        compare(fontUtils.maxColumnTextWidth("DejaVu Sans", 10, namesModel, 0), 10 * Math.round(metrics.averageCharacterWidth))
        var font = Qt.font({ family: "DejaVu Sans", pointSize: 11 })
        var wider = fontUtils.preferredRibbonLabelWidth(font, "Drawings", 1, 500)
        verify(wider > 1 && wider < 500, wider)
        compare(fontUtils.preferredRibbonLabelWidth(font, "Open Drawings", 1, 500), wider)
    }
}
