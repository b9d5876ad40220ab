// Corvane.Core tests: the table proxy's sorting, its comparator codes and its cached sort keys.
#include "support/tableproxy_fixture.h"

#include <loom/columnstore.h>
#include <loom/comparators.h>
#include <lumen/rowfilter.h>
#include <lumen/strings.h>

#include <QDate>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

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
void fillColumn(ProxyFixture& f, const QVariantList& values, const QVariant& sortType = QVariant())
{
    f.source.build(QStringLiteral("V"), values.size());
    if (sortType.isValid())
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

wxString wx(const QVariant& value)
{
    return lum::wxFromQt(value.toString());
}

// Texts meant to tie and to differ in every way the comparators look at.
QString randomText(QRandomGenerator& random)
{
    static const char* const words[] = {"Layer ", "layer ", "LAYER", "a", "A-", "", " ", "x", "1.5 ", "On", "off"};
    static const char* const units[] = {"", " B", "KB", " mb", " GiB", "byte", " x 20", "e3", "."};
    QString text = QLatin1String(words[random.bounded(int(std::size(words)))]);
    if (random.bounded(4) != 0)
        text += QString(random.bounded(3), QLatin1Char('0')) + QString::number(random.bounded(40));
    if (random.bounded(3) == 0)
        text += QChar(0x0660 + random.bounded(10)); // an Arabic-Indic digit
    return text + QLatin1String(units[random.bounded(int(std::size(units)))]);
}

// The order of a column without comparator code: by the left value's type, empty values last.
bool valueLess(const QVariant& l, const QVariant& r)
{
    if (!l.isValid() || !r.isValid())
        return l.isValid();
    switch (l.userType()) {
    case QMetaType::Int: return l.toInt() < r.toInt();
    case QMetaType::Double: return l.toDouble() < r.toDouble();
    case QMetaType::QDate: return l.toDate() < r.toDate();
    default: return lom::stringsLessThan(wx(l), wx(r));
    }
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
        QVERIFY(m_config.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
        lom::resetColumnStore();
    }
    // Nothing may be left to write once the temporary directory is gone.
    void cleanupTestCase() { QVERIFY(lom::flushColumnStore()); }

    void shouldOrderByComparatorCode_data()
    {
        QTest::addColumn<QVariant>("sortType");
        QTest::addColumn<QVariantList>("values");
        QTest::addColumn<QString>("expected");
        const QVariantList layers{QStringLiteral("Layer 10"), QStringLiteral("layer 2"), QStringLiteral("Layer 1")};
        const QVariantList numbers{10, 2, -1};
        QTest::newRow("0 natural texts") << QVariant(0) << layers << "Layer 1,layer 2,Layer 10";
        QTest::newRow("5 natural texts") << QVariant(5) << layers << "Layer 1,layer 2,Layer 10";
        QTest::newRow("1 plain text compare") << QVariant(1) << layers << "Layer 1,Layer 10,layer 2";
        QTest::newRow("2 base comparison") << QVariant(2) << numbers << "-1,2,10";
        QTest::newRow("3 base comparison") << QVariant(3) << numbers << "-1,2,10";
        QTest::newRow("no code, integers by value") << QVariant() << numbers << "-1,2,10";
        QTest::newRow("no code, texts naturally") << QVariant() << layers << "Layer 1,layer 2,Layer 10";
        QTest::newRow("no code, empty values last") << QVariant() << QVariantList{3, QVariant(), 1, QVariant(), 2} << "1,2,3,,";
        QTest::newRow("4 doubles by value") << QVariant(4) << QVariantList{2.5, -0.5, 10.0} << "-0.5,2.5,10";
        QTest::newRow("unknown code by value") << QVariant(99) << numbers << "-1,2,10";
        QTest::newRow("negative code by value") << QVariant(-3) << numbers << "-1,2,10";
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
        QTest::newRow("ties keep source order") << QVariant(1) << QVariantList{"b", "A", "a", "B", "c"} << "A,a,b,B,c";
    }
    void shouldOrderByComparatorCode()
    {
        QFETCH(QVariant, sortType);
        QFETCH(QVariantList, values);
        QFETCH(QString, expected);
        ProxyFixture f(QString(), 0, false);
        fillColumn(f, values, sortType);
        f.proxy.doSort(0, true);
        QCOMPARE(cvtest::columnText(f.proxy, 0), expected);
        // Descending is the reverse, ties aside: they keep their source order
        f.proxy.doSort(0, false);
        QStringList reversed = expected.split(QLatin1Char(','));
        std::reverse(reversed.begin(), reversed.end());
        if (QByteArray(QTest::currentDataTag()).startsWith("ties"))
            reversed = QStringList{"c", "b", "B", "A", "a"};
        QCOMPARE(cvtest::columnText(f.proxy, 0), reversed.join(QLatin1Char(',')));
    }

    // Long columns are ordered up front through cached keys and ranks: the rows must come in the
    // order a stable sort with the comparator on the values gives, filtered or not, both ways.
    void shouldOrderRowsAsTheComparatorOrdersTheirValues_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("values");
        QTest::addColumn<int>("modulus");
        const char* const kinds[] = {"texts", "mixed types", "ints", "ints and empty cells", "texts and empty cells"};
        const QList<QPair<int, int>> cases{{0, 0}, {1, 0}, {4, 1}, {4, 2}, {4, 3}, {4, 4}, {6, 0}, {8, 0}, {9, 0}};
        for (const int modulus : {0, 3, 4}) {
            for (const auto& c : cases)
                QTest::addRow("%d %s, filter %d", c.first, kinds[c.second], modulus) << c.first << c.second << modulus;
        }
    }
    void shouldOrderRowsAsTheComparatorOrdersTheirValues()
    {
        QFETCH(int, code);
        QFETCH(int, values);
        QFETCH(int, modulus);
        const std::function<bool(const QVariant&, const QVariant&)> less = [code](const QVariant& l, const QVariant& r) {
            wxString a = wx(l);
            wxString b = wx(r);
            switch (code) {
            case 0: return lom::stringsLessThan(a, b);
            case 1: return QString::compare(l.toString(), r.toString(), Qt::CaseInsensitive) < 0;
            case 6: return lom::integersLessThan(a, b);
            case 8: return lom::fileSizeLessThan(a, b);
            case 9: return lom::toggleDisabledLessThan(a, b);
            default: return valueLess(l, r);
            }
        };
        // Given a column of random values, many of them tied, with the comparator code
        QRandomGenerator random(quint32(code * 64 + values * 8 + modulus));
        QVariantList cells;
        for (int row = 0; row < 600; ++row) {
            const bool empty = values >= 3 && random.bounded(4) == 0;
            const int kind = values == 1 ? int(random.bounded(6)) : values == 2 || values == 3 ? 1 : 5;
            const QVariant value = kind == 0 || empty ? QVariant()
                : kind == 1 ? QVariant(random.bounded(-50, 50))
                : kind == 2 ? QVariant(random.bounded(-40, 40) / 4.0)
                : kind == 3 ? QVariant(QDate(2020, 1, 1).addDays(random.bounded(30)))
                            : QVariant(randomText(random));
            cells.append(value);
        }
        ProxyFixture f(QString(), 0, false);
        ModuloFilter filter;
        filter.modulus = modulus;
        f.proxy.setFilter(&filter);
        fillColumn(f, cells, code);
        std::vector<int> expected;
        for (int row = 0; row < cells.size(); ++row) {
            if (filter.accepts(row))
                expected.push_back(row);
        }
        const auto proxyOrder = [&f] {
            std::vector<int> order;
            for (int row = 0; row < f.proxy.rowCount(); ++row)
                order.push_back(f.proxy.mapProxyRowToSource(row));
            return order;
        };
        // When it is sorted one way and then the other, tied rows keep the order they had
        for (const bool up : {true, false}) {
            std::stable_sort(expected.begin(), expected.end(), [&](int a, int b) {
                return up ? less(cells.at(a), cells.at(b)) : less(cells.at(b), cells.at(a));
            });
            f.proxy.doSort(0, up, true);
            QCOMPARE(proxyOrder(), expected);
        }
    }

    void shouldDoNothingWhenSortIsUnchanged()
    {
        ProxyFixture f(QStringLiteral("PQR"), 3);
        f.proxy.doSort(2, true);
        QList<QByteArray> emitted;
        connect(&f.proxy, &SortFilterSelectModel::ascendingChanged, this, [&] { emitted.append("ascending"); });
        connect(&f.proxy, &SortFilterSelectModel::proxySortColumnChanged, this, [&] { emitted.append("column"); });
        connect(&f.proxy, &QAbstractItemModel::layoutChanged, this, [&] { emitted.append("layout"); });
        // The same sort again, or one outside the view, does nothing
        f.proxy.doSort(2, true);
        f.proxy.doSort(3, false);
        f.proxy.doSort(-1, false);
        QCOMPARE(emitted, QList<QByteArray>());
        // With force it sorts again and emits both, in order
        f.proxy.doSort(2, true, true);
        QCOMPARE(emitted, (QList<QByteArray>{"layout", "ascending", "column"}));
        // Un-sorting returns to source order, keeping the direction
        emitted.clear();
        f.proxy.doSort(2, false);
        f.proxy.unSort();
        QCOMPARE(cvtest::columnText(f.proxy, 0), QStringLiteral("P0,P1,P2"));
        QCOMPARE(f.proxy.proxySortColumn(), -1);
        QCOMPARE(emitted, (QList<QByteArray>{"layout", "ascending", "column", "layout", "column"}));
    }

    void shouldSortByShownColumnWhenColumnsAreHidden()
    {
        // Given P Q R with Q hidden and R moved to the front
        ProxyFixture f(QString(), 0, false);
        fillOrders(f);
        f.run(QStringLiteral("h1 m1,0"));
        f.proxy.doSort(0, true);
        QCOMPARE(cvtest::columnText(f.proxy, 0), QStringLiteral("R0,R1,R2,R3"));
        f.proxy.doSort(1, false);
        QCOMPARE(cvtest::columnText(f.proxy, 1), QStringLiteral("P3,P2,P1,P0"));
        // When Q is shown again, the sort column follows P
        f.proxy.setSourceColumnVisible(1, true);
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
        QCOMPARE(f.proxy.proxySortColumn(), -1);
        QCOMPARE(cvtest::columnText(f.proxy, 0), QStringLiteral("P0,P1,P2,P3"));
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

    void shouldApplyInitialSortDeclaredByHeader()
    {
        // Given a source whose column R is the initial sort column, descending
        ProxyFixture f(QString(), 0, false);
        QSignalSpy spy(&f.proxy, &SortFilterSelectModel::hasInitialSortColumnChanged);
        fillOrders(f, int(Qt::DescendingOrder));
        QCOMPARE(cvtest::columnText(f.proxy, 2), QStringLiteral("R3,R2,R1,R0"));
        QCOMPARE(f.proxy.proxySortColumn(), 2);
        QVERIFY(!f.proxy.ascending());
        QVERIFY(f.proxy.hasInitialSortColumn());
        QCOMPARE(spy.count(), 1);
        // A source without one says so
        cvtest::ReliabilityRandomModel plain(false);
        plain.build(QStringLiteral("AB"), 2);
        f.proxy.setSourceModel(&plain);
        QVERIFY(!f.proxy.hasInitialSortColumn());
        QCOMPARE(spy.count(), 2);
    }

    // The initial sort column R, ascending, or a shown column, hidden by the stored layout or by its header.
    void shouldSortByInitialSortColumnOnceShown_data()
    {
        QTest::addColumn<int>("hidden");
        QTest::addColumn<bool>("byHeader");
        QTest::addColumn<QString>("header");
        QTest::addColumn<int>("sortColumn");
        QTest::newRow("P stored hidden") << 0 << false << "QR" << 1;
        QTest::newRow("R stored hidden") << 2 << false << "PQ" << -1;
        QTest::newRow("R hidden by header") << 2 << true << "PQ" << -1;
    }
    void shouldSortByInitialSortColumnOnceShown()
    {
        QFETCH(int, hidden);
        QFETCH(bool, byHeader);
        const QString table = QStringLiteral("sorted %1").arg(QTest::currentDataTag());
        if (!byHeader) {
            ProxyFixture f(QString(), 0, false);
            f.proxy.setParentId(table);
            fillOrders(f);
            f.proxy.setSourceColumnVisible(hidden, false);
            f.proxy.saveColumnData();
        }
        ProxyFixture f(QString(), 0, false);
        f.proxy.setParentId(byHeader ? QString() : table);
        fillOrders(f, int(Qt::AscendingOrder), byHeader);
        QTEST(cvtest::headerText(f.proxy), "header");
        QTEST(f.proxy.proxySortColumn(), "sortColumn");
        QVERIFY(f.proxy.hasInitialSortColumn());
        QCOMPARE(cvtest::columnText(f.proxy, 0), hidden == 0 ? QStringLiteral("Q1,Q3,Q0,Q2") : QStringLiteral("P0,P1,P2,P3"));
        f.proxy.showAllColumns();
        QCOMPARE(f.proxy.proxySortColumn(), 2);
        QCOMPARE(cvtest::columnText(f.proxy, 2), QStringLiteral("R0,R1,R2,R3"));
    }

    void shouldReverseOrderOnlyWhenAscendingIsWrittenWhileSorted()
    {
        ProxyFixture f(QString(), 0, false);
        fillOrders(f);
        QSignalSpy spy(&f.proxy, &SortFilterSelectModel::ascendingChanged);
        // Unsorted: the signal, but neither order nor value change
        f.proxy.setAscending(false);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(cvtest::columnText(f.proxy, 0), QStringLiteral("P0,P1,P2,P3"));
        QVERIFY(f.proxy.ascending());
        // Sorted: the order reverses once
        f.proxy.doSort(0, true);
        spy.clear();
        f.proxy.setProperty("ascending", false);
        f.proxy.setAscending(false);
        QCOMPARE(cvtest::columnText(f.proxy, 0), QStringLiteral("P3,P2,P1,P0"));
        QCOMPARE(spy.count(), 1);
    }

    void shouldAnswerInitialDirection()
    {
        ProxyFixture f;
        f.source.setHeaderValue(0, Qt::InitialSortOrderRole, Qt::DescendingOrder);
        QVERIFY(!f.proxy.isInitiallyAscending(0));
        QVERIFY(f.proxy.isInitiallyAscending(1));
        f.proxy.moveColumn(0, 2);
        QVERIFY(!f.proxy.isInitiallyAscending(2));
        QVERIFY(f.proxy.isInitiallyAscending(7));
    }
};

QTEST_GUILESS_MAIN(TestSortFilterSelectModelSorting)
#include "tst_sortfilterselectmodel_sorting.moc"
