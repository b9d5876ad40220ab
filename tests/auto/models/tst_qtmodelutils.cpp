// Corvane.Core tests.
#include "models/qtmodelutils.h"
#include "models/qtvaluewrapper.h"
#include "support/helpers_treemodel.h"

#include <lumen/treeroles.h>

#include <QAbstractItemModelTester>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QStringListModel>
#include <QtTest>

#include <climits>
#include <memory>

using cvtest::HelpersTreeModel;

namespace
{
const int ageRole = Qt::UserRole + 1;

std::unique_ptr<QStandardItemModel> people(int rows)
{
    auto model = std::make_unique<QStandardItemModel>();
    model->setItemRoleNames({ { Qt::DisplayRole, "name" }, { ageRole, "age" }, { ageRole + 1, "größe" } });
    for (int row = 0; row < rows; ++row) {
        auto* item = new QStandardItem(QString::number(row));
        item->setData(row * 10, ageRole);
        model->appendRow(item);
    }
    return model;
}

QString menuActionMessage(const char* objectName)
{
    return QStringLiteral("custom menu action  \"%1\" is not found, so default action is used")
        .arg(QLatin1String(objectName));
}
}

class tst_QtModelUtils : public QObject
{
    Q_OBJECT

    core::QtModelUtils utils;

private Q_SLOTS:
    void initTestCase() { qRegisterMetaType<QModelIndexList>(); }

