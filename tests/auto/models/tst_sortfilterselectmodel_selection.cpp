// Corvane.Core tests.
#include "models/sortfilterselectmodel.h"

#include "support/tableproxy_helpers.h"
#include "support/tableproxy_testmodel.h"

#include <lumen/rowfilter.h>

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QtTest>

using core::SortFilterSelectModel;
using cvtest::TableProxyTestModel;

namespace
{
class OddRowFilter : public lum::RowFilter
{
public:
    bool acceptRow(QAbstractItemModel*, int sourceRow, const QModelIndex& sourceParent) override
    {
        return sourceParent.isValid() || sourceRow % 2 == 0;
    }
};

// Roles named in a dataChanged spy entry.
QVector<int> rolesOf(const QList<QVariant>& arguments)
{
    return arguments.at(2).value<QVector<int>>();
}

// A proxy over a table, with a model tester attached.
struct Fixture
{
    explicit Fixture(const QString& columns = QStringLiteral("PQR"), int rows = 8)
    {
        source.build(columns, rows);
        proxy.setSourceModel(&source);
        new QAbstractItemModelTester(&proxy, QAbstractItemModelTester::FailureReportingMode::QtTest, &proxy);
    }
    // Two child rows under root row 1, one under root row 3.
    void addChildren()
    {
        source.appendChildRow(1, { QStringLiteral("c10"), QStringLiteral("x"), QStringLiteral("y") });
        source.appendChildRow(1, { QStringLiteral("c11"), QStringLiteral("x"), QStringLiteral("y") });
        source.appendChildRow(3, { QStringLiteral("c30"), QStringLiteral("x"), QStringLiteral("y") });
    }
    int role(const char* name) const { return cvtest::roleNumber(proxy, name); }
    QString selected() const { return cvtest::selectedRows(*proxy.selectionModel()); }
    QModelIndex current() const { return proxy.selectionModel()->currentIndex(); }

    TableProxyTestModel source;
    SortFilterSelectModel proxy;
};
}

class TestSortFilterSelectModelSelection : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void shouldSelectRowAloneOnLeftClick();
    void shouldKeepSelectionOnRightClickInsideIt();
    void shouldSelectAloneOnRightClickOutsideIt();
    void shouldToggleRowOnControlClick();
    void shouldExtendFromCurrentRowOnShiftClick();
    void shouldShiftSelectInSortOrder();
    void shouldMakeCellCurrentOnAddToSelection();
    void shouldSelectEveryRootRowOnSelectAll();
    void shouldSelectNothingOnSelectAllOfEmptyTable();
    void shouldStepUpThroughParentRows();
    void shouldStepDownThroughChildRows();
    void shouldClearOnStepDownWithoutCurrentRow();
    void shouldExchangeSelectionInSourceTerms();
    void shouldSkipFilteredRowsInSetSelectedSourceRows();
    void shouldCountEachSelectedRowOnce();
    void shouldNotifySelectedAndDeselectedRows();
    void shouldReportSelectedInEveryColumn();
    void shouldNotifyHoveredRow();
    void shouldNotifyBeginEditRowOnlyWhenSet();
    void shouldSeedPreFocusAtFirstCellOfCurrentRow();
    void shouldHoldPreFocusAtTableEdges();
    void shouldMovePreFocusThroughRows();
    void shouldDropPreFocusWhenCurrentRowHasChildren();
    void shouldUnsetPreFocusAndKeepFocusCell();
    void shouldNotifyFocusCellOnRequest();
    void shouldIgnoreCellsOfOtherModels();
};

void TestSortFilterSelectModelSelection::shouldSelectRowAloneOnLeftClick()
{
    Fixture f;
    f.proxy.leftClickSelection(2, 1);
    f.proxy.leftClickSelection(4, 2);
    QCOMPARE(f.selected(), QStringLiteral("4"));
    QCOMPARE(f.current(), f.proxy.index(4, 2));
    QVERIFY(f.proxy.isSelected(4));
    QVERIFY(!f.proxy.isSelected(2));
    QVERIFY(!f.proxy.isSelected(99));
}

void TestSortFilterSelectModelSelection::shouldKeepSelectionOnRightClickInsideIt()
{
    // Given rows 1 to 3 selected with row 3 current
    Fixture f;
    f.proxy.leftClickSelection(1, 0);
    f.proxy.shiftSelection(3, 0);
    QCOMPARE(f.selected(), QStringLiteral("1,2,3"));
    const QModelIndex current = f.current();
    // When row 2 is right-clicked
    f.proxy.rightClickSelection(2, 1);
    // Then all three stay selected and the current index does not move
    QCOMPARE(f.selected(), QStringLiteral("1,2,3"));
    QCOMPARE(f.current(), current);
}

