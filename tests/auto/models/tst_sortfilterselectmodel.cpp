// Corvane.Core tests: the table proxy's mapping, filtering, source handling and tree sources.
#include "support/tableproxy_fixture.h"

#include <lumen/rowfilter.h>
#include <lumen/sorter.h>

#include <QtTest>

using core::SortFilterSelectModel;
using cvtest::ProxyFixture;
using cvtest::ReliabilityRandomModel;

namespace
{
// Hides the rows whose column 0 text is listed, or with topRow the first top-level row.
class TextFilter : public lum::RowFilter
{
public:
    QStringList hidden;
    bool topRow = false;
    bool acceptRow(QAbstractItemModel* model, int sourceRow, const QModelIndex& sourceParent) override
    {
        if (topRow)
            return sourceRow != 0 || sourceParent.isValid();
        return !hidden.contains(model->index(sourceRow, 0, sourceParent).data().toString());
    }
};

class ReverseSorter : public lum::Sorter
{
public:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) override
    {
        return left.data().toString() > right.data().toString();
    }
};

// Three top-level rows with two children each (the second child of row 0 holding one more), four columns.
void buildTree(ReliabilityRandomModel& model, int rows = 3, int columns = 4)
{
    model.reset(rows, std::vector<ReliabilityRandomModel::Header>(std::size_t(columns)), [](void*) { return 1u; }, nullptr);
    for (int row = 0; row < rows; ++row)
        model.insertRowsAt(model.index(row, 0), 0, 2);
    model.insertRowsAt(model.index(1, 0, model.index(0, 0)), 0, 1);
}
}

class TestSortFilterSelectModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void shouldAssignExtraRolesAboveSourceRoles_data()
    {
        QTest::addColumn<QList<int>>("sourceRoles");
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("standard roles only") << QList<int>{} << QList<int>{256, 257, 258, 259, 260};
        QTest::newRow("256 and 257 taken") << QList<int>{256, 257} << QList<int>{258, 259, 260, 261, 262};
        QTest::newRow("gap at 258") << QList<int>{256, 257, 259} << QList<int>{258, 260, 261, 262, 263};
    }
    void shouldAssignExtraRolesAboveSourceRoles()
    {
        QFETCH(QList<int>, sourceRoles);
        QFETCH(QList<int>, expected);
        ProxyFixture f(QStringLiteral("PQ"), 2, false);
        for (int role : sourceRoles)
            f.source.extraRoleNames.insert(role, QByteArray("source") + QByteArray::number(role));
        f.attach();
        // The five extra roles take the smallest free numbers, in their order
        const QList<QByteArray> extras{"isSelected", "isHovered", "beginedit", "isPreFocusCell", "isFocusCell"};
        for (int i = 0; i < extras.size(); ++i)
            QCOMPARE(f.role(extras.at(i)), expected.at(i));
        for (int role : sourceRoles)
            QCOMPARE(f.proxy.roleNames().value(role), f.source.extraRoleNames.value(role));
        QCOMPARE(f.proxy.roleNames().value(Qt::DisplayRole), QByteArray("display"));
    }

    void shouldAnswerNeutrallyWithoutSource()
    {
        SortFilterSelectModel proxy;
        QAbstractItemModelTester tester(&proxy, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QVERIFY(proxy.roleNames().isEmpty());
        QCOMPARE(proxy.mapProxyRowToSource(0), -1);
        QCOMPARE(proxy.mapSourceRowToProxy(0), -1);
        QCOMPARE(proxy.mapProxyColumnToSource(7), 7);
        QCOMPARE(proxy.mapSourceColumnToProxy(-3), -3);
        QVERIFY(!proxy.mapProxyIndexToSource(0, 0).isValid());
        QVERIFY(!proxy.headerData(0, Qt::Horizontal).isValid());
        QCOMPARE(proxy.proxySortColumn(), -1);
        QCOMPARE(proxy.columnWidth(0), 100);
        QCOMPARE(proxy.naturalWidth(), 0);
        proxy.doSort(0, true);
        proxy.selectAll();
        proxy.selectNextRow();
        proxy.increasePreFocusIndexColumn();
        proxy.showAllColumns();
        proxy.saveColumnData();
        proxy.loadColumnData();
        QCOMPARE(proxy.selectedSourceRowsCount(), 0);
        QCOMPARE(proxy.columnModel()->rowCount(), 0);
    }

    void shouldHideColumnsThatTheHeaderHides()
    {
        // Given P Q R over four rows, Q hidden by its header, R's flag not a bool
        ProxyFixture f(QStringLiteral("PQR"), 4, false);
        f.source.setHeaderValue(1, cvtest::InitiallyVisibleRole, false);
        f.source.setHeaderValue(2, cvtest::InitiallyVisibleRole, 0);
        f.attach();
        // Then the proxy shows P and R, and the hidden column remembers its position
        QCOMPARE(cvtest::headerText(f.proxy), QStringLiteral("PR"));
        QCOMPARE(cvtest::rowText(f.proxy, 1), QStringLiteral("P1R1"));
        QCOMPARE(f.proxy.mapProxyColumnToSource(1), 2);
        QCOMPARE(f.proxy.mapSourceColumnToProxy(1), 1);
        QCOMPARE(f.proxy.mapProxyIndexToSource(1, 1), f.source.index(1, 2));
        QVERIFY(!f.proxy.mapFromSource(f.source.index(1, 1)).isValid());
        QVERIFY(!f.proxy.isSourceColumnVisible(1));
        QVERIFY(!f.proxy.isSourceColumnVisible(3));
        QCOMPARE(cvtest::mappingProblem(f.proxy), QString());
        // Header sections go through the column order, in both orientations; others pass unchanged
        QCOMPARE(f.proxy.headerData(1, Qt::Vertical).toInt(), 3);
        QCOMPARE(f.proxy.headerData(3, Qt::Vertical).toInt(), 4);
        QCOMPARE(f.proxy.headerData(1, Qt::Horizontal, cvtest::ColumnIdRole).toString(), QStringLiteral("R"));
        // A stale index naming a proxy column that no longer exists maps nowhere
        const QModelIndex stale = f.proxy.index(1, 1);
        f.proxy.setSourceColumnVisible(0, false);
        QVERIFY(!f.proxy.mapToSource(stale).isValid());
        QVERIFY(!f.proxy.data(stale).isValid());
        QVERIFY(!f.proxy.mapProxyIndexToSource(1, -1).isValid());
        QVERIFY(!f.proxy.mapToSource(f.source.index(0, 0)).isValid());
    }

    void shouldFilterAndResortOnFilterInvalidate()
    {
        // Given a table sorted by P, descending, with a filter that hides P1 (and a null filter ignored)
        ProxyFixture f(QStringLiteral("PQ"), 4);
        f.proxy.doSort(0, false);
        TextFilter filter;
        filter.hidden = QStringList{QStringLiteral("P1")};
        QSignalSpy filterSpy(&f.proxy, &SortFilterSelectModel::filterChanged);
        f.proxy.setFilter(&filter);
        f.proxy.setFilter(&filter);
        f.proxy.setFilter(nullptr);
        QCOMPARE(filterSpy.count(), 1);
        QCOMPARE(f.proxy.filter(), &filter);
        // Setting the filter does not re-filter by itself
        QCOMPARE(f.proxy.rowCount(), 4);
        // When the filter invalidates, rows are hidden; the count shrank, so no re-sort
        QSignalSpy sortSpy(&f.proxy, &SortFilterSelectModel::ascendingChanged);
        Q_EMIT filter.invalidate();
        QCOMPARE(cvtest::columnText(f.proxy, 0), QStringLiteral("P3,P2,P0"));
        QCOMPARE(sortSpy.count(), 0);
        // When the filter shows everything again and a new row came meanwhile, rows are sorted again
        f.source.insertRowsAt(QModelIndex(), 0, 1);
        f.source.setData(f.source.index(0, 0), QStringLiteral("P9"));
        filter.hidden.clear();
        Q_EMIT filter.invalidate();
        QCOMPARE(cvtest::columnText(f.proxy, 0), QStringLiteral("P9,P3,P2,P1,P0"));
        QCOMPARE(sortSpy.count(), 1);
        QCOMPARE(sortSpy.at(0).at(0).toBool(), false);
    }

    void shouldBehaveAsWithoutFilterAndSorterOnceDestroyed()
    {
        ProxyFixture f(QStringLiteral("PQ"), 3);
        auto* filter = new TextFilter;
        filter->hidden = QStringList{QStringLiteral("P1")};
        f.proxy.setFilter(filter);
        Q_EMIT filter->invalidate();
        QCOMPARE(f.proxy.rowCount(), 2);
        QSignalSpy spy(&f.proxy, &SortFilterSelectModel::filterChanged);
        delete filter;
        // The property reads null, and the next re-filter shows every row
        QCOMPARE(spy.count(), 1);
        QCOMPARE(f.proxy.filter(), nullptr);
        f.proxy.setSourceColumnVisible(1, false);
        QCOMPARE(cvtest::columnText(f.proxy, 0), QStringLiteral("P0,P1,P2"));
        auto* sorter = new ReverseSorter;
        f.proxy.setSorter(sorter);
        f.proxy.doSort(0, true);
        QCOMPARE(cvtest::columnText(f.proxy, 0), QStringLiteral("P2,P1,P0"));
        delete sorter;
        QCOMPARE(f.proxy.sorter(), nullptr);
        f.proxy.doSort(0, true, true);
        QCOMPARE(cvtest::columnText(f.proxy, 0), QStringLiteral("P0,P1,P2"));
    }

    void shouldPlaceInsertedColumnsWithinOrder()
    {
        // Given P Q R with Q hidden
        ProxyFixture f(QStringLiteral("PQR"), 2);
        f.proxy.setSourceColumnVisible(1, false);
        QSignalSpy spy(&f.proxy, &SortFilterSelectModel::proxySortColumnChanged);
        // When two columns are inserted at the end, the first hidden by its header
        ReliabilityRandomModel::Header hidden = ReliabilityRandomModel::header(QStringLiteral("X"));
        hidden.insert(cvtest::InitiallyVisibleRole, false);
        f.source.insertColumnsAt(3, {hidden, ReliabilityRandomModel::header(QStringLiteral("Y"))});
        // Then the visible one lands within the order
        QCOMPARE(cvtest::headerText(f.proxy), QStringLiteral("PRY"));
        QVERIFY(!f.proxy.isSourceColumnVisible(3));
        QCOMPARE(spy.count(), 1);
        // When a column is inserted at the front, the others keep their order
        f.source.insertColumnsAt(0, {ReliabilityRandomModel::header(QStringLiteral("Z"))});
        QCOMPARE(cvtest::headerText(f.proxy), QStringLiteral("ZPRY"));
        QCOMPARE(cvtest::mappingProblem(f.proxy), QString());
        f.proxy.setSourceColumnVisible(2, true);
        QCOMPARE(cvtest::headerText(f.proxy), QStringLiteral("ZPQRY"));
    }

    void shouldShiftSortColumnWhenColumnsAreRemoved_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("expected");
        QTest::newRow("removed before") << 1 << 3 << 2;
        QTest::newRow("sort column removed") << 4 << 3 << -1;
        QTest::newRow("removed after") << 6 << 2 << 5;
    }
    void shouldShiftSortColumnWhenColumnsAreRemoved()
    {
        QFETCH(int, first);
        QFETCH(int, count);
        ProxyFixture f(QStringLiteral("ABCDEFGH"), 3);
        f.proxy.doSort(5, true);
        QSignalSpy spy(&f.proxy, &SortFilterSelectModel::proxySortColumnChanged);
        f.source.removeColumnsAt(first, count);
        QTEST(f.proxy.proxySortColumn(), "expected");
        QCOMPARE(spy.count(), 1);
        QCOMPARE(f.proxy.columnCount(), 8 - count);
    }

    void shouldRebuildColumnsOnSourceReset()
    {
        // Given a sorted table with a moved column and a selection
        ProxyFixture f(QStringLiteral("PQR"), 3);
        f.run(QStringLiteral("s1+ m0,2 L1,0"));
        QSignalSpy selectionSpy(&f.proxy, &SortFilterSelectModel::selectionChanged);
        // When the source resets with other columns, they come in source order, unsorted, unselected
        f.source.build(QStringLiteral("XYZW"), 2);
        QCOMPARE(cvtest::headerText(f.proxy), QStringLiteral("XYZW"));
        QCOMPARE(f.proxy.proxySortColumn(), -1);
        QCOMPARE(f.selected(), QString());
        QCOMPARE(f.current(), QString());
        QCOMPARE(selectionSpy.count(), 1);
        QCOMPARE(f.proxy.selectedSourceRowsCount(), 0);
    }

    void shouldForgetColumnsWhenSourceIsDestroyed()
    {
        SortFilterSelectModel proxy;
        QAbstractItemModelTester tester(&proxy, QAbstractItemModelTester::FailureReportingMode::QtTest);
        {
            ReliabilityRandomModel source(false);
            source.build(QStringLiteral("PQR"), 3);
            proxy.setSourceModel(&source);
        }
        QCOMPARE(proxy.sourceModel(), nullptr);
        QCOMPARE(proxy.columnCount(), 0);
        QCOMPARE(proxy.mapProxyColumnToSource(1), 1);
        QCOMPARE(proxy.columnRecordCount(), 0);
        QTest::ignoreMessage(QtDebugMsg, "move from column, 0 , is not valid");
        proxy.moveColumn(0, 1);
        proxy.setSourceColumnVisible(0, false);
        proxy.doSort(0, true);
        QCOMPARE(proxy.columnModel()->rowCount(), 0);
    }

    void shouldDropConnectionsOfReplacedSource()
    {
        // Given a proxy that moved from one source to another
        ProxyFixture f(QStringLiteral("PQR"), 3);
        f.run(QStringLiteral("L1,0"));
        ReliabilityRandomModel second(false);
        second.build(QStringLiteral("XY"), 2);
        f.proxy.setSourceModel(&second);
        QCOMPARE(f.selected(), QString());
        QSignalSpy columnSpy(&f.proxy, &SortFilterSelectModel::proxySortColumnChanged);
        QSignalSpy dataSpy(&f.proxy, &QAbstractItemModel::dataChanged);
        // When the first source changes its columns, cells and headers, the proxy does not notice
        f.source.insertColumnsAt(0, {ReliabilityRandomModel::header(QStringLiteral("Z"))});
        f.source.removeColumnsAt(1, 2);
        f.source.setData(f.source.index(0, 0), QStringLiteral("changed"));
        f.source.build(QStringLiteral("ABCDE"), 1);
        QCOMPARE(columnSpy.count(), 0);
        QCOMPARE(dataSpy.count(), 0);
        QCOMPARE(cvtest::headerText(f.proxy), QStringLiteral("XY"));
        QCOMPARE(f.proxy.columnRecordCount(), 2);
        // And the same source set again is rebuilt, not connected twice
        f.proxy.setSourceModel(&second);
        second.setData(second.index(1, 1), QStringLiteral("once"));
        QCOMPARE(dataSpy.count(), 1);
        QCOMPARE(f.proxy.index(1, 1).data().toString(), QStringLiteral("once"));
    }

    void shouldNotifyRowHeaderAndChildChangesAtShownRows()
    {
        qRegisterMetaType<Qt::Orientation>();
        // Given rows sorted descending, with a child under row 1, and R moved first
        ProxyFixture f(QStringLiteral("PQR"), 4);
        f.addChildren();
        f.run(QStringLiteral("s0- m2,0"));
        QSignalSpy headerSpy(&f.proxy, &QAbstractItemModel::headerDataChanged);
        QSignalSpy dataSpy(&f.proxy, &QAbstractItemModel::dataChanged);
        // Row headers reach the proxy rows showing them, neighbours in one notification
        Q_EMIT f.source.headerDataChanged(Qt::Vertical, 0, 0);
        Q_EMIT f.source.headerDataChanged(Qt::Vertical, 0, 2);
        QCOMPARE(headerSpy.count(), 2);
        QCOMPARE(headerSpy.at(0).at(0).value<Qt::Orientation>(), Qt::Vertical);
        QCOMPARE(headerSpy.at(0).at(1).toInt(), 3);
        QCOMPARE(headerSpy.at(1).at(1).toInt(), 1);
        QCOMPARE(headerSpy.at(1).at(2).toInt(), 3);
        // A child cell reaches the child under its proxy parent (the cell showing source column 0)
        const QModelIndex parent = f.proxy.index(2, 1);
        QCOMPARE(f.proxy.rowCount(parent), 2);
        f.source.setData(f.source.index(1, 2, f.source.index(1, 0)), QStringLiteral("c2"));
        QCOMPARE(dataSpy.count(), 1);
        const QModelIndex changed = dataSpy.at(0).at(0).toModelIndex();
        QCOMPARE(changed.parent(), parent);
        QCOMPARE(changed.row(), 0);
        QCOMPARE(changed.column(), 0);
        QCOMPARE(changed.data().toString(), QStringLiteral("c2"));
    }

    // Children hang under source column 0. With that column hidden, moved or its row filtered
    // out, their parents are not parents in the proxy; rows of the tree once surfaced under the
    // root, lost their parents, or showed the columns of a model on its way out.
    void shouldKeepChildRowsMappedThroughChanges_data()
    {
        QTest::addColumn<int>("change");
        QTest::newRow("column 0 hidden, shown again") << 0;
        QTest::newRow("column 0 hidden, rows change below it") << 1;
        QTest::newRow("column 0 moved, rows change below it") << 2;
        QTest::newRow("parent filtered, rows change below it") << 3;
        QTest::newRow("columns removed and inserted in every table") << 4;
        QTest::newRow("source replaced while children are held") << 5;
        QTest::newRow("every column removed, rows added, a column back") << 6;
    }
    void shouldKeepChildRowsMappedThroughChanges()
    {
        QFETCH(int, change);
        ReliabilityRandomModel model(true);
        buildTree(model);
        ProxyFixture f(QStringLiteral("P"), 0, false);
        TextFilter filter;
        filter.topRow = true;
        f.proxy.setSourceModel(&model);
        const QModelIndex parent = model.index(0, 0);
        QPersistentModelIndex heldChild = f.proxy.index(0, 0, f.proxy.index(0, 0));
        switch (change) {
        case 0:
            f.proxy.setSourceColumnVisible(0, false);
            QCOMPARE(cvtest::mappingProblem(f.proxy), QString());
            f.proxy.showAllColumns();
            QCOMPARE(f.proxy.parent(f.proxy.index(0, 0, f.proxy.index(0, 0))), f.proxy.index(0, 0));
            break;
        case 1:
        case 2:
        case 3:
            if (change == 1)
                f.proxy.setSourceColumnVisible(0, false);
            else if (change == 2)
                f.proxy.moveColumn(0, 2);
            else
                f.proxy.setFilter(&filter);
            Q_EMIT filter.invalidate();
            model.touchCells(parent, 1, 0, 3);
            model.insertRowsAt(parent, 1, 4);
            model.touchCells(parent, 5, 0, 3);
            model.moveRowsTo(parent, 0, 1, parent, 4);
            model.moveRowsTo(parent, 0, 1, model.index(2, 0), 0);
            model.removeRowsAt(parent, 0, 2);
            QCOMPARE(cvtest::mappingProblem(f.proxy), QString());
            if (change != 3) {
                f.proxy.showAllColumns();
                f.proxy.restoreColumnPositions();
                QCOMPARE(f.proxy.rowCount(f.proxy.index(0, 0)), model.rowCount(parent));
            }
            break;
        case 4:
            f.proxy.setSourceColumnVisible(3, false);
            model.removeColumnsAt(1, 1);
            QCOMPARE(f.proxy.columnCount(), 2);
            QCOMPARE(cvtest::mappingProblem(f.proxy), QString());
            model.insertColumnsAt(1, std::vector<ReliabilityRandomModel::Header>(2));
            QCOMPARE(f.proxy.columnCount(), 4);
            break;
        case 5: {
            ReliabilityRandomModel second(true);
            buildTree(second, 2, 2);
            f.proxy.setSourceModel(&second);
            QCOMPARE(f.proxy.columnCount(), 2);
            QCOMPARE(f.proxy.rowCount(f.proxy.index(1, 0)), 2);
            QVERIFY(!heldChild.isValid());
            QCOMPARE(cvtest::mappingProblem(f.proxy), QString());
            f.proxy.setSourceModel(&second);
            QCOMPARE(cvtest::mappingProblem(f.proxy), QString());
            f.proxy.setSourceModel(&model);
            break;
        }
        default:
            // The source announces only rows that have an index: rows of a table without columns have none
            model.removeColumnsAt(0, 4);
            for (const QModelIndex& p : model.parents())
                model.insertRowsAt(p, 0, 2);
            model.insertColumnsAt(0, std::vector<ReliabilityRandomModel::Header>(1));
            for (const QModelIndex& p : model.parents())
                model.insertRowsAt(p, 0, 1);
            QCOMPARE(f.proxy.rowCount(), 6);
            QCOMPARE(f.proxy.rowCount(f.proxy.index(0, 0)), 1);
            break;
        }
        QCOMPARE(cvtest::mappingProblem(f.proxy), QString());
    }

    void shouldRefuseItselfAsSource()
    {
        // QML assigned the proxy as its own source (or a proxy stacked on it): roleNames() recursed
        // until the stack overflowed.
        ProxyFixture f(QStringLiteral("PQR"), 2);
        f.proxy.setSourceModel(&f.proxy);
        QCOMPARE(f.proxy.sourceModel(), &f.source);
        SortFilterSelectModel above;
        above.setSourceModel(&f.proxy);
        f.proxy.setSourceModel(&above);
        QCOMPARE(f.proxy.sourceModel(), &f.source);
        QCOMPARE(f.proxy.rowCount(), 2);
        QVERIFY(f.proxy.roleNames().contains(Qt::DisplayRole));
    }
};

QTEST_GUILESS_MAIN(TestSortFilterSelectModel)
#include "tst_sortfilterselectmodel.moc"
