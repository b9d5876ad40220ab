// Corvane.Core tests.
#include "models/sortfilterselectmodel.h"

#include "support/reliability_randommodel.h"
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
    void shouldKeepLayoutWhenSourceMovesColumns_data();
    void shouldKeepLayoutWhenSourceMovesColumns();
    void shouldKeepLayoutWhenSourceMovesColumnsOfEveryTable();
    void shouldFollowColumnsMovedBetweenTopLevelAndChildren();
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

namespace
{
// What the views see of the layout, by column name: headers, widths, source numbers, check marks.
struct LayoutView
{
    QString headers;
    QList<int> widths;
    QString hidden;
    int sortColumn = -1;
};

LayoutView layoutOf(SortFilterSelectModel& proxy)
{
    LayoutView view;
    const QAbstractItemModel* source = proxy.sourceModel();
    for (int k = 0; k < proxy.columnCount(); ++k) {
        view.headers += proxy.headerData(k, Qt::Horizontal).toString();
        view.widths.append(proxy.columnWidth(k));
    }
    for (int c = 0; c < source->columnCount(); ++c) {
        if (!proxy.isSourceColumnVisible(c))
            view.hidden += source->headerData(c, Qt::Horizontal).toString();
    }
    std::sort(view.hidden.begin(), view.hidden.end());
    view.sortColumn = proxy.proxySortColumn();
    return view;
}

// Each cell of the proxy, down to the rows below parents, shows the source cell it maps to, in the
// column its header names; rows are listed as "<first cell>/<children>" in display order.
QString cellsOf(SortFilterSelectModel& proxy, const QModelIndex& parent = QModelIndex())
{
    QStringList rows;
    const QAbstractItemModel* source = proxy.sourceModel();
    for (int r = 0; r < proxy.rowCount(parent); ++r) {
        for (int k = 0; k < proxy.columnCount(parent); ++k) {
            const QModelIndex cell = proxy.index(r, k, parent);
            const QModelIndex mapped = proxy.mapToSource(cell);
            if (!mapped.isValid() || mapped.column() != proxy.mapProxyColumnToSource(k) || cell.data() != mapped.data()
                || proxy.mapFromSource(mapped) != cell)
                return QStringLiteral("cell %1,%2 maps wrongly").arg(r).arg(k);
            // Cells read "<header><row>", or "r<row>v<version>c<id>" under the header "H<id>".
            const QString name = source->headerData(mapped.column(), Qt::Horizontal).toString();
            const QString text = cell.data().toString();
            const bool underHeader = text.startsWith(name)
                || (name.startsWith(QLatin1Char('H')) && text.endsWith(QLatin1Char('c') + name.mid(1)));
            if (proxy.headerData(k, Qt::Horizontal).toString() != name || !underHeader)
                return QStringLiteral("cell %1,%2 shows %3 under %4").arg(r).arg(k).arg(cell.data().toString(), name);
        }
        const QModelIndex first = proxy.index(r, 0, parent);
        rows.append(first.data().toString() + QLatin1Char('/') + cellsOf(proxy, first));
    }
    return QLatin1Char('(') + rows.join(QLatin1Char(',')) + QLatin1Char(')');
}

QString topRowsOf(const QAbstractItemModel& proxy)
{
    QStringList rows;
    for (int r = 0; r < proxy.rowCount(); ++r)
        rows.append(proxy.index(r, 0).data().toString());
    return rows.join(QLatin1Char(','));
}
}

void TestSortFilterSelectModelColumns::shouldKeepLayoutWhenSourceMovesColumns_data()
{
    QTest::addColumn<bool>("tree");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("dest");
    QTest::addColumn<QString>("sortBy");
    // Source P Q R S T, shown as P T Q S: T moved by the user, R hidden, Q 33 pixels wide.
    for (const bool tree : { false, true }) {
        const char* kind = tree ? "tree: " : "flat: ";
        const auto row = [kind](const char* name) -> QTestData& {
            return QTest::newRow(qPrintable(QLatin1String(kind) + QLatin1String(name)));
        };
        row("first column to the right") << tree << 0 << 1 << 3 << QString();
        row("last column to the left") << tree << 4 << 1 << 0 << QString();
        row("two columns to the end") << tree << 1 << 2 << 5 << QString();
        row("the hidden column to the front") << tree << 2 << 1 << 0 << QString();
        row("the widened column past the hidden one") << tree << 1 << 1 << 4 << QString();
        row("every column past the first") << tree << 1 << 4 << 0 << QString();
        row("the sort column") << tree << 1 << 1 << 5 << QStringLiteral("Q");
        row("a column past the sort column") << tree << 4 << 1 << 2 << QStringLiteral("S");
        row("the hidden sort column") << tree << 2 << 1 << 0 << QStringLiteral("R");
    }
}

