// Corvane.Core tests.
#include "models/sortfilterselectmodel.h"

#include "support/tableproxy_helpers.h"
#include "support/tableproxy_testmodel.h"

#include <loom/columnstore.h>
#include <lumen/strings.h>

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using core::SortFilterSelectModel;
using cvtest::TableProxyTestModel;

namespace
{
struct Fixture
{
    explicit Fixture(const QString& columns = QStringLiteral("PQRS"), int rows = 6, const QString& table = QString())
    {
        source.build(columns, rows);
        new QAbstractItemModelTester(&proxy, QAbstractItemModelTester::FailureReportingMode::QtTest, &proxy);
        proxy.setParentId(table);
        proxy.setSourceModel(&source);
    }
    QString selected() const { return cvtest::selectedRows(*proxy.selectionModel()); }
    // Rows 1 and 3 selected (row 3 current, in column 1).
    void selectTwoRows()
    {
        proxy.leftClickSelection(1, 0);
        proxy.ctrlSelection(3, 1);
    }
    // The selection is exactly rows 1 and 3, each across every column, and row 3 is current.
    void verifyTwoRowsSelected()
    {
        const int role = cvtest::roleNumber(proxy, "isSelected");
        QCOMPARE(selected(), QStringLiteral("1,3"));
        QCOMPARE(cvtest::rowsWithRole(proxy, role), QStringLiteral("1,3"));
        QCOMPARE(proxy.selectedSourceRowsCount(), 2);
        QStringList rows;
        for (const QModelIndex& index : proxy.selectedSourceRows())
            rows.append(QString::number(index.row()));
        rows.sort();
        QCOMPARE(rows.join(QLatin1Char(',')), QStringLiteral("1,3"));
        for (const QItemSelectionRange& range : proxy.selectionModel()->selection()) {
            QVERIFY(range.isValid());
            QCOMPARE(range.left(), 0);
            QCOMPARE(range.right(), proxy.columnCount() - 1);
        }
        QCOMPARE(proxy.selectionModel()->currentIndex().row(), 3);
    }
    TableProxyTestModel source;
    SortFilterSelectModel proxy;
};

int storedPosition(const QString& table, const QString& column, bool* hidden = nullptr)
{
    bool isHidden = false;
    int position = -1;
    lom::readColumnDataFromRegistry(lum::wxFromQt(column), 1, -1, isHidden, position, lum::wxFromQt(table));
    if (hidden)
        *hidden = isHidden;
    return position;
}

bool storeKeepsRecords(const QString& table)
{
    return !lom::getSavedColumnDataList(lum::wxFromQt(table)).IsEmpty();
}
}

class TestSortFilterSelectModelColumns : public QObject
{
    Q_OBJECT

    // Each run starts from an empty column store of its own.
    QTemporaryDir m_config;

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void shouldMoveColumn_data();
    void shouldMoveColumn();
    void shouldRefuseInvalidMoves_data();
    void shouldRefuseInvalidMoves();
    void shouldKeepSelectedRowsThroughMoves_data();
    void shouldKeepSelectedRowsThroughMoves();
    void shouldKeepSelectedRowsThroughColumnChanges_data();
    void shouldKeepSelectedRowsThroughColumnChanges();
    void shouldNotHideLastVisibleColumn();
    void shouldSignalWhenHidingHiddenColumn();
    void shouldShowColumnAtRememberedPlace();
    void shouldShowAllColumnsAtRememberedPlaces();
    void shouldRestoreSourceOrderAndKeepHiddenColumns();
    void shouldTranslateWidthSlots();
    void shouldNotifyDataChangesWhereColumnsAreShown();
    void shouldNotifyHeaderChangesWhereColumnsAreShown();
    void shouldRoundTripLayoutThroughStore();
    void shouldKeepPlacesOfStoredColumnsThatModelLacks();
    void shouldKeepOrderWhenEveryColumnIsStoredHidden();
    void shouldStoreRemovedColumnAndRestoreItOnInsertion();
};

