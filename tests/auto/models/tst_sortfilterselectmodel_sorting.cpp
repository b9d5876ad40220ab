// Corvane.Core tests.
#include "support/tableproxy_fixture.h"

#include <loom/columnstore.h>
#include <lumen/sorter.h>
#include <lumen/strings.h>

#include <QTemporaryDir>
#include <QtTest>


using core::SortFilterSelectModel;
using cvtest::ProxyFixture;
using cvtest::TableProxyTestModel;

namespace
{
class LengthSorter : public lum::Sorter
{
public:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) override
    {
        return left.data().toString().size() < right.data().toString().size();
    }
};

// One column "V" holding the given values, with the given comparator code (none when invalid).
void buildValues(TableProxyTestModel& source, const QVariantList& values, const QVariant& sortType)
{
    cvtest::HeaderRoles header = TableProxyTestModel::column(QStringLiteral("V"), QStringLiteral("v"));
    if (sortType.isValid())
        header.insert(cvtest::SortTypeRole, sortType);
    QList<QVariantList> rows;
    for (const QVariant& value : values)
        rows.append(QVariantList { value });
    source.reset({ header }, rows);
}

// Columns P, Q, R ordered differently: P ascending, Q descending, R in the order 2, 0, 3, 1.
void buildOrders(TableProxyTestModel& source)
{
    const QStringList q { QStringLiteral("q3"), QStringLiteral("q2"), QStringLiteral("q1"), QStringLiteral("q0") };
    const QStringList r { QStringLiteral("r1"), QStringLiteral("r3"), QStringLiteral("r0"), QStringLiteral("r2") };
    QList<QVariantList> rows;
    for (int i = 0; i < 4; ++i)
        rows.append(QVariantList { QStringLiteral("p%1").arg(i), q.at(i), r.at(i) });
    source.reset({ TableProxyTestModel::column(QStringLiteral("P"), QStringLiteral("P")),
                     TableProxyTestModel::column(QStringLiteral("Q"), QStringLiteral("Q")),
                     TableProxyTestModel::column(QStringLiteral("R"), QStringLiteral("R")) },
        rows);
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
        const QVariantList layers { QStringLiteral("Layer 10"), QStringLiteral("layer 2"), QStringLiteral("Layer 1") };
        const QVariantList numbers { 10, 2, -1 };
        QTest::newRow("0 natural texts") << QVariant(0) << layers << "Layer 1,layer 2,Layer 10";
        QTest::newRow("5 natural texts") << QVariant(5) << layers << "Layer 1,layer 2,Layer 10";
        QTest::newRow("1 plain text compare") << QVariant(1) << layers << "Layer 1,Layer 10,layer 2";
        QTest::newRow("2 base comparison") << QVariant(2) << numbers << "-1,2,10";
        QTest::newRow("3 base comparison") << QVariant(3) << numbers << "-1,2,10";
        QTest::newRow("no code, integers by value") << QVariant() << numbers << "-1,2,10";
        QTest::newRow("no code, texts naturally") << QVariant() << layers << "Layer 1,layer 2,Layer 10";
        QTest::newRow("no code, empty values last") << QVariant() << QVariantList { 3, QVariant(), 1, QVariant(), 2 }
                                                    << "1,2,3,,";
        QTest::newRow("4 doubles by value") << QVariant(4) << QVariantList { 2.5, -0.5, 10.0 } << "-0.5,2.5,10";
        QTest::newRow("unknown code by value") << QVariant(99) << numbers << "-1,2,10";
        QTest::newRow("negative code by value") << QVariant(-3) << numbers << "-1,2,10";
        QTest::newRow("code as text") << QVariant(QStringLiteral("8")) << QVariantList { "2 KB", "512 B", "1 MB" }
                                      << "512 B,2 KB,1 MB";
        QTest::newRow("code not a number") << QVariant(QStringLiteral("x")) << numbers << "-1,2,10";
        QTest::newRow("6 integers as text") << QVariant(6) << QVariantList { "10", "-3", "abc", "2" } << "-3,2,10,abc";
        QTest::newRow("7 decimals as text") << QVariant(7) << QVariantList { "1e1", "1.5", "-0.5" } << "-0.5,1.5,1e1";
        QTest::newRow("8 file sizes") << QVariant(8) << QVariantList { "3 GB", "2 KB", "junk", "1.5 MB", "512 B" }
                                      << "512 B,2 KB,1.5 MB,3 GB,junk";
        QTest::newRow("9 toggles") << QVariant(9) << QVariantList { "Off", "maybe", "On" } << "On,maybe,Off";
        QTest::newRow("10 plot styles") << QVariant(10) << QVariantList { "Zeta", "ByBlock", "alpha", "ByLayer" }
                                        << "ByLayer,ByBlock,alpha,Zeta";
        QTest::newRow("11 pixel sizes") << QVariant(11) << QVariantList { "32x24", "16x16", "32 x 16" }
                                        << "16x16,32 x 16,32x24";
        QTest::newRow("12 dimension styles") << QVariant(12) << QVariantList { "Zed", "Standard", "Arch" }
                                             << "Standard,Arch,Zed";
    }
    void shouldOrderByComparatorCode()
    {
        QFETCH(QVariant, sortType);
        QFETCH(QVariantList, values);
        QFETCH(QString, expected);
        ProxyFixture f;
        buildValues(f.source, values, sortType);
        f.proxy.doSort(0, true);
        QCOMPARE(cvtest::columnText(f.proxy, 0), expected);
        // Descending is the reverse
        f.proxy.doSort(0, false);
        QStringList reversed = expected.split(QLatin1Char(','));
        std::reverse(reversed.begin(), reversed.end());
        QCOMPARE(cvtest::columnText(f.proxy, 0), reversed.join(QLatin1Char(',')));
    }

    // Equal values keep their source order in both directions.
    void shouldKeepSourceOrderOfTies()
    {
        ProxyFixture f;
        buildValues(f.source, { "b", "A", "a", "B", "c" }, 1);
        f.proxy.doSort(0, true);
        QCOMPARE(cvtest::columnText(f.proxy, 0), QStringLiteral("A,a,b,B,c"));
        f.proxy.doSort(0, false);
        QCOMPARE(cvtest::columnText(f.proxy, 0), QStringLiteral("c,b,B,A,a"));
    }

    void shouldReadComparatorCodeOncePerSort()
    {
        ProxyFixture f;
        QVariantList values;
        for (int i = 0; i < 500; ++i)
            values.append(QStringLiteral("item %1").arg((i * 7919) % 500));
        buildValues(f.source, values, 0);
        const int before = f.source.headerReads(cvtest::SortTypeRole);
        f.proxy.doSort(0, true);
        QCOMPARE(f.source.headerReads(cvtest::SortTypeRole) - before, 1);
        QCOMPARE(f.proxy.index(499, 0).data().toString(), QStringLiteral("item 499"));
        // A changed code takes effect at the next sort
        f.source.setHeader(0, cvtest::SortTypeRole, 1);
        f.proxy.doSort(0, true, true);
        QCOMPARE(f.proxy.index(2, 0).data().toString(), QStringLiteral("item 10"));
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
        QCOMPARE(f.proxy.proxySortColumn(), 2);
        QVERIFY(f.proxy.ascending());
        // With force it sorts again and emits both, in order
        f.proxy.doSort(2, true, true);
        QCOMPARE(emitted, (QList<QByteArray> { "layout", "ascending", "column" }));
    }

    void shouldSortByShownColumnWhenColumnsAreHidden()
    {
        // Given P Q R with Q hidden and R moved to the front
        ProxyFixture f;
        buildOrders(f.source);
        f.run(QStringLiteral("h1 m1,0"));
        QCOMPARE(cvtest::headerText(f.proxy), QStringLiteral("RP"));
        // Sorting a column sorts by what it shows, and the sort column is its position
        f.proxy.doSort(0, true);
        QCOMPARE(cvtest::columnText(f.proxy, 0), QStringLiteral("r0,r1,r2,r3"));
        QCOMPARE(f.proxy.proxySortColumn(), 0);
        f.proxy.doSort(1, false);
        QCOMPARE(cvtest::columnText(f.proxy, 1), QStringLiteral("p3,p2,p1,p0"));
        // When Q is shown again, the sort column follows P
        f.proxy.setSourceColumnVisible(1, true);
        QCOMPARE(f.proxy.proxySortColumn(), f.proxy.mapSourceColumnToProxy(0));
        f.proxy.doSort(f.proxy.mapSourceColumnToProxy(1), true);
        QCOMPARE(cvtest::columnText(f.proxy, f.proxy.mapSourceColumnToProxy(1)), QStringLiteral("q0,q1,q2,q3"));
    }

    void shouldLetSorterOverrideComparatorCode()
    {
        ProxyFixture f;
        buildValues(f.source, { QStringLiteral("ccc"), QStringLiteral("a"), QStringLiteral("bb") }, 12);
        LengthSorter sorter;
        f.proxy.setSorter(&sorter);
        f.proxy.doSort(0, false);
        QCOMPARE(cvtest::columnText(f.proxy, 0), QStringLiteral("ccc,bb,a"));
        f.proxy.setSorter(nullptr);
        f.proxy.doSort(0, false, true);
        QCOMPARE(cvtest::columnText(f.proxy, 0), QStringLiteral("ccc,bb,a"));
        f.proxy.doSort(0, true);
        QCOMPARE(cvtest::columnText(f.proxy, 0), QStringLiteral("a,bb,ccc"));
    }

    void shouldReturnToSourceOrderOnUnSort()
    {
        ProxyFixture f;
        buildOrders(f.source);
        f.proxy.doSort(2, true);
        QCOMPARE(cvtest::columnText(f.proxy, 0), QStringLiteral("p2,p0,p3,p1"));
        QSignalSpy ascendingSpy(&f.proxy, &SortFilterSelectModel::ascendingChanged);
        QSignalSpy columnSpy(&f.proxy, &SortFilterSelectModel::proxySortColumnChanged);
        f.proxy.unSort();
        QCOMPARE(cvtest::columnText(f.proxy, 0), QStringLiteral("p0,p1,p2,p3"));
        QVERIFY(f.proxy.ascending());
        QCOMPARE(f.proxy.proxySortColumn(), -1);
        QCOMPARE(ascendingSpy.count(), 0);
        QCOMPARE(columnSpy.count(), 1);
    }

    void shouldApplyInitialSortDeclaredByHeader()
    {
        // Given a source whose column R is the initial sort column, descending
        TableProxyTestModel source;
        buildOrders(source);
        source.setHeader(2, cvtest::InitialSortColumnRole, true);
        source.setHeader(2, Qt::InitialSortOrderRole, Qt::DescendingOrder);
        SortFilterSelectModel proxy;
        QAbstractItemModelTester tester(&proxy, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy spy(&proxy, &SortFilterSelectModel::hasInitialSortColumnChanged);
        // When it is attached, the table starts sorted descending by R
        proxy.setSourceModel(&source);
        QCOMPARE(cvtest::columnText(proxy, 2), QStringLiteral("r3,r2,r1,r0"));
        QCOMPARE(proxy.proxySortColumn(), 2);
        QVERIFY(!proxy.ascending());
        QVERIFY(proxy.hasInitialSortColumn());
        QCOMPARE(spy.count(), 1);
        // A source without one says so
        TableProxyTestModel plain;
        plain.build(QStringLiteral("AB"), 2);
        proxy.setSourceModel(&plain);
        QVERIFY(!proxy.hasInitialSortColumn());
        QCOMPARE(spy.count(), 2);
    }

    void shouldReverseOrderOnlyWhenAscendingIsWrittenWhileSorted()
    {
        ProxyFixture f;
        buildOrders(f.source);
        QSignalSpy spy(&f.proxy, &SortFilterSelectModel::ascendingChanged);
        // Unsorted: the signal, but neither order nor value change
        f.proxy.setAscending(false);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toBool(), false);
        QCOMPARE(cvtest::columnText(f.proxy, 0), QStringLiteral("p0,p1,p2,p3"));
        QVERIFY(f.proxy.ascending());
        // Sorted: the order reverses once
        f.proxy.doSort(0, true);
        spy.clear();
        f.proxy.setProperty("ascending", false);
        f.proxy.setAscending(false);
        QCOMPARE(cvtest::columnText(f.proxy, 0), QStringLiteral("p3,p2,p1,p0"));
        QCOMPARE(spy.count(), 1);
    }

    void shouldAnswerInitialDirection()
    {
        ProxyFixture f;
        buildOrders(f.source);
        f.source.setHeader(0, Qt::InitialSortOrderRole, Qt::DescendingOrder);
        f.source.setHeader(2, Qt::InitialSortOrderRole, Qt::AscendingOrder);
        QVERIFY(!f.proxy.isInitiallyAscending(0));
        QVERIFY(f.proxy.isInitiallyAscending(1));
        QVERIFY(f.proxy.isInitiallyAscending(2));
        f.proxy.moveColumn(0, 2);
        QVERIFY(!f.proxy.isInitiallyAscending(2));
        QVERIFY(f.proxy.isInitiallyAscending(7));
    }

    void shouldSortStoredLayoutByShownColumn()
    {
        // Given a stored layout of table "sorted" that hides P
        const QString table = QStringLiteral("sorted");
        {
            TableProxyTestModel source;
            buildOrders(source);
            SortFilterSelectModel proxy;
            proxy.setParentId(table);
            proxy.setSourceModel(&source);
            proxy.setSourceColumnVisible(0, false);
            proxy.saveColumnData();
        }
        QVERIFY(!lom::getSavedColumnDataList(lum::wxFromQt(table)).IsEmpty());
        // When a proxy opens that table over a source whose initial sort column is R
        TableProxyTestModel source;
        buildOrders(source);
        source.setHeader(2, cvtest::InitialSortColumnRole, true);
        SortFilterSelectModel proxy;
        QAbstractItemModelTester tester(&proxy, QAbstractItemModelTester::FailureReportingMode::QtTest);
        proxy.setParentId(table);
        proxy.setSourceModel(&source);
        // Then the header shows Q R and the rows are sorted by R, the column that is shown
        QCOMPARE(cvtest::headerText(proxy), QStringLiteral("QR"));
        QCOMPARE(proxy.proxySortColumn(), 1);
        QCOMPARE(cvtest::columnText(proxy, 1), QStringLiteral("r0,r1,r2,r3"));
    }
};

QTEST_GUILESS_MAIN(TestSortFilterSelectModelSorting)
#include "tst_sortfilterselectmodel_sorting.moc"
