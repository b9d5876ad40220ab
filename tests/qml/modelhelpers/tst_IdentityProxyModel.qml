// Corvane.Core tests.
import QtQuick 2.15
import QtTest 1.15
import Corvane.Core 1.0
import Corvane.Test 1.0

TestCase {
    id: testCase
    name: "IdentityProxyModel"

    ListModel {
        id: people
        ListElement { name: "B" }
        ListElement { name: "C" }
    }

    Component {
        id: viewComponent
        ListView {
            width: 100; height: 100
            property alias proxy: identity
            model: IdentityProxyModel { id: identity; sourceModel: people }
            delegate: Text { text: name }
            ModelTester { model: identity }
        }
    }

    function test_viewShowsSourceThroughProxy() {
        var view = createTemporaryObject(viewComponent, testCase)
        compare(view.count, 2)
        compare(view.proxy.sourceModel, people)

        people.append({ name: "D" })
        compare(view.count, 3)
        view.currentIndex = 2
        compare(view.currentItem.text, "D")
        people.remove(2)
        compare(view.count, 2)
    }
}