void TestSortFilterSelectModelSelection::shouldSelectAloneOnRightClickOutsideIt()
{
    Fixture f;
    f.proxy.leftClickSelection(1, 0);
    f.proxy.shiftSelection(3, 0);
    f.proxy.rightClickSelection(6, 2);
    QCOMPARE(f.selected(), QStringLiteral("6"));
    QCOMPARE(f.current(), f.proxy.index(6, 2));
}

void TestSortFilterSelectModelSelection::shouldToggleRowOnControlClick()
{
    Fixture f;
    f.proxy.leftClickSelection(1, 0);
    f.proxy.ctrlSelection(4, 1);
    QCOMPARE(f.selected(), QStringLiteral("1,4"));
    QCOMPARE(f.current(), f.proxy.index(4, 1));
    // Control-clicking a selected row deselects it and leaves the current index
    f.proxy.ctrlSelection(1, 2);
    QCOMPARE(f.selected(), QStringLiteral("4"));
    QCOMPARE(f.current(), f.proxy.index(4, 1));
}

void TestSortFilterSelectModelSelection::shouldExtendFromCurrentRowOnShiftClick()
{
    // Given no selection
    Fixture f;
    QCOMPARE(f.proxy.getShiftSelectionStart(), f.proxy.index(0, 0));
    // When row 5 is shift-clicked: rows 0 to 5, row 5 current
    f.proxy.shiftSelection(5, 1);
    QCOMPARE(f.selected(), QStringLiteral("0,1,2,3,4,5"));
    QCOMPARE(f.current(), f.proxy.index(5, 1));
    QCOMPARE(f.proxy.getShiftSelectionStart(), f.proxy.index(5, 1));
    // When row 2 is shift-clicked: the anchor is still row 5
    f.proxy.shiftSelection(f.proxy.index(2, 0));
    QCOMPARE(f.selected(), QStringLiteral("2,3,4,5"));
    QCOMPARE(f.current(), f.proxy.index(5, 1));
    f.proxy.shiftSelection(7, 0);
    QCOMPARE(f.selected(), QStringLiteral("5,6,7"));
}

void TestSortFilterSelectModelSelection::shouldShiftSelectInSortOrder()
{
    // Given rows sorted descending: P7 at row 0 .. P0 at row 7
    Fixture f;
    f.proxy.doSort(0, false);
    f.proxy.leftClickSelection(1, 0);
    f.proxy.shiftSelection(3, 0);
    // Then the range runs over proxy rows, i.e. source rows 6, 5, 4
    QStringList sourceRows;
    for (const QModelIndex& index : f.proxy.selectedSourceRows())
        sourceRows.append(index.data().toString());
    std::sort(sourceRows.begin(), sourceRows.end());
    QCOMPARE(sourceRows.join(QLatin1Char(',')), QStringLiteral("P4,P5,P6"));
}

void TestSortFilterSelectModelSelection::shouldMakeCellCurrentOnAddToSelection()
{
    Fixture f;
    f.proxy.leftClickSelection(1, 0);
    f.proxy.ctrlSelection(3, 0);
    // A cell of a selected row only becomes current
    f.proxy.addToSelection(1, 2);
    QCOMPARE(f.selected(), QStringLiteral("1,3"));
    QCOMPARE(f.current(), f.proxy.index(1, 2));
    // A cell of another row is selected alone
    f.proxy.addToSelection(f.proxy.index(5, 1));
    QCOMPARE(f.selected(), QStringLiteral("5"));
    QCOMPARE(f.current(), f.proxy.index(5, 1));
}

void TestSortFilterSelectModelSelection::shouldSelectEveryRootRowOnSelectAll()
{
    Fixture f(QStringLiteral("PQR"), 4);
    f.addChildren();
    f.proxy.leftClickSelection(2, 1);
    f.proxy.selectAll();
    QCOMPARE(f.selected(), QStringLiteral("0,1,2,3"));
    QCOMPARE(f.current(), f.proxy.index(2, 1));
    QVERIFY(!f.proxy.isSelected(0, f.proxy.index(1, 0)));
    QCOMPARE(f.proxy.selectedSourceRowsCount(), 4);
}

