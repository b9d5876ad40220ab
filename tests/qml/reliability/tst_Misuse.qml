// Corvane.Core tests: JavaScript misuse of every registered type must never crash, and leaves the
// neutral answers.
import QtQuick 2.15
import QtTest 1.15
import Corvane.Core 1.0

TestCase {
    id: testCase
    name: "Misuse"

    Item { id: holder }
    Item { id: plainItem }
    Rectangle { id: wrongItem }
    ListModel { id: listModel; ListElement { name: "a" } ListElement { name: "b" } }
    ListModel { id: otherModel; ListElement { name: "x" } }

    // Numbers QML passes where a row, column or size is expected.
    readonly property var numbers: [undefined, -1, 0, 1, 7, 2147483647, -2147483648, NaN, 1e308, -1e308, 0.5]

    function create(source) {
        return Qt.createQmlObject("import Corvane.Core 1.0\n" + source, holder)
    }

    // Writes every junk value to every property of the type's own; the type errors QML reports are
    // exceptions. Qt Quick's own list properties (data, resources) crash in Qt itself on junk.
    function assignEverywhere(object) {
        var values = [undefined, null, "text", "", -1, 0, 1, 2147483647, -2147483648, 1e308, NaN, -0, true,
                      {}, [], [1, 2], wrongItem, object, listModel, function () {}]
        for (var key in object) {
            if (typeof object[key] === "function" || key === "objectName" || key in plainItem)
                continue
            for (var j = 0; j < values.length; ++j) {
                try { object[key] = values[j] } catch (e) {}
            }
        }
    }

    function test_tableProxyCalls_data() {
        return [ { tag: "without source", source: false, rows: 0 }, { tag: "with source", source: true, rows: 2 } ]
    }

    function test_tableProxyCalls(data) {
        var proxy = create("SortFilterSelectModel {}")
        if (data.source)
            proxy.sourceModel = listModel
        var menu = proxy.columnModel
        var twoArguments = ["shiftSelection", "ctrlSelection", "leftClickSelection", "rightClickSelection",
                            "addToSelection", "resizeColumn", "setColumnWidth", "mapProxyIndexToSource"]
        var oneArgument = ["isSelected", "setBeginEditIndex", "columnWidth", "columnProportionalWidth",
                           "mapProxyColumnToSource", "mapSourceColumnToProxy", "mapSourceRowToProxy",
                           "mapProxyRowToSource", "isInitiallyAscending"]
        for (var i = 0; i < numbers.length; ++i) {
            var n = numbers[i], m = numbers[(i + 3) % numbers.length]
            twoArguments.forEach(function (f) { proxy[f](n, m) })
            oneArgument.forEach(function (f) { proxy[f](n) })
            proxy.setHovered(n, true)
            proxy.setSourceColumnVisible(n, false)
            proxy.setSourceColumnVisible(m, true)
            proxy.doSort(n, true, true)
            menu.setSourceColumnVisible(n, false)
            menu.trigger(n)
            menu.refresh()
        }
        // Indexes of another model where a cell is expected.
        var foreign = otherModel.index(0, 0)
        var cellCalls = ["shiftSelection", "ctrlSelection", "leftClickSelection", "addToSelection",
                         "checkPreFocusOnParent", "mapProxyIndexToSource"]
        cellCalls.forEach(function (f) { proxy[f](foreign) })
        proxy.isSelected(0, foreign)
        proxy.selectedSourceRows = [foreign, proxy.index(0, 0)]
        var plainCalls = ["selectPreviousRow", "selectNextRow", "increasePreFocusIndexRow", "decreasePreFocusIndexRow",
         "increasePreFocusIndexColumn", "decreasePreFocusIndexColumn", "requestActiveFocusOnPrefocusedCell",
         "unsetPreFocus", "getShiftSelectionStart", "showAllColumns", "restoreColumnPositions", "unSort",
         "selectAll"]
        plainCalls.forEach(function (f) { proxy[f]() })
        compare(proxy.selectedSourceRowsCount, data.rows)
        proxy.clearSelection()
        compare(proxy.selectedSourceRowsCount, 0)
        compare(proxy.rowCount(), data.rows)
        proxy.destroy()
    }

    function test_junkInEveryProperty_data() {
        return ["SortFilterSelectModel", "SortFilterModel", "IdentityProxyModel", "ModelWatcher",
                "TreeExpandConnections", "QtModelUtils", "IntervalModel", "FilterOperatorsModel", "ImageItem",
                "KeyEventFilter", "CursorChanger", "TransientPopup", "MessageDialogCV", "QtWindowParent",
                "SystemTooltip", "QtUtils", "QtFontUtils"].map(function (type) { return { tag: type } })
    }

    // Native windows get no method calls (they would open dialogs and wait), only property misuse.
    function test_junkInEveryProperty(data) {
        var object = create(data.tag + " {}")
        assignEverywhere(object)
        // The same again with a real source in place.
        if ("sourceModel" in object || "model" in object) {
            try { object.sourceModel = listModel } catch (e) {}
            try { object.model = listModel } catch (e) {}
            assignEverywhere(object)
        }
        object.destroy()
    }

    function test_proxiesRefuseThemselvesAsSource_data() {
        return ["SortFilterSelectModel", "SortFilterModel", "IdentityProxyModel"].map(function (type) { return { tag: type } })
    }

    function test_proxiesRefuseThemselvesAsSource(data) {
        var first = create(data.tag + " { sourceModel: listModel }")
        var second = create(data.tag + " {}")
        second.sourceModel = first
        try { first.sourceModel = first } catch (e) {}
        try { first.sourceModel = second } catch (e) {}
        // Both keep their sources and answer without recursing forever.
        compare(first.sourceModel, listModel)
        compare(second.sourceModel, first)
        compare(first.rowCount(), 2)
        compare(second.rowCount(), 2)
        second.destroy()
        first.destroy()
    }
}
