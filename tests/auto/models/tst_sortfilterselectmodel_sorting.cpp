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
// Holds one row of `modulus`: all, half (enough to order them all up front) or a quarter (too few).
class ModuloFilter : public lum::RowFilter
{
public:
    int modulus = 1;
    bool acceptRow(QAbstractItemModel*, int r, const QModelIndex&) override { return r % modulus == 0; }
};

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

    // The values of each row in the order of the comparator code.
    void shouldOrderByComparatorCode_data()
    {
        QTest::addColumn<QVariant>("sortType");
        QTest::addColumn<QVariantList>("values");
        QTest::addColumn<QString>("order");
        const auto row = [](const char* name, const QVariant& code, const QVariantList& values, const char* order) {
            QTest::newRow(name) << code << values << QString::fromLatin1(order);
        };
        const QVariantList layers{QStringLiteral("Layer 10"), QStringLiteral("layer 2"), QStringLiteral("Layer 1")};
        const QVariant none;
        row("0 natural texts", 0, layers, "Layer 1,layer 2,Layer 10");
        row("1 plain text compare", 1, {"b", "Layer 10", "A", "layer 2"}, "A,b,Layer 10,layer 2");
        row("2 base comparison", 2, {10, 2, -1}, "-1,2,10");
        row("4 doubles by value", 4, {2.5, none, -0.5, 10.0}, "-0.5,2.5,10,");
        row("no code, integers by value", none, {3, none, 1, 2}, "1,2,3,");
        row("unknown code, texts naturally", 99, QVariantList{none} + layers, "Layer 1,layer 2,Layer 10,");
        row("code as text", QStringLiteral("8"), {"2 KB", "512 B", "1 MB"}, "512 B,2 KB,1 MB");
        row("code not a number", QStringLiteral("x"), {3, none, 1, 2}, "1,2,3,");
        row("6 integers as text", 6, {"10", "-3", "abc", "2"}, "-3,2,10,abc");
        row("7 decimals as text", 7, {"1e1", "1.5", "-0.5"}, "-0.5,1.5,1e1");
        row("8 file sizes", 8, {"3 GB", "2 KB", "junk", "1.5 MB", "512 B"}, "512 B,2 KB,1.5 MB,3 GB,junk");
        row("9 toggles", 9, {"Off", "maybe", "On"}, "On,maybe,Off");
        row("10 plot styles", 10, {"Zeta", "ByBlock", "alpha", "ByLayer"}, "ByLayer,ByBlock,alpha,Zeta");
        row("11 pixel sizes", 11, {"32x24", "16x16", "32 x 16"}, "16x16,32 x 16,32x24");
        row("12 dimension styles", 12, {"Zed", "Standard", "Arch"}, "Standard,Arch,Zed");
    }
    // The values as given, then drawn at random into long columns, all held or filtered: ordered up
    // front through ranks or cached keys, tied rows keep the order they had, both ways.
    void shouldOrderByComparatorCode()
    {
        QFETCH(QVariant, sortType);
        QFETCH(QVariantList, values);
        QFETCH(QString, order);
        const QStringList ranks = order.split(QLatin1Char(','));
        QRandomGenerator random(7);
        for (const int modulus : {0, 1, 2, 4}) {
            ProxyFixture f(QString(), 0, false);
            ModuloFilter filter;
            filter.modulus = std::max(modulus, 1);
            f.proxy.setFilter(&filter);
            const int rows = modulus == 0 ? values.size() : 300;
            f.source.build(QStringLiteral("V"), rows);
            f.source.setHeaderValue(0, cvtest::SortTypeRole, sortType);
            QVariantList cells;
            std::vector<int> expected;
            for (int row = 0; row < rows; ++row) {
                cells.append(values.at(modulus == 0 ? row : random.bounded(values.size())));
                f.source.setData(f.source.index(row, 0), cells.at(row));
                if (filter.acceptRow(nullptr, row, {}))
                    expected.push_back(row);
            }
            f.attach();
            for (const bool up : {true, false}) {
                std::stable_sort(expected.begin(), expected.end(), [&](int a, int b) {
                    const int l = ranks.indexOf(cells.at(a).toString());
                    const int r = ranks.indexOf(cells.at(b).toString());
                    return up ? l < r : r < l;
                });
                f.proxy.doSort(0, up, true);
                std::vector<int> shown;
                for (int row = 0; row < f.proxy.rowCount(); ++row)
                    shown.push_back(f.proxy.mapProxyRowToSource(row));
                QCOMPARE(shown, expected);
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
        f.source.setHeaderValue(0, Qt::InitialSortOrderRole, Qt::DescendingOrder);
        f.run(QStringLiteral("h1 m1,0 s1-"));
        QCOMPARE(cvtest::columnText(f.proxy, 1), QStringLiteral("P3,P2,P1,P0"));
        // The initial direction is P's, in its place
        QVERIFY(!f.proxy.isInitiallyAscending(1));
        QVERIFY(f.proxy.isInitiallyAscending(0));
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
        QCOMPARE(cvtest::columnText(f.proxy, 0), QStringLiteral("P3,P2,P1,P0"));
        QVERIFY(!f.proxy.hasInitialSortColumn());
    }

    // The initial sort column R, descending, shown or hidden by the stored layout or by its header;
    // or column P hidden by the stored layout.
    void shouldSortByInitialSortColumnOnceShown_data()
    {
        QTest::addColumn<int>("hidden");
        QTest::addColumn<bool>("byHeader");
        QTest::addColumn<int>("sortColumn");
        QTest::addColumn<QString>("firstColumn");
        QTest::newRow("R shown") << -1 << false << 2 << "P1,P3,P0,P2";
        QTest::newRow("P stored hidden") << 0 << false << 1 << "Q2,Q0,Q3,Q1";
        QTest::newRow("R stored hidden") << 2 << false << -1 << "P0,P1,P2,P3";
        QTest::newRow("R hidden by header") << 2 << true << -1 << "P0,P1,P2,P3";
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
        ProxyFixture f(QString(), 0, false);
        f.proxy.setParentId(table);
        fillOrders(f, int(Qt::DescendingOrder), byHeader);
        QTEST(f.proxy.proxySortColumn(), "sortColumn");
        QTEST(cvtest::columnText(f.proxy, 0), "firstColumn");
        QVERIFY(f.proxy.hasInitialSortColumn());
        f.proxy.showAllColumns();
        QCOMPARE(f.proxy.proxySortColumn(), 2);
        QVERIFY(!f.proxy.ascending());
        QCOMPARE(cvtest::columnText(f.proxy, 2), QStringLiteral("R3,R2,R1,R0"));
    }
};

QTEST_GUILESS_MAIN(TestSortFilterSelectModelSorting)
#include "tst_sortfilterselectmodel_sorting.moc"