void TestSortFilterSelectModelColumns::shouldKeepLayoutWhenSourceMovesColumns()
{
    QFETCH(bool, tree);
    QFETCH(int, first);
    QFETCH(int, count);
    QFETCH(int, dest);
    QFETCH(QString, sortBy);
    // Given a user's layout over P Q R S T, rows in reverse order of their sort cells
    Fixture f(QStringLiteral("PQRST"), 5);
    new QAbstractItemModelTester(
        f.proxy.columnModel(), QAbstractItemModelTester::FailureReportingMode::QtTest, &f.proxy);
    for (int r = 0; r < 5; ++r)
        f.source.setCell(r, 1 + r % 4, QStringLiteral("%1%2").arg(QLatin1Char("QRST"[r % 4])).arg(9 - r));
    if (tree) {
        f.source.appendChildRow(1,
            { QStringLiteral("Pa"), QStringLiteral("Qa"), QStringLiteral("Ra"), QStringLiteral("Sa"),
                QStringLiteral("Ta") });
        f.source.appendChildRow(1,
            { QStringLiteral("Pb"), QStringLiteral("Qb"), QStringLiteral("Rb"), QStringLiteral("Sb"),
                QStringLiteral("Tb") });
        f.source.appendChildRow(3,
            { QStringLiteral("Pc"), QStringLiteral("Qc"), QStringLiteral("Rc"), QStringLiteral("Sc"),
                QStringLiteral("Tc") });
    }
    f.proxy.moveColumn(4, 1);
    if (!sortBy.isEmpty())
        f.proxy.doSort(cvtest::headerText(f.proxy).indexOf(sortBy), false);
    f.proxy.setSourceColumnVisible(2, false);
    f.proxy.setColumnWidth(2, 33);
    f.selectTwoRows();
    const QString selectedBefore = f.selected();
    const QModelIndexList selectedSourceBefore = f.proxy.selectedSourceRows();
    const QModelIndex currentBefore = f.proxy.selectionModel()->currentIndex();
    QCOMPARE(currentBefore.row(), 3);
    QCOMPARE(currentBefore.column(), 1);
    const LayoutView before = layoutOf(f.proxy);
    QCOMPARE(before.headers, QStringLiteral("PTQS"));
    QCOMPARE(before.widths.at(2), 33);
    const QString cells = cellsOf(f.proxy);
    const QString topRows = topRowsOf(f.proxy);
    QVERIFY2(!cells.contains(QLatin1String("maps")) && !cells.contains(QLatin1String("under")), qPrintable(cells));
    QCOMPARE(cells.contains(QLatin1String("Pa")), tree);
    const QStringList rowsBefore = { cvtest::rowText(f.proxy, 1), cvtest::rowText(f.proxy, 3) };
    QSignalSpy layoutSpy(&f.proxy, &SortFilterSelectModel::proxySortColumnChanged);
    QVERIFY(layoutSpy.isValid());

    // When the source moves columns
    QVERIFY(f.source.moveColumnsTo(first, count, dest));

    // Then every column keeps its place, width and visibility, and every cell its source data
    const LayoutView after = layoutOf(f.proxy);
    QCOMPARE(after.headers, before.headers);
    QCOMPARE(after.widths, before.widths);
    QCOMPARE(after.hidden, before.hidden);
    QCOMPARE(after.sortColumn, before.sortColumn);
    QCOMPARE(layoutSpy.count(), 1);
    for (int k = 0; k < f.proxy.columnCount(); ++k) {
        const int c = f.proxy.mapProxyColumnToSource(k);
        QCOMPARE(f.source.headerData(c, Qt::Horizontal).toString(), before.headers.at(k));
        QCOMPARE(f.proxy.mapSourceColumnToProxy(c), k);
    }
    // The rows keep their order. Child rows hang below column 0 of their parents, and show below
    // the first proxy column as long as that shows source column 0.
    QCOMPARE(topRowsOf(f.proxy), topRows);
    if (f.proxy.mapProxyColumnToSource(0) == 0) {
        QCOMPARE(cellsOf(f.proxy), cells);
    } else {
        QVERIFY2(!cellsOf(f.proxy).contains(QLatin1String("maps")), qPrintable(cellsOf(f.proxy)));
        for (int r = 0; r < f.proxy.rowCount(); ++r)
            QCOMPARE(f.proxy.rowCount(f.proxy.index(r, 0)), 0);
    }
    QCOMPARE(cvtest::rowText(f.proxy, 1), rowsBefore.at(0));
    QCOMPARE(cvtest::rowText(f.proxy, 3), rowsBefore.at(1));
    // And the column menu lists the source columns in their new order with the same check marks
    QAbstractItemModel* menu = f.proxy.columnModel();
    QCOMPARE(menu->rowCount(), f.source.columnCount() + 3);
    for (int c = 0; c < f.source.columnCount(); ++c) {
        const QString name = f.source.headerData(c, Qt::Horizontal).toString();
        QCOMPARE(menu->index(c, 0).data(0).toString(), name);
        QCOMPARE(menu->index(c, 0).data(3).toBool(), !before.hidden.contains(name));
    }
    // And the selected rows stay selected, with the current cell where it was
    QCOMPARE(f.selected(), selectedBefore);
    QCOMPARE(f.proxy.selectedSourceRowsCount(), 2);
    QModelIndexList selectedSourceAfter = f.proxy.selectedSourceRows();
    QCOMPARE(selectedSourceAfter.size(), selectedSourceBefore.size());
    for (int k = 0; k < selectedSourceAfter.size(); ++k)
        QCOMPARE(selectedSourceAfter.at(k).row(), selectedSourceBefore.at(k).row());
    QCOMPARE(f.proxy.selectionModel()->currentIndex(), f.proxy.index(3, 1));
}

