// Corvane.Core tests.
#include "models/sortfilterselectmodel.h"

#include "support/tableproxy_helpers.h"
#include "support/tableproxy_testmodel.h"

#include <lumen/rowfilter.h>
#include <lumen/sorter.h>

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QSize>
#include <QtTest>

using core::SortFilterSelectModel;
using cvtest::TableProxyTestModel;

namespace
{
// Shows the rows whose column 0 text is not in the hidden set.
class TextFilter : public lum::RowFilter
{
public:
    QStringList hidden;
    int calls = 0;
    bool acceptRow(QAbstractItemModel* model, int sourceRow, const QModelIndex& sourceParent) override
    {
        ++calls;
        return !hidden.contains(model->index(sourceRow, 0, sourceParent).data().toString());
    }
};

// Orders rows by the reverse of their display text.
class ReverseSorter : public lum::Sorter
{
public:
    int calls = 0;
    bool lessThan(const QModelIndex& left, const QModelIndex& right) override
    {
        ++calls;
        return left.data().toString() > right.data().toString();
    }
};

QAbstractItemModelTester* attachTester(QAbstractItemModel* model)
{
    return new QAbstractItemModelTester(model, QAbstractItemModelTester::FailureReportingMode::QtTest, model);
}
}

class TestSortFilterSelectModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void shouldAssignExtraRolesAboveSourceRoles_data();
    void shouldAssignExtraRolesAboveSourceRoles();
    void shouldAnswerNeutrallyWithoutSource();
    void shouldHideColumnsThatTheHeaderHides();
    void shouldTranslateHeaderSectionsThroughColumnOrder();
    void shouldTakeWidthsAndWeightsFromHeader();
    void shouldMapStaleProxyColumnToInvalidIndex();
    void shouldReportBeginEditOnlyInEditableColumn();
    void shouldIgnoreNullFilter();
    void shouldFilterAndResortOnFilterInvalidate();
    void shouldNotResortWhenFilterShrinksRows();
    void shouldBehaveAsWithoutFilterOnceFilterIsDestroyed();
    void shouldBehaveAsWithoutSorterOnceSorterIsDestroyed();
    void shouldGiveInsertedColumnsTheirOwnProportionalWidth();
    void shouldPlaceInsertedColumnsWithinOrder();
    void shouldShiftSortColumnWhenColumnsAreRemoved_data();
    void shouldShiftSortColumnWhenColumnsAreRemoved();
    void shouldRebuildColumnsOnSourceReset();
    void shouldForgetColumnsWhenSourceIsDestroyed();
    void shouldEmitParentIdAndEditableColumnChangesOnce();
    void shouldDropConnectionsOfReplacedSource();
    void shouldNotifyRowHeaderAndChildChangesAtShownRows();
};

void TestSortFilterSelectModel::shouldAssignExtraRolesAboveSourceRoles_data()
{
    QTest::addColumn<QList<int>>("sourceRoles");
    QTest::addColumn<QList<int>>("expected");
    QTest::newRow("standard roles only") << QList<int> {} << QList<int> { 256, 257, 258, 259, 260 };
    QTest::newRow("256 and 257 taken") << QList<int> { 256, 257 } << QList<int> { 258, 259, 260, 261, 262 };
    QTest::newRow("gap at 258") << QList<int> { 256, 257, 259 } << QList<int> { 258, 260, 261, 262, 263 };
}

void TestSortFilterSelectModel::shouldAssignExtraRolesAboveSourceRoles()
{
    QFETCH(QList<int>, sourceRoles);
    QFETCH(QList<int>, expected);
    // Given a source with the given extra role names
    TableProxyTestModel source;
    QHash<int, QByteArray> names;
    for (int role : sourceRoles)
        names.insert(role, QByteArray("source") + QByteArray::number(role));
    source.setExtraRoleNames(names);
    source.build(QStringLiteral("PQ"), 2);
    SortFilterSelectModel proxy;
    attachTester(&proxy);
    // When it is attached
    proxy.setSourceModel(&source);
    // Then the five extra roles take the smallest free numbers, in their order
    const QList<QByteArray> extras { "isSelected", "isHovered", "beginedit", "isPreFocusCell", "isFocusCell" };
    for (int i = 0; i < extras.size(); ++i)
        QCOMPARE(cvtest::roleNumber(proxy, extras.at(i)), expected.at(i));
    for (int role : sourceRoles)
        QCOMPARE(proxy.roleNames().value(role), names.value(role));
    QCOMPARE(proxy.roleNames().value(Qt::DisplayRole), QByteArray("display"));
}