void TestSortFilterSelectModelSelection::shouldSelectNothingOnSelectAllOfEmptyTable()
{
    Fixture f(QStringLiteral("PQR"), 0);
    QSignalSpy spy(&f.proxy, &SortFilterSelectModel::selectionChanged);
    QVERIFY(spy.isValid());
    f.proxy.selectAll();
    QVERIFY(!f.proxy.selectionModel()->hasSelection());
    QCOMPARE(spy.count(), 0);
}

void TestSortFilterSelectModelSelection::shouldStepUpThroughParentRows()
{
    Fixture f(QStringLiteral("PQR"), 4);
    f.addChildren();
    const QModelIndex parent = f.proxy.index(1, 0);
    // On the first child of row 1, stepping up selects row 1
    f.proxy.leftClickSelection(f.proxy.index(0, 0, parent));
    f.proxy.selectPreviousRow();
    QCOMPARE(f.current(), f.proxy.index(1, 0));
    QCOMPARE(f.selected(), QStringLiteral("1"));
    // On the second child, stepping up selects the first child
    f.proxy.leftClickSelection(f.proxy.index(1, 1, parent));
    f.proxy.selectPreviousRow();
    QCOMPARE(f.current(), f.proxy.index(0, 1, parent));
    // On the first root row it stays
    f.proxy.leftClickSelection(0, 2);
    f.proxy.selectPreviousRow();
    QCOMPARE(f.current(), f.proxy.index(0, 2));
    QCOMPARE(f.selected(), QStringLiteral("0"));
    // Without a current row it goes to the first row
    f.proxy.clearSelection();
    f.proxy.selectPreviousRow();
    QCOMPARE(f.current(), f.proxy.index(0, 0));
}

void TestSortFilterSelectModelSelection::shouldStepDownThroughChildRows()
{
    Fixture f(QStringLiteral("PQR"), 4);
    f.addChildren();
    const QModelIndex parent = f.proxy.index(1, 0);
    // On a row with children, stepping down selects its first child
    f.proxy.leftClickSelection(1, 0);
    f.proxy.selectNextRow();
    QCOMPARE(f.current(), f.proxy.index(0, 0, parent));
    QVERIFY(f.proxy.isSelected(0, parent));
    QCOMPARE(f.proxy.selectedSourceRowsCount(), 1);
    // On the last child, it selects the parent's next sibling
    f.proxy.selectNextRow();
    QCOMPARE(f.current(), f.proxy.index(1, 0, parent));
    f.proxy.selectNextRow();
    QCOMPARE(f.current(), f.proxy.index(2, 0));
    QCOMPARE(f.selected(), QStringLiteral("2"));
    // On the last root row it stays
    f.proxy.leftClickSelection(3, 1);
    f.proxy.selectPreviousRow();
    f.proxy.selectNextRow();
    QCOMPARE(f.current(), f.proxy.index(3, 1));
    f.proxy.selectNextRow();
    QCOMPARE(f.current(), f.proxy.index(3, 1));
}

void TestSortFilterSelectModelSelection::shouldClearOnStepDownWithoutCurrentRow()
{
    Fixture f;
    f.proxy.selectNextRow();
    QVERIFY(!f.current().isValid());
    QVERIFY(!f.proxy.selectionModel()->hasSelection());
}

void TestSortFilterSelectModelSelection::shouldExchangeSelectionInSourceTerms()
{
    Fixture f;
    f.proxy.doSort(0, false);
    const QModelIndexList sourceRows { f.source.index(2, 1), f.source.index(5, 0) };
    QSignalSpy spy(&f.proxy, &SortFilterSelectModel::selectionChanged);
    QVERIFY(spy.isValid());
    f.proxy.setSelectedSourceRows(sourceRows);
    QCOMPARE(spy.count(), 1);
    // Descending: source row 5 is proxy row 2, source row 2 is proxy row 5
    QCOMPARE(f.selected(), QStringLiteral("2,5"));
    QVERIFY(!f.current().isValid());
    QStringList texts;
    for (const QModelIndex& index : f.proxy.selectedSourceRows()) {
        QCOMPARE(index.model(), &f.source);
        texts.append(f.source.index(index.row(), 0).data().toString());
    }
    texts.sort();
    QCOMPARE(texts.join(QLatin1Char(',')), QStringLiteral("P2,P5"));
    QCOMPARE(f.proxy.property("selectedSourceRowsCount").toInt(), 2);
}

