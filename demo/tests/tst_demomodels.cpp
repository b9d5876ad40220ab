// Corvane demo host application: the host models and the tree-to-rows layout of the demo.
#include "filetreemodel.h"
#include "headerroles.h"
#include "layertablemodel.h"
#include "treerowsmodel.h"

#include <lumen/treeroles.h>

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QSortFilterProxyModel>
#include <QtTest>

namespace
{
// The names of the shown rows, indented by depth: "A,  a1,  a2,B".
QString shownRows(const demo::TreeRowsModel& rows)
{
    QStringList names;
    const int depthRole = rows.roleNames().key("depth");
    for (int row = 0; row < rows.rowCount(); ++row) {
        const QModelIndex index = rows.index(row, 0);
        names << QString(index.data(depthRole).toInt() * 2, QLatin1Char(' ')) + index.data().toString();
    }
    return names.join(QLatin1Char(','));
}
}

class tst_DemoModels : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void shouldAnswerEveryHeaderRoleOfTheLayerTable();
    void shouldRenameLayersOnlyToNewNonEmptyNames_data();
    void shouldRenameLayersOnlyToNewNonEmptyNames();
    void shouldKeepFolderExpansionWishesAcrossReload();
    void shouldShowChildrenOfExpandedRowsOnly();
    void shouldFollowSortingOfTheTree();
    void shouldExpandTheNodesItIsAskedFor();
    void shouldForgetExpansionWhenTheSourceResets();
    void shouldAnswerNeutrallyForRowsItDoesNotShow();
};

void tst_DemoModels::shouldAnswerEveryHeaderRoleOfTheLayerTable()
{
    demo::LayerTableModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QCOMPARE(model.columnCount(), int(demo::LayerTableModel::ColumnCount));
    QVERIFY(model.rowCount() >= 60);
    QStringList ids;
    int initialSortColumns = 0;
    int hidden = 0;
    for (int column = 0; column < model.columnCount(); ++column) {
        ids << model.headerData(column, Qt::Horizontal, demo::ColumnIdRole).toString();
        QVERIFY(!model.headerData(column, Qt::Horizontal, demo::NameNotEmptyRole).toString().isEmpty());
        QVERIFY(model.headerData(column, Qt::Horizontal, Qt::SizeHintRole).toSize().width() > 0);
        QVERIFY(model.headerData(column, Qt::Horizontal, demo::SortTypeRole).canConvert<int>());
        initialSortColumns += model.headerData(column, Qt::Horizontal, demo::InitialSortColumnRole).toBool();
        const QVariant visible = model.headerData(column, Qt::Horizontal, demo::InitiallyVisibleRole);
        QCOMPARE(visible.userType(), int(QMetaType::Bool));
        hidden += !visible.toBool();
    }
    // Identifiers are the keys of the stored layout: all present and distinct.
    QCOMPARE(QSet<QString>(ids.begin(), ids.end()).size(), ids.size());
    QVERIFY(!ids.contains(QString()));
    QCOMPARE(initialSortColumns, 1);
    QCOMPARE(hidden, 1);
    QCOMPARE(model.headerData(demo::LayerTableModel::NameColumn, Qt::Horizontal, demo::ColumnCodeRole).toInt(),
        demo::NameColumnCode);
}

void tst_DemoModels::shouldRenameLayersOnlyToNewNonEmptyNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("new name") << QStringLiteral("Renamed") << true;
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("blanks") << QStringLiteral("   ") << false;
    QTest::newRow("another layer's name, other case") << QStringLiteral("defpoints") << false;
}

void tst_DemoModels::shouldRenameLayersOnlyToNewNonEmptyNames()
{
    QFETCH(QString, name);
    QFETCH(bool, accepted);
    demo::LayerTableModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    const QModelIndex cell = model.index(5, demo::LayerTableModel::NameColumn);
    const QString before = cell.data().toString();
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QVERIFY(changed.isValid());
    QCOMPARE(model.setData(cell, name), accepted);
    QCOMPARE(changed.count(), accepted ? 1 : 0);
    QCOMPARE(cell.data().toString(), accepted ? name.trimmed() : before);
}

void tst_DemoModels::shouldKeepFolderExpansionWishesAcrossReload()
{
    demo::FileTreeModel model(4, 3);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    const int role = lum::getWantsToBeExpandedRole();
    QCOMPARE(model.fileCount(), 12);
    QVERIFY(model.setData(model.index(2, 0), true, role));
    // Files cannot be expanded.
    QVERIFY(!model.setData(model.index(0, 0, model.index(1, 0)), true, role));
    model.reload();
    QCOMPARE(model.index(2, 0).data(role).toBool(), true);
    QCOMPARE(model.index(1, 0).data(role).toBool(), false);
}