void TestSortFilterSelectModel::shouldAnswerNeutrallyWithoutSource()
{
    SortFilterSelectModel proxy;
    attachTester(&proxy);
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
    QVERIFY(proxy.selectedSourceRows().isEmpty());
    // Operations on an empty proxy do nothing and do not crash
    proxy.doSort(0, true);
    proxy.selectAll();
    proxy.selectNextRow();
    proxy.increasePreFocusIndexColumn();
    proxy.showAllColumns();
    proxy.saveColumnData();
    proxy.loadColumnData();
    QCOMPARE(proxy.columnModel()->rowCount(), 0);
}

void TestSortFilterSelectModel::shouldHideColumnsThatTheHeaderHides()
{
    // Given three columns whose middle one is hidden by its header
    TableProxyTestModel source;
    source.build(QStringLiteral("PQR"), 2);
    source.setHeader(1, cvtest::InitiallyVisibleRole, false);
    source.setHeader(2, cvtest::InitiallyVisibleRole, 0); // not a bool: stays visible
    SortFilterSelectModel proxy;
    attachTester(&proxy);
    // When it is attached
    proxy.setSourceModel(&source);
    // Then the proxy shows P and R, and the hidden column remembers its position
    QCOMPARE(proxy.columnCount(), 2);
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
}

void TestSortFilterSelectModel::shouldTranslateHeaderSectionsThroughColumnOrder()
{
    TableProxyTestModel source;
    source.build(QStringLiteral("PQR"), 4);
    source.setHeader(1, cvtest::InitiallyVisibleRole, false);
    SortFilterSelectModel proxy;
    attachTester(&proxy);
    proxy.setSourceModel(&source);
    // The vertical header is translated like the horizontal one: section 1 asks source section 2
    QCOMPARE(proxy.headerData(1, Qt::Vertical).toInt(), 2);
    // A section beyond the column order is passed on unchanged
    QCOMPARE(proxy.headerData(3, Qt::Vertical).toInt(), 3);
    QCOMPARE(proxy.headerData(1, Qt::Horizontal, cvtest::ColumnIdRole).toString(), QStringLiteral("R"));
}

void TestSortFilterSelectModel::shouldTakeWidthsAndWeightsFromHeader()
{
    TableProxyTestModel source;
    source.build(QStringLiteral("PQR"), 1);
    source.setHeader(0, Qt::SizeHintRole, QSize(40, 10));
    source.setHeader(1, Qt::SizeHintRole, QSize(0, 10));
    source.setHeader(0, cvtest::ProportionalWidthRole, 3);
    source.setHeader(1, cvtest::ProportionalWidthRole, -2);
    source.setHeader(2, cvtest::ProportionalWidthRole, 5);
    SortFilterSelectModel proxy;
    attachTester(&proxy);
    proxy.setSourceModel(&source);
    QCOMPARE(proxy.columnWidth(0), 40);
    QCOMPARE(proxy.columnWidth(1), 100);
    QCOMPARE(proxy.columnWidth(2), 100);
    QCOMPARE(proxy.naturalWidth(), 240);
    QCOMPARE(proxy.columnProportionalWidth(0), 3);
    QCOMPARE(proxy.columnProportionalWidth(1), 0);
    QCOMPARE(proxy.proportionalWidth(), 8);
}

void TestSortFilterSelectModel::shouldMapStaleProxyColumnToInvalidIndex()
{
    // Given an index of the last of three columns, kept while a column is hidden
    TableProxyTestModel source;
    source.build(QStringLiteral("PQR"), 3);
    SortFilterSelectModel proxy;
    attachTester(&proxy);
    proxy.setSourceModel(&source);
    const QModelIndex stale = proxy.index(1, 2);
    QVERIFY(stale.isValid());
    proxy.setSourceColumnVisible(0, false);
    QCOMPARE(proxy.columnCount(), 2);
    // When it is mapped or read, Then the answer is neutral
    QVERIFY(!proxy.mapToSource(stale).isValid());
    QVERIFY(!proxy.mapProxyIndexToSource(stale).isValid());
    QVERIFY(!proxy.data(stale).isValid());
    QVERIFY(!proxy.mapProxyIndexToSource(1, 5).isValid());
    QVERIFY(!proxy.mapProxyIndexToSource(1, -1).isValid());
    // And an index of another model maps to nothing
    QVERIFY(!proxy.mapToSource(source.index(0, 0)).isValid());
}

