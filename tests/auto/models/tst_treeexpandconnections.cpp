// Corvane.Core tests.
#include "models/treeexpandconnections.h"
#include "support/helpers_treemodel.h"

#include <lumen/treeroles.h>

#include <QAbstractItemModelTester>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QtTest>

#include <memory>

using cvtest::HelpersTreeModel;

namespace
{
// Root: A (a1, a2), B (b1 (c1)). Flags: A, b1 and the leaf c1.
struct SampleTree
{
    HelpersTreeModel model;
    QAbstractItemModelTester tester { &model, QAbstractItemModelTester::FailureReportingMode::Fatal };
    int a = 0, b = 0, b1 = 0, c1 = 0;

    SampleTree()
    {
        a = model.addNode(HelpersTreeModel::rootId, QStringLiteral("A"), true);
        model.addNodes(a, { QStringLiteral("a1"), QStringLiteral("a2") });
        b = model.addNode(HelpersTreeModel::rootId, QStringLiteral("B"));
        b1 = model.addNode(b, QStringLiteral("b1"), true);
        c1 = model.addNode(b1, QStringLiteral("c1"), true);
    }
};

// Nodes without the flag first, then by name: storing a flag moves a node deterministically.
class FlagSortingProxy : public QSortFilterProxyModel
{
protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override
    {
        const int role = lum::getWantsToBeExpandedRole();
        const bool leftFlag = left.data(role).toBool();
        const bool rightFlag = right.data(role).toBool();
        if (leftFlag != rightFlag)
            return !leftFlag;
        return left.data().toString() < right.data().toString();
    }
};

QString requested(const HelpersTreeModel& model, const QSignalSpy& spy, int emission = 0)
{
    return model.names(spy.at(emission).at(0).value<QModelIndexList>());
}
}

class tst_TreeExpandConnections : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void shouldStartWithoutModel();
    void shouldRequestLastRootChildSubtreeFirstWhenTreeCreated();
    void shouldRequestSameListOnModelReset();
    void shouldStoreFlagAndRequestNodeFirstWhenExpanded();
    void shouldRequestOnlyDescendantsWhenCollapsed();
    void shouldIgnoreExpandOfLeaf();
    void shouldRequestParentWhenItReceivesFirstChildren();
    void shouldRequestOnlyInsideLaterInsertedSubtree();
    void shouldStayQuietWhenInsertedRowsHoldNoWantedNode();
    void shouldForgetPreviousModel();
    void shouldIgnoreSameModel();
    void shouldReadNullAfterModelDestroyed();
    void shouldDoNothingWithoutModel();
    void shouldEndWalkOnModelWithRowsButNoColumns();
    void shouldWalkVeryDeepTreeWithoutRecursion();
    void shouldIgnoreIndexOfAnotherModel();
    void shouldFollowNodeThatMovesWhenItsFlagChanges();
    void shouldRequestOnlyExpandableWantedNodesUnderRandomChanges_data();
    void shouldRequestOnlyExpandableWantedNodesUnderRandomChanges();
};

void tst_TreeExpandConnections::initTestCase()
{
    qRegisterMetaType<QModelIndexList>();
}

void tst_TreeExpandConnections::shouldStartWithoutModel()
{
    core::TreeExpandConnections connections;
    QCOMPARE(connections.model(), nullptr);
}

void tst_TreeExpandConnections::shouldRequestLastRootChildSubtreeFirstWhenTreeCreated()
{
    // Given the sample tree
    SampleTree tree;
    core::TreeExpandConnections connections;
    connections.setModel(&tree.model);
    QSignalSpy spy(&connections, &core::TreeExpandConnections::requestExpandRows);
    QVERIFY(spy.isValid());

    // When the view reports its tree
    connections.onTreeCreated();

    // Then B's subtree comes first, the flagged leaf c1 never
    QCOMPARE(spy.count(), 1);
    QCOMPARE(requested(tree.model, spy), QStringLiteral("b1,A"));
}

