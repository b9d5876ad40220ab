// Corvane.Core tests.
import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQml.Models 2.15
import QtTest 1.15
import Corvane.Core 1.0
import Corvane.Test 1.0

Item {
    id: root
    width: 400
    height: 400

    Component {
        id: headerMenuComponent

        Item {
            property alias proxy: proxy
            property alias source: source
            property alias menu: menu
            anchors.fill: parent

            TableSource { id: source }
            SortFilterSelectModel { id: proxy }

            // A header context menu built from the proxy's column model, as a panel builds it
            Menu {
                id: menu
                function openMenu() {
                    proxy.columnModel.refresh()
                    open()
                }
                Instantiator {
                    model: proxy.columnModel
                    delegate: MenuItem {
                        property string kind: model.type
                        property int row: index
                        text: kind === "separator" ? "" : model.nameNotEmpty
                        checkable: model.checkable
                        checked: kind === "showhide" && model.checked
                        enabled: kind === "separator" ? false : (model.enabled === undefined || model.enabled)
                        height: kind === "separator" ? 0 : implicitHeight
                        onTriggered: {
                            if (kind === "showhide")
                                proxy.columnModel.setSourceColumnVisible(row, checked)
                            else
                                proxy.columnModel.trigger(row)
                        }
                    }
                    onObjectAdded: menu.insertItem(index, object)
                    onObjectRemoved: menu.removeItem(object)
                }
            }
        }
    }

    TestCase {
        name: "ColumnContextMenuModel"
        when: windowShown

        function createMenu(columns) {
            var panel = createTemporaryObject(headerMenuComponent, root)
            verify(panel)
            panel.source.fill(columns, 2)
            panel.proxy.sourceModel = panel.source
            return panel
        }

        function headers(proxy) {
            var text = ""
            for (var c = 0; c < proxy.columnCount(); ++c)
                text += proxy.headerData(c, Qt.Horizontal)
            return text
        }

        function test_togglingColumnsAndRunningActions() {
            var panel = createMenu("PQRS")
            panel.proxy.moveColumn(3, 0)
            compare(headers(panel.proxy), "SPQR")
            panel.menu.openMenu()
            // Uncheck Q
            panel.menu.itemAt(1).toggle()
            panel.menu.itemAt(1).triggered()
            compare(headers(panel.proxy), "SPR")
            panel.menu.openMenu()
            verify(!panel.menu.itemAt(1).checked)
            // Show all columns
            panel.menu.itemAt(5).triggered()
            compare(headers(panel.proxy), "SPQR")
            // Restore column positions
            panel.menu.itemAt(6).triggered()
            compare(headers(panel.proxy), "PQRS")
            panel.menu.close()
        }
    }
}