void TestSortFilterSelectModel::shouldReportBeginEditOnlyInEditableColumn()
{
    TableProxyTestModel source;
    source.build(QStringLiteral("PQR"), 5);
    SortFilterSelectModel proxy;
    attachTester(&proxy);
    proxy.setSourceModel(&source);
    const int role = cvtest::roleNumber(proxy, "beginedit");
    // Given no editable column: the role reads through to the source (which has nothing)
    proxy.setBeginEditIndex(3);
    QVERIFY(!proxy.index(3, 1).data(role).isValid());
    // When the editable column is Q
    QSignalSpy columnSpy(&proxy, &SortFilterSelectModel::defaultEditableColumnIdChanged);
    QVERIFY(columnSpy.isValid());
    proxy.setDefaultEditableColumnId(QStringLiteral("Q"));
    QCOMPARE(columnSpy.count(), 1);
    // Then only row 3 in column Q reports it, also after Q moves
    for (int r = 0; r < 5; ++r) {
        for (int c = 0; c < 3; ++c)
            QCOMPARE(proxy.index(r, c).data(role).toBool(), r == 3 && c == 1);
    }
    proxy.moveColumn(1, 2);
    QVERIFY(proxy.index(3, 2).data(role).toBool());
    QVERIFY(!proxy.index(3, 1).data(role).toBool());
}

void TestSortFilterSelectModel::shouldIgnoreNullFilter()
{
    TableProxyTestModel source;
    source.build(QStringLiteral("P"), 3);
    SortFilterSelectModel proxy;
    attachTester(&proxy);
    proxy.setSourceModel(&source);
    TextFilter filter;
    QSignalSpy spy(&proxy, &SortFilterSelectModel::filterChanged);
    QVERIFY(spy.isValid());
    proxy.setFilter(&filter);
    QCOMPARE(spy.count(), 1);
    proxy.setFilter(&filter);
    proxy.setFilter(nullptr);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(proxy.filter(), &filter);
}

void TestSortFilterSelectModel::shouldFilterAndResortOnFilterInvalidate()
{
    // Given a table sorted by P, descending, with a filter that hides P1
    TableProxyTestModel source;
    source.build(QStringLiteral("PQ"), 4);
    SortFilterSelectModel proxy;
    attachTester(&proxy);
    proxy.setSourceModel(&source);
    proxy.doSort(0, false);
    TextFilter filter;
    filter.hidden = QStringList { QStringLiteral("P1") };
    proxy.setFilter(&filter);
    // Setting the filter does not re-filter by itself
    QCOMPARE(proxy.rowCount(), 4);
    // When the filter invalidates
    QSignalSpy sortSpy(&proxy, &SortFilterSelectModel::ascendingChanged);
    QVERIFY(sortSpy.isValid());
    Q_EMIT filter.invalidate();
    QCOMPARE(cvtest::columnText(proxy, 0), QStringLiteral("P3,P2,P0"));
    // The row count shrank: no re-sort
    QCOMPARE(sortSpy.count(), 0);
    // When the filter shows everything again and a new row came meanwhile
    source.insertRowAt(0, { QStringLiteral("P9"), QStringLiteral("Q9") });
    filter.hidden.clear();
    Q_EMIT filter.invalidate();
    // Then the rows are filtered and sorted again
    QCOMPARE(cvtest::columnText(proxy, 0), QStringLiteral("P9,P3,P2,P1,P0"));
    QCOMPARE(sortSpy.count(), 1);
    QCOMPARE(sortSpy.at(0).at(0).toBool(), false);
}

void TestSortFilterSelectModel::shouldNotResortWhenFilterShrinksRows()
{
    TableProxyTestModel source;
    source.build(QStringLiteral("P"), 3);
    SortFilterSelectModel proxy;
    attachTester(&proxy);
    proxy.setSourceModel(&source);
    proxy.doSort(0, true);
    TextFilter filter;
    proxy.setFilter(&filter);
    filter.hidden = QStringList { QStringLiteral("P0") };
    QSignalSpy spy(&proxy, &SortFilterSelectModel::proxySortColumnChanged);
    QVERIFY(spy.isValid());
    Q_EMIT filter.invalidate();
    QCOMPARE(proxy.rowCount(), 2);
    QCOMPARE(spy.count(), 0);
}

