// Corvane.Core tests: the table proxy's sorting, its comparator codes and its cached sort keys.
#include "support/tableproxy_fixture.h"

#include <loom/columnstore.h>
#include <lumen/rowfilter.h>

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

using core::SortFilterSelectModel;
using cvtest::ProxyFixture;

namespace
{
// Holds two rows of three, or one row of four: enough rows, or too few, to order them all up front.
class ModuloFilter : public lum::RowFilter
{
public:
    int modulus = 0;
    bool acceptRow(QAbstractItemModel*, int sourceRow, const QModelIndex&) override { return accepts(sourceRow); }
    bool accepts(int row) const { return modulus == 3 ? row % 3 != 1 : modulus == 0 || row % modulus == 0; }
};

// One column "V" holding the values, with the comparator code (none when invalid); then attached.
void fillColumn(ProxyFixture& f, const QVariantList& values, const QVariant& sortType)
{
    f.source.build(QStringLiteral("V"), values.size());
    f.source.setHeaderValue(0, cvtest::SortTypeRole, sortType);
    for (int r = 0; r < values.size(); ++r)
        f.source.setData(f.source.index(r, 0), values.at(r));
    f.attach();
}

// Columns P, Q, R ordered differently: P ascending, Q descending, R in the order 2, 0, 3, 1;
// then attached, R first declared the initial sort column in the order given, if any.
void fillOrders(ProxyFixture& f, const QVariant& initialOrderOfR = QVariant(), bool hideR = false)
{
    f.source.build(QStringLiteral("PQR"), 4);
    if (hideR)
        f.source.setHeaderValue(2, cvtest::InitiallyVisibleRole, false);
    if (initialOrderOfR.isValid()) {
        f.source.setHeaderValue(2, cvtest::InitialSortColumnRole, true);
        f.source.setHeaderValue(2, Qt::InitialSortOrderRole, initialOrderOfR);
    }
    for (int r = 0; r < 4; ++r) {
        f.source.setData(f.source.index(r, 1), QStringLiteral("Q%1").arg(3 - r));
        f.source.setData(f.source.index(r, 2), QStringLiteral("R%1").arg("1302"[r]));
    }
    f.attach();
}
}

class TestSortFilterSelectModelSorting : public QObject
{
    Q_OBJECT