void TestSortFilterSelectModelColumns::initTestCase()
{
    QVERIFY(m_config.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
    lom::resetColumnStore();
}

void TestSortFilterSelectModelColumns::cleanupTestCase()
{
    // Nothing may be left to write once the temporary directory is gone.
    QVERIFY(lom::flushColumnStore());
}

void TestSortFilterSelectModelColumns::shouldMoveColumn_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("dest");
    QTest::newRow("0 to 2") << 0 << 2 << "QRPS" << 3;
    QTest::newRow("3 to 1") << 3 << 1 << "PSQR" << 1;
    QTest::newRow("0 to end") << 0 << 3 << "QRSP" << 4;
    QTest::newRow("end to 0") << 3 << 0 << "SPQR" << 0;
    QTest::newRow("neighbours") << 1 << 2 << "PRQS" << 3;
}

void TestSortFilterSelectModelColumns::shouldMoveColumn()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QString, expected);
    QFETCH(int, dest);
    Fixture f;
    QSignalSpy moveSpy(&f.proxy, &QAbstractItemModel::columnsAboutToBeMoved);
    QSignalSpy columnSpy(&f.proxy, &SortFilterSelectModel::proxySortColumnChanged);
    QVERIFY(moveSpy.isValid());
    QVERIFY(columnSpy.isValid());
    f.proxy.moveColumn(from, to);
    QCOMPARE(cvtest::headerText(f.proxy), expected);
    QCOMPARE(moveSpy.count(), 1);
    QCOMPARE(moveSpy.at(0).at(1).toInt(), from);
    QCOMPARE(moveSpy.at(0).at(2).toInt(), from);
    QCOMPARE(moveSpy.at(0).at(4).toInt(), dest);
    QCOMPARE(columnSpy.count(), 1);
    // Cells follow their headers
    for (int c = 0; c < 4; ++c)
        QCOMPARE(f.proxy.index(2, c).data().toString(), QString(expected.at(c)) + QLatin1Char('2'));
    QCOMPARE(f.proxy.mapSourceColumnToProxy(0), expected.indexOf(QLatin1Char('P')));
}

void TestSortFilterSelectModelColumns::shouldRefuseInvalidMoves_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QString>("message");
    QTest::newRow("to beyond") << 1 << 9 << "move to column, 9 , is not valid";
    QTest::newRow("to negative") << 1 << -1 << "move to column, -1 , is not valid";
    QTest::newRow("from beyond") << 4 << 1 << "move from column, 4 , is not valid";
    QTest::newRow("from negative") << -2 << 1 << "move from column, -2 , is not valid";
}

void TestSortFilterSelectModelColumns::shouldRefuseInvalidMoves()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QString, message);
    Fixture f;
    f.selectTwoRows();
    QSignalSpy spy(&f.proxy, &SortFilterSelectModel::proxySortColumnChanged);
    QVERIFY(spy.isValid());
    QTest::ignoreMessage(QtDebugMsg, message.toUtf8().constData());
    f.proxy.moveColumn(from, to);
    QCOMPARE(cvtest::headerText(f.proxy), QStringLiteral("PQRS"));
    QCOMPARE(spy.count(), 0);
    f.verifyTwoRowsSelected();
    // Moving a column onto itself is not a move
    f.proxy.moveColumn(2, 2);
    QCOMPARE(spy.count(), 0);
}

void TestSortFilterSelectModelColumns::shouldKeepSelectedRowsThroughMoves_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::newRow("first to last") << 0 << 3;
    QTest::newRow("last to first") << 3 << 0;
    QTest::newRow("right by one") << 1 << 2;
    QTest::newRow("left by two") << 3 << 1;
}

void TestSortFilterSelectModelColumns::shouldKeepSelectedRowsThroughMoves()
{
    QFETCH(int, from);
    QFETCH(int, to);
    // Given rows 1 and 3 selected
    Fixture f;
    f.selectTwoRows();
    // When a column moves, twice in a row
    f.proxy.moveColumn(from, to);
    f.verifyTwoRowsSelected();
    f.proxy.moveColumn(to, from);
    // Then the same rows stay selected across every column
    f.verifyTwoRowsSelected();
    QCOMPARE(cvtest::headerText(f.proxy), QStringLiteral("PQRS"));
}

