// Corvane.Core tests.
import QtQuick 2.15
import QtTest 1.15
import Corvane.Core 1.0

TestCase {
    id: testCase
    name: "QtFontUtils"

    QtFontUtils { id: fontUtils }

    ListModel { id: emptyModel }
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

    function test_columnWidth() {
        compare(fontUtils.maxColumnTextWidth("DejaVu Sans", 10, null, 0), -1)
        compare(fontUtils.maxColumnTextWidth("DejaVu Sans", 10, emptyModel, 0, 100), -1)
        // Ten characters of "Dimensions" at the font's average width, within a rounding.
        var width = fontUtils.maxColumnTextWidth("DejaVu Sans", 10, namesModel, 0)
        verify(Math.abs(width - 10 * metrics.averageCharacterWidth) <= 10, width)
        compare(fontUtils.maxColumnTextWidth("DejaVu Sans", 10, namesModel, 0, 20), 20)
    }

    function test_ribbonLabelWidth() {
        var font = Qt.font({ family: "DejaVu Sans", pointSize: 11 })
        compare(fontUtils.preferredRibbonLabelWidth(font, "Open", 30, 20), 30)
        compare(fontUtils.preferredRibbonLabelWidth(font, "", 30, 200), 30)
        compare(fontUtils.preferredRibbonLabelWidth(font, "    ", 1, 200), 1)
        // Two words stack: the wider word alone sets the width.
        var wider = fontUtils.preferredRibbonLabelWidth(font, "Drawings", 1, 500)
        verify(wider > 1 && wider < 500)
        compare(fontUtils.preferredRibbonLabelWidth(font, "Open Drawings", 1, 500), wider)
        compare(fontUtils.preferredRibbonLabelWidth(font, "Open Drawings", 1, wider - 2), wider - 2)
    }

    function test_htmlParagraphs_data() {
        return [
            { tag: "lines", text: "a\nb", html: "<p>a</p><p>b</p>" },
            { tag: "markup", text: "<b>x</b>", html: "<b>x</b>" },
            { tag: "trailing line feed", text: "a\n", html: "<p>a</p><p></p>" },
            { tag: "empty", text: "", html: "" },
        ]
    }

    function test_htmlParagraphs(data) {
        compare(fontUtils.addHtmlParagraphs(data.text), data.html)
    }
}