void TestSortFilterSelectModel::shouldBehaveAsWithoutFilterOnceFilterIsDestroyed()
{
    // Given a filter that hides P1
    TableProxyTestModel source;
    source.build(QStringLiteral("PQ"), 3);
    SortFilterSelectModel proxy;
    attachTester(&proxy);
    proxy.setSourceModel(&source);
    auto* filter = new TextFilter;
    filter->hidden = QStringList { QStringLiteral("P1") };
    proxy.setFilter(filter);
    Q_EMIT filter->invalidate();
    QCOMPARE(proxy.rowCount(), 2);
    QSignalSpy spy(&proxy, &SortFilterSelectModel::filterChanged);
    QVERIFY(spy.isValid());
    // When it is destroyed while set
    delete filter;
    // Then the property reads null, and the next re-filter shows every row
    QCOMPARE(spy.count(), 1);
    QCOMPARE(proxy.filter(), nullptr);
    proxy.setSourceColumnVisible(1, false);
    QCOMPARE(cvtest::columnText(proxy, 0), QStringLiteral("P0,P1,P2"));
    // And a new filter can be set
    TextFilter other;
    proxy.setFilter(&other);
    QCOMPARE(proxy.filter(), &other);
}

void TestSortFilterSelectModel::shouldBehaveAsWithoutSorterOnceSorterIsDestroyed()
{
    TableProxyTestModel source;
    source.build(QStringLiteral("P"), 3);
    SortFilterSelectModel proxy;
    attachTester(&proxy);
    proxy.setSourceModel(&source);
    auto* sorter = new ReverseSorter;
    proxy.setSorter(sorter);
    proxy.doSort(0, true);
    QCOMPARE(cvtest::columnText(proxy, 0), QStringLiteral("P2,P1,P0"));
    QVERIFY(sorter->calls > 0);
    delete sorter;
    QCOMPARE(proxy.sorter(), nullptr);
    proxy.doSort(0, true, true);
    QCOMPARE(cvtest::columnText(proxy, 0), QStringLiteral("P0,P1,P2"));
}

void TestSortFilterSelectModel::shouldGiveInsertedColumnsTheirOwnProportionalWidth()
{
    // Given columns P (weight 5) and Q (weight 7)
    TableProxyTestModel source;
    source.build(QStringLiteral("PQ"), 2);
    source.setHeader(0, cvtest::ProportionalWidthRole, 5);
    source.setHeader(1, cvtest::ProportionalWidthRole, 7);
    SortFilterSelectModel proxy;
    attachTester(&proxy);
    proxy.setSourceModel(&source);
    QCOMPARE(proxy.proportionalWidth(), 12);
    // When a column X with weight 3 is inserted before them, and Y without weight after them
    cvtest::HeaderRoles x = TableProxyTestModel::column(QStringLiteral("X"));
    x.insert(cvtest::ProportionalWidthRole, 3);
    x.insert(Qt::SizeHintRole, QSize(30, 10));
    source.insertColumnAt(0, x);
    source.insertColumnAt(3, TableProxyTestModel::column(QStringLiteral("Y")));
    // Then each column keeps its own weight
    QCOMPARE(cvtest::headerText(proxy), QStringLiteral("XPQY"));
    QCOMPARE(proxy.columnProportionalWidth(0), 3);
    QCOMPARE(proxy.columnProportionalWidth(1), 5);
    QCOMPARE(proxy.columnProportionalWidth(2), 7);
    QCOMPARE(proxy.columnProportionalWidth(3), 0);
    QCOMPARE(proxy.proportionalWidth(), 15);
    QCOMPARE(proxy.columnWidth(0), 30);
    QCOMPARE(proxy.columnWidth(3), 100);
}