void TestSortFilterSelectModelSelection::shouldSkipFilteredRowsInSetSelectedSourceRows()
{
    Fixture f;
    OddRowFilter filter;
    f.proxy.setFilter(&filter);
    Q_EMIT filter.invalidate();
    QCOMPARE(f.proxy.rowCount(), 4);
    f.proxy.setSelectedSourceRows({ f.source.index(3, 0), f.source.index(4, 0), QModelIndex(), f.proxy.index(0, 0) });
    QCOMPARE(f.selected(), QStringLiteral("2"));
    QCOMPARE(f.proxy.selectedSourceRows().value(0), f.source.index(4, 0));
}

void TestSortFilterSelectModelSelection::shouldCountEachSelectedRowOnce()
{
    Fixture f;
    f.proxy.setSelectedSourceRows({ f.source.index(1, 0), f.source.index(1, 2), f.source.index(2, 0) });
    QCOMPARE(f.proxy.selectedSourceRowsCount(), 2);
    f.proxy.ctrlSelection(5, 0);
    QCOMPARE(f.proxy.selectedSourceRowsCount(), 3);
    f.proxy.ctrlSelection(1, 0);
    QCOMPARE(f.proxy.selectedSourceRowsCount(), 2);
    f.proxy.clearSelection();
    QCOMPARE(f.proxy.selectedSourceRowsCount(), 0);
}

void TestSortFilterSelectModelSelection::shouldNotifySelectedAndDeselectedRows()
{
    Fixture f;
    const int role = f.role("isSelected");
    f.proxy.leftClickSelection(1, 0);
    QSignalSpy dataSpy(&f.proxy, &QAbstractItemModel::dataChanged);
    QSignalSpy selectionSpy(&f.proxy, &SortFilterSelectModel::selectionChanged);
    QVERIFY(dataSpy.isValid());
    QVERIFY(selectionSpy.isValid());
    // When row 4 replaces row 1
    f.proxy.leftClickSelection(4, 1);
    // Then row 4 (selected) and row 1 (deselected) are notified across all columns, then the signal
    QCOMPARE(dataSpy.count(), 2);
    QCOMPARE(dataSpy.at(0).at(0).toModelIndex(), f.proxy.index(4, 0));
    QCOMPARE(dataSpy.at(0).at(1).toModelIndex(), f.proxy.index(4, 2));
    QCOMPARE(rolesOf(dataSpy.at(0)), QVector<int> { role });
    QCOMPARE(dataSpy.at(1).at(0).toModelIndex(), f.proxy.index(1, 0));
    QCOMPARE(dataSpy.at(1).at(1).toModelIndex(), f.proxy.index(1, 2));
    QCOMPARE(selectionSpy.count(), 1);
    QCOMPARE(cvtest::rowsWithRole(f.proxy, role), QStringLiteral("4"));
}

void TestSortFilterSelectModelSelection::shouldReportSelectedInEveryColumn()
{
    // Given rows 2 and 5 selected, then column Q hidden and shown again
    Fixture f;
    const int role = f.role("isSelected");
    f.proxy.leftClickSelection(2, 0);
    f.proxy.ctrlSelection(5, 1);
    f.proxy.setSourceColumnVisible(1, false);
    f.proxy.setSourceColumnVisible(1, true);
    // Then every cell of both rows reports selected, and only those
    QCOMPARE(cvtest::rowsWithRole(f.proxy, role), QStringLiteral("2,5"));
    for (int c = 0; c < f.proxy.columnCount(); ++c)
        QVERIFY(!f.proxy.index(3, c).data(role).toBool());
    QCOMPARE(f.selected(), QStringLiteral("2,5"));
}

void TestSortFilterSelectModelSelection::shouldNotifyHoveredRow()
{
    Fixture f;
    const int role = f.role("isHovered");
    QSignalSpy spy(&f.proxy, &QAbstractItemModel::dataChanged);
    QVERIFY(spy.isValid());
    f.proxy.setHovered(3, true);
    QCOMPARE(cvtest::rowsWithRole(f.proxy, role), QStringLiteral("3"));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toModelIndex(), f.proxy.index(3, 0));
    QCOMPARE(spy.at(0).at(1).toModelIndex(), f.proxy.index(3, 2));
    QCOMPARE(rolesOf(spy.at(0)), QVector<int> { role });
    // Leaving another row still clears the hover
    f.proxy.setHovered(6, false);
    QCOMPARE(cvtest::rowsWithRole(f.proxy, role), QString());
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(1).at(0).toModelIndex(), f.proxy.index(6, 0));
    // A row outside the table is stored without a notification
    f.proxy.setHovered(40, true);
    QCOMPARE(spy.count(), 2);
}

