// Corvane.Core tests: faults found by the randomized runs of the table proxy, each pinned.
#include "models/columncontextmenumodel.h"
#include "models/sortfilterselectmodel.h"
#include "support/reliability_randommodel.h"

#include <QAbstractItemModelTester>
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
    void shouldKeepChildParentsWhenShowingColumnZeroAgain_issue10();
    void shouldKeepChildColumnsInStepWithTopLevel_issue10();
};

void TestSortFilterSelectModelIssue10::shouldKeepChildParentsWhenShowingColumnZeroAgain_issue10()
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

void TestSortFilterSelectModelIssue10::shouldKeepChildColumnsInStepWithTopLevel_issue10()
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

QTEST_MAIN(TestSortFilterSelectModelIssue10)
#include "tst_sortfilterselectmodel_issue10.moc"
