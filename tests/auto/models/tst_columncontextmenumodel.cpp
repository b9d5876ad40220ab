// Corvane.Core tests: the column menu model of the table proxy.
#include "models/columncontextmenumodel.h"
#include "support/tableproxy_fixture.h"

#include <QtTest>

#include <climits>

using core::ColumnContextMenuModel;
using core::SortFilterSelectModel;

namespace
{
enum MenuRole
{
    Name = 0,
    NameNotEmpty,
    Checkable,
    Checked,
    Enabled,
    Type
};

struct Fixture : cvtest::ProxyFixture
{
    Fixture()
        : ProxyFixture(QStringLiteral("PQRS"), 2)
    {
        menu->refresh();
    }
    QVariant value(int row, int role) const { return menu->index(row, 0).data(role); }
    QString types() const
    {
        QStringList kinds;
        for (int r = 0; r < menu->rowCount(); ++r)
            kinds.append(value(r, Type).toString());
        return kinds.join(QLatin1Char(','));
    }
    ColumnContextMenuModel* menu = qobject_cast<ColumnContextMenuModel*>(proxy.columnModel());
};
}

class TestColumnContextMenuModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void shouldBeOwnedByProxyAndEmptyWithoutSource()
    {
        SortFilterSelectModel proxy;
        auto* menu = qobject_cast<ColumnContextMenuModel*>(proxy.property("columnModel").value<QAbstractItemModel*>());
        QVERIFY(menu);
        QAbstractItemModelTester tester(menu, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(menu->parent(), nullptr);
        for (int role = Name; role <= Type; ++role)
            QVERIFY(!menu->data(menu->index(0, 0), role).isValid());
        menu->trigger(1);
        menu->setSourceColumnVisible(0, false);
        menu->refresh();
        QCOMPARE(menu->rowCount(), 0);
    }

    void shouldAnswerEveryRoleOfEveryRowKind_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QVariantList>("expected"); // name, nameNotEmpty, checkable, checked, enabled, type
        const QVariant none;
        // Column Q has an empty display header and a menu name
        QTest::newRow("column") << 0 << QVariantList { "P", "P", true, true, true, "showhide" };
        QTest::newRow("unnamed column") << 1
                                        << QVariantList { QString(), QStringLiteral("Quantity"), true, true, true, "showhide" };
        QTest::newRow("last column") << 3 << QVariantList { "S", "S", true, true, true, "showhide" };
        QTest::newRow("separator") << 4 << QVariantList { false, false, false, none, none, "separator" };
        QTest::newRow("show all") << 5
                                  << QVariantList { "&Show all columns", "&Show all columns", false, none, none, "action" };
        QTest::newRow("restore") << 6
                                 << QVariantList { "&Restore column positions", "&Restore column positions", false, none,
                                        none, "action" };
        QTest::newRow("beyond") << 7 << QVariantList { none, none, none, none, none, none };
    }
    void shouldAnswerEveryRoleOfEveryRowKind()
    {
        QFETCH(int, row);
        QFETCH(QVariantList, expected);
        Fixture f;
        f.source.setHeaderValue(1, Qt::DisplayRole, QString());
        f.source.setHeaderValue(1, cvtest::NameNotEmptyRole, QStringLiteral("Quantity"));
        QCOMPARE(f.menu->rowCount(), 7);
        for (int role = Name; role <= Type; ++role) {
            const QVariant value = f.value(row, role);
            const QVariant& want = expected.at(role);
            QCOMPARE(value.isValid(), want.isValid());
            if (want.isValid()) {
                QCOMPARE(value.userType() == QMetaType::Bool, want.userType() == QMetaType::Bool);
                QCOMPARE(value.toString(), want.toString());
            }
        }
        QVERIFY(!f.value(row, 6).isValid());
        QVERIFY(!f.value(row, -1).isValid());
        const QHash<int, QByteArray> names { { 0, "name" }, { 1, "nameNotEmpty" }, { 2, "checkable" }, { 3, "checked" },
            { 4, "enabled" }, { 5, "type" } };
        QCOMPARE(f.menu->roleNames(), names);
    }

    void shouldOfferOnlyActionsForSourceWithoutColumns()
    {
        // Given a proxy whose source has no columns but hidden and moved ones before
        Fixture f;
        f.proxy.moveColumn(0, 2);
        f.proxy.setSourceColumnVisible(1, false);
        cvtest::ReliabilityRandomModel empty(false);
        empty.build(QString(), 0);
        f.proxy.setSourceModel(&empty);
        f.menu->refresh();
        QCOMPARE(f.types(), QStringLiteral("separator,action,action"));
        QSignalSpy spy(&f.proxy, &SortFilterSelectModel::proxySortColumnChanged);
        f.menu->trigger(0);
        QCOMPARE(spy.count(), 0);
        f.menu->trigger(1);
        QCOMPARE(spy.count(), 1);
        f.menu->trigger(2);
        QCOMPARE(spy.count(), 2);
    }

    void shouldListColumnsInSourceOrderWithVisibility()
    {
        // Given S moved first, Q hidden, R protected by its code, S's code not a number
        Fixture f;
        f.proxy.moveColumn(3, 0);
        f.proxy.setSourceColumnVisible(1, false);
        f.source.setHeaderValue(2, cvtest::ColumnCodeRole, 409);
        f.source.setHeaderValue(3, cvtest::ColumnCodeRole, QStringLiteral("not a number"));
        QCOMPARE(cvtest::headerText(f.proxy), QStringLiteral("SPR"));
        f.menu->refresh();
        QCOMPARE(f.value(1, Name).toString(), QStringLiteral("Q"));
        QCOMPARE(f.value(1, Checked).toBool(), false);
        QCOMPARE(f.value(1, Enabled).toBool(), true);
        // A protected column cannot be hidden from the menu while shown
        QCOMPARE(f.value(2, Enabled).toBool(), false);
        QCOMPARE(f.value(3, Enabled).toBool(), true);
        f.proxy.setSourceColumnVisible(2, false);
        QCOMPARE(f.value(2, Enabled).toBool(), true);
        QCOMPARE(f.value(2, Checked).toBool(), false);
    }

    void shouldForwardVisibilityAndResetOnlyOnRefresh()
    {
        Fixture f;
        QSignalSpy aboutSpy(f.menu, &QAbstractItemModel::modelAboutToBeReset);
        QSignalSpy resetSpy(f.menu, &QAbstractItemModel::modelReset);
        QSignalSpy dataSpy(f.menu, &QAbstractItemModel::dataChanged);
        QSignalSpy proxySpy(&f.proxy, &SortFilterSelectModel::proxySortColumnChanged);
        f.menu->setSourceColumnVisible(2, false);
        QCOMPARE(cvtest::headerText(f.proxy), QStringLiteral("PQS"));
        QCOMPARE(proxySpy.count(), 1);
        QCOMPARE(resetSpy.count() + dataSpy.count(), 0);
        // A refresh resets views once and lists new columns
        f.source.insertColumnsAt(4, {cvtest::ReliabilityRandomModel::header(QStringLiteral("T"))});
        f.menu->refresh();
        QCOMPARE(aboutSpy.count(), 1);
        QCOMPARE(resetSpy.count(), 1);
        QCOMPARE(f.menu->rowCount(), 8);
        QCOMPARE(f.value(4, Name).toString(), QStringLiteral("T"));
    }

    void shouldTriggerOnlyActionRows_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("expected");
        QTest::newRow("column row") << 1 << "SQ";
        QTest::newRow("separator") << 4 << "SQ";
        QTest::newRow("beyond") << 7 << "SQ";
        QTest::newRow("INT_MIN") << INT_MIN << "SQ";
        QTest::newRow("INT_MAX") << INT_MAX << "SQ";
        QTest::newRow("show all") << 5 << "SPRQ";
        QTest::newRow("restore") << 6 << "QS";
    }
    void shouldTriggerOnlyActionRows()
    {
        // Given S Q shown, P and R hidden
        QFETCH(int, row);
        Fixture f;
        f.proxy.moveColumn(3, 0);
        f.proxy.setSourceColumnVisible(0, false);
        f.proxy.setSourceColumnVisible(2, false);
        QCOMPARE(cvtest::headerText(f.proxy), QStringLiteral("SQ"));
        QSignalSpy spy(&f.proxy, &SortFilterSelectModel::proxySortColumnChanged);
        f.menu->trigger(row);
        QTEST(cvtest::headerText(f.proxy), "expected");
        QCOMPARE(spy.count(), row == 5 || row == 6 ? 1 : 0);
    }
};

QTEST_GUILESS_MAIN(TestColumnContextMenuModel)
#include "tst_columncontextmenumodel.moc"