void tst_TreeExpandConnections::shouldRequestSameListOnModelReset()
{
    SampleTree tree;
    core::TreeExpandConnections connections;
    connections.setModel(&tree.model);
    QSignalSpy spy(&connections, &core::TreeExpandConnections::requestExpandRows);
    QVERIFY(spy.isValid());

    tree.model.resetKeepingNodes();

    QCOMPARE(spy.count(), 1);
    QCOMPARE(requested(tree.model, spy), QStringLiteral("b1,A"));
}

void tst_TreeExpandConnections::shouldStoreFlagAndRequestNodeFirstWhenExpanded()
{
    SampleTree tree;
    core::TreeExpandConnections connections;
    connections.setModel(&tree.model);
    QSignalSpy spy(&connections, &core::TreeExpandConnections::requestExpandRows);
    QVERIFY(spy.isValid());

    connections.onRowExpanded(tree.model.indexOf(tree.b), true);

    QCOMPARE(tree.model.setDataCalls().size(), 1);
    QCOMPARE(tree.model.setDataCalls().at(0).node, QStringLiteral("B"));
    QCOMPARE(tree.model.setDataCalls().at(0).value, QVariant(true));
    QCOMPARE(tree.model.setDataCalls().at(0).role, lum::getWantsToBeExpandedRole());
    QCOMPARE(spy.count(), 1);
    QCOMPARE(requested(tree.model, spy), QStringLiteral("B,b1"));
}

void tst_TreeExpandConnections::shouldRequestOnlyDescendantsWhenCollapsed()
{
    SampleTree tree;
    core::TreeExpandConnections connections;
    connections.setModel(&tree.model);
    connections.onRowExpanded(tree.model.indexOf(tree.b), true);
    QSignalSpy spy(&connections, &core::TreeExpandConnections::requestExpandRows);
    QVERIFY(spy.isValid());

    connections.onRowExpanded(tree.model.indexOf(tree.b), false);

    QVERIFY(!tree.model.flag(tree.b));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(requested(tree.model, spy), QStringLiteral("b1"));
}

void tst_TreeExpandConnections::shouldIgnoreExpandOfLeaf()
{
    SampleTree tree;
    core::TreeExpandConnections connections;
    connections.setModel(&tree.model);
    QSignalSpy spy(&connections, &core::TreeExpandConnections::requestExpandRows);
    QVERIFY(spy.isValid());

    connections.onRowExpanded(tree.model.indexOf(tree.c1), false);

    QVERIFY(tree.model.setDataCalls().isEmpty());
    QVERIFY(tree.model.flag(tree.c1));
    QCOMPARE(spy.count(), 0);
}

void tst_TreeExpandConnections::shouldRequestParentWhenItReceivesFirstChildren()
{
    // Given a flagged node without children
    SampleTree tree;
    const int x = tree.model.addNode(tree.a, QStringLiteral("X"), true);
    core::TreeExpandConnections connections;
    connections.setModel(&tree.model);
    QSignalSpy spy(&connections, &core::TreeExpandConnections::requestExpandRows);
    QVERIFY(spy.isValid());

    // When it receives its first two children in one insertion
    tree.model.addNodes(x, { QStringLiteral("x1"), QStringLiteral("x2") });

    // Then the view can now expand it
    QCOMPARE(spy.count(), 1);
    QCOMPARE(requested(tree.model, spy), QStringLiteral("X"));
}

void tst_TreeExpandConnections::shouldRequestOnlyInsideLaterInsertedSubtree()
{
    SampleTree tree;
    const int x = tree.model.addNode(tree.a, QStringLiteral("X"), true);
    tree.model.addNodes(x, { QStringLiteral("x1"), QStringLiteral("x2") });
    core::TreeExpandConnections connections;
    connections.setModel(&tree.model);
    QSignalSpy spy(&connections, &core::TreeExpandConnections::requestExpandRows);
    QVERIFY(spy.isValid());

    // When a third row arrives whose own subtree holds a wanted node
    tree.model.addSubtree(x, QStringLiteral("x3"), true, { QStringLiteral("y") });

    // Then X is not asked for again
    QCOMPARE(spy.count(), 1);
    QCOMPARE(requested(tree.model, spy), QStringLiteral("x3"));
}

