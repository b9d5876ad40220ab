// Corvane.Core tests.
#include "models/sortfiltermodel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QtTest>

#include <climits>
#include <memory>

namespace
{
const int ageRole = Qt::UserRole + 1;

// Rows "B" (age 30), "C" (10), "A" (20).
std::unique_ptr<QStandardItemModel> people()
{
    auto model = std::make_unique<QStandardItemModel>();
    model->setItemRoleNames({ { Qt::DisplayRole, "name" }, { ageRole, "age" } });
    const QList<QPair<QString, int>> rows
        = { { QStringLiteral("B"), 30 }, { QStringLiteral("C"), 10 }, { QStringLiteral("A"), 20 } };
    for (const auto& row : rows) {
        auto* item = new QStandardItem(row.first);
        item->setData(row.second, ageRole);
        model->appendRow(item);
    }
    return model;
}

QString rowsOf(const QAbstractItemModel& model)
{
    QString text;
    for (int row = 0; row < model.rowCount(); ++row)
        text += model.index(row, 0).data().toString();
    return text;
}
}

class tst_SortFilterModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void shouldStartUnsortedAscending();
    void shouldApplyPendingRoleNameWhenSourceArrives();
    void shouldTryPendingRoleNameOnlyOnce();
    void shouldStorePendingNameAgainAfterSourceDetached();
    void shouldKeepRoleWhenSourceReplaced();
    void shouldStayQuietForCurrentRoleName();
    void shouldKeepRoleForUnknownName();
    void shouldReadEmptyNameForUnnamedRole();
    void shouldEmitSortColumnOnlyOnChange();
    void shouldSortDescendingOnceColumnChosen();
    void shouldStayQuietWhenSortedDirectly();
    void shouldSurviveAnySortColumn_data();
    void shouldSurviveAnySortColumn();
    void shouldMapRows_data();
    void shouldMapRows();
    void shouldMapRowsOfHiddenRows();
    void shouldMapNothingWithoutSource();
    void shouldRefuseItselfAsSource();
};

void tst_SortFilterModel::shouldStartUnsortedAscending()
{
    core::SortFilterModel proxy;
    QCOMPARE(proxy.sortColumn(), -1);
    QCOMPARE(proxy.ascending(), true);
    QCOMPARE(proxy.sortRoleName(), QString());
    QCOMPARE(proxy.property("sortColumn").toInt(), -1);
}

void tst_SortFilterModel::shouldApplyPendingRoleNameWhenSourceArrives()
{
    // Given a role name assigned before any source
    core::SortFilterModel proxy;
    QAbstractItemModelTester tester(&proxy, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QSignalSpy spy(&proxy, &core::SortFilterModel::sortRoleNameChanged);
    QVERIFY(spy.isValid());
    proxy.setSortRoleName(QStringLiteral("age"));
    proxy.setSortColumn(0);
    QCOMPARE(proxy.sortRoleName(), QString());
    QCOMPARE(spy.count(), 0);

    // When a source with that role arrives
    auto source = people();
    proxy.setSourceModel(source.get());

    // Then the proxy sorts by it
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("age"));
    QCOMPARE(proxy.sortRole(), ageRole);
    QCOMPARE(proxy.sortRoleName(), QStringLiteral("age"));
    QCOMPARE(rowsOf(proxy), QStringLiteral("CAB"));
}

void tst_SortFilterModel::shouldTryPendingRoleNameOnlyOnce()
{
    core::SortFilterModel proxy;
    QSignalSpy spy(&proxy, &core::SortFilterModel::sortRoleNameChanged);
    QVERIFY(spy.isValid());
    proxy.setSortRoleName(QStringLiteral("weight"));
    auto first = people();
    auto second = std::make_unique<QStandardItemModel>();
    second->setItemRoleNames({ { ageRole, "weight" } });

    QTest::ignoreMessage(QtDebugMsg, "Sort role \"weight\" not found");
    proxy.setSourceModel(first.get());
    proxy.setSourceModel(second.get());

    QCOMPARE(proxy.sortRole(), int(Qt::DisplayRole));
    QCOMPARE(spy.count(), 0);
}

void tst_SortFilterModel::shouldStorePendingNameAgainAfterSourceDetached()
{
    auto source = people();
    core::SortFilterModel proxy;
    proxy.setSourceModel(source.get());
    proxy.setSourceModel(nullptr);
    QSignalSpy spy(&proxy, &core::SortFilterModel::sortRoleNameChanged);
    QVERIFY(spy.isValid());

    proxy.setSortRoleName(QStringLiteral("age"));
    QCOMPARE(spy.count(), 0);
    proxy.setSourceModel(source.get());

    QCOMPARE(spy.count(), 1);
    QCOMPARE(proxy.sortRole(), ageRole);
}

