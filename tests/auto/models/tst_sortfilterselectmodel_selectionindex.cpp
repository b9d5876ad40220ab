// Corvane.Core tests.
#include "models/sortfilterselectmodel.h"

#include "support/tableproxy_helpers.h"
#include "support/tableproxy_testmodel.h"

#include <QAbstractItemModelTester>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <vector>

using core::SortFilterSelectModel;
using cvtest::TableProxyTestModel;

class TestSortFilterSelectModelSelectionIndex : public QObject
{
    Q_OBJECT

    QTemporaryDir m_config;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_config.isValid());
        qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
    }

    void shouldReportSelectedRowsInAnyReadingOrder_data();
    void shouldReportSelectedRowsInAnyReadingOrder();
};

void TestSortFilterSelectModelSelectionIndex::shouldReportSelectedRowsInAnyReadingOrder_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<int>("clicks");
    for (quint32 seed = 1; seed <= 6; ++seed)
        QTest::newRow(qPrintable(QStringLiteral("seed %1").arg(seed))) << seed << int(seed * 15);
}

void TestSortFilterSelectModelSelectionIndex::shouldReportSelectedRowsInAnyReadingOrder()
{
    QFETCH(quint32, seed);
    QFETCH(int, clicks);

    // Given rows selected by random ctrl and shift clicks, so runs and gaps of every length
    TableProxyTestModel source;
    source.build(QStringLiteral("ABC"), 200);
    SortFilterSelectModel proxy;
    proxy.setSourceModel(&source);
    new QAbstractItemModelTester(&proxy, QAbstractItemModelTester::FailureReportingMode::QtTest, &proxy);
    QRandomGenerator random(seed);
    for (int k = 0; k < clicks; ++k) {
        const int row = random.bounded(proxy.rowCount());
        if (random.bounded(4) == 0)
            proxy.shiftSelection(row, 0);
        else
            proxy.ctrlSelection(row, 0);
    }
    const int role = cvtest::roleNumber(proxy, "isSelected");

    // When "isSelected" is read forwards, backwards, row after row with its columns, and at random
    std::vector<int> order;
    for (int row = 0; row < proxy.rowCount(); ++row)
        order.push_back(row);
    for (int row = proxy.rowCount() - 1; row >= 0; --row)
        order.push_back(row);
    for (int k = 0; k < 400; ++k)
        order.push_back(random.bounded(proxy.rowCount()));

    // Then every answer is the selection model's
    for (const int row : order) {
        const bool expected = proxy.selectionModel()->isRowSelected(row, QModelIndex());
        for (int column = 0; column < proxy.columnCount(); ++column)
            QCOMPARE(proxy.data(proxy.index(row, column), role).toBool(), expected);
        QCOMPARE(proxy.isSelected(row), expected);
    }
}

QTEST_MAIN(TestSortFilterSelectModelSelectionIndex)
#include "tst_sortfilterselectmodel_selectionindex.moc"
