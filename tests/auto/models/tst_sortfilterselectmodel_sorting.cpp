// Corvane.Core tests.
#include "models/sortfilterselectmodel.h"

#include "support/tableproxy_helpers.h"
#include "support/tableproxy_testmodel.h"

#include <loom/columnstore.h>
#include <lumen/sorter.h>
#include <lumen/strings.h>

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using core::SortFilterSelectModel;
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

void attachTester(QAbstractItemModel* model)
{
    new QAbstractItemModelTester(model, QAbstractItemModelTester::FailureReportingMode::QtTest, model);
}

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

// Columns P, Q, R whose rows are ordered differently in each: P ascending, Q descending,
// R in the order 2, 0, 3, 1.
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
    void initTestCase();
    void cleanupTestCase();
    void shouldOrderByComparatorCode_data();
    void shouldOrderByComparatorCode();
    void shouldReadComparatorCodeOncePerSort();
    void shouldDoNothingWhenSortIsUnchanged();
    void shouldIgnoreColumnsOutsideTheView();
    void shouldSortByShownColumnWhenColumnsAreHidden();
    void shouldPutEmptyValuesLastInAscendingOrder();
    void shouldLetSorterOverrideComparatorCode();
    void shouldReturnToSourceOrderOnUnSort();
    void shouldApplyInitialSortDeclaredByHeader();
    void shouldReportNoInitialSortColumn();
    void shouldReverseOrderWhenAscendingIsWritten();
    void shouldOnlySignalWhenAscendingIsWrittenWhileUnsorted();
    void shouldAnswerInitialDirection();
    void shouldSortStoredLayoutByShownColumn();
};