void tst_SortFilterModel::shouldKeepRoleWhenSourceReplaced()
{
    auto first = people();
    auto second = std::make_unique<QStandardItemModel>();
    second->setItemRoleNames({ { Qt::DisplayRole, "age" } });
    core::SortFilterModel proxy;
    proxy.setSourceModel(first.get());
    proxy.setSortRoleName(QStringLiteral("age"));

    proxy.setSourceModel(second.get());

    // The name is not looked up again in the new source
    QCOMPARE(proxy.sortRole(), ageRole);
    QTest::ignoreMessage(QtDebugMsg, "Sort role 257 not found");
    QCOMPARE(proxy.sortRoleName(), QString());
}

void tst_SortFilterModel::shouldStayQuietForCurrentRoleName()
{
    auto source = people();
    core::SortFilterModel proxy;
    proxy.setSourceModel(source.get());
    QSignalSpy spy(&proxy, &core::SortFilterModel::sortRoleNameChanged);
    QVERIFY(spy.isValid());

    proxy.setSortRoleName(QStringLiteral("name"));
    proxy.setSortRoleName(QStringLiteral("age"));
    proxy.setSortRoleName(QStringLiteral("age"));

    QCOMPARE(spy.count(), 1);
}

void tst_SortFilterModel::shouldKeepRoleForUnknownName()
{
    auto source = people();
    core::SortFilterModel proxy;
    proxy.setSourceModel(source.get());
    proxy.setSortRoleName(QStringLiteral("age"));
    QSignalSpy spy(&proxy, &core::SortFilterModel::sortRoleNameChanged);
    QVERIFY(spy.isValid());

    // Role names are compared case-sensitively
    QTest::ignoreMessage(QtDebugMsg, "Sort role \"Age\" not found");
    proxy.setSortRoleName(QStringLiteral("Age"));

    QCOMPARE(proxy.sortRole(), ageRole);
    QCOMPARE(spy.count(), 0);
}

void tst_SortFilterModel::shouldReadEmptyNameForUnnamedRole()
{
    auto source = people();
    core::SortFilterModel proxy;
    proxy.setSourceModel(source.get());
    proxy.setSortRole(300);

    QTest::ignoreMessage(QtDebugMsg, "Sort role 300 not found");
    QCOMPARE(proxy.sortRoleName(), QString());
}

void tst_SortFilterModel::shouldEmitSortColumnOnlyOnChange()
{
    auto source = people();
    core::SortFilterModel proxy;
    QAbstractItemModelTester tester(&proxy, QAbstractItemModelTester::FailureReportingMode::Fatal);
    proxy.setSourceModel(source.get());
    QSignalSpy columnSpy(&proxy, &core::SortFilterModel::sortColumnChanged);
    QSignalSpy ascendingSpy(&proxy, &core::SortFilterModel::ascendingChanged);
    QVERIFY(columnSpy.isValid());
    QVERIFY(ascendingSpy.isValid());

    proxy.setSortColumn(0);
    proxy.setSortColumn(0);
    proxy.setAscending(true);
    QCOMPARE(rowsOf(proxy), QStringLiteral("ABC"));

    proxy.setAscending(false);
    proxy.setAscending(false);
    QCOMPARE(rowsOf(proxy), QStringLiteral("CBA"));

    proxy.setSortColumn(-1);
    QCOMPARE(rowsOf(proxy), QStringLiteral("BCA"));

    QCOMPARE(columnSpy.count(), 2);
    QCOMPARE(columnSpy.at(0).at(0).toInt(), 0);
    QCOMPARE(columnSpy.at(1).at(0).toInt(), -1);
    QCOMPARE(ascendingSpy.count(), 1);
    QCOMPARE(ascendingSpy.at(0).at(0).toBool(), false);
}

void tst_SortFilterModel::shouldSortDescendingOnceColumnChosen()
{
    auto source = people();
    core::SortFilterModel proxy;
    QAbstractItemModelTester tester(&proxy, QAbstractItemModelTester::FailureReportingMode::Fatal);
    proxy.setSourceModel(source.get());

    // Given descending chosen while unsorted
    proxy.setAscending(false);
    QCOMPARE(proxy.ascending(), false);
    QCOMPARE(rowsOf(proxy), QStringLiteral("BCA"));

    // When a column is chosen
    proxy.setSortColumn(0);

    QCOMPARE(rowsOf(proxy), QStringLiteral("CBA"));
}