void tst_DemoModels::shouldShowChildrenOfExpandedRowsOnly()
{
    demo::FileTreeModel tree(3, 2);
    demo::TreeRowsModel rows;
    QAbstractItemModelTester tester(&rows, QAbstractItemModelTester::FailureReportingMode::Fatal);
    rows.setSourceModel(&tree);
    QCOMPARE(rows.rowCount(), 3);
    QCOMPARE(rows.columnCount(), tree.columnCount());

    QVERIFY(rows.setExpanded(1, true));
    QCOMPARE(rows.rowCount(), 5);
    QVERIFY(shownRows(rows).startsWith(QStringLiteral("Project 1,Project 2,  ")));
    QVERIFY(rows.isExpanded(1));
    // A file has nothing to expand; expanding twice changes nothing.
    QVERIFY(!rows.setExpanded(2, true));
    QVERIFY(!rows.setExpanded(1, true));

    QVERIFY(rows.setExpanded(1, false));
    QCOMPARE(shownRows(rows), QStringLiteral("Project 1,Project 2,Project 3"));
}

void tst_DemoModels::shouldFollowSortingOfTheTree()
{
    demo::FileTreeModel tree(3, 2);
    QSortFilterProxyModel sorted;
    sorted.setSourceModel(&tree);
    demo::TreeRowsModel rows;
    QAbstractItemModelTester tester(&rows, QAbstractItemModelTester::FailureReportingMode::Fatal);
    rows.setSourceModel(&sorted);
    QVERIFY(rows.setExpanded(0, true));
    const QString before = shownRows(rows);

    // When the folders are sorted the other way round
    sorted.sort(0, Qt::DescendingOrder);

    // Then the expanded folder is still expanded, now in its new place
    QCOMPARE(rows.rowCount(), 5);
    QVERIFY(shownRows(rows).startsWith(QStringLiteral("Project 3,Project 2,Project 1,  ")));
    QCOMPARE(rows.isExpanded(2), true);
    QVERIFY(shownRows(rows) != before);
}

void tst_DemoModels::shouldExpandTheNodesItIsAskedFor()
{
    demo::FileTreeModel tree(3, 2);
    demo::TreeRowsModel rows;
    QAbstractItemModelTester tester(&rows, QAbstractItemModelTester::FailureReportingMode::Fatal);
    rows.setSourceModel(&tree);
    demo::FileTreeModel other(3, 2);
    // Nodes of another model are ignored.
    rows.expandSourceIndexes(QVariant::fromValue(QModelIndexList { other.index(0, 0) }));
    QCOMPARE(rows.rowCount(), 3);
    rows.expandSourceIndexes(QVariant::fromValue(QModelIndexList { tree.index(0, 0), tree.index(2, 0) }));
    QCOMPARE(rows.rowCount(), 7);
    QCOMPARE(rows.rowOf(tree.index(2, 0)), 4);
    QCOMPARE(rows.sourceIndex(4), tree.index(2, 0));
}

void tst_DemoModels::shouldForgetExpansionWhenTheSourceResets()
{
    demo::FileTreeModel tree(3, 2);
    demo::TreeRowsModel rows;
    QAbstractItemModelTester tester(&rows, QAbstractItemModelTester::FailureReportingMode::Fatal);
    rows.setSourceModel(&tree);
    QVERIFY(rows.setExpanded(0, true));
    QSignalSpy reset(&rows, &QAbstractItemModel::modelReset);
    QVERIFY(reset.isValid());
    tree.reload();
    QCOMPARE(reset.count(), 1);
    // The view's state went with the reset; the model's wishes bring it back (TreeExpandConnections).
    QCOMPARE(rows.rowCount(), 3);
}

void tst_DemoModels::shouldAnswerNeutrallyForRowsItDoesNotShow()
{
    demo::TreeRowsModel rows;
    QCOMPARE(rows.rowCount(), 0);
    QCOMPARE(rows.columnCount(), 0);
    QVERIFY(!rows.sourceIndex(0).isValid());
    QCOMPARE(rows.rowOf(QModelIndex()), -1);
    QVERIFY(!rows.setExpanded(0, true));
    {
        demo::FileTreeModel tree(2, 1);
        rows.setSourceModel(&tree);
        QCOMPARE(rows.rowCount(), 2);
        QVERIFY(!rows.sourceIndex(-1).isValid());
        QVERIFY(!rows.sourceIndex(2).isValid());
        QVERIFY(!rows.isExpanded(7));
    }
    // The tree is gone: nothing is shown and nothing dangles.
    QCOMPARE(rows.rowCount(), 0);
    QVERIFY(!rows.sourceModel());
}

QTEST_MAIN(tst_DemoModels)

#include "tst_demomodels.moc"