void TestSortFilterSelectModel::shouldPlaceInsertedColumnsWithinOrder()
{
    // Given P Q R with Q hidden
    TableProxyTestModel source;
    source.build(QStringLiteral("PQR"), 2);
    SortFilterSelectModel proxy;
    attachTester(&proxy);
    proxy.setSourceModel(&source);
    proxy.setSourceColumnVisible(1, false);
    QSignalSpy spy(&proxy, &SortFilterSelectModel::proxySortColumnChanged);
    QVERIFY(spy.isValid());
    // When two columns are inserted at the end, the first hidden by its header
    cvtest::HeaderRoles hidden = TableProxyTestModel::column(QStringLiteral("X"));
    hidden.insert(cvtest::InitiallyVisibleRole, false);
    source.insertColumnAt(3, hidden);
    source.insertColumnAt(4, TableProxyTestModel::column(QStringLiteral("Y")));
    // Then the visible one lands within the order
    QCOMPARE(cvtest::headerText(proxy), QStringLiteral("PRY"));
    QCOMPARE(proxy.mapSourceColumnToProxy(4), 2);
    QVERIFY(!proxy.isSourceColumnVisible(3));
    QCOMPARE(spy.count(), 2);
    // When a column is inserted at the front, the others keep their order
    source.insertColumnAt(0, TableProxyTestModel::column(QStringLiteral("Z")));
    QCOMPARE(cvtest::headerText(proxy), QStringLiteral("ZPRY"));
    QCOMPARE(cvtest::rowText(proxy, 1), QStringLiteral("P1R1"));
    proxy.setSourceColumnVisible(2, true);
    QCOMPARE(cvtest::headerText(proxy), QStringLiteral("ZPQRY"));
}

void TestSortFilterSelectModel::shouldShiftSortColumnWhenColumnsAreRemoved_data()
{
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("expected");
    QTest::newRow("removed before") << 1 << 3 << 2;
    QTest::newRow("sort column removed") << 4 << 3 << -1;
    QTest::newRow("removed after") << 6 << 2 << 5;
}

void TestSortFilterSelectModel::shouldShiftSortColumnWhenColumnsAreRemoved()
{
    QFETCH(int, first);
    QFETCH(int, count);
    QFETCH(int, expected);
    TableProxyTestModel source;
    source.build(QStringLiteral("ABCDEFGH"), 3);
    SortFilterSelectModel proxy;
    attachTester(&proxy);
    proxy.setSourceModel(&source);
    proxy.doSort(5, true);
    QCOMPARE(proxy.proxySortColumn(), 5);
    QSignalSpy spy(&proxy, &SortFilterSelectModel::proxySortColumnChanged);
    QVERIFY(spy.isValid());
    source.removeColumnsAt(first, count);
    QCOMPARE(proxy.proxySortColumn(), expected);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(proxy.columnCount(), 8 - count);
}

void TestSortFilterSelectModel::shouldRebuildColumnsOnSourceReset()
{
    // Given a sorted table with a moved column and a selection
    TableProxyTestModel source;
    source.build(QStringLiteral("PQR"), 3);
    SortFilterSelectModel proxy;
    attachTester(&proxy);
    proxy.setSourceModel(&source);
    proxy.doSort(1, true);
    proxy.moveColumn(0, 2);
    proxy.leftClickSelection(1, 0);
    QSignalSpy sortSpy(&proxy, &SortFilterSelectModel::proxySortColumnChanged);
    QSignalSpy selectionSpy(&proxy, &SortFilterSelectModel::selectionChanged);
    QVERIFY(sortSpy.isValid());
    QVERIFY(selectionSpy.isValid());
    // When the source resets with other columns
    source.build(QStringLiteral("XYZW"), 2);
    // Then the columns are rebuilt in source order, unsorted, with no selection
    QCOMPARE(cvtest::headerText(proxy), QStringLiteral("XYZW"));
    QCOMPARE(proxy.proxySortColumn(), -1);
    QVERIFY(!proxy.selectionModel()->hasSelection());
    QVERIFY(!proxy.selectionModel()->currentIndex().isValid());
    QVERIFY(sortSpy.count() >= 1);
    QVERIFY(selectionSpy.count() >= 1);
    QCOMPARE(proxy.selectedSourceRowsCount(), 0);
}

