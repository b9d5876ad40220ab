// Corvane.Core tests: JavaScript misuse of every registered type must never crash.
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

    // Values QML code passes by mistake: missing, null, the wrong type, extreme numbers.
    function junkValues(object) {
        return [undefined, null, "text", "", -1, 0, 1, 2147483647, -2147483648, 1e308, NaN, -0, true,
                {}, [], [1, 2], wrongItem, object, listModel, function () {}]
    }

    function create(source) {
        return Qt.createQmlObject("import Corvane.Core 1.0\n" + source, holder)
    }

    // Writes every junk value to every property; the type errors QML reports are exceptions.
    function assignEverywhere(object) {
        // Only the type's own properties: Qt Quick's own list properties (data, resources) crash
        // in Qt itself when handed junk.
        var names = []
        for (var key in object) {
            if (typeof object[key] !== "function" && key !== "objectName" && !(key in plainItem))
                names.push(key)
        }
        var values = junkValues(object)
        for (var i = 0; i < names.length; ++i) {
            for (var j = 0; j < values.length; ++j) {
                try {
                    object[names[i]] = values[j]
                } catch (e) {
                }
            }
        }
        return names.length
    }

    // Numbers QML passes where a row, column or size is expected.
    readonly property var numbers: [undefined, -1, 0, 1, 7, 2147483647, -2147483648, NaN, 1e308, -1e308, 0.5]

    SortFilterSelectModel { id: selectModel }
    ListModel { id: otherModel; ListElement { name: "x" } }

    function test_tableProxyCalls_data() {
        return [ { tag: "without source", source: false }, { tag: "with source", source: true } ]
    }

    function test_tableProxyCalls(data) {
        var proxy = create("SortFilterSelectModel {}")
        if (data.source)
            proxy.sourceModel = listModel
        var foreign = otherModel.index(0, 0)
        var menu = proxy.columnModel
        for (var i = 0; i < numbers.length; ++i) {
            var n = numbers[i]
            var m = numbers[(i + 3) % numbers.length]
            proxy.shiftSelection(n, m)
            proxy.ctrlSelection(n, m)
            proxy.leftClickSelection(n, m)
            proxy.rightClickSelection(n, m)
            proxy.addToSelection(n, m)
            proxy.isSelected(n)
            proxy.setHovered(n, true)
            proxy.setBeginEditIndex(n)
            proxy.resizeColumn(n, m)
            proxy.setColumnWidth(n, m)
            proxy.columnWidth(n)
            proxy.columnProportionalWidth(n)
            proxy.mapProxyColumnToSource(n)
            proxy.mapSourceColumnToProxy(n)
            proxy.mapSourceRowToProxy(n)
            proxy.mapProxyRowToSource(n)
            proxy.mapProxyIndexToSource(n, m)
            proxy.setSourceColumnVisible(n, false)
            proxy.setSourceColumnVisible(m, true)
            proxy.doSort(n, true, true)
            proxy.isInitiallyAscending(n)
            menu.setSourceColumnVisible(n, false)
            menu.trigger(n)
            menu.refresh()
        }
        // Indexes of another model, and the root index, where a cell is expected.
        proxy.shiftSelection(foreign)
        proxy.ctrlSelection(foreign)
        proxy.leftClickSelection(foreign)
        proxy.addToSelection(foreign)
        proxy.checkPreFocusOnParent(foreign)
        proxy.mapProxyIndexToSource(foreign)
        proxy.isSelected(0, foreign)
        proxy.selectedSourceRows = [foreign, proxy.index(0, 0)]
        proxy.selectAll()
        proxy.selectPreviousRow()
        proxy.selectNextRow()
        proxy.increasePreFocusIndexRow()
        proxy.decreasePreFocusIndexRow()
        proxy.increasePreFocusIndexColumn()
        proxy.decreasePreFocusIndexColumn()
        proxy.requestActiveFocusOnPrefocusedCell()
        proxy.unsetPreFocus()
        proxy.getShiftSelectionStart()
        proxy.showAllColumns()
        proxy.restoreColumnPositions()
        proxy.unSort()
        proxy.clearSelection()
        verify(proxy.selectedSourceRowsCount >= 0)
        proxy.destroy()
    }

    function test_helperCalls() {
        var sorter = create("SortFilterModel {}")
        sorter.sourceModel = listModel
        var watcher = create("ModelWatcher {}")
        var tree = create("TreeExpandConnections {}")
        tree.model = listModel
        for (var i = 0; i < numbers.length; ++i) {
            sorter.mapRowToSource(numbers[i])
            sorter.mapRowFromSource(numbers[i])
            try { sorter.sortColumn = numbers[i] } catch (e) {}
            tree.onRowExpanded(otherModel.index(0, 0), true)
            tree.onRowExpanded(listModel.index(0, 0), i % 2 === 0)
            tree.onTreeCreated()
        }
        try { sorter.sortRoleName = "no such role" } catch (e) {}
        watcher.model = listModel
        compare(watcher.rows, 2)
        watcher.model = null
        compare(watcher.rows, -1)
        tree.destroy()
        watcher.destroy()
        sorter.destroy()
    }

    function test_modelsAndHelpers_data() {
        return [
            { tag: "SortFilterSelectModel", source: "SortFilterSelectModel {}" },
            { tag: "SortFilterModel", source: "SortFilterModel {}" },
            { tag: "IdentityProxyModel", source: "IdentityProxyModel {}" },
            { tag: "ModelWatcher", source: "ModelWatcher {}" },
            { tag: "TreeExpandConnections", source: "TreeExpandConnections {}" },
            { tag: "QtModelUtils", source: "QtModelUtils {}" },
            { tag: "IntervalModel", source: "IntervalModel {}" },
            { tag: "FilterOperatorsModel", source: "FilterOperatorsModel {}" },
            { tag: "ImageItem", source: "ImageItem {}" },
            { tag: "KeyEventFilter", source: "KeyEventFilter {}" },
            { tag: "CursorChanger", source: "CursorChanger {}" },
            // Native windows: no method calls (they would open dialogs and wait), only property misuse.
            { tag: "TransientPopup", source: "TransientPopup {}" },
            { tag: "MessageDialogCV", source: "MessageDialogCV {}" },
            { tag: "QtWindowParent", source: "QtWindowParent {}" },
            { tag: "SystemTooltip", source: "SystemTooltip {}" },
            { tag: "QtUtils", source: "QtUtils {}" },
            { tag: "QtFontUtils", source: "QtFontUtils {}" },
        ]
    }

    function test_modelsAndHelpers(data) {
        var object = create(data.source)
        verify(object)
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
        return [
            { tag: "SortFilterSelectModel", source: "SortFilterSelectModel {}" },
            { tag: "SortFilterModel", source: "SortFilterModel {}" },
            { tag: "IdentityProxyModel", source: "IdentityProxyModel {}" },
        ]
    }

    function test_proxiesRefuseThemselvesAsSource(data) {
        var first = create(data.source)
        var second = create(data.source)
        first.sourceModel = listModel
        second.sourceModel = first
        try { first.sourceModel = first } catch (e) {}
        try { first.sourceModel = second } catch (e) {}
        // Still answers without recursing forever.
        verify(first.rowCount() >= 0)
        verify(second.rowCount() >= 0)
        second.destroy()
        first.destroy()
    }
}
