// Corvane.Core tests: the table proxy's selection, hover, begin edit, pre-focus and focus.
#include "support/tableproxy_fixture.h"

#include <QtTest>

using core::SortFilterSelectModel;
using cvtest::ProxyFixture;

class TestSortFilterSelectModelSelection : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Clicks and arrow keys as ProxyFixture::run spells them, over eight rows of which rows 1 and 3
    // have children.
    void shouldSelectAsUserActs_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("current");
        QTest::newRow("left click selects alone") << "L2,1 L4,2" << "4" << "4,2";
        QTest::newRow("right click inside keeps selection and current") << "L1,0 S3,0 R2,1" << "1,2,3" << "1,0";
        QTest::newRow("right click outside selects alone") << "L1,0 S3,0 R6,2" << "6" << "6,2";
        QTest::newRow("ctrl click adds, on a selected row deselects") << "L1,0 C4,1 C1,2" << "4" << "4,1";
        QTest::newRow("shift click without selection starts at row 0") << "S5,1" << "0,1,2,3,4,5" << "5,1";
        QTest::newRow("shift click past the anchor") << "S5,1 S2,0 S7,0" << "5,6,7" << "5,1";
        QTest::newRow("add cell of selected row only moves current") << "L1,0 C3,0 A1,2" << "1,3" << "1,2";
        QTest::newRow("select all takes root rows, keeps current") << "L2,1 a" << "0,1,2,3,4,5,6,7" << "2,1";
        QTest::newRow("up from first child selects parent") << "L1.0,0 p" << "1" << "1,0";
        QTest::newRow("up from second child selects first child") << "L1.1,1 p" << "1.0" << "1.0,1";
        QTest::newRow("up without current goes to first row") << "L0,2 x p" << "0" << "0,0";
        QTest::newRow("down through children to next root row") << "L1,0 n n n" << "2" << "2,0";
        QTest::newRow("down at last row stays") << "L7,1 p n n" << "7" << "7,1";
        QTest::newRow("down without current clears") << "n" << "" << "";
        QTest::newRow("rows outside the table are ignored") << "L-1,0 S99,99 R-5,-5" << "" << "";
    }
    void shouldSelectAsUserActs()
    {
        QFETCH(QString, script);
        ProxyFixture f;
        f.addChildren();
        f.run(script);
        QTEST(f.selected(), "selected");
        QTEST(f.current(), "current");
        QCOMPARE(f.selectedSource(), f.selected());
    }

    // What the extra roles report after the script, and what its last step notified; root rows 1
    // and 3 have children.
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
        QTest::newRow("begin edit without editable column reads the source")
            << "" << "E3" << "" << "beginedit:3,0-3,2";
        QTest::newRow("begin edit in editable column") << "eR" << "E4" << "beginedit=4,2" << "beginedit:4,0-4,2";
        QTest::newRow("begin edit follows a moved column") << "eR E4" << "m2,0" << "beginedit=4,0" << "";
        QTest::newRow("begin edit cleared silently") << "eR E4" << "E-1" << "" << "";
        QTest::newRow("pre-focus rows need a pre-focus cell") << "L5,2 d" << "u" << "isSelected=5" << "";
        QTest::newRow("first column step seeds pre-focus at first cell")
            << "L5,2" << "+" << "isSelected=5 isPreFocusCell=5,0" << "isPreFocusCell:5,0 isPreFocusCell:5,0";
        QTest::newRow("pre-focus holds at last column")
            << "L2,0 + + +" << "+" << "isSelected=2 isPreFocusCell=2,2" << "";
        QTest::newRow("pre-focus holds at column 0 and notifies")
            << "L2,0 + + + - -" << "-" << "isSelected=2 isPreFocusCell=2,0" << "isPreFocusCell:2,0 isPreFocusCell:2,0";
        QTest::newRow("pre-focus moves down") << "L0,0 + +" << "d" << "isSelected=0 isPreFocusCell=1,1"
                                              << "isPreFocusCell:0,1 isPreFocusCell:1,1";
        QTest::newRow("pre-focus leaves below last row")
            << "L0,0 + + d d d d d d d" << "d" << "isSelected=0" << "isPreFocusCell:7,1";
        QTest::newRow("focus on request") << "L5,0 +" << "F" << "isSelected=5 isPreFocusCell=5,0 isFocusCell=5,0"
                                          << "isFocusCell:5,0";
        QTest::newRow("unset pre-focus keeps focus cell")
            << "L2,0 + + F" << "U" << "isSelected=2 isFocusCell=2,1" << "isPreFocusCell:2,1";
        QTest::newRow("pre-focus and focus dropped when current row has children")
            << "L0,0 + F L1,0" << "d" << "isSelected=1" << "isPreFocusCell:0,0";
    }
    void shouldReportAndNotifyCellStates()
    {
        QFETCH(QString, script);
        QFETCH(QString, lastStep);
        ProxyFixture f;
        f.addChildren();
        f.run(script);
        QSignalSpy spy(&f.proxy, &QAbstractItemModel::dataChanged);
        f.run(lastStep);
        QTEST(f.states(), "states");
        QTEST(f.notified(spy), "notified");
    }

    // Descending, source row 5 is proxy row 2 and source row 2 proxy row 5; a row named by an index
    // of a hidden column is selected too; invalid indexes and those of other models are skipped.
    void shouldExchangeSelectionInSourceTerms()
    {
        ProxyFixture f;
        f.run(QStringLiteral("s0-"));
        f.proxy.setSelectedSourceRows({f.source.index(2, 1), f.source.index(5, 0), f.source.index(5, 2)});
        QCOMPARE(f.selected(), QStringLiteral("2,5"));
        QCOMPARE(f.selectedSource(), QStringLiteral("2,5"));
        for (const QModelIndex& index : f.proxy.selectedSourceRows())
            QCOMPARE(index.model(), &f.source);
        f.run(QStringLiteral("h0"));
        f.proxy.setSelectedSourceRows({f.source.index(1, 0), f.source.index(4, 0), {}, f.proxy.index(0, 0)});
        QCOMPARE(f.selectedSource(), QStringLiteral("1,4"));
    }

    // Cells of another model count as no cell: they select nothing (nor make the selection model warn).
    void shouldIgnoreCellsOfOtherModels()
    {
        ProxyFixture f;
        cvtest::ReliabilityRandomModel other(false);
        other.build(QStringLiteral("AB"), 3);
        f.run(QStringLiteral("L2,0"));
        f.proxy.ctrlSelection(other.index(1, 0));
        f.proxy.shiftSelection(other.index(1, 0));
        f.proxy.leftClickSelection(other.index(1, 0));
        QVERIFY(!f.proxy.isSelected(0, other.index(0, 0)));
        QCOMPARE(f.selected(), QString());
    }

    // "isSelected" answers from a cached index of runs: read back and forth, it must agree with
    // the selection model.
    void shouldReportSelectedRowsInAnyReadingOrder()
    {
        ProxyFixture f(QStringLiteral("ABC"), 200);
        f.run(QStringLiteral("C3,0 C6,0 C40,1 C41,0 C199,2 C0,0 C5,0 C5,0"));
        const int role = f.role("isSelected");
        for (const int row : {0, 1, 2, 3, 5, 6, 9, 39, 40, 41, 42, 50, 61, 199, 198, 41, 40, 6, 5, 4, 3, 0}) {
            const bool expected = f.proxy.selectionModel()->isRowSelected(row, QModelIndex());
            QCOMPARE(f.proxy.index(row, 2).data(role).toBool(), expected);
            QCOMPARE(f.proxy.isSelected(row), expected);
        }
        QCOMPARE(f.selected(), QStringLiteral("0,199,3,40,41,6"));
    }
};

QTEST_GUILESS_MAIN(TestSortFilterSelectModelSelection)
#include "tst_sortfilterselectmodel_selection.moc"