void tst_TreeExpandConnections::shouldStayQuietWhenInsertedRowsHoldNoWantedNode()
{
    SampleTree tree;
    core::TreeExpandConnections connections;
    connections.setModel(&tree.model);
    QSignalSpy spy(&connections, &core::TreeExpandConnections::requestExpandRows);
    QVERIFY(spy.isValid());

    tree.model.addSubtree(tree.b, QStringLiteral("b2"), false, { QStringLiteral("d") });
    tree.model.addNode(tree.c1, QStringLiteral("leaf"), true);

    // c1 itself wants to be expanded and just got its first child
    QCOMPARE(spy.count(), 1);
    QCOMPARE(requested(tree.model, spy), QStringLiteral("c1"));
}

void tst_TreeExpandConnections::shouldForgetPreviousModel()
{
    SampleTree first;
    SampleTree second;
    core::TreeExpandConnections connections;
    connections.setModel(&first.model);
    QSignalSpy modelSpy(&connections, &core::TreeExpandConnections::modelChanged);
    QVERIFY(modelSpy.isValid());

    connections.setModel(&second.model);
    QCOMPARE(modelSpy.count(), 1);
    QCOMPARE(connections.model(), &second.model);
    QSignalSpy spy(&connections, &core::TreeExpandConnections::requestExpandRows);
    QVERIFY(spy.isValid());

    first.model.addSubtree(first.a, QStringLiteral("new"), true, { QStringLiteral("child") });
    first.model.resetKeepingNodes();
    QCOMPARE(spy.count(), 0);

    second.model.resetKeepingNodes();
    QCOMPARE(spy.count(), 1);
}

void tst_TreeExpandConnections::shouldIgnoreSameModel()
{
    SampleTree tree;
    core::TreeExpandConnections connections;
    connections.setModel(&tree.model);
    QSignalSpy modelSpy(&connections, &core::TreeExpandConnections::modelChanged);
    QVERIFY(modelSpy.isValid());

    connections.setModel(&tree.model);

    QCOMPARE(modelSpy.count(), 0);
}

void tst_TreeExpandConnections::shouldReadNullAfterModelDestroyed()
{
    core::TreeExpandConnections connections;
    QSignalSpy modelSpy(&connections, &core::TreeExpandConnections::modelChanged);
    QVERIFY(modelSpy.isValid());
    {
        SampleTree tree;
        connections.setModel(&tree.model);
    }
    QCOMPARE(connections.model(), nullptr);
    connections.onTreeCreated();
    connections.setModel(nullptr);
    QCOMPARE(modelSpy.count(), 1);

    SampleTree next;
    connections.setModel(&next.model);
    QSignalSpy spy(&connections, &core::TreeExpandConnections::requestExpandRows);
    QVERIFY(spy.isValid());
    connections.onTreeCreated();
    QCOMPARE(spy.count(), 1);
}

void tst_TreeExpandConnections::shouldDoNothingWithoutModel()
{
    SampleTree tree;
    core::TreeExpandConnections connections;
    QSignalSpy spy(&connections, &core::TreeExpandConnections::requestExpandRows);
    QVERIFY(spy.isValid());

    connections.onTreeCreated();
    connections.onRowExpanded(tree.model.indexOf(tree.b), true);
    connections.onRowExpanded(QModelIndex(), true);

    QCOMPARE(spy.count(), 0);
    QVERIFY(tree.model.setDataCalls().isEmpty());
}

void tst_TreeExpandConnections::shouldEndWalkOnModelWithRowsButNoColumns()
{
    // Given a model whose rows have no column 0 to visit
    QStandardItemModel model(3, 0);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    core::TreeExpandConnections connections;
    connections.setModel(&model);
    QSignalSpy spy(&connections, &core::TreeExpandConnections::requestExpandRows);
    QVERIFY(spy.isValid());

    // When the tree is created, reset, grows and its root is reported expanded, each walk ends
    connections.onTreeCreated();
    model.insertRows(3, 2);
    model.setRowCount(6);
    connections.onRowExpanded(QModelIndex(), true);

    QCOMPARE(spy.count(), 0);
}

