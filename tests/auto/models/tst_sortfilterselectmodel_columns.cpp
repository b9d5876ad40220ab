// Corvane.Core tests: the table proxy's column layout, widths and their persistence.
#include "support/tableproxy_fixture.h"

#include <loom/columnstore.h>
#include <lumen/strings.h>

#include <QSize>
#include <QTemporaryDir>
#include <QtTest>

#include <climits>

using core::SortFilterSelectModel;
using cvtest::ProxyFixture;
using cvtest::ReliabilityRandomModel;

namespace
{
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

// What the views see of the layout: headers and widths in display order, hidden source columns, sort column.
QString layoutOf(const SortFilterSelectModel& proxy)
{
    QString text = cvtest::headerText(proxy) + QLatin1Char(' ');
    for (int k = 0; k < proxy.columnCount(); ++k)
        text += QString::number(proxy.columnWidth(k)) + QLatin1Char(' ');
    QStringList hidden;
    for (int c = 0; c < proxy.columnRecordCount(); ++c) {
        if (!proxy.isSourceColumnVisible(c))
            hidden.append(proxy.sourceModel()->headerData(c, Qt::Horizontal).toString());
    }
    hidden.sort();
    return text + hidden.join(QLatin1Char(',')) + QStringLiteral(" sort ") + QString::number(proxy.proxySortColumn());
}

// Every cell text, rows depth first: "(P0 Q0/(child cells)...)".
QString cellsOf(const QAbstractItemModel& proxy, const QModelIndex& parent = QModelIndex())
{
    QStringList rows;
    for (int r = 0; r < proxy.rowCount(parent); ++r) {
        QStringList cells;
        for (int k = 0; k < proxy.columnCount(parent); ++k)
            cells.append(proxy.index(r, k, parent).data().toString());
        rows.append(cells.join(QLatin1Char(' ')) + QLatin1Char('/') + cellsOf(proxy, proxy.index(r, 0, parent)));
    }
    return QLatin1Char('(') + rows.join(QLatin1Char(',')) + QLatin1Char(')');
}
}

class TestSortFilterSelectModelColumns : public QObject
{
    Q_OBJECT