    // Each run starts from an empty column store of its own.
    QTemporaryDir m_config;

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
        lom::resetColumnStore();
    }
    // Nothing may be left to write once the temporary directory is gone.
    void cleanupTestCase() { QVERIFY(lom::flushColumnStore()); }

    // The values of each row in the order of the comparator code, ties joined by '='.
    void shouldOrderByComparatorCode_data()
    {
        QTest::addColumn<QVariant>("sortType");
        QTest::addColumn<QVariantList>("values");
        QTest::addColumn<QString>("order");
        const QVariantList layers{QStringLiteral("Layer 10"), QStringLiteral("layer 2"), QStringLiteral("Layer 1")};
        const QVariantList numbers{10, 2, -1};
        const QVariant none;
        QTest::newRow("0 natural texts") << QVariant(0) << layers << "Layer 1,layer 2,Layer 10";
        QTest::newRow("5 natural texts") << QVariant(5) << layers << "Layer 1,layer 2,Layer 10";
        QTest::newRow("1 plain text compare") << QVariant(1) << QVariantList{"b", "A", "Layer 10", "a", "layer 2", "B"}
                                              << "A=a,b=B,Layer 10,layer 2";
        QTest::newRow("2 base comparison") << QVariant(2) << numbers << "-1,2,10";
        QTest::newRow("3 base comparison") << QVariant(3) << numbers << "-1,2,10";
        QTest::newRow("4 doubles by value") << QVariant(4) << QVariantList{2.5, none, -0.5, 10.0} << "-0.5,2.5,10,";
        QTest::newRow("no code, integers by value") << QVariant() << QVariantList{3, none, 1, 2} << "1,2,3,";
        QTest::newRow("no code, texts naturally") << QVariant() << (QVariantList{none} + layers) << "Layer 1,layer 2,Layer 10,";
        QTest::newRow("unknown code by value") << QVariant(99) << numbers << "-1,2,10";
        QTest::newRow("code as text") << QVariant(QStringLiteral("8")) << QVariantList{"2 KB", "512 B", "1 MB"} << "512 B,2 KB,1 MB";
        QTest::newRow("code not a number") << QVariant(QStringLiteral("x")) << numbers << "-1,2,10";
        QTest::newRow("6 integers as text") << QVariant(6) << QVariantList{"10", "-3", "abc", "2"} << "-3,2,10,abc";
        QTest::newRow("7 decimals as text") << QVariant(7) << QVariantList{"1e1", "1.5", "-0.5"} << "-0.5,1.5,1e1";
        QTest::newRow("8 file sizes") << QVariant(8) << QVariantList{"3 GB", "2 KB", "junk", "1.5 MB", "512 B"}
                                      << "512 B,2 KB,1.5 MB,3 GB,junk";
        QTest::newRow("9 toggles") << QVariant(9) << QVariantList{"Off", "maybe", "On"} << "On,maybe,Off";
        QTest::newRow("10 plot styles") << QVariant(10) << QVariantList{"Zeta", "ByBlock", "alpha", "ByLayer"}
                                        << "ByLayer,ByBlock,alpha,Zeta";
        QTest::newRow("11 pixel sizes") << QVariant(11) << QVariantList{"32x24", "16x16", "32 x 16"} << "16x16,32 x 16,32x24";
        QTest::newRow("12 dimension styles") << QVariant(12) << QVariantList{"Zed", "Standard", "Arch"} << "Standard,Arch,Zed";
    }
    void shouldOrderByComparatorCode()
    {
        QFETCH(QVariant, sortType);
        QFETCH(QVariantList, values);
        QFETCH(QString, order);
        QHash<QString, int> rank;
        const QStringList groups = order.split(QLatin1Char(','));
        for (int g = 0; g < groups.size(); ++g) {
            for (const QString& text : groups.at(g).split(QLatin1Char('=')))
                rank.insert(text, g);
        }
        // The values alone come in the order written, tied ones in source order
        ProxyFixture few(QString(), 0, false);
        fillColumn(few, values, sortType);
        few.proxy.doSort(0, true);
        QCOMPARE(cvtest::columnText(few.proxy, 0), QString(order).replace(QLatin1Char('='), QLatin1Char(',')));
        // Drawn at random into long columns, all held or filtered, they are ordered up front through
        // ranks or cached keys: tied rows keep the order they had, sorted one way and then the other.
        QRandomGenerator random(7);
        for (const int modulus : {0, 3, 4}) {
            ProxyFixture f(QString(), 0, false);
            ModuloFilter filter;
            filter.modulus = modulus;
            f.proxy.setFilter(&filter);
            QVariantList cells;
            std::vector<int> expected;
            for (int row = 0; row < 300; ++row) {
                cells.append(values.at(random.bounded(values.size())));
                if (filter.accepts(row))
                    expected.push_back(row);
            }
            fillColumn(f, cells, sortType);
            for (const bool up : {true, false}) {
                std::stable_sort(expected.begin(), expected.end(), [&](int a, int b) {
                    const int l = rank.value(cells.at(a).toString());
                    const int r = rank.value(cells.at(b).toString());
                    return up ? l < r : r < l;
                });
                f.proxy.doSort(0, up, true);
                std::vector<int> rows;
                for (int row = 0; row < f.proxy.rowCount(); ++row)
                    rows.push_back(f.proxy.mapProxyRowToSource(row));
                QCOMPARE(rows, expected);
            }
        }
    }

    // The same sort again, or one outside the view, does nothing; forced, it sorts again. Written
    // while sorted, the direction reverses the order; written while unsorted, only the signal goes.
    void shouldDoNothingWhenSortIsUnchanged()
    {
        ProxyFixture f(QStringLiteral("PQR"), 3);
        f.proxy.doSort(2, true);
        QList<QByteArray> emitted;
        connect(&f.proxy, &SortFilterSelectModel::ascendingChanged, this, [&] { emitted.append("ascending"); });
        connect(&f.proxy, &SortFilterSelectModel::proxySortColumnChanged, this, [&] { emitted.append("column"); });
        connect(&f.proxy, &QAbstractItemModel::layoutChanged, this, [&] { emitted.append("layout"); });
        f.proxy.doSort(2, true);
        f.proxy.doSort(3, false);
        f.proxy.doSort(-1, false);
        f.proxy.setAscending(true);
        QCOMPARE(emitted, QList<QByteArray>());
        f.proxy.doSort(2, true, true);
        f.proxy.setProperty("ascending", false);
        QCOMPARE(cvtest::columnText(f.proxy, 0), QStringLiteral("P2,P1,P0"));
        f.proxy.unSort();
        QCOMPARE(cvtest::columnText(f.proxy, 0), QStringLiteral("P0,P1,P2"));
        QCOMPARE(f.proxy.proxySortColumn(), -1);
        f.proxy.setAscending(false);
        QVERIFY(f.proxy.ascending());
        QCOMPARE(emitted, (QList<QByteArray>{"layout", "ascending", "column", "layout", "ascending", "layout", "column",
                              "ascending"}));
    }

    void shouldSortByShownColumnWhenColumnsAreHidden()
    {
        // Given P Q R with Q hidden and R moved to the front, sorted by P descending
        ProxyFixture f(QString(), 0, false);
        fillOrders(f);
        f.run(QStringLiteral("h1 m1,0 s1-"));
        QCOMPARE(cvtest::columnText(f.proxy, 1), QStringLiteral("P3,P2,P1,P0"));
        // When Q is shown again, the sort column follows P
        f.run(QStringLiteral("w1"));
        QCOMPARE(f.proxy.proxySortColumn(), f.proxy.mapSourceColumnToProxy(0));
    }

    // Q sorts the rows 3,2,1,0 ascending, its neighbour R 2,0,3,1. While Q is hidden the rows
    // keep source order (they once followed R); shown again, Q sorts them in the written direction.
    void shouldKeepSourceOrderWhileSortColumnIsHidden_data()
    {
        QTest::addColumn<QString>("whileHidden");
        QTest::newRow("nothing") << "";
        QTest::newRow("ascending written") << "ascending";
        QTest::newRow("filter invalidates") << "filter";
        QTest::newRow("invalidate") << "invalidate";
    }
    void shouldKeepSourceOrderWhileSortColumnIsHidden()
    {
        QFETCH(QString, whileHidden);
        ProxyFixture f(QString(), 0, false);
        fillOrders(f);
        ModuloFilter filter;
        f.proxy.setFilter(&filter);
        f.proxy.doSort(1, whileHidden != QLatin1String("ascending"));
        QSignalSpy initialSpy(&f.proxy, &SortFilterSelectModel::hasInitialSortColumnChanged);
        f.run(QStringLiteral("h1"));
        if (whileHidden == QLatin1String("ascending"))
            f.proxy.setAscending(true);
        else if (whileHidden == QLatin1String("filter"))
            Q_EMIT filter.invalidate();
        else if (!whileHidden.isEmpty())
            f.proxy.invalidate();
        QCOMPARE(cvtest::columnText(f.proxy, 0), QStringLiteral("P0,P1,P2,P3"));
        QCOMPARE(f.proxy.proxySortColumn(), -1);
        f.run(QStringLiteral("w1"));
        QCOMPARE(f.proxy.proxySortColumn(), 1);
        QVERIFY(f.proxy.ascending());
        QCOMPARE(cvtest::columnText(f.proxy, 0), QStringLiteral("P3,P2,P1,P0"));
        QCOMPARE(initialSpy.count(), 0);
        QVERIFY(!f.proxy.hasInitialSortColumn());
    }

    // The initial sort column R, descending, shown or hidden by the stored layout or by its header;
    // or column P hidden by the stored layout.
    void shouldSortByInitialSortColumnOnceShown_data()
    {
        QTest::addColumn<int>("hidden");
        QTest::addColumn<bool>("byHeader");
        QTest::addColumn<QString>("header");
        QTest::addColumn<int>("sortColumn");
        QTest::addColumn<QString>("firstColumn");
        QTest::newRow("R shown") << -1 << false << "PQR" << 2 << "P1,P3,P0,P2";
        QTest::newRow("P stored hidden") << 0 << false << "QR" << 1 << "Q2,Q0,Q3,Q1";
        QTest::newRow("R stored hidden") << 2 << false << "PQ" << -1 << "P0,P1,P2,P3";
        QTest::newRow("R hidden by header") << 2 << true << "PQ" << -1 << "P0,P1,P2,P3";
    }
    void shouldSortByInitialSortColumnOnceShown()
    {
        QFETCH(int, hidden);
        QFETCH(bool, byHeader);
        const QString table = QStringLiteral("sorted %1").arg(QTest::currentDataTag());
        if (hidden >= 0 && !byHeader) {
            ProxyFixture f(QString(), 0, false);
            f.proxy.setParentId(table);
            fillOrders(f);
            f.proxy.setSourceColumnVisible(hidden, false);
            f.proxy.saveColumnData();
        }
        cvtest::ReliabilityRandomModel plain(false);
        ProxyFixture f(QString(), 0, false);
        f.proxy.setParentId(table);
        QSignalSpy spy(&f.proxy, &SortFilterSelectModel::hasInitialSortColumnChanged);
        fillOrders(f, int(Qt::DescendingOrder), byHeader);
        QTEST(cvtest::headerText(f.proxy), "header");
        QTEST(f.proxy.proxySortColumn(), "sortColumn");
        QTEST(cvtest::columnText(f.proxy, 0), "firstColumn");
        QVERIFY(f.proxy.hasInitialSortColumn());
        QCOMPARE(spy.count(), 1);
        f.proxy.showAllColumns();
        QCOMPARE(f.proxy.proxySortColumn(), 2);
        QVERIFY(!f.proxy.ascending());
        QCOMPARE(cvtest::columnText(f.proxy, 2), QStringLiteral("R3,R2,R1,R0"));
        // A source without one says so
        plain.build(QStringLiteral("AB"), 2);
        f.proxy.setSourceModel(&plain);
        QVERIFY(!f.proxy.hasInitialSortColumn());
        QCOMPARE(spy.count(), 2);
    }

    void shouldAnswerInitialDirection()
    {
        ProxyFixture f;
        f.source.setHeaderValue(0, Qt::InitialSortOrderRole, Qt::DescendingOrder);
        f.proxy.moveColumn(0, 2);
        QVERIFY(f.proxy.isInitiallyAscending(0));
        QVERIFY(!f.proxy.isInitiallyAscending(2));
        QVERIFY(f.proxy.isInitiallyAscending(7));
    }
};

QTEST_GUILESS_MAIN(TestSortFilterSelectModelSorting)
#include "tst_sortfilterselectmodel_sorting.moc"
