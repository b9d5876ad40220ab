// Corvane.Core tests: JavaScript misuse of every registered type (values of the wrong type, null
// objects, proxies as their own sources) must never crash, and leaves the neutral answers.
import QtQuick 2.15
import QtTest 1.15
import Corvane.Core 1.0

TestCase {
    name: "Misuse"

    Item { id: holder }
    Item { id: plainItem }
    QtUtils { id: utils }
    ListModel { id: listModel; ListElement { name: "a" } ListElement { name: "b" } }

    function create(source) {
        return Qt.createQmlObject("import Corvane.Core 1.0\n" + source, holder)
    }

    function test_junkInEveryProperty_data() {
        return ["SortFilterSelectModel", "SortFilterModel", "IdentityProxyModel", "ModelWatcher",
                "TreeExpandConnections", "QtModelUtils", "IntervalModel", "FilterOperatorsModel", "ImageItem",
                "KeyEventFilter", "CursorChanger", "TransientPopup", "MessageDialogCV", "QtWindowParent",
                "SystemTooltip", "QtUtils", "QtFontUtils"].map(function (type) { return { tag: type } })
    }

    // Every junk value in every property of the type's own, without and with a real source; the type
    // errors QML reports are exceptions. Qt Quick's own list properties crash in Qt itself on junk.
    // Native windows get no method calls (they would open dialogs and wait).
    function test_junkInEveryProperty(data) {
        var object = create(data.tag + " {}")
        var values = [undefined, null, "text", "", -1, 0, 1, 2147483647, -2147483648, 1e308, NaN, -0, true,
                      {}, [], [1, 2], holder, object, listModel, function () {}]
        for (var round = 0; round < 2; ++round) {
            for (var key in object) {
                if (typeof object[key] === "function" || key === "objectName" || key in plainItem)
                    continue
                for (var j = 0; j < values.length; ++j) {
                    // Qt 6 reports each array element that cannot become a model index
                    if (key === "selectedSourceRows" && utils.isQt6() && Array.isArray(values[j]))
                        values[j].forEach(function (v, i) { ignoreWarning('"Could not convert array value at position ' + i + ' from int to QModelIndex"') })
                    try { object[key] = values[j] } catch (e) {}
                }
            }
            try { object.sourceModel = listModel } catch (e) {}
            try { object.model = listModel } catch (e) {}
        }
        object.destroy()
    }

    function test_wrongTypesAndNullsLeaveNeutralAnswers() {
        var popup = create("TransientPopup {}"), image = create("ImageItem {}")
        var filter = create("KeyEventFilter { target: plainItem }")
        compare(popup.showBelow(null, NaN, "x"), null)
        compare(popup.visible, false)
        try { filter.target = listModel } catch (e) {}
        compare(filter.target, plainItem)
        image.image = listModel
        compare(image.isValid, false)
        compare(create("QtUtils {}").getObjectParent(null), null)
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
