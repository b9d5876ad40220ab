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

private Q_SLOTS:
    void initTestCase();
    void shouldFindRoleByName_data();
    void shouldFindRoleByName();
    void shouldRefuseWrapperOutsideModel_data();
    void shouldRefuseWrapperOutsideModel();
    void shouldWrapAnyRowOfEmptyModel();
    void shouldWrapExistingRow();
    void shouldReadProperties();
    void shouldBuildOneRangeSelection();
    void shouldGiveEmptySelectionForMismatchedCorners_data();
    void shouldGiveEmptySelectionForMismatchedCorners();
    void shouldBuildIndexesAndCountRows();
    void shouldAnswerNeutrallyWithoutModel();
    void shouldIgnoreParentOfAnotherModel();
    void shouldFindComponentInsideNamedItem();
    void shouldUseDefaultActionWhenMissing_data();
    void shouldUseDefaultActionWhenMissing();
    void shouldStoreFlagAlsoOnLeaf();
    void shouldCollectWantedNodesUnderParent();
    void shouldCollectNothingWithoutModel();
    void shouldEndWalkOnModelWithRowsButNoColumns();
    void shouldWalkVeryDeepTreeWithoutRecursion();
};

void tst_QtModelUtils::initTestCase()
{
    qRegisterMetaType<QModelIndexList>();
}

void tst_QtModelUtils::shouldFindRoleByName_data()
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

void tst_QtModelUtils::shouldFindRoleByName()
{
    QFETCH(QString, name);
    QFETCH(int, role);
    auto model = people(1);
    core::QtModelUtils utils;
    QCOMPARE(utils.roleIndex(model.get(), name), role);
}

void tst_QtModelUtils::shouldRefuseWrapperOutsideModel_data()
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

void tst_QtModelUtils::shouldRefuseWrapperOutsideModel()
{
    QFETCH(int, row);
    QFETCH(int, role);
    QFETCH(bool, withModel);
    auto model = people(3);
    core::QtModelUtils utils;
    std::unique_ptr<QtValueWrapper> wrapper(utils.modelData(row, withModel ? model.get() : nullptr, role));
    QVERIFY(!wrapper);
}