void TestSortFilterSelectModel::shouldForgetColumnsWhenSourceIsDestroyed()
{
    SortFilterSelectModel proxy;
    attachTester(&proxy);
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

void TestSortFilterSelectModel::shouldEmitParentIdAndEditableColumnChangesOnce()
{
    SortFilterSelectModel proxy;
    attachTester(&proxy);
    QSignalSpy spy(&proxy, &SortFilterSelectModel::parentIdChanged);
    QVERIFY(spy.isValid());
    proxy.setParentId(QStringLiteral("layers"));
    proxy.setParentId(QStringLiteral("layers"));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(proxy.parentId(), QStringLiteral("layers"));
    QCOMPARE(proxy.property("parentId").toString(), QStringLiteral("layers"));
}

void TestSortFilterSelectModel::shouldDropConnectionsOfReplacedSource()
{
    // Given a proxy that moved from one source to another
    TableProxyTestModel first;
    first.build(QStringLiteral("PQR"), 3);
    TableProxyTestModel second;
    second.build(QStringLiteral("XY"), 2);
    SortFilterSelectModel proxy;
    attachTester(&proxy);
    proxy.setSourceModel(&first);
    proxy.leftClickSelection(1, 0);
    proxy.setSourceModel(&second);
    QVERIFY(!proxy.selectionModel()->hasSelection());
    QSignalSpy columnSpy(&proxy, &SortFilterSelectModel::proxySortColumnChanged);
    QSignalSpy dataSpy(&proxy, &QAbstractItemModel::dataChanged);
    QVERIFY(columnSpy.isValid());
    QVERIFY(dataSpy.isValid());
    // When the first source changes its columns, cells and headers
    first.insertColumnAt(0, TableProxyTestModel::column(QStringLiteral("Z")));
    first.removeColumnsAt(1, 2);
    first.setCell(0, 0, QStringLiteral("changed"));
    first.build(QStringLiteral("ABCDE"), 1);
    // Then the proxy does not notice
    QCOMPARE(columnSpy.count(), 0);
    QCOMPARE(dataSpy.count(), 0);
    QCOMPARE(cvtest::headerText(proxy), QStringLiteral("XY"));
    QCOMPARE(proxy.columnRecordCount(), 2);
    // And the same source set again is rebuilt, not doubled
    proxy.setSourceModel(&second);
    second.setCell(1, 1, QStringLiteral("once"));
    QCOMPARE(dataSpy.count(), 1);
    QCOMPARE(proxy.index(1, 1).data().toString(), QStringLiteral("once"));
}

void TestSortFilterSelectModel::shouldNotifyRowHeaderAndChildChangesAtShownRows()
{
    qRegisterMetaType<Qt::Orientation>();
    // Given rows sorted descending, with children under row 1
    TableProxyTestModel source;
    source.build(QStringLiteral("PQR"), 4);
    source.appendChildRow(1, { QStringLiteral("c0"), QStringLiteral("c1"), QStringLiteral("c2") });
    SortFilterSelectModel proxy;
    attachTester(&proxy);
    proxy.setSourceModel(&source);
    proxy.doSort(0, false);
    proxy.moveColumn(2, 0);
    QCOMPARE(cvtest::headerText(proxy), QStringLiteral("RPQ"));
    QSignalSpy headerSpy(&proxy, &QAbstractItemModel::headerDataChanged);
    QSignalSpy dataSpy(&proxy, &QAbstractItemModel::dataChanged);
    QVERIFY(headerSpy.isValid());
    QVERIFY(dataSpy.isValid());
    // When a row header of source row 0 changes, it reaches the proxy row showing it
    Q_EMIT source.headerDataChanged(Qt::Vertical, 0, 0);
    QCOMPARE(headerSpy.count(), 1);
    QCOMPARE(headerSpy.at(0).at(0).value<Qt::Orientation>(), Qt::Vertical);
    QCOMPARE(headerSpy.at(0).at(1).toInt(), 3);
    // When a cell of a child row changes, it reaches the child under its proxy parent
    // (children hang under the cell showing source column 0)
    const QModelIndex parent = proxy.index(2, 1);
    QCOMPARE(proxy.rowCount(parent), 1);
    const QModelIndex child = source.index(0, 2, source.index(1, 0));
    Q_EMIT source.dataChanged(child, child, { Qt::DisplayRole });
    QCOMPARE(dataSpy.count(), 1);
    const QModelIndex changed = dataSpy.at(0).at(0).toModelIndex();
    QCOMPARE(changed.parent(), parent);
    QCOMPARE(changed.column(), 0);
    QCOMPARE(changed.data().toString(), QStringLiteral("c2"));
}

QTEST_GUILESS_MAIN(TestSortFilterSelectModel)
#include "tst_sortfilterselectmodel.moc"