enum ColumnChange
{
    HideMiddle,
    HideFirst,
    ShowAgain,
    ShowAll,
    Restore,
    Load,
    InsertSourceColumn,
    RemoveSourceColumn,
    RemoveCurrentSourceColumn
};

void TestSortFilterSelectModelColumns::shouldKeepSelectedRowsThroughColumnChanges_data()
{
    QTest::addColumn<int>("change");
    QTest::newRow("hide a middle column") << int(HideMiddle);
    QTest::newRow("hide the first column") << int(HideFirst);
    QTest::newRow("show a column again") << int(ShowAgain);
    QTest::newRow("show all columns") << int(ShowAll);
    QTest::newRow("restore column positions") << int(Restore);
    QTest::newRow("load a layout") << int(Load);
    QTest::newRow("source inserts a column") << int(InsertSourceColumn);
    QTest::newRow("source removes a column") << int(RemoveSourceColumn);
    QTest::newRow("source removes the current column") << int(RemoveCurrentSourceColumn);
}

void TestSortFilterSelectModelColumns::shouldKeepSelectedRowsThroughColumnChanges()
{
    QFETCH(int, change);
    // Given a layout with a moved and a hidden column, and rows 1 and 3 selected
    const QString table = QStringLiteral("selection ") + QLatin1String(QTest::currentDataTag());
    Fixture f(QStringLiteral("PQRST"), 6, table);
    f.proxy.moveColumn(4, 1);
    f.proxy.setSourceColumnVisible(2, false);
    f.proxy.saveColumnData();
    f.selectTwoRows();
    f.verifyTwoRowsSelected();
    // When the columns change
    switch (change) {
    case HideMiddle:
        f.proxy.setSourceColumnVisible(1, false);
        break;
    case HideFirst:
        f.proxy.setSourceColumnVisible(0, false);
        break;
    case ShowAgain:
        f.proxy.setSourceColumnVisible(2, true);
        break;
    case ShowAll:
        f.proxy.showAllColumns();
        break;
    case Restore:
        f.proxy.restoreColumnPositions();
        QCOMPARE(cvtest::headerText(f.proxy), QStringLiteral("PQST"));
        break;
    case Load:
        f.proxy.showAllColumns();
        f.proxy.moveColumn(0, 3);
        f.proxy.loadColumnData();
        if (storeKeepsRecords(table))
            QCOMPARE(cvtest::headerText(f.proxy), QStringLiteral("PTQS"));
        break;
    case InsertSourceColumn:
        f.source.insertColumnAt(1, TableProxyTestModel::column(QStringLiteral("X")));
        break;
    case RemoveSourceColumn:
        f.source.removeColumnsAt(3, 1);
        break;
    case RemoveCurrentSourceColumn:
        f.source.removeColumnsAt(4, 1);
        break;
    }
    // Then exactly those rows stay selected, whole, and row 3 stays current
    f.verifyTwoRowsSelected();
}

void TestSortFilterSelectModelColumns::shouldNotHideLastVisibleColumn()
{
    Fixture f(QStringLiteral("PQ"), 2);
    f.proxy.setSourceColumnVisible(0, false);
    QSignalSpy spy(&f.proxy, &SortFilterSelectModel::proxySortColumnChanged);
    QVERIFY(spy.isValid());
    f.proxy.setSourceColumnVisible(1, false);
    QCOMPARE(cvtest::headerText(f.proxy), QStringLiteral("Q"));
    QCOMPARE(spy.count(), 0);
    f.proxy.setSourceColumnVisible(5, true);
    f.proxy.setSourceColumnVisible(-1, false);
    QCOMPARE(spy.count(), 0);
}