    void shouldFindRoleByName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("role");
        QTest::newRow("display") << QStringLiteral("name") << int(Qt::DisplayRole);
        QTest::newRow("user") << QStringLiteral("age") << ageRole;
        QTest::newRow("non-ASCII name") << QStringLiteral("größe") << ageRole + 1;
        QTest::newRow("other case") << QStringLiteral("Age") << -1;
        QTest::newRow("unknown") << QStringLiteral("weight") << -1;
        QTest::newRow("empty") << QString() << -1;
    }
    void shouldFindRoleByName()
    {
        QFETCH(QString, name);
        auto model = people(1);
        QTEST(utils.roleIndex(model.get(), name), "role");
        QCOMPARE(utils.roleIndex(nullptr, name), -1);
    }

    void shouldRefuseWrapperOutsideModel_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("role");
        QTest::addColumn<bool>("withModel");
        QTest::newRow("no model") << 0 << 0 << false;
        QTest::newRow("negative row") << -1 << 0 << true;
        QTest::newRow("INT_MIN row") << INT_MIN << 0 << true;
        QTest::newRow("negative role") << 0 << -1 << true;
        QTest::newRow("row count") << 3 << 0 << true;
        QTest::newRow("past the end") << 5 << 0 << true;
        QTest::newRow("INT_MAX row") << INT_MAX << 0 << true;
    }
    void shouldRefuseWrapperOutsideModel()
    {
        QFETCH(int, row);
        QFETCH(int, role);
        QFETCH(bool, withModel);
        auto model = people(3);
        std::unique_ptr<QtValueWrapper> wrapper(utils.modelData(row, withModel ? model.get() : nullptr, role));
        QVERIFY(!wrapper);
    }

    void shouldWrapRowsThatExistOrMayCome()
    {
        auto model = people(3);
        std::unique_ptr<QtValueWrapper> existing(utils.modelData(2, model.get(), ageRole));
        QVERIFY(existing);
        QCOMPARE(existing->parent(), nullptr);
        QCOMPARE(existing->property("value"), QVariant(20));

        // A model without rows accepts any row, and the wrapper reads it once rows arrive
        auto empty = people(0);
        QAbstractItemModelTester tester(empty.get(), QAbstractItemModelTester::FailureReportingMode::Fatal);
        std::unique_ptr<QtValueWrapper> wrapper(utils.modelData(5, empty.get(), ageRole));
        QVERIFY(wrapper);
        QVERIFY(!wrapper->value().isValid());
        for (int row = 0; row < 6; ++row) {
            auto* item = new QStandardItem;
            item->setData(row * 100, ageRole);
            empty->appendRow(item);
        }
        QCOMPARE(wrapper->value(), QVariant(500));
    }

    void shouldReadProperties()
    {
        QQuickItem item;
        item.setObjectName(QStringLiteral("panel"));
        item.setProperty("dynamicValue", 42);
        QCOMPARE(utils.propertyValue(&item, QStringLiteral("objectName")), QVariant(QStringLiteral("panel")));
        QCOMPARE(utils.propertyValue(&item, QStringLiteral("dynamicValue")), QVariant(42));
        QVERIFY(!utils.propertyValue(&item, QStringLiteral("noSuchProperty")).isValid());
        QVERIFY(!utils.propertyValue(nullptr, QStringLiteral("objectName")).isValid());
    }

    void shouldBuildOneRangeSelectionOnlyForMatchingCorners_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("cells");
        QTest::newRow("range") << 0 << 4;
        QTest::newRow("invalid start") << 1 << 0;
        QTest::newRow("invalid end") << 2 << 0;
        QTest::newRow("two models") << 3 << 0;
        QTest::newRow("two parents") << 4 << 0;
    }
    void shouldBuildOneRangeSelectionOnlyForMatchingCorners()
    {
        // Any warning from QItemSelection fails the test run
        QFETCH(int, kind);
        QFETCH(int, cells);
        QStandardItemModel model(2, 2);
        QStandardItemModel other(2, 2);
        model.setItem(0, 0, new QStandardItem(QStringLiteral("parent")));
        model.item(0)->appendRow(new QStandardItem(QStringLiteral("child")));
        const QModelIndex child = model.index(0, 0, model.index(0, 0));
        const QModelIndex starts[] = { model.index(0, 0), QModelIndex(), model.index(0, 0), model.index(0, 0), model.index(1, 0) };
        const QModelIndex ends[] = { model.index(1, 1), model.index(1, 1), QModelIndex(), other.index(1, 1), child };
        const QItemSelection selection = utils.selectionRange(starts[kind], ends[kind]);
        QCOMPARE(selection.size(), cells ? 1 : 0);
        QCOMPARE(selection.indexes().size(), cells);
    }

    void shouldBuildIndexesAndCountRowsOfItsOwnModelOnly()
    {
        HelpersTreeModel model;
        const int parent = model.addNode(HelpersTreeModel::rootId, QStringLiteral("parent"));
        model.addNodes(parent, { QStringLiteral("first"), QStringLiteral("second") });
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
        const QModelIndex top = utils.modelIndex(&model, 0, 0, utils.emptyIndex());
        QCOMPARE(top, model.indexOf(parent));
        QCOMPARE(utils.modelIndex(&model, 1, 0, top).data().toString(), QStringLiteral("second"));
        QVERIFY(!utils.modelIndex(&model, 2, 0, top).isValid());
        QCOMPARE(utils.getRowCount(&model, utils.emptyIndex()), 1);
        QCOMPARE(utils.getRowCount(&model, top), 2);
        QVERIFY(!utils.emptyIndex().isValid());
        QVERIFY(!utils.modelIndex(nullptr, 0, 0, utils.emptyIndex()).isValid());
        QCOMPARE(utils.getRowCount(nullptr, utils.emptyIndex()), 0);
        QVERIFY(!utils.getWantsToBeExpanded(nullptr, QModelIndex()));
        utils.saveWantsToBeExpanded(nullptr, QModelIndex(), true);
        QVERIFY(utils.getAllWantToBeExpandedNodes(nullptr).isEmpty());

        // An index of another tree is never handed to the model
        HelpersTreeModel other;
        const int otherNode = other.addNode(HelpersTreeModel::rootId, QStringLiteral("other"), true);
        other.addNode(otherNode, QStringLiteral("child"));
        const QModelIndex foreign = other.indexOf(otherNode);
        QVERIFY(!utils.modelIndex(&model, 0, 0, foreign).isValid());
        QCOMPARE(utils.getRowCount(&model, foreign), 0);
        QVERIFY(!utils.getWantsToBeExpanded(&model, foreign));
        QVERIFY(utils.getAllWantToBeExpandedNodes(&model, foreign).isEmpty());
        utils.saveWantsToBeExpanded(&model, foreign, true);
        QVERIFY(model.setDataCalls().isEmpty());
    }

    void shouldFindMenuActionOrSayDefaultIsUsed_data()
    {
        QTest::addColumn<QByteArray>("objectName");
        QTest::addColumn<bool>("withTree");
        QTest::addColumn<QString>("created");
        QTest::newRow("direct children before grandchildren") << QByteArray("deleteAction") << true << "second";
        QTest::newRow("no such item") << QByteArray("missing") << true << "";
        QTest::newRow("item without component") << QByteArray("plain") << true << "";
        QTest::newRow("component inside an object that is no item") << QByteArray("notAnItem") << true << "";
        QTest::newRow("null object") << QByteArray("plain") << false << "";
    }
    void shouldFindMenuActionOrSayDefaultIsUsed()
    {
        QFETCH(QByteArray, objectName);
        QFETCH(bool, withTree);
        QFETCH(QString, created);
        QQmlEngine engine;
        QQmlComponent component(&engine);
        component.setData("import QtQuick 2.15\n"
                          "Item {\n"
                          "  Item { objectName: \"plain\"; Item {} }\n"
                          "  QtObject { objectName: \"notAnItem\"; property Component action: Component { Item {} } }\n"
                          "  Item { Item { objectName: \"deleteAction\"; Item { Component { Item { objectName: \"first\" } }"
                          " } Component { Item { objectName: \"second\" } } } }\n"
                          "}\n",
            QUrl());
        std::unique_ptr<QObject> root(component.create());
        QVERIFY2(root, qPrintable(component.errorString()));
        if (created.isEmpty())
            QTest::ignoreMessage(QtDebugMsg, qPrintable(menuActionMessage(objectName.constData())));
        QQmlComponent* action = utils.findMenuAction(withTree ? root.get() : nullptr, QString::fromLatin1(objectName));
        QCOMPARE(action != nullptr, !created.isEmpty());
        if (action) {
            std::unique_ptr<QObject> made(action->create());
            QCOMPARE(made->objectName(), created);
        }
    }

    void shouldStoreFlagsAndCollectExpandableWantedNodes()
    {
        // Root: A (a1, a2), B (b1 (c1)), leaf; flags A, b1, c1
        HelpersTreeModel model;
        const int a = model.addNode(HelpersTreeModel::rootId, QStringLiteral("A"), true);
        model.addNodes(a, { QStringLiteral("a1"), QStringLiteral("a2") });
        const int b = model.addNode(HelpersTreeModel::rootId, QStringLiteral("B"));
        const int b1 = model.addNode(b, QStringLiteral("b1"), true);
        model.addNode(b1, QStringLiteral("c1"), true);
        const int leaf = model.addNode(HelpersTreeModel::rootId, QStringLiteral("leaf"));
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
        QCOMPARE(model.names(utils.getAllWantToBeExpandedNodes(&model)), QStringLiteral("b1,A"));
        QCOMPARE(model.names(utils.getAllWantToBeExpandedNodes(&model, QModelIndex())), QStringLiteral("b1,A"));
        QCOMPARE(model.names(utils.getAllWantToBeExpandedNodes(&model, model.indexOf(a))), QStringLiteral("A"));
        QCOMPARE(model.names(utils.getAllWantToBeExpandedNodes(&model, model.indexOf(b))), QStringLiteral("b1"));
        QVERIFY(utils.getWantsToBeExpanded(&model, model.indexOf(a)));
        QVERIFY(!utils.getWantsToBeExpanded(&model, model.indexOf(b)));

        // A leaf stores the flag too, yet is not expandable
        utils.saveWantsToBeExpanded(&model, model.indexOf(leaf), true);
        QCOMPARE(model.setDataCalls().size(), 1);
        QCOMPARE(model.setDataCalls().at(0).node, QStringLiteral("leaf"));
        QCOMPARE(model.setDataCalls().at(0).value, QVariant(true));
        QCOMPARE(model.setDataCalls().at(0).role, lum::getWantsToBeExpandedRole());
        QVERIFY(utils.getWantsToBeExpanded(&model, model.indexOf(leaf)));
        QCOMPARE(model.names(utils.getAllWantToBeExpandedNodes(&model)), QStringLiteral("b1,A"));
    }

    void shouldEndWalksOnOddOrVeryDeepTrees()
    {
        QStandardItemModel noColumns(4, 0);
        QAbstractItemModelTester tester(&noColumns, QAbstractItemModelTester::FailureReportingMode::Fatal);
        QVERIFY(utils.getAllWantToBeExpandedNodes(&noColumns).isEmpty());

        // A chain far deeper than any call stack could follow
        const int depth = 100000;
        HelpersTreeModel chain;
        chain.resetToChain(depth);
        const QModelIndexList nodes = utils.getAllWantToBeExpandedNodes(&chain);
        QCOMPARE(nodes.size(), depth - 1);
        QCOMPARE(chain.nameOf(nodes.at(1)), QStringLiteral("1"));
    }
};

QTEST_MAIN(tst_QtModelUtils)
#include "tst_qtmodelutils.moc"