void tst_TreeExpandConnections::shouldWalkVeryDeepTreeWithoutRecursion()
{
    // Given a chain far deeper than any call stack could follow, every node flagged
    const int depth = 100000;
    HelpersTreeModel model;
    model.resetToChain(depth);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    core::TreeExpandConnections connections;
    connections.setModel(&model);
    QSignalSpy spy(&connections, &core::TreeExpandConnections::requestExpandRows);
    QVERIFY(spy.isValid());

    connections.onTreeCreated();
    connections.onRowExpanded(model.indexOf(1), true);

    // Then every node but the last leaf is requested, parents first
    QCOMPARE(spy.count(), 2);
    const QModelIndexList all = spy.at(0).at(0).value<QModelIndexList>();
    QCOMPARE(all.size(), depth - 1);
    QCOMPARE(model.nameOf(all.first()), QStringLiteral("0"));
    QCOMPARE(model.nameOf(all.last()), QString::number(depth - 2));
    QCOMPARE(spy.at(1).at(0).value<QModelIndexList>().size(), depth - 1);
}

void tst_TreeExpandConnections::shouldIgnoreIndexOfAnotherModel()
{
    // Given an index that the view took from another model than the watched one
    SampleTree watched;
    SampleTree other;
    core::TreeExpandConnections connections;
    connections.setModel(&watched.model);
    QSignalSpy spy(&connections, &core::TreeExpandConnections::requestExpandRows);
    QVERIFY(spy.isValid());

    connections.onRowExpanded(other.model.indexOf(other.b), true);

    // Then the watched model never sees it
    QVERIFY(watched.model.setDataCalls().isEmpty());
    QVERIFY(other.model.setDataCalls().isEmpty());
    QCOMPARE(spy.count(), 0);
}

void tst_TreeExpandConnections::shouldFollowNodeThatMovesWhenItsFlagChanges()
{
    // Given a view on a proxy that sorts by the flag itself, so storing it rearranges the rows
    SampleTree tree;
    FlagSortingProxy proxy;
    proxy.setSortRole(lum::getWantsToBeExpandedRole());
    proxy.setDynamicSortFilter(true);
    proxy.setSourceModel(&tree.model);
    proxy.sort(0, Qt::AscendingOrder);
    QAbstractItemModelTester tester(&proxy, QAbstractItemModelTester::FailureReportingMode::Fatal);
    core::TreeExpandConnections connections;
    connections.setModel(&proxy);
    QSignalSpy spy(&connections, &core::TreeExpandConnections::requestExpandRows);
    QVERIFY(spy.isValid());
    const QModelIndex b = proxy.mapFromSource(tree.model.indexOf(tree.b));
    QCOMPARE(b.row(), 0);

    // When B is expanded and moves below A
    connections.onRowExpanded(b, true);

    // Then the request names B where it is now
    QCOMPARE(spy.count(), 1);
    const QModelIndexList rows = spy.at(0).at(0).value<QModelIndexList>();
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows.at(0).row(), 1);
    QCOMPARE(rows.at(0).data().toString(), QStringLiteral("B"));
    QCOMPARE(rows.at(1).data().toString(), QStringLiteral("b1"));
}

void tst_TreeExpandConnections::shouldRequestOnlyExpandableWantedNodesUnderRandomChanges_data()
{
    QTest::addColumn<quint32>("seed");
    // CV_SEED replays a failed run.
    if (qEnvironmentVariableIsSet("CV_SEED")) {
        QTest::newRow("CV_SEED") << quint32(qEnvironmentVariableIntValue("CV_SEED"));
        return;
    }
    for (quint32 seed : { 1u, 7u, 2026u, 31337u })
        QTest::newRow(qPrintable(QStringLiteral("seed %1").arg(seed))) << seed;
}