void TestSortFilterSelectModelSelection::shouldNotifyBeginEditRowOnlyWhenSet()
{
    Fixture f;
    f.proxy.setDefaultEditableColumnId(QStringLiteral("R"));
    const int role = f.role("beginedit");
    QSignalSpy spy(&f.proxy, &QAbstractItemModel::dataChanged);
    QVERIFY(spy.isValid());
    f.proxy.setBeginEditIndex(4);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(rolesOf(spy.at(0)), QVector<int> { role });
    QCOMPARE(spy.at(0).at(0).toModelIndex(), f.proxy.index(4, 0));
    QVERIFY(f.proxy.index(4, 2).data(role).toBool());
    f.proxy.setBeginEditIndex(4);
    QCOMPARE(spy.count(), 1);
    // Clearing stores -1 without a notification
    f.proxy.setBeginEditIndex(-1);
    QCOMPARE(spy.count(), 1);
    QVERIFY(!f.proxy.index(4, 2).data(role).toBool());
}

void TestSortFilterSelectModelSelection::shouldSeedPreFocusAtFirstCellOfCurrentRow()
{
    Fixture f;
    const int role = f.role("isPreFocusCell");
    f.proxy.leftClickSelection(3, 2);
    // Row moves do nothing without a pre-focus cell
    f.proxy.increasePreFocusIndexRow();
    f.proxy.decreasePreFocusIndexRow();
    QVERIFY(!f.proxy.hasPreFocus());
    // The first column move seeds it at the first cell of the current row
    QSignalSpy spy(&f.proxy, &QAbstractItemModel::dataChanged);
    QVERIFY(spy.isValid());
    f.proxy.increasePreFocusIndexColumn();
    QVERIFY(f.proxy.hasPreFocus());
    QVERIFY(f.proxy.index(3, 0).data(role).toBool());
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(0).at(0).toModelIndex(), f.proxy.index(3, 0));
    QCOMPARE(rolesOf(spy.at(0)), QVector<int> { role });
    // The next move goes right, notifying the old and the new cell
    f.proxy.increasePreFocusIndexColumn();
    QVERIFY(f.proxy.index(3, 1).data(role).toBool());
    QVERIFY(!f.proxy.index(3, 0).data(role).toBool());
    QCOMPARE(spy.count(), 4);
    QCOMPARE(spy.at(2).at(0).toModelIndex(), f.proxy.index(3, 0));
    QCOMPARE(spy.at(3).at(0).toModelIndex(), f.proxy.index(3, 1));
}

void TestSortFilterSelectModelSelection::shouldHoldPreFocusAtTableEdges()
{
    Fixture f;
    const int role = f.role("isPreFocusCell");
    f.proxy.leftClickSelection(1, 0);
    f.proxy.increasePreFocusIndexColumn();
    f.proxy.increasePreFocusIndexColumn();
    f.proxy.increasePreFocusIndexColumn();
    QVERIFY(f.proxy.index(1, 2).data(role).toBool());
    // At the last column nothing happens
    QSignalSpy spy(&f.proxy, &QAbstractItemModel::dataChanged);
    QVERIFY(spy.isValid());
    f.proxy.increasePreFocusIndexColumn();
    QCOMPARE(spy.count(), 0);
    // At column 0 a left move keeps column 0 and still notifies
    f.proxy.decreasePreFocusIndexColumn();
    f.proxy.decreasePreFocusIndexColumn();
    spy.clear();
    f.proxy.decreasePreFocusIndexColumn();
    QVERIFY(f.proxy.index(1, 0).data(role).toBool());
    QCOMPARE(spy.count(), 2);
}

void TestSortFilterSelectModelSelection::shouldMovePreFocusThroughRows()
{
    Fixture f(QStringLiteral("PQR"), 3);
    const int role = f.role("isPreFocusCell");
    f.proxy.leftClickSelection(0, 0);
    f.proxy.increasePreFocusIndexColumn();
    f.proxy.increasePreFocusIndexColumn();
    f.proxy.increasePreFocusIndexRow();
    QVERIFY(f.proxy.index(1, 1).data(role).toBool());
    f.proxy.increasePreFocusIndexRow();
    QVERIFY(f.proxy.index(2, 1).data(role).toBool());
    f.proxy.decreasePreFocusIndexRow();
    QVERIFY(f.proxy.index(1, 1).data(role).toBool());
    // Below the last root row the pre-focus leaves the table
    f.proxy.increasePreFocusIndexRow();
    f.proxy.increasePreFocusIndexRow();
    QVERIFY(!f.proxy.hasPreFocus());
}