void tst_SortFilterModel::shouldStayQuietWhenSortedDirectly()
{
    auto source = people();
    core::SortFilterModel proxy;
    proxy.setSourceModel(source.get());
    QSignalSpy columnSpy(&proxy, &core::SortFilterModel::sortColumnChanged);
    QSignalSpy ascendingSpy(&proxy, &core::SortFilterModel::ascendingChanged);
    QVERIFY(columnSpy.isValid());
    QVERIFY(ascendingSpy.isValid());

    proxy.sort(0, Qt::DescendingOrder);

    QCOMPARE(proxy.sortColumn(), 0);
    QCOMPARE(proxy.ascending(), false);
    QCOMPARE(columnSpy.count(), 0);
    QCOMPARE(ascendingSpy.count(), 0);
}

void tst_SortFilterModel::shouldSurviveAnySortColumn_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("readBack");
    QTest::newRow("past the last column") << 5 << 5;
    QTest::newRow("negative") << -7 << -1;
    QTest::newRow("INT_MIN") << INT_MIN << -1;
    QTest::newRow("INT_MAX") << INT_MAX << INT_MAX;
}

void tst_SortFilterModel::shouldSurviveAnySortColumn()
{
    QFETCH(int, column);
    QFETCH(int, readBack);
    auto source = people();
    core::SortFilterModel proxy;
    QAbstractItemModelTester tester(&proxy, QAbstractItemModelTester::FailureReportingMode::Fatal);
    proxy.setSourceModel(source.get());
    proxy.setSortColumn(0);

    proxy.setSortColumn(column);
    proxy.setAscending(false);
    source->appendRow(new QStandardItem(QStringLiteral("D")));

    QCOMPARE(proxy.sortColumn(), readBack);
    QCOMPARE(proxy.rowCount(), 4);
}

void tst_SortFilterModel::shouldMapRows_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("sourceRow");
    QTest::addColumn<int>("proxyRow");
    // Sorted by name: proxy A, B, C; source B, C, A.
    QTest::newRow("first") << 0 << 2 << 1;
    QTest::newRow("middle") << 1 << 0 << 2;
    QTest::newRow("last") << 2 << 1 << 0;
    QTest::newRow("row count") << 3 << -1 << -1;
    QTest::newRow("minus one") << -1 << -1 << -1;
    QTest::newRow("INT_MIN") << INT_MIN << -1 << -1;
    QTest::newRow("INT_MAX") << INT_MAX << -1 << -1;
}

void tst_SortFilterModel::shouldMapRows()
{
    QFETCH(int, row);
    QFETCH(int, sourceRow);
    QFETCH(int, proxyRow);
    auto source = people();
    core::SortFilterModel proxy;
    QAbstractItemModelTester tester(&proxy, QAbstractItemModelTester::FailureReportingMode::Fatal);
    proxy.setSourceModel(source.get());
    proxy.setSortColumn(0);

    QCOMPARE(proxy.mapRowToSource(row), sourceRow);
    QCOMPARE(proxy.mapRowFromSource(row), proxyRow);
}

void tst_SortFilterModel::shouldMapRowsOfHiddenRows()
{
    auto source = people();
    core::SortFilterModel proxy;
    QAbstractItemModelTester tester(&proxy, QAbstractItemModelTester::FailureReportingMode::Fatal);
    proxy.setSourceModel(source.get());
    proxy.setFilterFixedString(QStringLiteral("C"));

    QCOMPARE(proxy.mapRowFromSource(0), -1);
    QCOMPARE(proxy.mapRowFromSource(1), 0);
    QCOMPARE(proxy.mapRowToSource(0), 1);
    QCOMPARE(proxy.mapRowToSource(1), -1);
}

void tst_SortFilterModel::shouldMapNothingWithoutSource()
{
    core::SortFilterModel proxy;
    QCOMPARE(proxy.mapRowFromSource(0), -1);
    QCOMPARE(proxy.mapRowToSource(0), -1);
}

void tst_SortFilterModel::shouldRefuseItselfAsSource()
{
    auto source = people();
    core::SortFilterModel proxy;
    QAbstractItemModelTester tester(&proxy, QAbstractItemModelTester::FailureReportingMode::Fatal);
    proxy.setSourceModel(source.get());
    core::SortFilterModel above;
    above.setSourceModel(&proxy);

    QVERIFY(proxy.setProperty("sourceModel", QVariant::fromValue<QAbstractItemModel*>(&proxy)));
    proxy.setSourceModel(&above);

    QCOMPARE(proxy.sourceModel(), source.get());
    QCOMPARE(above.rowCount(), 3);
}

QTEST_GUILESS_MAIN(tst_SortFilterModel)
#include "tst_sortfiltermodel.moc"