void TestSortFilterSelectModelColumns::shouldSignalWhenHidingHiddenColumn()
{
    Fixture f;
    f.proxy.setSourceColumnVisible(1, false);
    QSignalSpy spy(&f.proxy, &SortFilterSelectModel::proxySortColumnChanged);
    QVERIFY(spy.isValid());
    f.proxy.setSourceColumnVisible(1, false);
    QCOMPARE(spy.count(), 1);
    f.proxy.setSourceColumnVisible(0, true);
    QCOMPARE(spy.count(), 2);
    QCOMPARE(cvtest::headerText(f.proxy), QStringLiteral("PRS"));
}

void TestSortFilterSelectModelColumns::shouldShowColumnAtRememberedPlace()
{
    Fixture f(QStringLiteral("PQR"), 2);
    f.proxy.setSourceColumnVisible(1, false);
    QCOMPARE(cvtest::headerText(f.proxy), QStringLiteral("PR"));
    QCOMPARE(f.proxy.mapSourceColumnToProxy(1), 1);
    f.proxy.setSourceColumnVisible(1, true);
    QCOMPARE(cvtest::headerText(f.proxy), QStringLiteral("PQR"));
    QCOMPARE(cvtest::rowText(f.proxy, 1), QStringLiteral("P1Q1R1"));
}

void TestSortFilterSelectModelColumns::shouldShowAllColumnsAtRememberedPlaces()
{
    Fixture f(QStringLiteral("PQRST"), 2);
    f.proxy.moveColumn(4, 0);
    f.proxy.setSourceColumnVisible(1, false);
    f.proxy.setSourceColumnVisible(3, false);
    QCOMPARE(cvtest::headerText(f.proxy), QStringLiteral("TPR"));
    QSignalSpy spy(&f.proxy, &SortFilterSelectModel::proxySortColumnChanged);
    QVERIFY(spy.isValid());
    f.proxy.showAllColumns();
    // Each returns to the position it had when it was hidden: Q at 2, then S at 3
    QCOMPARE(cvtest::headerText(f.proxy), QStringLiteral("TPQSR"));
    QCOMPARE(spy.count(), 1);
    f.proxy.showAllColumns();
    QCOMPARE(spy.count(), 2);
}

void TestSortFilterSelectModelColumns::shouldRestoreSourceOrderAndKeepHiddenColumns()
{
    Fixture f(QStringLiteral("PQRST"), 3);
    f.proxy.moveColumn(0, 4);
    f.proxy.moveColumn(3, 0);
    f.proxy.setSourceColumnVisible(2, false);
    QSignalSpy resetSpy(&f.proxy, &QAbstractItemModel::modelReset);
    QSignalSpy spy(&f.proxy, &SortFilterSelectModel::proxySortColumnChanged);
    QVERIFY(resetSpy.isValid());
    QVERIFY(spy.isValid());
    f.proxy.restoreColumnPositions();
    QCOMPARE(cvtest::headerText(f.proxy), QStringLiteral("PQST"));
    QCOMPARE(cvtest::rowText(f.proxy, 2), QStringLiteral("P2Q2S2T2"));
    QCOMPARE(resetSpy.count(), 1);
    QCOMPARE(spy.count(), 1);
}

void TestSortFilterSelectModelColumns::shouldTranslateWidthSlots()
{
    Fixture f(QStringLiteral("PQRS"), 1);
    f.proxy.setColumnWidth(0, 10);
    f.proxy.setColumnWidth(1, 20);
    f.proxy.setColumnWidth(2, 30);
    f.proxy.setColumnWidth(3, 40);
    f.proxy.setSourceColumnVisible(0, false);
    f.proxy.moveColumn(2, 0);
    // Proxy columns: S Q R; source column 0 (P) hidden
    QCOMPARE(f.proxy.columnWidth(0), 40);
    QCOMPARE(f.proxy.columnWidth(-1), 100);
    QCOMPARE(f.proxy.columnWidth(3), 40); // beyond the visible columns: source column 3
    QCOMPARE(f.proxy.columnWidth(9), 100);
    QCOMPARE(f.proxy.naturalWidth(), 90);
    f.proxy.setColumnWidth(0, -5);
    QCOMPARE(f.proxy.columnWidth(0), 40);
    f.proxy.resizeColumn(0, -5);
    QCOMPARE(f.proxy.columnWidth(0), -5);
    f.proxy.resizeColumn(-1, 7);
    f.proxy.setColumnWidth(-1, 7);
    QCOMPARE(f.proxy.naturalWidth(), 45);
    QCOMPARE(f.proxy.columnProportionalWidth(-1), 0);
}