void tst_TreeExpandConnections::shouldRequestOnlyExpandableWantedNodesUnderRandomChanges()
{
    QFETCH(quint32, seed);
    QRandomGenerator random(seed);
    HelpersTreeModel model;
    HelpersTreeModel foreign;
    foreign.addNode(HelpersTreeModel::rootId, QStringLiteral("foreign"));
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    core::TreeExpandConnections connections;
    connections.setModel(&model);
    QList<QModelIndexList> requests;
    connect(&connections, &core::TreeExpandConnections::requestExpandRows,
        [&requests](const QModelIndexList& rows) { requests.append(rows); });

    // Every node in column 0, found without recursion
    auto allNodes = [&model] {
        QModelIndexList nodes;
        QModelIndexList pending { QModelIndex() };
        while (!pending.isEmpty()) {
            const QModelIndex parent = pending.takeLast();
            for (int row = 0; row < model.rowCount(parent); ++row) {
                nodes.append(model.index(row, 0, parent));
                pending.append(nodes.last());
            }
        }
        return nodes;
    };
    auto randomNode = [&random, &allNodes] {
        const QModelIndexList nodes = allNodes();
        const int pick = random.bounded(nodes.size() + 1);
        return pick == nodes.size() ? QModelIndex() : nodes.at(pick);
    };
    auto expandable = [&model](const QModelIndex& index) {
        return index.isValid() && index.model() == &model && model.flag(int(index.internalId()))
            && model.rowCount(index) > 0;
    };

    const int steps = 1500;
    for (int step = 0; step < steps; ++step) {
        const QString context = QStringLiteral("seed %1, step %2").arg(seed).arg(step);
        requests.clear();
        const QModelIndex node = randomNode();
        const int nodeId = node.isValid() ? int(node.internalId()) : HelpersTreeModel::rootId;
        const int operation = random.bounded(10);
        bool wholeTree = false;
        switch (operation) {
        case 0:
        case 1:
            model.addNode(nodeId, QStringLiteral("n%1").arg(step), random.bounded(2));
            break;
        case 2:
            model.addSubtree(
                nodeId, QStringLiteral("s%1").arg(step), random.bounded(2), { QStringLiteral("c%1").arg(step) });
            break;
        case 3:
            if (node.isValid())
                model.removeNode(nodeId);
            break;
        case 4:
            model.setData(node, bool(random.bounded(2)), lum::getWantsToBeExpandedRole());
            break;
        case 5:
        case 6:
            connections.onRowExpanded(node, random.bounded(2));
            break;
        case 7:
            connections.onRowExpanded(foreign.index(0, 0), true);
            break;
        case 8:
            connections.onTreeCreated();
            wholeTree = true;
            break;
        case 9:
            model.resetKeepingNodes();
            wholeTree = true;
            break;
        }

        for (const QModelIndexList& rows : qAsConst(requests)) {
            QVERIFY2(!rows.isEmpty(), qPrintable(context));
            QSet<QPersistentModelIndex> seen;
            for (const QModelIndex& index : rows) {
                QVERIFY2(expandable(index), qPrintable(context));
                // Parents come before their descendants
                for (QModelIndex ancestor = index.parent(); ancestor.isValid(); ancestor = ancestor.parent())
                    QVERIFY2(!rows.contains(ancestor) || seen.contains(ancestor), qPrintable(context));
                seen.insert(index);
            }
        }
        if (wholeTree) {
            QSet<QPersistentModelIndex> wanted;
            for (const QModelIndex& index : allNodes()) {
                if (expandable(index))
                    wanted.insert(index);
            }
            QSet<QPersistentModelIndex> requested;
            for (const QModelIndexList& rows : qAsConst(requests)) {
                for (const QModelIndex& index : rows)
                    requested.insert(index);
            }
            QVERIFY2(requested == wanted, qPrintable(context));
            QVERIFY2(requests.size() == (wanted.isEmpty() ? 0 : 1), qPrintable(context));
        }
    }
}

QTEST_GUILESS_MAIN(tst_TreeExpandConnections)
#include "tst_treeexpandconnections.moc"