void TestSortFilterSelectModelSorting::initTestCase()
{
    QVERIFY(m_config.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
    lom::resetColumnStore();
}

void TestSortFilterSelectModelSorting::cleanupTestCase()
{
    // Nothing may be left to write once the temporary directory is gone.
    QVERIFY(lom::flushColumnStore());
}

void TestSortFilterSelectModelSorting::shouldOrderByComparatorCode_data()
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

void TestSortFilterSelectModelSorting::shouldOrderByComparatorCode()
{
    QFETCH(QVariant, sortType);
    QFETCH(QVariantList, values);
    QFETCH(QString, expected);
    TableProxyTestModel source;
    buildValues(source, values, sortType);
    SortFilterSelectModel proxy;
    attachTester(&proxy);
    proxy.setSourceModel(&source);
    proxy.doSort(0, true);
    QCOMPARE(cvtest::columnText(proxy, 0), expected);
    // Descending is the reverse
    proxy.doSort(0, false);
    QStringList reversed = expected.split(QLatin1Char(','));
    std::reverse(reversed.begin(), reversed.end());
    QCOMPARE(cvtest::columnText(proxy, 0), reversed.join(QLatin1Char(',')));
}

void TestSortFilterSelectModelSorting::shouldReadComparatorCodeOncePerSort()
{
    // Given a large column with a comparator code
    TableProxyTestModel source;
    QVariantList values;
    for (int i = 0; i < 500; ++i)
        values.append(QStringLiteral("item %1").arg((i * 7919) % 500));
    buildValues(source, values, 0);
    SortFilterSelectModel proxy;
    attachTester(&proxy);
    proxy.setSourceModel(&source);
    const int before = source.headerReads(cvtest::SortTypeRole);
    // When it is sorted
    proxy.doSort(0, true);
    // Then the header's code is read once, not per comparison
    QCOMPARE(source.headerReads(cvtest::SortTypeRole) - before, 1);
    QCOMPARE(proxy.index(0, 0).data().toString(), QStringLiteral("item 0"));
    QCOMPARE(proxy.index(499, 0).data().toString(), QStringLiteral("item 499"));
    // And a changed code takes effect at the next sort
    source.setHeader(0, cvtest::SortTypeRole, 1);
    proxy.doSort(0, true, true);
    QCOMPARE(proxy.index(2, 0).data().toString(), QStringLiteral("item 10"));
}

void TestSortFilterSelectModelSorting::shouldDoNothingWhenSortIsUnchanged()
{
    TableProxyTestModel source;
    source.build(QStringLiteral("PQR"), 3);
    SortFilterSelectModel proxy;
    attachTester(&proxy);
    proxy.setSourceModel(&source);
    proxy.doSort(2, true);
    QSignalSpy ascendingSpy(&proxy, &SortFilterSelectModel::ascendingChanged);
    QSignalSpy columnSpy(&proxy, &SortFilterSelectModel::proxySortColumnChanged);
    int layoutChanges = 0;
    connect(&proxy, &QAbstractItemModel::layoutChanged, this, [&layoutChanges] { ++layoutChanges; });
    QVERIFY(ascendingSpy.isValid());
    QVERIFY(columnSpy.isValid());
    proxy.doSort(2, true);
    QCOMPARE(ascendingSpy.count(), 0);
    QCOMPARE(columnSpy.count(), 0);
    QCOMPARE(layoutChanges, 0);
    // With force it sorts again and emits both, in order
    QList<QByteArray> order;
    connect(&proxy, &SortFilterSelectModel::ascendingChanged, this, [&order] { order.append("ascending"); });
    connect(&proxy, &SortFilterSelectModel::proxySortColumnChanged, this, [&order] { order.append("column"); });
    proxy.doSort(2, true, true);
    QCOMPARE(ascendingSpy.count(), 1);
    QCOMPARE(ascendingSpy.at(0).at(0).toBool(), true);
    QCOMPARE(columnSpy.count(), 1);
    QCOMPARE(layoutChanges, 1);
    QCOMPARE(order, (QList<QByteArray> { "ascending", "column" }));
    QCOMPARE(proxy.proxySortColumn(), 2);
}

void TestSortFilterSelectModelSorting::shouldIgnoreColumnsOutsideTheView()
{
    TableProxyTestModel source;
    source.build(QStringLiteral("PQR"), 3);
    SortFilterSelectModel proxy;
    attachTester(&proxy);
    proxy.setSourceModel(&source);
    QSignalSpy spy(&proxy, &SortFilterSelectModel::proxySortColumnChanged);
    QVERIFY(spy.isValid());
    proxy.doSort(3, false);
    proxy.doSort(-1, false);
    QCOMPARE(spy.count(), 0);
    QCOMPARE(proxy.proxySortColumn(), -1);
    QVERIFY(proxy.ascending());
}

void TestSortFilterSelectModelSorting::shouldSortByShownColumnWhenColumnsAreHidden()
{
    // Given P Q R with Q hidden and R moved to the front
    TableProxyTestModel source;
    buildOrders(source);
    SortFilterSelectModel proxy;
    attachTester(&proxy);
    proxy.setSourceModel(&source);
    proxy.setSourceColumnVisible(1, false);
    proxy.moveColumn(1, 0);
    QCOMPARE(cvtest::headerText(proxy), QStringLiteral("RP"));
    // When the column showing R is sorted
    proxy.doSort(0, true);
    // Then the rows follow R, and the sort column is R's position
    QCOMPARE(cvtest::columnText(proxy, 0), QStringLiteral("r0,r1,r2,r3"));
    QCOMPARE(proxy.proxySortColumn(), 0);
    proxy.doSort(1, false);
    QCOMPARE(cvtest::columnText(proxy, 1), QStringLiteral("p3,p2,p1,p0"));
    QCOMPARE(proxy.proxySortColumn(), 1);
    // When Q is shown again in front, the sort column follows P
    proxy.setSourceColumnVisible(1, true);
    QCOMPARE(proxy.proxySortColumn(), proxy.mapSourceColumnToProxy(0));
    proxy.doSort(proxy.mapSourceColumnToProxy(1), true);
    QCOMPARE(cvtest::columnText(proxy, proxy.mapSourceColumnToProxy(1)), QStringLiteral("q0,q1,q2,q3"));
}

void TestSortFilterSelectModelSorting::shouldPutEmptyValuesLastInAscendingOrder()
{
    TableProxyTestModel source;
    buildValues(source, { 3, QVariant(), 1, QVariant(), 2 }, QVariant());
    SortFilterSelectModel proxy;
    attachTester(&proxy);
    proxy.setSourceModel(&source);
    proxy.doSort(0, true);
    QCOMPARE(cvtest::columnText(proxy, 0), QStringLiteral("1,2,3,,"));
    proxy.doSort(0, false);
    QCOMPARE(cvtest::columnText(proxy, 0), QStringLiteral(",,3,2,1"));
}

void TestSortFilterSelectModelSorting::shouldLetSorterOverrideComparatorCode()
{
    TableProxyTestModel source;
    buildValues(source, { QStringLiteral("ccc"), QStringLiteral("a"), QStringLiteral("bb") }, 12);
    SortFilterSelectModel proxy;
    attachTester(&proxy);
    proxy.setSourceModel(&source);
    LengthSorter sorter;
    proxy.setSorter(&sorter);
    QCOMPARE(proxy.sorter(), &sorter);
    proxy.doSort(0, false);
    QCOMPARE(cvtest::columnText(proxy, 0), QStringLiteral("ccc,bb,a"));
    proxy.setSorter(nullptr);
    proxy.doSort(0, false, true);
    QCOMPARE(cvtest::columnText(proxy, 0), QStringLiteral("ccc,bb,a"));
    proxy.doSort(0, true);
    QCOMPARE(cvtest::columnText(proxy, 0), QStringLiteral("a,bb,ccc"));
}

void TestSortFilterSelectModelSorting::shouldReturnToSourceOrderOnUnSort()
{
    TableProxyTestModel source;
    buildOrders(source);
    SortFilterSelectModel proxy;
    attachTester(&proxy);
    proxy.setSourceModel(&source);
    proxy.doSort(2, true);
    QCOMPARE(cvtest::columnText(proxy, 0), QStringLiteral("p2,p0,p3,p1"));
    QSignalSpy ascendingSpy(&proxy, &SortFilterSelectModel::ascendingChanged);
    QSignalSpy columnSpy(&proxy, &SortFilterSelectModel::proxySortColumnChanged);
    QVERIFY(ascendingSpy.isValid());
    QVERIFY(columnSpy.isValid());
    proxy.unSort();
    QCOMPARE(cvtest::columnText(proxy, 0), QStringLiteral("p0,p1,p2,p3"));
    QVERIFY(proxy.ascending());
    QCOMPARE(proxy.proxySortColumn(), -1);
    QCOMPARE(ascendingSpy.count(), 0);
    QCOMPARE(columnSpy.count(), 1);
}

void TestSortFilterSelectModelSorting::shouldApplyInitialSortDeclaredByHeader()
{
    // Given a source whose column R is the initial sort column, descending
    TableProxyTestModel source;
    buildOrders(source);
    source.setHeader(2, cvtest::InitialSortColumnRole, true);
    source.setHeader(2, Qt::InitialSortOrderRole, Qt::DescendingOrder);
    SortFilterSelectModel proxy;
    attachTester(&proxy);
    QSignalSpy spy(&proxy, &SortFilterSelectModel::hasInitialSortColumnChanged);
    QVERIFY(spy.isValid());
    // When it is attached
    proxy.setSourceModel(&source);
    // Then the table starts sorted descending by R
    QCOMPARE(cvtest::columnText(proxy, 2), QStringLiteral("r3,r2,r1,r0"));
    QCOMPARE(proxy.proxySortColumn(), 2);
    QVERIFY(!proxy.ascending());
    QVERIFY(proxy.hasInitialSortColumn());
    QCOMPARE(spy.count(), 1);
}

void TestSortFilterSelectModelSorting::shouldReportNoInitialSortColumn()
{
    TableProxyTestModel source;
    buildOrders(source);
    source.setHeader(1, cvtest::InitialSortColumnRole, true);
    SortFilterSelectModel proxy;
    attachTester(&proxy);
    proxy.setSourceModel(&source);
    QVERIFY(proxy.hasInitialSortColumn());
    QVERIFY(proxy.ascending());
    QCOMPARE(cvtest::columnText(proxy, 1), QStringLiteral("q0,q1,q2,q3"));
    QSignalSpy spy(&proxy, &SortFilterSelectModel::hasInitialSortColumnChanged);
    QVERIFY(spy.isValid());
    TableProxyTestModel plain;
    plain.build(QStringLiteral("AB"), 2);
    proxy.setSourceModel(&plain);
    QVERIFY(!proxy.hasInitialSortColumn());
    QCOMPARE(spy.count(), 1);
}

void TestSortFilterSelectModelSorting::shouldReverseOrderWhenAscendingIsWritten()
{
    TableProxyTestModel source;
    buildOrders(source);
    SortFilterSelectModel proxy;
    attachTester(&proxy);
    proxy.setSourceModel(&source);
    proxy.doSort(0, true);
    QSignalSpy spy(&proxy, &SortFilterSelectModel::ascendingChanged);
    QVERIFY(spy.isValid());
    proxy.setProperty("ascending", false);
    QCOMPARE(cvtest::columnText(proxy, 0), QStringLiteral("p3,p2,p1,p0"));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toBool(), false);
    proxy.setAscending(false);
    QCOMPARE(spy.count(), 1);
}