void tst_QtModelUtils::shouldWrapAnyRowOfEmptyModel()
{
    // Given a model without rows, which accepts any row
    auto model = people(0);
    QAbstractItemModelTester tester(model.get(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    core::QtModelUtils utils;
    std::unique_ptr<QtValueWrapper> wrapper(utils.modelData(5, model.get(), ageRole));
    QVERIFY(wrapper);
    QVERIFY(!wrapper->value().isValid());

    // When rows arrive up to row 5, the wrapper reads it
    for (int row = 0; row < 6; ++row) {
        auto* item = new QStandardItem;
        item->setData(row * 100, ageRole);
        model->appendRow(item);
    }
    QCOMPARE(wrapper->value(), QVariant(500));
    QCOMPARE(wrapper->row, 5);
    QCOMPARE(wrapper->role, ageRole);
    QCOMPARE(wrapper->model.data(), model.get());
}

void tst_QtModelUtils::shouldWrapExistingRow()
{
    auto model = people(3);
    core::QtModelUtils utils;
    std::unique_ptr<QtValueWrapper> wrapper(utils.modelData(2, model.get(), ageRole));
    QVERIFY(wrapper);
    QCOMPARE(wrapper->parent(), nullptr);
    QCOMPARE(wrapper->property("value"), QVariant(20));
}

void tst_QtModelUtils::shouldReadProperties()
{
    core::QtModelUtils utils;
    QQuickItem item;
    item.setObjectName(QStringLiteral("panel"));
    item.setProperty("dynamicValue", 42);

    QCOMPARE(utils.propertyValue(&item, QStringLiteral("objectName")), QVariant(QStringLiteral("panel")));
    QCOMPARE(utils.propertyValue(&item, QStringLiteral("dynamicValue")), QVariant(42));
    QVERIFY(!utils.propertyValue(&item, QStringLiteral("noSuchProperty")).isValid());
    QVERIFY(!utils.propertyValue(nullptr, QStringLiteral("objectName")).isValid());
}

void tst_QtModelUtils::shouldBuildOneRangeSelection()
{
    QStandardItemModel model(4, 3);
    core::QtModelUtils utils;

    const QItemSelection selection = utils.selectionRange(model.index(1, 0), model.index(2, 2));

    QCOMPARE(selection.size(), 1);
    QCOMPARE(selection.at(0).topLeft(), model.index(1, 0));
    QCOMPARE(selection.at(0).bottomRight(), model.index(2, 2));
    QCOMPARE(selection.indexes().size(), 6);
}

void tst_QtModelUtils::shouldGiveEmptySelectionForMismatchedCorners_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("invalid start") << 0;
    QTest::newRow("invalid end") << 1;
    QTest::newRow("two models") << 2;
    QTest::newRow("two parents") << 3;
}

void tst_QtModelUtils::shouldGiveEmptySelectionForMismatchedCorners()
{
    // Any warning from QItemSelection fails the test run
    QFETCH(int, kind);
    QStandardItemModel model(2, 2);
    QStandardItemModel other(2, 2);
    model.setItem(0, 0, new QStandardItem(QStringLiteral("parent")));
    model.item(0)->appendRow(new QStandardItem(QStringLiteral("child")));
    const QModelIndex child = model.index(0, 0, model.index(0, 0));
    core::QtModelUtils utils;
    const QModelIndex starts[] = { QModelIndex(), model.index(0, 0), model.index(0, 0), model.index(1, 0) };
    const QModelIndex ends[] = { model.index(1, 1), QModelIndex(), other.index(1, 1), child };

    QVERIFY(utils.selectionRange(starts[kind], ends[kind]).isEmpty());
}

void tst_QtModelUtils::shouldBuildIndexesAndCountRows()
{
    HelpersTreeModel model;
    const int parent = model.addNode(HelpersTreeModel::rootId, QStringLiteral("parent"));
    model.addNodes(parent, { QStringLiteral("first"), QStringLiteral("second") });
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    core::QtModelUtils utils;

    const QModelIndex top = utils.modelIndex(&model, 0, 0, utils.emptyIndex());
    QCOMPARE(top, model.indexOf(parent));
    QCOMPARE(utils.modelIndex(&model, 1, 0, top).data().toString(), QStringLiteral("second"));
    QVERIFY(!utils.modelIndex(&model, 2, 0, top).isValid());
    QCOMPARE(utils.getRowCount(&model, utils.emptyIndex()), 1);
    QCOMPARE(utils.getRowCount(&model, top), 2);
    QVERIFY(!utils.emptyIndex().isValid());
}

void tst_QtModelUtils::shouldAnswerNeutrallyWithoutModel()
{
    core::QtModelUtils utils;
    QCOMPARE(utils.roleIndex(nullptr, QStringLiteral("display")), -1);
    QVERIFY(!utils.modelIndex(nullptr, 0, 0, utils.emptyIndex()).isValid());
    QCOMPARE(utils.getRowCount(nullptr, utils.emptyIndex()), 0);
    QVERIFY(!utils.getWantsToBeExpanded(nullptr, QModelIndex()));
    utils.saveWantsToBeExpanded(nullptr, QModelIndex(), true);
}

void tst_QtModelUtils::shouldIgnoreParentOfAnotherModel()
{
    // Given an index of one tree handed in with another tree
    HelpersTreeModel model;
    HelpersTreeModel other;
    const int otherNode = other.addNode(HelpersTreeModel::rootId, QStringLiteral("other"), true);
    other.addNode(otherNode, QStringLiteral("child"));
    core::QtModelUtils utils;
    const QModelIndex foreign = other.indexOf(otherNode);

    // Then the model is never asked about it
    QVERIFY(!utils.modelIndex(&model, 0, 0, foreign).isValid());
    QCOMPARE(utils.getRowCount(&model, foreign), 0);
    QVERIFY(!utils.getWantsToBeExpanded(&model, foreign));
    QVERIFY(utils.getAllWantToBeExpandedNodes(&model, foreign).isEmpty());
    utils.saveWantsToBeExpanded(&model, foreign, true);
    QVERIFY(model.setDataCalls().isEmpty());
}

void tst_QtModelUtils::shouldFindComponentInsideNamedItem()
{
    QQmlEngine engine;
    QQmlComponent component(&engine);
    component.setData(
        "import QtQuick 2.15\n"
        "Item {\n"
        "  Item { objectName: \"other\"; Component { Item {} } }\n"
        "  Item { Item { objectName: \"deleteAction\"; Item { Component { Item { objectName: \"first\" } }"
        " } Component { Item { objectName: \"second\" } } } }\n"
        "}\n",
        QUrl());
    std::unique_ptr<QObject> root(component.create());
    QVERIFY2(root, qPrintable(component.errorString()));
    core::QtModelUtils utils;

    QQmlComponent* action = utils.findMenuAction(root.get(), QStringLiteral("deleteAction"));

    // Direct children come before grandchildren
    QVERIFY(action);
    std::unique_ptr<QObject> created(action->create());
    QVERIFY(created);
    QCOMPARE(created->objectName(), QStringLiteral("second"));
}

void tst_QtModelUtils::shouldUseDefaultActionWhenMissing_data()
{
    QTest::addColumn<QByteArray>("objectName");
    QTest::addColumn<bool>("withTree");
    QTest::newRow("no such item") << QByteArray("missing") << true;
    QTest::newRow("item without component") << QByteArray("plain") << true;
    QTest::newRow("component inside an object that is no item") << QByteArray("notAnItem") << true;
    QTest::newRow("null object") << QByteArray("plain") << false;
}

void tst_QtModelUtils::shouldUseDefaultActionWhenMissing()
{
    QFETCH(QByteArray, objectName);
    QFETCH(bool, withTree);
    QQmlEngine engine;
    QQmlComponent component(&engine);
    component.setData("import QtQuick 2.15\n"
                      "Item {\n"
                      "  Item { objectName: \"plain\"; Item {} }\n"
                      "  QtObject { objectName: \"notAnItem\"; property Component action: Component { Item {} } }\n"
                      "}\n",
        QUrl());
    std::unique_ptr<QObject> root(component.create());
    QVERIFY2(root, qPrintable(component.errorString()));
    core::QtModelUtils utils;

    QTest::ignoreMessage(QtDebugMsg, qPrintable(menuActionMessage(objectName.constData())));
    QCOMPARE(utils.findMenuAction(withTree ? root.get() : nullptr, QString::fromLatin1(objectName)), nullptr);
}

void tst_QtModelUtils::shouldStoreFlagAlsoOnLeaf()
{
    HelpersTreeModel model;
    const int leaf = model.addNode(HelpersTreeModel::rootId, QStringLiteral("leaf"));
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    core::QtModelUtils utils;

    utils.saveWantsToBeExpanded(&model, model.indexOf(leaf), true);

    QCOMPARE(model.setDataCalls().size(), 1);
    QCOMPARE(model.setDataCalls().at(0).node, QStringLiteral("leaf"));
    QCOMPARE(model.setDataCalls().at(0).value, QVariant(true));
    QCOMPARE(model.setDataCalls().at(0).role, lum::getWantsToBeExpandedRole());
    QVERIFY(utils.getWantsToBeExpanded(&model, model.indexOf(leaf)));
    // A flagged leaf is not expandable
    QVERIFY(utils.getAllWantToBeExpandedNodes(&model).isEmpty());
}

void tst_QtModelUtils::shouldCollectWantedNodesUnderParent()
{
    // Root: A (a1, a2), B (b1 (c1)); flags A, b1, c1
    HelpersTreeModel model;
    const int a = model.addNode(HelpersTreeModel::rootId, QStringLiteral("A"), true);
    model.addNodes(a, { QStringLiteral("a1"), QStringLiteral("a2") });
    const int b = model.addNode(HelpersTreeModel::rootId, QStringLiteral("B"));
    const int b1 = model.addNode(b, QStringLiteral("b1"), true);
    model.addNode(b1, QStringLiteral("c1"), true);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    core::QtModelUtils utils;

    QCOMPARE(model.names(utils.getAllWantToBeExpandedNodes(&model)), QStringLiteral("b1,A"));
    QCOMPARE(model.names(utils.getAllWantToBeExpandedNodes(&model, QModelIndex())), QStringLiteral("b1,A"));
    QCOMPARE(model.names(utils.getAllWantToBeExpandedNodes(&model, model.indexOf(a))), QStringLiteral("A"));
    QCOMPARE(model.names(utils.getAllWantToBeExpandedNodes(&model, model.indexOf(b))), QStringLiteral("b1"));
    QVERIFY(utils.getWantsToBeExpanded(&model, model.indexOf(a)));
    QVERIFY(!utils.getWantsToBeExpanded(&model, model.indexOf(b)));
}

void tst_QtModelUtils::shouldCollectNothingWithoutModel()
{
    core::QtModelUtils utils;
    QVERIFY(utils.getAllWantToBeExpandedNodes(nullptr).isEmpty());
    QVERIFY(utils.getAllWantToBeExpandedNodes(nullptr, QModelIndex()).isEmpty());
}

void tst_QtModelUtils::shouldEndWalkOnModelWithRowsButNoColumns()
{
    QStandardItemModel model(4, 0);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    core::QtModelUtils utils;
    QVERIFY(utils.getAllWantToBeExpandedNodes(&model).isEmpty());
}

void tst_QtModelUtils::shouldWalkVeryDeepTreeWithoutRecursion()
{
    const int depth = 100000;
    HelpersTreeModel model;
    model.resetToChain(depth);
    core::QtModelUtils utils;

    const QModelIndexList nodes = utils.getAllWantToBeExpandedNodes(&model);

    QCOMPARE(nodes.size(), depth - 1);
    QCOMPARE(model.nameOf(nodes.at(1)), QStringLiteral("1"));
}

QTEST_MAIN(tst_QtModelUtils)
#include "tst_qtmodelutils.moc"