void TestSortFilterSelectModelColumns::shouldKeepLayoutWhenSourceMovesColumnsOfEveryTable()
{
    // Given a tree whose every table announces its own column moves, parents first
    cvtest::ReliabilityRandomModel source(true);
    unsigned counter = 0;
    std::vector<cvtest::ReliabilityRandomModel::Header> headers(4);
    source.reset(
        6, headers, [](void* state) { return (*static_cast<unsigned*>(state))++; }, &counter);
    SortFilterSelectModel proxy;
    new QAbstractItemModelTester(&proxy, QAbstractItemModelTester::FailureReportingMode::QtTest, &proxy);
    proxy.setSourceModel(&source);
    proxy.moveColumn(3, 1);
    proxy.setSourceColumnVisible(2, false);
    proxy.setColumnWidth(1, 21);
    proxy.doSort(1, false);
    const LayoutView before = layoutOf(proxy);
    const QString cells = cellsOf(proxy);
    QVERIFY2(cells.contains(QLatin1String("/(r")), qPrintable(cells));
    // When the columns after the first move, in every table
    QVERIFY(source.moveColumnsTo(1, 2, 4));
    QVERIFY(source.moveColumnsTo(3, 1, 1));
    // Then the layout and the cells are what they were
    const LayoutView after = layoutOf(proxy);
    QCOMPARE(after.headers, before.headers);
    QCOMPARE(after.widths, before.widths);
    QCOMPARE(after.hidden, before.hidden);
    QCOMPARE(after.sortColumn, before.sortColumn);
    QCOMPARE(cellsOf(proxy), cells);
}

void TestSortFilterSelectModelColumns::shouldFollowColumnsMovedBetweenTopLevelAndChildren()
{
    // Given a tree with a user's layout
    cvtest::ReliabilityRandomModel source(true);
    unsigned counter = 0;
    source.reset(
        6, std::vector<cvtest::ReliabilityRandomModel::Header>(4),
        [](void* state) { return (*static_cast<unsigned*>(state))++; }, &counter);
    SortFilterSelectModel proxy;
    new QAbstractItemModelTester(&proxy, QAbstractItemModelTester::FailureReportingMode::QtTest, &proxy);
    proxy.setSourceModel(&source);
    proxy.moveColumn(3, 1);
    proxy.setSourceColumnVisible(2, false);
    proxy.leftClickSelection(2, 0);
    QModelIndex parent;
    for (int r = 0; r < source.rowCount() && !parent.isValid(); ++r) {
        if (source.rowCount(source.index(r, 0)) > 0)
            parent = source.index(r, 0);
    }
    QVERIFY(parent.isValid());
    const QPersistentModelIndex table(parent);
    QSignalSpy layoutSpy(&proxy, &SortFilterSelectModel::proxySortColumnChanged);
    QVERIFY(layoutSpy.isValid());
    // When a top-level column moves into a child table and back
    QVERIFY(source.moveColumnsBetween(QModelIndex(), 1, 2, table, 0));
    // Then the layout starts over from the top-level columns, all shown, and the views stay
    // consistent
    QVERIFY(layoutSpy.count() >= 1);
    QCOMPARE(proxy.selectedSourceRowsCount(), 0);
    QCOMPARE(proxy.columnRecordCount(), 2);
    QCOMPARE(proxy.columnCount(), 2);
    QCOMPARE(topRowsOf(proxy).count(QLatin1Char(',')), source.rowCount() - 1);
    QVERIFY(source.moveColumnsBetween(table, 0, 1, QModelIndex(), 2));
    QCOMPARE(proxy.columnRecordCount(), 3);
    QCOMPARE(cvtest::headerText(proxy),
        source.headerData(0, Qt::Horizontal).toString() + source.headerData(1, Qt::Horizontal).toString()
            + source.headerData(2, Qt::Horizontal).toString());
    const QString cells = cellsOf(proxy);
    QVERIFY2(!cells.contains(QLatin1String("maps wrongly")), qPrintable(cells));
}

QTEST_GUILESS_MAIN(TestSortFilterSelectModelColumns)
#include "tst_sortfilterselectmodel_columns.moc"