    // Each run starts from an empty column store of its own.
    QTemporaryDir m_config;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_config.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
        lom::resetColumnStore();
    }
    // Nothing may be left to write once the temporary directory is gone.
    void cleanupTestCase() { QVERIFY(lom::flushColumnStore()); }

    void shouldMoveColumn_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("dest");
        QTest::newRow("0 to 2") << 0 << 2 << "QRPS" << 3;
        QTest::newRow("3 to 1") << 3 << 1 << "PSQR" << 1;
        QTest::newRow("0 to end") << 0 << 3 << "QRSP" << 4;
        QTest::newRow("neighbours") << 1 << 2 << "PRQS" << 3;
    }
    void shouldMoveColumn()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QString, expected);
        ProxyFixture f(QStringLiteral("PQRS"), 6);
        QSignalSpy moveSpy(&f.proxy, &QAbstractItemModel::columnsAboutToBeMoved);
        QSignalSpy columnSpy(&f.proxy, &SortFilterSelectModel::proxySortColumnChanged);
        f.proxy.moveColumn(from, to);
        QCOMPARE(cvtest::headerText(f.proxy), expected);
        QCOMPARE(moveSpy.count(), 1);
        QCOMPARE(moveSpy.at(0).at(1).toInt(), from);
        QCOMPARE(moveSpy.at(0).at(2).toInt(), from);
        QTEST(moveSpy.at(0).at(4).toInt(), "dest");
        QCOMPARE(columnSpy.count(), 1);
        QCOMPARE(cvtest::mappingProblem(f.proxy), QString());
    }

    void shouldRefuseInvalidMoves_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QString>("message");
        QTest::newRow("to beyond") << 1 << 9 << "move to column, 9 , is not valid";
        QTest::newRow("to negative") << 1 << -1 << "move to column, -1 , is not valid";
        QTest::newRow("from beyond") << 4 << 1 << "move from column, 4 , is not valid";
        QTest::newRow("from negative") << -2 << 1 << "move from column, -2 , is not valid";
        QTest::newRow("onto itself") << 2 << 2 << "";
    }
    void shouldRefuseInvalidMoves()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QString, message);
        ProxyFixture f(QStringLiteral("PQRS"), 6);
        f.run(QStringLiteral("L1,0 C3,1"));
        QSignalSpy spy(&f.proxy, &SortFilterSelectModel::proxySortColumnChanged);
        if (!message.isEmpty())
            QTest::ignoreMessage(QtDebugMsg, message.toUtf8().constData());
        f.proxy.moveColumn(from, to);
        QCOMPARE(cvtest::headerText(f.proxy), QStringLiteral("PQRS"));
        QCOMPARE(spy.count(), 0);
        QCOMPARE(f.selected(), QStringLiteral("1,3"));
    }

    void shouldKeepSelectedRowsThroughColumnChanges_data()
    {
        QTest::addColumn<QString>("change");
        QTest::newRow("move first to last and back") << "m0,4 m4,0";
        QTest::newRow("hide the first column") << "h0";
        QTest::newRow("show all columns") << "showAll";
        QTest::newRow("restore column positions") << "restore";
        QTest::newRow("load a layout") << "load";
        QTest::newRow("source inserts a column") << "insert";
        QTest::newRow("source removes the current column") << "remove4";
    }
    void shouldKeepSelectedRowsThroughColumnChanges()
    {
        QFETCH(QString, change);
        // Given a layout with a moved and a hidden column, saved, and rows 1 and 3 selected
        const QString table = QStringLiteral("selection ") + change;
        ProxyFixture f(QStringLiteral("PQRST"), 6, false);
        f.proxy.setParentId(table);
        f.attach();
        f.run(QStringLiteral("m4,1 h2"));
        f.proxy.saveColumnData();
        QVERIFY(storeKeepsRecords(table));
        f.run(QStringLiteral("L1,0 C3,1"));
        // When the columns change
        if (change == QLatin1String("showAll")) {
            f.proxy.showAllColumns();
        } else if (change == QLatin1String("restore")) {
            f.proxy.restoreColumnPositions();
            QCOMPARE(cvtest::headerText(f.proxy), QStringLiteral("PQST"));
        } else if (change == QLatin1String("load")) {
            f.proxy.setSourceColumnVisible(2, true);
            f.run(QStringLiteral("m0,3"));
            f.proxy.loadColumnData();
            QCOMPARE(cvtest::headerText(f.proxy), QStringLiteral("PTQS"));
        } else if (change == QLatin1String("insert")) {
            f.source.insertColumnsAt(1, {ReliabilityRandomModel::header(QStringLiteral("X"))});
        } else if (change.startsWith(QLatin1String("remove"))) {
            f.source.removeColumnsAt(change.right(1).toInt(), 1);
        } else {
            f.run(change);
        }
        // Then exactly those rows stay selected, whole, and row 3 stays current
        QCOMPARE(f.selected(), QStringLiteral("1,3"));
        QCOMPARE(f.states(), QStringLiteral("isSelected=1 3"));
        QCOMPARE(f.selectedSource(), QStringLiteral("1,3"));
        QCOMPARE(f.proxy.selectionModel()->currentIndex().row(), 3);
        QCOMPARE(cvtest::mappingProblem(f.proxy), QString());
    }

    // QML re-reads widths, order and visibility on proxySortColumnChanged: a load that changed them
    // says so once, after they are all in place.
    void shouldNotifyOnceLoadedLayoutIsInPlace_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QStringList>("seen");
        const QString loaded = QStringLiteral("RP 100 44 Q sort -1");
        QTest::newRow("load") << "load" << QStringList{loaded};
        QTest::newRow("load of an unchanged layout") << "reload" << QStringList{};
        QTest::newRow("load with an initial sort") << "initial" << QStringList{QStringLiteral("RP 100 44 Q sort 1")};
        QTest::newRow("attach with a parent id") << "attach" << QStringList{loaded};
    }
    void shouldNotifyOnceLoadedLayoutIsInPlace()
    {
        QFETCH(QString, how);
        const QString table = QStringLiteral("notify ") + how;
        {
            ProxyFixture f(QStringLiteral("PQR"), 2, false);
            f.proxy.setParentId(table);
            f.attach();
            f.run(QStringLiteral("m2,0 h1"));
            f.proxy.setColumnWidth(1, 44);
            f.proxy.saveColumnData();
        }
        ProxyFixture f(QStringLiteral("PQR"), 2, false);
        if (how == QLatin1String("initial"))
            f.source.setHeaderValue(0, cvtest::InitialSortColumnRole, true);
        QStringList seen;
        connect(&f.proxy, &SortFilterSelectModel::proxySortColumnChanged, this, [&] { seen.append(layoutOf(f.proxy)); });
        if (how == QLatin1String("attach")) {
            f.proxy.setParentId(table);
            seen.clear();
            f.attach();
            seen = seen.mid(seen.size() - 1);
        } else {
            f.attach();
            f.proxy.setParentId(table);
            if (how == QLatin1String("reload"))
                f.proxy.loadColumnData();
            seen.clear();
            f.proxy.loadColumnData();
        }
        QTEST(seen, "seen");
    }

    void shouldHideAndShowColumnsAtRememberedPlaces()
    {
        ProxyFixture f(QStringLiteral("PQRST"), 2);
        QSignalSpy spy(&f.proxy, &SortFilterSelectModel::proxySortColumnChanged);
        // Hiding keeps the place; hiding a hidden column signals again; out of range does nothing
        f.run(QStringLiteral("m4,0 h1 h1 h3 h9 w9"));
        QCOMPARE(cvtest::headerText(f.proxy), QStringLiteral("TPR"));
        QCOMPARE(spy.count(), 4);
        QCOMPARE(f.proxy.mapSourceColumnToProxy(1), 2);
        // Each returns to the position it had when it was hidden: Q at 2, then S at 3
        f.proxy.showAllColumns();
        QCOMPARE(cvtest::headerText(f.proxy), QStringLiteral("TPQSR"));
        QCOMPARE(cvtest::columnText(f.proxy, 2), QStringLiteral("Q0,Q1"));
        // Restoring brings source order back and keeps hidden columns hidden, in one reset
        f.run(QStringLiteral("h2"));
        QSignalSpy resetSpy(&f.proxy, &QAbstractItemModel::modelReset);
        spy.clear();
        f.proxy.restoreColumnPositions();
        QCOMPARE(cvtest::headerText(f.proxy), QStringLiteral("PQST"));
        QCOMPARE(resetSpy.count(), 1);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(cvtest::mappingProblem(f.proxy), QString());
        // The last visible column stays
        f.run(QStringLiteral("h0 h1 h3 h4"));
        QCOMPARE(cvtest::headerText(f.proxy), QStringLiteral("T"));
        QCOMPARE(spy.count(), 4);
    }

    void shouldTakeWidthsFromHeaderAndSlots()
    {
        // Given P (40 px, weight 3), Q (no width, negative weight), R (weight 5), S
        ProxyFixture f(QStringLiteral("PQRS"), 1, false);
        f.source.setHeaderValue(0, Qt::SizeHintRole, QSize(40, 10));
        f.source.setHeaderValue(1, Qt::SizeHintRole, QSize(0, 10));
        f.source.setHeaderValue(0, cvtest::ProportionalWidthRole, 3);
        f.source.setHeaderValue(1, cvtest::ProportionalWidthRole, -2);
        f.source.setHeaderValue(2, cvtest::ProportionalWidthRole, 5);
        f.attach();
        QCOMPARE(f.proxy.columnWidth(0), 40);
        QCOMPARE(f.proxy.columnWidth(1), 100);
        QCOMPARE(f.proxy.naturalWidth(), 340);
        QCOMPARE(f.proxy.columnProportionalWidth(1), 0);
        QCOMPARE(f.proxy.proportionalWidth(), 8);
        // Slots take proxy columns: shown as S Q R with P hidden
        f.run(QStringLiteral("h0 m2,0"));
        f.proxy.setColumnWidth(0, 10);
        f.proxy.setColumnWidth(2, 30);
        QCOMPARE(f.proxy.columnWidth(0), 10);
        QCOMPARE(f.proxy.columnWidth(3), 10); // beyond the visible columns: source column 3
        QCOMPARE(f.proxy.naturalWidth(), 140);
        // setColumnWidth refuses negative widths, resizeColumn takes them; neither takes a column outside
        f.proxy.setColumnWidth(0, -5);
        QCOMPARE(f.proxy.columnWidth(0), 10);
        f.proxy.resizeColumn(0, -5);
        f.proxy.resizeColumn(-1, 7);
        f.proxy.setColumnWidth(-1, 7);
        QCOMPARE(f.proxy.naturalWidth(), 125);
        QCOMPARE(f.proxy.columnProportionalWidth(-1), 0);
        // Sums of extreme widths saturate instead of overflowing
        ProxyFixture g(QStringLiteral("PQR"), 1, false);
        g.source.setHeaderValue(0, cvtest::ProportionalWidthRole, INT_MAX);
        g.source.setHeaderValue(1, cvtest::ProportionalWidthRole, INT_MAX);
        g.attach();
        QCOMPARE(g.proxy.proportionalWidth(), INT_MAX);
        g.proxy.resizeColumn(0, INT_MAX);
        g.proxy.resizeColumn(1, INT_MAX);
        QCOMPARE(g.proxy.naturalWidth(), INT_MAX);
        g.proxy.resizeColumn(0, INT_MIN);
        g.proxy.resizeColumn(1, INT_MIN);
        QCOMPARE(g.proxy.naturalWidth(), INT_MIN);
        g.proxy.resizeColumn(1, 20);
        QCOMPARE(g.proxy.naturalWidth(), INT_MIN + 120);
    }

    void shouldNotifyDataAndHeaderChangesWhereColumnsAreShown()
    {
        qRegisterMetaType<Qt::Orientation>();
        // Given P Q R S shown as S P R with Q hidden, sorted by P descending
        ProxyFixture f(QStringLiteral("PQRS"), 6);
        f.run(QStringLiteral("m3,0 h1 s1-"));
        QSignalSpy spy(&f.proxy, &QAbstractItemModel::dataChanged);
        QSignalSpy headerSpy(&f.proxy, &QAbstractItemModel::headerDataChanged);
        // When cells of the source change, each reaches the views at the cell that shows it, the hidden column's not at all
        f.source.setData(f.source.index(1, 0), QStringLiteral("changed"));
        f.source.setData(f.source.index(5, 3), QStringLiteral("other"));
        f.source.setData(f.source.index(2, 1), QStringLiteral("hidden"));
        QCOMPARE(f.notified(spy), QStringLiteral("display:4,1 display:0,0"));
        QCOMPARE(f.proxy.index(4, 1).data().toString(), QStringLiteral("changed"));
        // And headers likewise
        f.source.setHeaderValue(0, Qt::DisplayRole, QStringLiteral("p"));
        f.source.setHeaderValue(1, Qt::DisplayRole, QStringLiteral("q"));
        f.source.setHeaderValue(3, Qt::DisplayRole, QStringLiteral("s"));
        QCOMPARE(headerSpy.count(), 2);
        QCOMPARE(headerSpy.at(0).at(0).value<Qt::Orientation>(), Qt::Horizontal);
        QCOMPARE(headerSpy.at(0).at(1).toInt(), 1);
        QCOMPARE(headerSpy.at(0).at(2).toInt(), 1);
        QCOMPARE(headerSpy.at(1).at(1).toInt(), 0);
        QCOMPARE(cvtest::headerText(f.proxy), QStringLiteral("spR"));
    }

    void shouldRestoreStoredLayout()
    {
        // Given a table laid out as S P R with Q hidden and new widths, saved
        const QString table = QStringLiteral("round/trip [table]");
        {
            ProxyFixture f(QStringLiteral("PQRS"), 2, false);
            f.proxy.setParentId(table);
            f.attach();
            f.run(QStringLiteral("m3,0 h1"));
            f.proxy.setColumnWidth(0, 44);
            f.proxy.setColumnWidth(1, 55);
            f.proxy.saveColumnData();
        }
        QVERIFY(storeKeepsRecords(table));
        QVERIFY(lom::flushColumnStore());
        // When another process opens the table over a fresh source
        lom::resetColumnStore();
        ProxyFixture g(QStringLiteral("PQRS"), 3, false);
        g.proxy.setParentId(table);
        g.attach();
        // Then it shows the saved order, widths and hidden columns
        QCOMPARE(layoutOf(g.proxy), QStringLiteral("SPR 44 55 100 Q sort -1"));
        // A column the model lacks keeps its stored place: P at 0, X at 1, so Q at 2
        lom::writeColumnDataToRegistry(lum::wxFromQt(QStringLiteral("X")), 50, 1, lum::wxFromQt(QStringLiteral("absent")));
        ProxyFixture h(QStringLiteral("PQ"), 1, false);
        h.proxy.setParentId(QStringLiteral("absent"));
        h.attach();
        QCOMPARE(cvtest::headerText(h.proxy), QStringLiteral("PQ"));
        h.proxy.saveColumnData();
        QCOMPARE(storedPosition(QStringLiteral("absent"), QStringLiteral("Q")), 2);
        QCOMPARE(storedPosition(QStringLiteral("absent"), QStringLiteral("X")), 1);
        ProxyFixture i(QStringLiteral("QXP"), 1, false);
        i.proxy.setParentId(QStringLiteral("absent"));
        i.attach();
        QCOMPARE(cvtest::headerText(i.proxy), QStringLiteral("PXQ"));
        // A layout whose every column is stored hidden leaves the order as it is
        for (const char* key : {"P", "Q", "R"})
            lom::writeColumnDataToRegistry(lum::wxFromQt(QLatin1String(key)), 0, 0, lum::wxFromQt(QStringLiteral("all hidden")));
        ProxyFixture j(QStringLiteral("PQR"), 1);
        j.run(QStringLiteral("m2,0"));
        j.proxy.setParentId(QStringLiteral("all hidden"));
        j.proxy.loadColumnData();
        QCOMPARE(cvtest::headerText(j.proxy), QStringLiteral("RPQ"));
    }

    void shouldStoreRemovedColumnAndRestoreItOnInsertion()
    {
        const QString table = QStringLiteral("removal");
        ProxyFixture f(QStringLiteral("PQRS"), 2, false);
        f.proxy.setParentId(table);
        f.attach();
        f.proxy.moveColumn(1, 3);
        f.proxy.setColumnWidth(3, 66);
        // When the source removes Q, its layout is stored
        f.source.removeColumnsAt(1, 1);
        QCOMPARE(cvtest::headerText(f.proxy), QStringLiteral("PRS"));
        bool hidden = true;
        QCOMPARE(storedPosition(table, QStringLiteral("Q"), &hidden), 3);
        QVERIFY(!hidden);
        // When it comes back, it takes its stored place and width
        f.source.insertColumnsAt(1, {ReliabilityRandomModel::header(QStringLiteral("Q"), QStringLiteral("Q"))});
        QCOMPARE(cvtest::headerText(f.proxy), QStringLiteral("PRSQ"));
        QCOMPARE(f.proxy.columnWidth(3), 66);
    }

    // Source P Q R S T, shown as P T Q S: T moved by the user, R hidden, Q 33 pixels wide.
    void shouldKeepLayoutWhenSourceMovesColumns_data()
    {
        QTest::addColumn<bool>("tree");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("dest");
        QTest::addColumn<QString>("sortBy");
        for (const bool tree : {false, true}) {
            const char* kind = tree ? "tree" : "flat";
            QTest::addRow("%s: first column to the right", kind) << tree << 0 << 1 << 3 << QString();
            QTest::addRow("%s: last column to the left", kind) << tree << 4 << 1 << 0 << QString();
            QTest::addRow("%s: two columns to the end", kind) << tree << 1 << 2 << 5 << QString();
            QTest::addRow("%s: the hidden column to the front", kind) << tree << 2 << 1 << 0 << QString();
            QTest::addRow("%s: every column past the first", kind) << tree << 1 << 4 << 0 << QString();
            QTest::addRow("%s: the sort column", kind) << tree << 1 << 1 << 5 << QStringLiteral("Q");
            QTest::addRow("%s: a column past the sort column", kind) << tree << 4 << 1 << 2 << QStringLiteral("S");
            QTest::addRow("%s: the hidden sort column", kind) << tree << 2 << 1 << 0 << QStringLiteral("R");
        }
    }
    void shouldKeepLayoutWhenSourceMovesColumns()
    {
        QFETCH(bool, tree);
        QFETCH(int, first);
        QFETCH(int, count);
        QFETCH(int, dest);
        QFETCH(QString, sortBy);
        // Given a user's layout over P Q R S T, rows in reverse order of their sort cells
        ProxyFixture f(QStringLiteral("PQRST"), 5);
        for (int r = 0; r < 5; ++r)
            f.source.setData(f.source.index(r, 1 + r % 4), QStringLiteral("%1%2").arg(QLatin1Char("QRST"[r % 4])).arg(9 - r));
        if (tree)
            f.addChildren();
        f.proxy.moveColumn(4, 1);
        if (!sortBy.isEmpty())
            f.proxy.doSort(cvtest::headerText(f.proxy).indexOf(sortBy), false);
        f.run(QStringLiteral("h2 L1,0 C3,1"));
        f.proxy.setColumnWidth(2, 33);
        const QString layout = layoutOf(f.proxy);
        const QString cells = cellsOf(f.proxy);
        const QString selectedSource = f.selectedSource();
        QCOMPARE(cells.contains(QLatin1String("/(r")), tree);
        QSignalSpy layoutSpy(&f.proxy, &SortFilterSelectModel::proxySortColumnChanged);
        // When the source moves columns
        QVERIFY(f.source.moveColumnsTo(first, count, dest));
        // Then every column keeps its place, width and visibility, every cell its source data, and the
        // selected rows their selection and current cell. Child rows hang below column 0 of their
        // parents and show below the first proxy column as long as it shows source column 0.
        QCOMPARE(layoutOf(f.proxy), layout);
        QCOMPARE(layoutSpy.count(), 1);
        QCOMPARE(cvtest::mappingProblem(f.proxy), QString());
        if (f.proxy.mapProxyColumnToSource(0) == 0)
            QCOMPARE(cellsOf(f.proxy), cells);
        else
            QVERIFY(!cellsOf(f.proxy).contains(QLatin1String("/(r")));
        QCOMPARE(f.selectedSource(), selectedSource);
        QCOMPARE(f.selected(), QStringLiteral("1,3"));
        QCOMPARE(f.proxy.selectionModel()->currentIndex(), f.proxy.index(3, 1));
    }

    void shouldKeepLayoutWhenSourceMovesColumnsOfEveryTable()
    {
        // Given a tree whose every table announces its own column moves, parents first
        ReliabilityRandomModel source(true);
        unsigned counter = 0;
        source.reset(6, std::vector<ReliabilityRandomModel::Header>(4), [](void* state) { return (*static_cast<unsigned*>(state))++; }, &counter);
        ProxyFixture f(QString(), 0, false);
        f.proxy.setSourceModel(&source);
        f.run(QStringLiteral("m3,1 h2 s1-"));
        f.proxy.setColumnWidth(1, 21);
        const QString layout = layoutOf(f.proxy);
        const QString cells = cellsOf(f.proxy);
        QVERIFY2(cells.contains(QLatin1String("/(r")), qPrintable(cells));
        // When the columns after the first move, in every table
        QVERIFY(source.moveColumnsTo(1, 2, 4));
        QVERIFY(source.moveColumnsTo(3, 1, 1));
        // Then the layout and the cells are what they were
        QCOMPARE(layoutOf(f.proxy), layout);
        QCOMPARE(cellsOf(f.proxy), cells);
        QCOMPARE(cvtest::mappingProblem(f.proxy), QString());
    }
};

QTEST_GUILESS_MAIN(TestSortFilterSelectModelColumns)
#include "tst_sortfilterselectmodel_columns.moc"
