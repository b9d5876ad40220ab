// Corvane.Core tests: faults found by the randomized runs of the table proxy, each pinned.
#include "models/columncontextmenumodel.h"
#include "models/sortfilterselectmodel.h"
#include "support/reliability_randommodel.h"

#include <lumen/rowfilter.h>

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

#include <climits>

using cvtest::ReliabilityRandomModel;
using core::SortFilterSelectModel;

namespace
{
unsigned never(void*)
{
    return 0;
}

// Three top-level rows with two children each (the second child holding one more), four columns.
void buildTree(ReliabilityRandomModel& model)
{
    model.reset(3, std::vector<ReliabilityRandomModel::Header>(4), &never, nullptr);
    for (int row = 0; row < 3; ++row)
        model.insertRowsAt(model.index(row, 0), 0, 2);
    model.insertRowsAt(model.index(1, 0, model.index(0, 0)), 0, 1);
}

// Hides the first top-level row.
class TopRowFilter : public lum::RowFilter
{
public:
    bool acceptRow(QAbstractItemModel*, int sourceRow, const QModelIndex& sourceParent) override
    {
        return sourceRow != 0 || sourceParent.isValid();
    }
};

// Every cell of the proxy, depth first: each child knows its parent and maps to the source cell
// shown in its column's header.
QString brokenCell(const SortFilterSelectModel& proxy)
{
    std::vector<QModelIndex> stack{QModelIndex()};
    while (!stack.empty()) {
        const QModelIndex parent = stack.back();
        stack.pop_back();
        for (int row = 0; row < proxy.rowCount(parent); ++row) {
            for (int column = 0; column < proxy.columnCount(parent); ++column) {
                const QModelIndex cell = proxy.index(row, column, parent);
                if (!cell.isValid() || proxy.parent(cell) != parent)
                    return QStringLiteral("cell %1,%2 lost its parent").arg(row).arg(column);
                const QModelIndex source = proxy.mapToSource(cell);
                if (!source.isValid() || source.column() != proxy.mapProxyColumnToSource(column)
                    || cell.data() != source.data())
                    return QStringLiteral("cell %1,%2 shows another source cell").arg(row).arg(column);
            }
            const QModelIndex child = proxy.index(row, 0, parent);
            if (child.isValid())
                stack.push_back(child);
        }
    }
    return {};
}
}

