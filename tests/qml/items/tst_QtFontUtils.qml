// Corvane.Core tests.
import QtQuick 2.15
import QtTest 1.15
import Corvane.Core 1.0

TestCase {
    id: testCase
    name: "QtFontUtils"

    QtFontUtils { id: fontUtils }

    ListModel {
        id: namesModel
        ListElement { name: "Layer 1" }
        ListElement { name: "Dimensions" }
    }

    FontMetrics {
        id: metrics
        font.family: "DejaVu Sans"
        font.pointSize: 10
    }

    // What QML hands over: a JavaScript font, a ListModel, texts. The C++ tests pin the results.
    function test_callsFromQml() {
        compare(fontUtils.maxColumnTextWidth("DejaVu Sans", 10, null, 0), -1)
        var width = fontUtils.maxColumnTextWidth("DejaVu Sans", 10, namesModel, 0)
        verify(Math.abs(width - 10 * metrics.averageCharacterWidth) <= 10, width)
        var font = Qt.font({ family: "DejaVu Sans", pointSize: 11 })
        var wider = fontUtils.preferredRibbonLabelWidth(font, "Drawings", 1, 500)
        verify(wider > 1 && wider < 500)
        compare(fontUtils.preferredRibbonLabelWidth(font, "Open Drawings", 1, 500), wider)
        compare(fontUtils.addHtmlParagraphs("a\nb"), "<p>a</p><p>b</p>")
    }
}
