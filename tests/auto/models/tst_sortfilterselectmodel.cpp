// Corvane.Core tests.
#include "support/tableproxy_fixture.h"

#include <lumen/rowfilter.h>
#include <lumen/sorter.h>

#include <QSize>
#include <QtTest>

using core::SortFilterSelectModel;
using cvtest::ProxyFixture;
using cvtest::TableProxyTestModel;

namespace
{
// Shows the rows whose column 0 text is not in the hidden set.
class TextFilter : public lum::RowFilter
{
public:
    QStringList hidden;
    bool acceptRow(QAbstractItemModel* model, int sourceRow, const QModelIndex& sourceParent) override
    {
        return !hidden.contains(model->index(sourceRow, 0, sourceParent).data().toString());
    }
};

// Orders rows by the reverse of their display text.
class ReverseSorter : public lum::Sorter
{
public:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) override
    {
        return left.data().toString() > right.data().toString();
    }
};
}

class TestSortFilterSelectModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void shouldAssignExtraRolesAboveSourceRoles_data()
    {
        QTest::addColumn<QList<int>>("sourceRoles");
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("standard roles only") << QList<int> {} << QList<int> { 256, 257, 258, 259, 260 };
        QTest::newRow("256 and 257 taken") << QList<int> { 256, 257 } << QList<int> { 258, 259, 260, 261, 262 };
        QTest::newRow("gap at 258") << QList<int> { 256, 257, 259 } << QList<int> { 258, 260, 261, 262, 263 };
    }
    void shouldAssignExtraRolesAboveSourceRoles()
    {
        QFETCH(QList<int>, sourceRoles);
        QFETCH(QList<int>, expected);
        TableProxyTestModel source;
        QHash<int, QByteArray> names;
        for (int role : sourceRoles)
            names.insert(role, QByteArray("source") + QByteArray::number(role));
        source.setExtraRoleNames(names);
        source.build(QStringLiteral("PQ"), 2);
        SortFilterSelectModel proxy;
        QAbstractItemModelTester tester(&proxy, QAbstractItemModelTester::FailureReportingMode::QtTest);
        proxy.setSourceModel(&source);
        // The five extra roles take the smallest free numbers, in their order
        const QList<QByteArray> extras { "isSelected", "isHovered", "beginedit", "isPreFocusCell", "isFocusCell" };
        for (int i = 0; i < extras.size(); ++i)
            QCOMPARE(cvtest::roleNumber(proxy, extras.at(i)), expected.at(i));
        for (int role : sourceRoles)
            QCOMPARE(proxy.roleNames().value(role), names.value(role));
        QCOMPARE(proxy.roleNames().value(Qt::DisplayRole), QByteArray("display"));
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
        QCOMPARE(proxy.selectedSourceRowsCount(), 0);
        proxy.doSort(0, true);
        proxy.selectAll();
        proxy.selectNextRow();
        proxy.increasePreFocusIndexColumn();
        proxy.showAllColumns();
        proxy.saveColumnData();
        proxy.loadColumnData();
        QCOMPARE(proxy.columnModel()->rowCount(), 0);
    }

    void shouldHideColumnsThatTheHeaderHides()
    {
        // Given P Q R over four rows, Q hidden by its header, R's flag not a bool
        TableProxyTestModel source;
        source.build(QStringLiteral("PQR"), 4);
        source.setHeader(1, cvtest::InitiallyVisibleRole, false);
        source.setHeader(2, cvtest::InitiallyVisibleRole, 0);
        SortFilterSelectModel proxy;
        QAbstractItemModelTester tester(&proxy, QAbstractItemModelTester::FailureReportingMode::QtTest);
        proxy.setSourceModel(&source);
        // Then the proxy shows P and R, and the hidden column remembers its position
        QCOMPARE(cvtest::headerText(proxy), QStringLiteral("PR"));
        QCOMPARE(cvtest::rowText(proxy, 1), QStringLiteral("P1R1"));
        QCOMPARE(proxy.mapProxyColumnToSource(1), 2);
        QCOMPARE(proxy.mapSourceColumnToProxy(2), 1);
        QCOMPARE(proxy.mapSourceColumnToProxy(1), 1);
        QCOMPARE(proxy.mapProxyIndexToSource(1, 1), source.index(1, 2));
        QCOMPARE(proxy.mapFromSource(source.index(1, 2)), proxy.index(1, 1));
        QVERIFY(!proxy.mapFromSource(source.index(1, 1)).isValid());
        QVERIFY(proxy.isSourceColumnVisible(0));
        QVERIFY(!proxy.isSourceColumnVisible(1));
        QVERIFY(!proxy.isSourceColumnVisible(3));
        // Header sections go through the column order, in both orientations; others pass unchanged
        QCOMPARE(proxy.headerData(1, Qt::Vertical).toInt(), 2);
        QCOMPARE(proxy.headerData(3, Qt::Vertical).toInt(), 3);
        QCOMPARE(proxy.headerData(1, Qt::Horizontal, cvtest::ColumnIdRole).toString(), QStringLiteral("R"));
    }

    void shouldTakeWidthsAndWeightsFromHeader()
    {
        // Given P (40 px, weight 3), Q (no width, negative weight), R (weight 5)
        TableProxyTestModel source;
        source.build(QStringLiteral("PQR"), 1);
        source.setHeader(0, Qt::SizeHintRole, QSize(40, 10));
        source.setHeader(1, Qt::SizeHintRole, QSize(0, 10));
        source.setHeader(0, cvtest::ProportionalWidthRole, 3);
        source.setHeader(1, cvtest::ProportionalWidthRole, -2);
        source.setHeader(2, cvtest::ProportionalWidthRole, 5);
        SortFilterSelectModel proxy;
        QAbstractItemModelTester tester(&proxy, QAbstractItemModelTester::FailureReportingMode::QtTest);
        proxy.setSourceModel(&source);
        QCOMPARE(proxy.columnWidth(0), 40);
        QCOMPARE(proxy.columnWidth(1), 100);
        QCOMPARE(proxy.naturalWidth(), 240);
        QCOMPARE(proxy.columnProportionalWidth(0), 3);
        QCOMPARE(proxy.columnProportionalWidth(1), 0);
        QCOMPARE(proxy.proportionalWidth(), 8);

        // When X (weight 3, 30 px) is inserted first and Y (nothing) last, each keeps its own
        cvtest::HeaderRoles x = TableProxyTestModel::column(QStringLiteral("X"));
        x.insert(cvtest::ProportionalWidthRole, 3);
        x.insert(Qt::SizeHintRole, QSize(30, 10));
        source.insertColumnAt(0, x);
        source.insertColumnAt(4, TableProxyTestModel::column(QStringLiteral("Y")));
        QCOMPARE(cvtest::headerText(proxy), QStringLiteral("XPQRY"));
        QCOMPARE(proxy.columnProportionalWidth(0), 3);
        QCOMPARE(proxy.columnProportionalWidth(1), 3);
        QCOMPARE(proxy.columnProportionalWidth(3), 5);
        QCOMPARE(proxy.columnProportionalWidth(4), 0);
        QCOMPARE(proxy.proportionalWidth(), 11);
        QCOMPARE(proxy.columnWidth(0), 30);
        QCOMPARE(proxy.columnWidth(4), 100);
    }

    void shouldMapStaleProxyColumnToInvalidIndex()
    {
        ProxyFixture f(QStringLiteral("PQR"), 3);
        const QModelIndex stale = f.proxy.index(1, 2);
        f.proxy.setSourceColumnVisible(0, false);
        QVERIFY(!f.proxy.mapToSource(stale).isValid());
        QVERIFY(!f.proxy.mapProxyIndexToSource(stale).isValid());
        QVERIFY(!f.proxy.data(stale).isValid());
        QVERIFY(!f.proxy.mapProxyIndexToSource(1, 5).isValid());
        QVERIFY(!f.proxy.mapProxyIndexToSource(1, -1).isValid());
        QVERIFY(!f.proxy.mapToSource(f.source.index(0, 0)).isValid());
    }

    void shouldFilterAndResortOnFilterInvalidate()
    {
        // Given a table sorted by P, descending, with a filter that hides P1 (and a null filter ignored)
        ProxyFixture f(QStringLiteral("PQ"), 4);
        f.proxy.doSort(0, false);
        TextFilter filter;
        filter.hidden = QStringList { QStringLiteral("P1") };
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
        QSignalSpy columnSpy(&f.proxy, &SortFilterSelectModel::proxySortColumnChanged);
        Q_EMIT filter.invalidate();
        QCOMPARE(cvtest::columnText(f.proxy, 0), QStringLiteral("P3,P2,P0"));
        QCOMPARE(sortSpy.count(), 0);
        QCOMPARE(columnSpy.count(), 0);
        // When the filter shows everything again and a new row came meanwhile, rows are sorted again
        f.source.insertRowAt(0, { QStringLiteral("P9"), QStringLiteral("Q9") });
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
        filter->hidden = QStringList { QStringLiteral("P1") };
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
        cvtest::HeaderRoles hidden = TableProxyTestModel::column(QStringLiteral("X"));
        hidden.insert(cvtest::InitiallyVisibleRole, false);
        f.source.insertColumnAt(3, hidden);
        f.source.insertColumnAt(4, TableProxyTestModel::column(QStringLiteral("Y")));
        // Then the visible one lands within the order
        QCOMPARE(cvtest::headerText(f.proxy), QStringLiteral("PRY"));
        QCOMPARE(f.proxy.mapSourceColumnToProxy(4), 2);
        QVERIFY(!f.proxy.isSourceColumnVisible(3));
        QCOMPARE(spy.count(), 2);
        // When a column is inserted at the front, the others keep their order
        f.source.insertColumnAt(0, TableProxyTestModel::column(QStringLiteral("Z")));
        QCOMPARE(cvtest::headerText(f.proxy), QStringLiteral("ZPRY"));
        QCOMPARE(cvtest::rowText(f.proxy, 1), QStringLiteral("P1R1"));
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
        QSignalSpy sortSpy(&f.proxy, &SortFilterSelectModel::proxySortColumnChanged);
        QSignalSpy selectionSpy(&f.proxy, &SortFilterSelectModel::selectionChanged);
        // When the source resets with other columns, they come in source order, unsorted, unselected
        f.source.build(QStringLiteral("XYZW"), 2);
        QCOMPARE(cvtest::headerText(f.proxy), QStringLiteral("XYZW"));
        QCOMPARE(f.proxy.proxySortColumn(), -1);
        QCOMPARE(f.selected(), QString());
        QCOMPARE(f.current(), QString());
        QVERIFY(sortSpy.count() >= 1);
        QVERIFY(selectionSpy.count() >= 1);
        QCOMPARE(f.proxy.selectedSourceRowsCount(), 0);
    }

    void shouldForgetColumnsWhenSourceIsDestroyed()
    {
        SortFilterSelectModel proxy;
        QAbstractItemModelTester tester(&proxy, QAbstractItemModelTester::FailureReportingMode::QtTest);
        {
            TableProxyTestModel source;
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
        TableProxyTestModel second;
        second.build(QStringLiteral("XY"), 2);
        f.proxy.setSourceModel(&second);
        QCOMPARE(f.selected(), QString());
        QSignalSpy columnSpy(&f.proxy, &SortFilterSelectModel::proxySortColumnChanged);
        QSignalSpy dataSpy(&f.proxy, &QAbstractItemModel::dataChanged);
        // When the first source changes its columns, cells and headers, the proxy does not notice
        f.source.insertColumnAt(0, TableProxyTestModel::column(QStringLiteral("Z")));
        f.source.removeColumnsAt(1, 2);
        f.source.setCell(0, 0, QStringLiteral("changed"));
        f.source.build(QStringLiteral("ABCDE"), 1);
        QCOMPARE(columnSpy.count(), 0);
        QCOMPARE(dataSpy.count(), 0);
        QCOMPARE(cvtest::headerText(f.proxy), QStringLiteral("XY"));
        QCOMPARE(f.proxy.columnRecordCount(), 2);
        // And the same source set again is rebuilt, not connected twice
        f.proxy.setSourceModel(&second);
        second.setCell(1, 1, QStringLiteral("once"));
        QCOMPARE(dataSpy.count(), 1);
        QCOMPARE(f.proxy.index(1, 1).data().toString(), QStringLiteral("once"));
    }

    void shouldNotifyRowHeaderAndChildChangesAtShownRows()
    {
        qRegisterMetaType<Qt::Orientation>();
        // Given rows sorted descending, with children under row 1, and R moved first
        ProxyFixture f(QStringLiteral("PQR"), 4);
        f.source.appendChildRow(1, { QStringLiteral("c0"), QStringLiteral("c1"), QStringLiteral("c2") });
        f.run(QStringLiteral("s0- m2,0"));
        QSignalSpy headerSpy(&f.proxy, &QAbstractItemModel::headerDataChanged);
        QSignalSpy dataSpy(&f.proxy, &QAbstractItemModel::dataChanged);
        // A row header of source row 0 reaches the proxy row showing it
        Q_EMIT f.source.headerDataChanged(Qt::Vertical, 0, 0);
        QCOMPARE(headerSpy.count(), 1);
        QCOMPARE(headerSpy.at(0).at(0).value<Qt::Orientation>(), Qt::Vertical);
        QCOMPARE(headerSpy.at(0).at(1).toInt(), 3);
        // A child cell reaches the child under its proxy parent (the cell showing source column 0)
        const QModelIndex parent = f.proxy.index(2, 1);
        QCOMPARE(f.proxy.rowCount(parent), 1);
        const QModelIndex child = f.source.index(0, 2, f.source.index(1, 0));
        Q_EMIT f.source.dataChanged(child, child, { Qt::DisplayRole });
        QCOMPARE(dataSpy.count(), 1);
        const QModelIndex changed = dataSpy.at(0).at(0).toModelIndex();
        QCOMPARE(changed.parent(), parent);
        QCOMPARE(changed.column(), 0);
        QCOMPARE(changed.data().toString(), QStringLiteral("c2"));
    }
};

QTEST_GUILESS_MAIN(TestSortFilterSelectModel)
#include "tst_sortfilterselectmodel.moc"
