// Corvane.Core tests: the table proxy's selection, hover, begin edit, pre-focus and focus.
#include "support/tableproxy_fixture.h"

#include <lumen/rowfilter.h>

#include <QtTest>

using core::SortFilterSelectModel;
using cvtest::ProxyFixture;

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
}

class TestSortFilterSelectModelSelection : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Clicks and arrow keys as ProxyFixture::run spells them; "tree" is four rows with children
    // under rows 1 and 3.
    void shouldSelectAsUserActs_data()
    {
        QTest::addColumn<bool>("tree");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("sourceRows");

        QTest::newRow("left click selects alone") << false << "L2,1 L4,2" << "4" << "4,2" << "4";
        QTest::newRow("right click inside keeps selection and current")
            << false << "L1,0 S3,0 R2,1" << "1,2,3" << "1,0" << "1,2,3";
        QTest::newRow("right click outside selects alone") << false << "L1,0 S3,0 R6,2" << "6" << "6,2" << "6";
        QTest::newRow("ctrl click adds") << false << "L1,0 C4,1" << "1,4" << "4,1" << "1,4";
        QTest::newRow("ctrl click on selected row deselects, keeps current")
            << false << "L1,0 C4,1 C1,2" << "4" << "4,1" << "4";
        QTest::newRow("shift click without selection starts at row 0")
            << false << "S5,1" << "0,1,2,3,4,5" << "5,1" << "0,1,2,3,4,5";
        QTest::newRow("shift click past the anchor") << false << "S5,1 S2,0 S7,0" << "5,6,7" << "5,1" << "5,6,7";
        QTest::newRow("shift click runs in sort order") << false << "s0- L1,0 S3,0" << "1,2,3" << "1,0" << "4,5,6";
        QTest::newRow("add cell of selected row only moves current")
            << false << "L1,0 C3,0 A1,2" << "1,3" << "1,2" << "1,3";
        QTest::newRow("select all takes root rows, keeps current")
            << true << "L2,1 a" << "0,1,2,3" << "2,1" << "0,1,2,3";
        QTest::newRow("up from first child selects parent") << true << "L1.0,0 p" << "1" << "1,0" << "1";
        QTest::newRow("up from second child selects first child")
            << true << "L1.1,1 p" << "1.0" << "1.0,1" << "1.0";
        QTest::newRow("up at first row stays") << true << "L0,2 p" << "0" << "0,2" << "0";
        QTest::newRow("up without current goes to first row") << true << "L0,2 x p" << "0" << "0,0" << "0";
        QTest::newRow("down into first child") << true << "L1,0 n" << "1.0" << "1.0,0" << "1.0";
        QTest::newRow("down through children") << true << "L1,0 n n" << "1.1" << "1.1,0" << "1.1";
        QTest::newRow("down from last child to next root row") << true << "L1,0 n n n" << "2" << "2,0" << "2";
        QTest::newRow("down at last row stays") << true << "L3,1 p n n" << "3" << "3,1" << "3";
        QTest::newRow("down without current clears") << false << "n" << "" << "" << "";
        QTest::newRow("rows outside the table are ignored") << false << "L-1,0 S99,99 R-5,-5" << "" << "" << "";
    }
    void shouldSelectAsUserActs()
    {
        QFETCH(bool, tree);
        QFETCH(QString, script);
        ProxyFixture f(QStringLiteral("PQR"), tree ? 4 : 8);
        if (tree)
            f.addChildren();
        f.run(script);
        QTEST(f.selected(), "selected");
        QTEST(f.current(), "current");
        QTEST(f.selectedSource(), "sourceRows");
        QCOMPARE(f.proxy.selectedSourceRowsCount(), f.proxy.selectedSourceRows().size());
        for (int row = 0; row < f.proxy.rowCount(); ++row)
            QCOMPARE(f.proxy.isSelected(row), f.selected().split(QLatin1Char(',')).contains(QString::number(row)));
    }

    // What the extra roles report after the script, and what its last step notified.
    void shouldReportAndNotifyCellStates_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("lastStep");
        QTest::addColumn<QString>("states");
        QTest::addColumn<QString>("notified");

        QTest::newRow("selection notifies new then old row")
            << "L1,0" << "L4,1" << "isSelected=4" << "isSelected:4,0-4,2 isSelected:1,0-1,2";
        QTest::newRow("hover") << "" << "H3" << "isHovered=3" << "isHovered:3,0-3,2";
        QTest::newRow("leaving another row clears hover") << "H3" << "O6" << "" << "isHovered:6,0-6,2";
        QTest::newRow("hover outside the table is silent") << "H3 O6" << "H40" << "" << "";
        QTest::newRow("begin edit without editable column reads the source") << "" << "E3" << "" << "beginedit:3,0-3,2";
        QTest::newRow("begin edit in editable column") << "eR" << "E4" << "beginedit=4,2" << "beginedit:4,0-4,2";
        QTest::newRow("begin edit follows a moved column") << "eR E4" << "m2,0" << "beginedit=4,0" << "";
        QTest::newRow("begin edit cleared silently") << "eR E4" << "E-1" << "" << "";
        QTest::newRow("pre-focus rows need a pre-focus cell") << "L3,2 d" << "u" << "isSelected=3" << "";
        QTest::newRow("first column step seeds pre-focus at first cell")
            << "L3,2" << "+" << "isSelected=3 isPreFocusCell=3,0" << "isPreFocusCell:3,0 isPreFocusCell:3,0";
        QTest::newRow("pre-focus moves right") << "L3,2 +" << "+" << "isSelected=3 isPreFocusCell=3,1"
                                               << "isPreFocusCell:3,0 isPreFocusCell:3,1";
        QTest::newRow("pre-focus holds at last column") << "L1,0 + + +" << "+" << "isSelected=1 isPreFocusCell=1,2" << "";
        QTest::newRow("pre-focus holds at column 0 and notifies")
            << "L1,0 + + + - -" << "-" << "isSelected=1 isPreFocusCell=1,0" << "isPreFocusCell:1,0 isPreFocusCell:1,0";
        QTest::newRow("pre-focus moves down") << "L0,0 + +" << "d" << "isSelected=0 isPreFocusCell=1,1"
                                              << "isPreFocusCell:0,1 isPreFocusCell:1,1";
        QTest::newRow("pre-focus moves up") << "L0,0 + + d d" << "u" << "isSelected=0 isPreFocusCell=1,1"
                                            << "isPreFocusCell:2,1 isPreFocusCell:1,1";
        QTest::newRow("pre-focus leaves below last row") << "L0,0 + + d d d d d d d" << "d" << "isSelected=0" << "isPreFocusCell:7,1";
        QTest::newRow("focus on request") << "L5,0 +" << "F" << "isSelected=5 isPreFocusCell=5,0 isFocusCell=5,0"
                                          << "isFocusCell:5,0";
        QTest::newRow("unset pre-focus keeps focus cell")
            << "L2,0 + + F" << "U" << "isSelected=2 isFocusCell=2,1" << "isPreFocusCell:2,1";
    }
    void shouldReportAndNotifyCellStates()
    {
        QFETCH(QString, script);
        QFETCH(QString, lastStep);
        ProxyFixture f;
        f.run(script);
        QSignalSpy spy(&f.proxy, &QAbstractItemModel::dataChanged);
        f.run(lastStep);
        QTEST(f.states(), "states");
        QTEST(f.notified(spy), "notified");
    }

    void shouldDropPreFocusWhenCurrentRowHasChildren()
    {
        // Given pre-focus and focus in row 0, and row 1 (which has children) current
        ProxyFixture f(QStringLiteral("PQR"), 4);
        f.addChildren();
        f.run(QStringLiteral("L0,0 + F L1,0"));
        QSignalSpy spy(&f.proxy, &QAbstractItemModel::dataChanged);
        // When the pre-focus moves down, both cells are gone and the old cell is notified
        f.run(QStringLiteral("d"));
        QVERIFY(!f.proxy.hasPreFocus());
        QCOMPARE(f.states(), QStringLiteral("isSelected=1"));
        QCOMPARE(f.notified(spy), QStringLiteral("isPreFocusCell:0,0"));
        QVERIFY(!f.proxy.checkPreFocusOnParent(QModelIndex()));
        f.run(QStringLiteral("L2,0"));
        QVERIFY(f.proxy.checkPreFocusOnParent(QModelIndex()));
    }

    void shouldExchangeSelectionInSourceTerms()
    {
        // Descending: source row 5 is proxy row 2, source row 2 is proxy row 5
        ProxyFixture f;
        f.run(QStringLiteral("s0-"));
        QSignalSpy spy(&f.proxy, &SortFilterSelectModel::selectionChanged);
        f.proxy.setSelectedSourceRows({ f.source.index(2, 1), f.source.index(5, 0), f.source.index(5, 2) });
        QCOMPARE(spy.count(), 1);
        QCOMPARE(f.selected(), QStringLiteral("2,5"));
        QCOMPARE(f.current(), QString());
        QCOMPARE(f.selectedSource(), QStringLiteral("2,5"));
        QCOMPARE(f.proxy.selectedSourceRowsCount(), 2);
        for (const QModelIndex& index : f.proxy.selectedSourceRows())
            QCOMPARE(index.model(), &f.source);

        // Filtered rows, invalid indexes and indexes of other models are skipped
        OddRowFilter filter;
        f.proxy.setFilter(&filter);
        Q_EMIT filter.invalidate();
        f.proxy.setSelectedSourceRows({ f.source.index(3, 0), f.source.index(4, 0), QModelIndex(), f.proxy.index(0, 0) });
        QCOMPARE(f.selectedSource(), QStringLiteral("4"));
        // A row named by an index of a hidden column is selected too
        f.proxy.setSourceColumnVisible(0, false);
        f.proxy.setSelectedSourceRows({ f.source.index(2, 0), f.source.index(4, 0) });
        QCOMPARE(f.selectedSource(), QStringLiteral("2,4"));
        f.proxy.clearSelection();
        QCOMPARE(f.proxy.selectedSourceRowsCount(), 0);
    }

    void shouldIgnoreCellsOfOtherModelsAndSignalOnlyChanges()
    {
        ProxyFixture f;
        QSignalSpy spy(&f.proxy, &SortFilterSelectModel::selectionChanged);
        f.run(QStringLiteral("L2,0"));
        QCOMPARE(spy.count(), 1);
        cvtest::ReliabilityRandomModel other(false);
        other.build(QStringLiteral("AB"), 3);
        f.proxy.ctrlSelection(other.index(1, 0));
        f.proxy.shiftSelection(other.index(1, 0));
        f.proxy.leftClickSelection(other.index(1, 0));
        QVERIFY(!f.proxy.isSelected(0, other.index(0, 0)));
        QCOMPARE(f.selected(), QString());
        QCOMPARE(f.proxy.selectedSourceRowsCount(), 0);
        QCOMPARE(spy.count(), 2);
        ProxyFixture empty(QStringLiteral("PQR"), 0);
        QSignalSpy emptySpy(&empty.proxy, &SortFilterSelectModel::selectionChanged);
        empty.proxy.selectAll();
        QCOMPARE(emptySpy.count(), 0);
    }

    // "isSelected" answers from a cached index of runs: read back and forth, it must agree with
    // the selection model.
    void shouldReportSelectedRowsInAnyReadingOrder()
    {
        ProxyFixture f(QStringLiteral("ABC"), 200);
        f.run(QStringLiteral("C3,0 C6,0 C40,1 C41,0 C199,2 C0,0 C5,0 C5,0"));
        const int role = f.role("isSelected");
        for (const int row : {0, 1, 2, 3, 5, 6, 9, 10, 39, 40, 41, 42, 50, 51, 60, 61, 199, 198, 41, 40, 6, 5, 4, 3, 0}) {
            const bool expected = f.proxy.selectionModel()->isRowSelected(row, QModelIndex());
            for (int column = 0; column < f.proxy.columnCount(); ++column)
                QCOMPARE(f.proxy.index(row, column).data(role).toBool(), expected);
            QCOMPARE(f.proxy.isSelected(row), expected);
        }
        QCOMPARE(f.selected(), QStringLiteral("0,199,3,40,41,6"));
    }
};

QTEST_GUILESS_MAIN(TestSortFilterSelectModelSelection)
#include "tst_sortfilterselectmodel_selection.moc"