void TestSortFilterSelectModelSorting::shouldOnlySignalWhenAscendingIsWrittenWhileUnsorted()
{
    TableProxyTestModel source;
    buildOrders(source);
    SortFilterSelectModel proxy;
    attachTester(&proxy);
    proxy.setSourceModel(&source);
    QSignalSpy spy(&proxy, &SortFilterSelectModel::ascendingChanged);
    QVERIFY(spy.isValid());
    proxy.setAscending(false);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toBool(), false);
    QCOMPARE(cvtest::columnText(proxy, 0), QStringLiteral("p0,p1,p2,p3"));
    QVERIFY(proxy.ascending());
}

void TestSortFilterSelectModelSorting::shouldAnswerInitialDirection()
{
    TableProxyTestModel source;
    buildOrders(source);
    source.setHeader(0, Qt::InitialSortOrderRole, Qt::DescendingOrder);
    source.setHeader(2, Qt::InitialSortOrderRole, Qt::AscendingOrder);
    SortFilterSelectModel proxy;
    attachTester(&proxy);
    proxy.setSourceModel(&source);
    QVERIFY(!proxy.isInitiallyAscending(0));
    QVERIFY(proxy.isInitiallyAscending(1));
    QVERIFY(proxy.isInitiallyAscending(2));
    proxy.moveColumn(0, 2);
    QVERIFY(!proxy.isInitiallyAscending(2));
    QVERIFY(proxy.isInitiallyAscending(7));
}

void TestSortFilterSelectModelSorting::shouldSortStoredLayoutByShownColumn()
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
    if (lom::getSavedColumnDataList(lum::wxFromQt(table)).IsEmpty())
        QSKIP("the column store keeps nothing");
    // And a source whose initial sort column is R
    TableProxyTestModel source;
    buildOrders(source);
    source.setHeader(2, cvtest::InitialSortColumnRole, true);
    // When a proxy with a client already attached opens that table
    SortFilterSelectModel proxy;
    attachTester(&proxy);
    proxy.setParentId(table);
    proxy.setSourceModel(&source);
    // Then the header shows Q R and the rows are sorted by R, the column that is shown
    QCOMPARE(cvtest::headerText(proxy), QStringLiteral("QR"));
    QCOMPARE(proxy.proxySortColumn(), 1);
    QCOMPARE(cvtest::columnText(proxy, 1), QStringLiteral("r0,r1,r2,r3"));
}

QTEST_GUILESS_MAIN(TestSortFilterSelectModelSorting)
#include "tst_sortfilterselectmodel_sorting.moc"