void TestSortFilterSelectModelColumns::shouldNotifyDataChangesWhereColumnsAreShown()
{
    // Given P Q R S shown as S P R with Q hidden
    Fixture f;
    f.proxy.moveColumn(3, 0);
    f.proxy.setSourceColumnVisible(1, false);
    QCOMPARE(cvtest::headerText(f.proxy), QStringLiteral("SPR"));
    f.proxy.doSort(1, false);
    QSignalSpy spy(&f.proxy, &QAbstractItemModel::dataChanged);
    QVERIFY(spy.isValid());
    // When single cells of the source change
    f.source.setCell(1, 0, QStringLiteral("changed"));
    f.source.setCell(1, 3, QStringLiteral("other"));
    f.source.setCell(2, 1, QStringLiteral("hidden"));
    // Then each reaches the views at the cell that shows it, and the hidden column's not at all
    QCOMPARE(spy.count(), 2);
    const QModelIndex first = spy.at(0).at(0).toModelIndex();
    QCOMPARE(first, spy.at(0).at(1).toModelIndex());
    QCOMPARE(first.data().toString(), QStringLiteral("changed"));
    QCOMPARE(first.column(), 1);
    QCOMPARE(first.row(), 4);
    const QModelIndex second = spy.at(1).at(0).toModelIndex();
    QCOMPARE(second.data().toString(), QStringLiteral("other"));
    QCOMPARE(second.column(), 0);
    QCOMPARE(spy.at(1).at(2).value<QVector<int>>(), QVector<int> { Qt::DisplayRole });
}

void TestSortFilterSelectModelColumns::shouldNotifyHeaderChangesWhereColumnsAreShown()
{
    Fixture f;
    f.proxy.moveColumn(0, 3);
    f.proxy.setSourceColumnVisible(2, false);
    QCOMPARE(cvtest::headerText(f.proxy), QStringLiteral("QSP"));
    qRegisterMetaType<Qt::Orientation>();
    QSignalSpy spy(&f.proxy, &QAbstractItemModel::headerDataChanged);
    QVERIFY(spy.isValid());
    f.source.setHeader(0, Qt::DisplayRole, QStringLiteral("p"));
    f.source.setHeader(2, Qt::DisplayRole, QStringLiteral("r"));
    f.source.setHeader(3, Qt::DisplayRole, QStringLiteral("s"));
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(0).at(0).value<Qt::Orientation>(), Qt::Horizontal);
    QCOMPARE(spy.at(0).at(1).toInt(), 2);
    QCOMPARE(spy.at(0).at(2).toInt(), 2);
    QCOMPARE(spy.at(1).at(1).toInt(), 1);
    QCOMPARE(f.proxy.headerData(2, Qt::Horizontal).toString(), QStringLiteral("p"));
    QCOMPARE(f.proxy.headerData(1, Qt::Horizontal).toString(), QStringLiteral("s"));
}

void TestSortFilterSelectModelColumns::shouldRoundTripLayoutThroughStore()
{
    const QString table = QStringLiteral("round/trip [table]");
    // Given a table laid out as S P R with Q hidden and new widths
    {
        Fixture f(QStringLiteral("PQRS"), 2, table);
        f.proxy.moveColumn(3, 0);
        f.proxy.setSourceColumnVisible(1, false);
        f.proxy.setColumnWidth(0, 44);
        f.proxy.setColumnWidth(1, 55);
        f.proxy.saveColumnData();
    }
    if (!storeKeepsRecords(table))
        QSKIP("the column store keeps nothing");
    QVERIFY(lom::flushColumnStore());
    // When another process opens the table over a fresh source
    lom::resetColumnStore();
    Fixture g(QStringLiteral("PQRS"), 3, table);
    // Then it shows the saved order, widths and hidden columns
    QCOMPARE(cvtest::headerText(g.proxy), QStringLiteral("SPR"));
    QCOMPARE(g.proxy.columnWidth(0), 44);
    QCOMPARE(g.proxy.columnWidth(1), 55);
    QCOMPARE(g.proxy.columnWidth(2), 100);
    QVERIFY(!g.proxy.isSourceColumnVisible(1));
    QCOMPARE(cvtest::rowText(g.proxy, 2), QStringLiteral("S2P2R2"));
    // And showing the hidden column again brings it back
    g.proxy.setSourceColumnVisible(1, true);
    QCOMPARE(g.proxy.columnCount(), 4);
}