class TestSortFilterSelectModelIssue10 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void shouldKeepChildParentsWhenShowingColumnZeroAgain_issue10()
    {
        ReliabilityRandomModel model(true);
        buildTree(model);
        SortFilterSelectModel proxy;
        proxy.setSourceModel(&model);
        QAbstractItemModelTester tester(&proxy, QAbstractItemModelTester::FailureReportingMode::QtTest);

        proxy.setSourceColumnVisible(0, false);
        QCOMPARE(brokenCell(proxy), QString());
        proxy.showAllColumns();
        QCOMPARE(brokenCell(proxy), QString());
        const QModelIndex top = proxy.index(0, 0);
        QCOMPARE(proxy.parent(proxy.index(0, 0, top)), top);
    }

    void shouldKeepChildColumnsInStepWithTopLevel_issue10()
    {
        // A tree announces a column change to each parent in turn, the top level first: the columns
        // below a parent were chosen with records that no longer matched them.
        ReliabilityRandomModel model(true);
        buildTree(model);
        SortFilterSelectModel proxy;
        proxy.setSourceModel(&model);
        QAbstractItemModelTester tester(&proxy, QAbstractItemModelTester::FailureReportingMode::QtTest);
        proxy.setSourceColumnVisible(3, false);
        const QModelIndex top = proxy.index(0, 0);
        QCOMPARE(proxy.columnCount(top), proxy.columnCount());

        model.removeColumnsAt(1, 1);
        QCOMPARE(proxy.columnCount(), 2);
        QCOMPARE(proxy.columnCount(proxy.index(0, 0)), proxy.columnCount());
        QCOMPARE(brokenCell(proxy), QString());

        model.insertColumnsAt(1, std::vector<ReliabilityRandomModel::Header>(2));
        QCOMPARE(proxy.columnCount(), 4);
        QCOMPARE(proxy.columnCount(proxy.index(0, 0)), proxy.columnCount());
        QCOMPARE(brokenCell(proxy), QString());
    }

    void shouldNotShowNewColumnsOverOldRowsWhenReplacingSource_issue10()
    {
        // The column records of the new source were applied to the previous one before the base
        // proxy switched: views saw columns removed from rows of a model on its way out.
        ReliabilityRandomModel first(true);
        buildTree(first);
        ReliabilityRandomModel second(true);
        second.reset(2, std::vector<ReliabilityRandomModel::Header>(2), &never, nullptr);
        second.insertRowsAt(second.index(1, 0), 0, 3);
        SortFilterSelectModel proxy;
        proxy.setSourceModel(&first);
        QAbstractItemModelTester tester(&proxy, QAbstractItemModelTester::FailureReportingMode::QtTest);
        proxy.index(0, 0); // views hold the rows of the first source
        QPersistentModelIndex child = proxy.index(0, 0, proxy.index(0, 0));

        proxy.setSourceModel(&second);
        QCOMPARE(proxy.columnCount(), 2);
        QCOMPARE(proxy.rowCount(proxy.index(1, 0)), 3);
        QVERIFY(!child.isValid());
        QCOMPARE(brokenCell(proxy), QString());
        proxy.setSourceModel(&second);
        QCOMPARE(brokenCell(proxy), QString());
    }

    void shouldRefuseItselfAsSource_issue10()
    {
        // QML assigned the proxy as its own source (or a proxy stacked on it): roleNames() recursed
        // until the stack overflowed.
        ReliabilityRandomModel model(false);
        model.reset(2, std::vector<ReliabilityRandomModel::Header>(3), &never, nullptr);
        SortFilterSelectModel proxy;
        proxy.setSourceModel(&model);
        QAbstractItemModelTester tester(&proxy, QAbstractItemModelTester::FailureReportingMode::QtTest);
        proxy.setSourceModel(&proxy);
        QCOMPARE(proxy.sourceModel(), &model);
        SortFilterSelectModel above;
        above.setSourceModel(&proxy);
        proxy.setSourceModel(&above);
        QCOMPARE(proxy.sourceModel(), &model);
        QCOMPARE(proxy.rowCount(), 2);
        QVERIFY(proxy.roleNames().contains(Qt::DisplayRole));
    }

    void shouldSumExtremeWidthsWithoutOverflow_issue10()
    {
        // Widths are stored as the view reports them; their sums overflowed int (undefined behaviour,
        // reported by the sanitized build).
        ReliabilityRandomModel::Header heavy;
        heavy.insert(Qt::UserRole + 1, INT_MAX); // proportional width
        ReliabilityRandomModel model(false);
        model.reset(1, {heavy, heavy, ReliabilityRandomModel::Header()}, &never, nullptr);
        SortFilterSelectModel proxy;
        proxy.setSourceModel(&model);
        QCOMPARE(proxy.proportionalWidth(), INT_MAX);
        proxy.resizeColumn(0, INT_MAX);
        proxy.resizeColumn(1, INT_MAX);
        QCOMPARE(proxy.naturalWidth(), INT_MAX);
        proxy.resizeColumn(0, INT_MIN);
        proxy.resizeColumn(1, INT_MIN);
        QCOMPARE(proxy.naturalWidth(), INT_MIN);
        proxy.resizeColumn(1, 20);
        QCOMPARE(proxy.naturalWidth(), INT_MIN + 20 + proxy.columnWidth(2));
    }

    void shouldIgnoreExtremeActionNumbers_issue10_data()
    {
        QTest::addColumn<int>("actionIndex");
        QTest::newRow("INT_MIN") << INT_MIN;
        QTest::newRow("INT_MIN + 1") << INT_MIN + 1;
        QTest::newRow("INT_MAX") << INT_MAX;
        QTest::newRow("-1") << -1;
    }

    void shouldIgnoreExtremeActionNumbers_issue10()
    {
        // actionIndex - N overflowed for INT_MIN (undefined behaviour, reported by the sanitized build).
        QFETCH(int, actionIndex);
        ReliabilityRandomModel model(false);
        model.reset(2, std::vector<ReliabilityRandomModel::Header>(4), &never, nullptr);
        SortFilterSelectModel proxy;
        proxy.setSourceModel(&model);
        proxy.setSourceColumnVisible(1, false);
        proxy.moveColumn(0, 2);
        QSignalSpy changed(&proxy, &SortFilterSelectModel::proxySortColumnChanged);
        auto* menu = static_cast<core::ColumnContextMenuModel*>(proxy.columnModel());
        menu->trigger(actionIndex);
        QCOMPARE(changed.count(), 0);
        QCOMPARE(proxy.mapProxyColumnToSource(0), 2);
        QVERIFY(!proxy.isSourceColumnVisible(1));
    }

    void shouldFollowChildRowsWithColumnZeroHiddenOrMoved_issue10_data()
    {
        QTest::addColumn<int>("change");
        QTest::newRow("hidden") << 0;
        QTest::newRow("moved") << 1;
        QTest::newRow("filtered") << 2;
    }

    void shouldFollowChildRowsWithColumnZeroHiddenOrMoved_issue10()
    {
        // Source children hang under column 0; with that column hidden or moved away from the first
        // place, their parents are not shown as parents, and changes below them must not surface
        // under the root.
        QFETCH(int, change);
        ReliabilityRandomModel model(true);
        buildTree(model);
        SortFilterSelectModel proxy;
        proxy.setSourceModel(&model);
        QAbstractItemModelTester tester(&proxy, QAbstractItemModelTester::FailureReportingMode::QtTest);
        TopRowFilter filter;
        if (change == 0) {
            proxy.setSourceColumnVisible(0, false);
        } else if (change == 1) {
            proxy.moveColumn(0, 2);
        } else {
            proxy.setFilter(&filter);
            Q_EMIT filter.invalidate();
        }
        const QModelIndex parent = model.index(0, 0);
        model.touchCells(parent, 1, 0, 3);
        model.insertRowsAt(parent, 1, 4);
        model.touchCells(parent, 5, 0, 3);
        model.moveRowsTo(parent, 0, 1, parent, 4);
        model.moveRowsTo(parent, 0, 1, model.index(2, 0), 0);
        model.removeRowsAt(parent, 0, 2);
        QCOMPARE(brokenCell(proxy), QString());
        if (change == 2)
            return;
        proxy.showAllColumns();
        proxy.restoreColumnPositions();
        QCOMPARE(brokenCell(proxy), QString());
        QCOMPARE(proxy.rowCount(proxy.index(0, 0)), model.rowCount(parent));
    }
};

QTEST_MAIN(TestSortFilterSelectModelIssue10)
#include "tst_sortfilterselectmodel_issue10.moc"