void TestSortFilterSelectModelSelection::shouldDropPreFocusWhenCurrentRowHasChildren()
{
    Fixture f(QStringLiteral("PQR"), 4);
    f.addChildren();
    const int preRole = f.role("isPreFocusCell");
    const int focusRole = f.role("isFocusCell");
    // Given a pre-focus and a focus cell in row 0, with row 1 (which has children) current
    f.proxy.leftClickSelection(0, 0);
    f.proxy.increasePreFocusIndexColumn();
    f.proxy.requestActiveFocusOnPrefocusedCell();
    QVERIFY(f.proxy.index(0, 0).data(focusRole).toBool());
    f.proxy.leftClickSelection(1, 0);
    // When the pre-focus moves down
    QSignalSpy spy(&f.proxy, &QAbstractItemModel::dataChanged);
    QVERIFY(spy.isValid());
    f.proxy.increasePreFocusIndexRow();
    // Then both cells are gone and the old cell is notified
    QVERIFY(!f.proxy.hasPreFocus());
    QVERIFY(!f.proxy.index(0, 0).data(preRole).toBool());
    QVERIFY(!f.proxy.index(0, 0).data(focusRole).toBool());
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toModelIndex(), f.proxy.index(0, 0));
    QVERIFY(!f.proxy.checkPreFocusOnParent(QModelIndex()));
    f.proxy.leftClickSelection(2, 0);
    QVERIFY(f.proxy.checkPreFocusOnParent(QModelIndex()));
}

void TestSortFilterSelectModelSelection::shouldUnsetPreFocusAndKeepFocusCell()
{
    Fixture f;
    const int preRole = f.role("isPreFocusCell");
    const int focusRole = f.role("isFocusCell");
    f.proxy.leftClickSelection(2, 0);
    f.proxy.increasePreFocusIndexColumn();
    f.proxy.increasePreFocusIndexColumn();
    f.proxy.requestActiveFocusOnPrefocusedCell();
    QSignalSpy spy(&f.proxy, &QAbstractItemModel::dataChanged);
    QVERIFY(spy.isValid());
    f.proxy.unsetPreFocus();
    QVERIFY(!f.proxy.hasPreFocus());
    QVERIFY(!f.proxy.index(2, 1).data(preRole).toBool());
    QVERIFY(f.proxy.index(2, 1).data(focusRole).toBool());
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toModelIndex(), f.proxy.index(2, 1));
    QCOMPARE(rolesOf(spy.at(0)), QVector<int> { preRole });
}

void TestSortFilterSelectModelSelection::shouldNotifyFocusCellOnRequest()
{
    Fixture f;
    const int role = f.role("isFocusCell");
    f.proxy.leftClickSelection(5, 0);
    f.proxy.increasePreFocusIndexColumn();
    QSignalSpy spy(&f.proxy, &QAbstractItemModel::dataChanged);
    QVERIFY(spy.isValid());
    f.proxy.requestActiveFocusOnPrefocusedCell();
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toModelIndex(), f.proxy.index(5, 0));
    QCOMPARE(rolesOf(spy.at(0)), QVector<int> { role });
    QVERIFY(f.proxy.index(5, 0).data(role).toBool());
    QVERIFY(!f.proxy.index(5, 1).data(role).toBool());
}

void TestSortFilterSelectModelSelection::shouldIgnoreCellsOfOtherModels()
{
    Fixture f;
    f.proxy.leftClickSelection(2, 0);
    TableProxyTestModel other;
    other.build(QStringLiteral("AB"), 3);
    f.proxy.ctrlSelection(other.index(1, 0));
    f.proxy.shiftSelection(other.index(1, 0));
    f.proxy.leftClickSelection(other.index(1, 0));
    QVERIFY(!f.proxy.isSelected(0, other.index(0, 0)));
    QCOMPARE(f.proxy.selectedSourceRowsCount(), 0);
    f.proxy.leftClickSelection(-1, 0);
    f.proxy.shiftSelection(99, 99);
    f.proxy.rightClickSelection(-5, -5);
    QVERIFY(!f.proxy.selectionModel()->hasSelection());
}

QTEST_GUILESS_MAIN(TestSortFilterSelectModelSelection)
#include "tst_sortfilterselectmodel_selection.moc"