void TestSortFilterSelectModelColumns::shouldKeepPlacesOfStoredColumnsThatModelLacks()
{
    const QString table = QStringLiteral("absent");
    // Given the store holds a visible column X at position 1
    lom::writeColumnDataToRegistry(lum::wxFromQt(QStringLiteral("X")), 50, 1, lum::wxFromQt(table));
    if (!storeKeepsRecords(table))
        QSKIP("the column store keeps nothing");
    // When a model with P (position 0) and Q (position 1) saves
    Fixture f(QStringLiteral("PQ"), 1, table);
    QCOMPARE(cvtest::headerText(f.proxy), QStringLiteral("PQ"));
    f.proxy.saveColumnData();
    // Then P is stored at 0 and Q at 2, keeping X's place
    QCOMPARE(storedPosition(table, QStringLiteral("P")), 0);
    QCOMPARE(storedPosition(table, QStringLiteral("Q")), 2);
    QCOMPARE(storedPosition(table, QStringLiteral("X")), 1);
    // And a model that has X again shows it there
    Fixture g(QStringLiteral("QXP"), 1, table);
    QCOMPARE(cvtest::headerText(g.proxy), QStringLiteral("PXQ"));
}

void TestSortFilterSelectModelColumns::shouldKeepOrderWhenEveryColumnIsStoredHidden()
{
    const QString table = QStringLiteral("all hidden");
    for (const QString& key : { QStringLiteral("P"), QStringLiteral("Q"), QStringLiteral("R") })
        lom::writeColumnDataToRegistry(lum::wxFromQt(key), 0, 0, lum::wxFromQt(table));
    if (!storeKeepsRecords(table))
        QSKIP("the column store keeps nothing");
    Fixture f(QStringLiteral("PQR"), 1);
    f.proxy.moveColumn(2, 0);
    f.proxy.setParentId(table);
    f.proxy.loadColumnData();
    QCOMPARE(cvtest::headerText(f.proxy), QStringLiteral("RPQ"));
}

void TestSortFilterSelectModelColumns::shouldStoreRemovedColumnAndRestoreItOnInsertion()
{
    const QString table = QStringLiteral("removal");
    Fixture f(QStringLiteral("PQRS"), 2, table);
    f.proxy.moveColumn(1, 3);
    f.proxy.setColumnWidth(3, 66);
    QCOMPARE(cvtest::headerText(f.proxy), QStringLiteral("PRSQ"));
    // When the source removes Q, its layout is stored
    f.source.removeColumnsAt(1, 1);
    QCOMPARE(cvtest::headerText(f.proxy), QStringLiteral("PRS"));
    if (!storeKeepsRecords(table))
        QSKIP("the column store keeps nothing");
    bool hidden = true;
    QCOMPARE(storedPosition(table, QStringLiteral("Q"), &hidden), 3);
    QVERIFY(!hidden);
    // When it comes back, it takes its stored place and width
    f.source.insertColumnAt(1, TableProxyTestModel::column(QStringLiteral("Q"), QStringLiteral("Q")));
    QCOMPARE(cvtest::headerText(f.proxy), QStringLiteral("PRSQ"));
    QCOMPARE(f.proxy.columnWidth(3), 66);
}

QTEST_GUILESS_MAIN(TestSortFilterSelectModelColumns)
#include "tst_sortfilterselectmodel_columns.moc"
