// Corvane.Core tests.
import QtQuick 2.15
import QtTest 1.15
import Corvane.Core 1.0
import Corvane.Test 1.0

TestCase {
    id: testCase
    name: "SortFilterModel"

    QtModelUtils { id: utils }

    Component {
        id: peopleComponent
        ListModel {
            ListElement { name: "B"; age: 30 }
            ListElement { name: "C"; age: 10 }
            ListElement { name: "A"; age: 20 }
        }
    }

    // The role name is written before the source in the document, as panels often do.
    Component {
        id: proxyComponent
        SortFilterModel {
            sortRoleName: "age"
            sortColumn: 0
        }
    }

    Component {
        id: testerComponent
        ModelTester {}
    }

    function names(model) {
        var role = utils.roleIndex(model, "name")
        var text = ""
        for (var row = 0; row < model.rowCount(); ++row)
            text += model.data(model.index(row, 0), role)
        return text
    }

    function createProxy(source) {
        var proxy = createTemporaryObject(proxyComponent, testCase)
        createTemporaryObject(testerComponent, testCase, { model: proxy })
        if (source)
            proxy.sourceModel = source
        return proxy
    }

    function test_startsUnsortedAscending() {
        var fresh = Qt.createQmlObject("import Corvane.Core 1.0; SortFilterModel {}", testCase)
        compare(fresh.sortColumn, -1)
        compare(fresh.ascending, true)
        compare(fresh.sortRoleName, "")
        fresh.destroy()
    }

    function test_sortsByRoleNameOnceSourceArrives() {
        var people = createTemporaryObject(peopleComponent, testCase)
        var proxy = createProxy(null)
        // A role number that the source does not use, so that the name takes effect visibly
        proxy.sortRole = 99
        var spy = createTemporaryObject(signalSpyComponent, testCase, { target: proxy, signalName: "sortRoleNameChanged" })
        compare(proxy.sortRoleName, "")

        proxy.sourceModel = people

        compare(spy.count, 1)
        compare(spy.signalArguments[0][0], "age")
        compare(proxy.sortRoleName, "age")
        compare(proxy.sortRole, utils.roleIndex(people, "age"))
        compare(names(proxy), "CAB")
    }

    function test_followsDirectionAndColumn_data() {
        return [
            { tag: "age ascending", role: "age", ascending: true, column: 0, expected: "CAB" },
            { tag: "age descending", role: "age", ascending: false, column: 0, expected: "BAC" },
            { tag: "name ascending", role: "name", ascending: true, column: 0, expected: "ABC" },
            { tag: "name descending", role: "name", ascending: false, column: 0, expected: "CBA" },
            { tag: "unsorted", role: "name", ascending: false, column: -1, expected: "BCA" },
        ]
    }

    function test_followsDirectionAndColumn(data) {
        var people = createTemporaryObject(peopleComponent, testCase)
        var proxy = createProxy(people)

        proxy.sortRoleName = data.role
        proxy.ascending = data.ascending
        proxy.sortColumn = data.column

        compare(names(proxy), data.expected)
    }

    function test_keepsSortingAsSourceChanges() {
        var people = createTemporaryObject(peopleComponent, testCase)
        var proxy = createProxy(people)

        people.append({ name: "D", age: 15 })
        people.setProperty(0, "age", 5)

        compare(names(proxy), "BCDA")
    }

    Component {
        id: signalSpyComponent
        SignalSpy {}
    }
}
