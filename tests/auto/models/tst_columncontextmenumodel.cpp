// Corvane.Core tests.
#include "models/columncontextmenumodel.h"
#include "models/sortfilterselectmodel.h"

#include "support/tableproxy_helpers.h"
#include "support/tableproxy_testmodel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QtTest>

using core::ColumnContextMenuModel;
using core::SortFilterSelectModel;
using cvtest::TableProxyTestModel;

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

struct Fixture
{
    explicit Fixture(const QString& columns = QStringLiteral("PQRS"))
    {
        source.build(columns, 2);
        menu = qobject_cast<ColumnContextMenuModel*>(proxy.columnModel());
        new QAbstractItemModelTester(&proxy, QAbstractItemModelTester::FailureReportingMode::QtTest, &proxy);
        new QAbstractItemModelTester(menu, QAbstractItemModelTester::FailureReportingMode::QtTest, menu);
        proxy.setSourceModel(&source);
        menu->refresh();
    }
    QVariant value(int row, int role) const { return menu->index(row, 0).data(role); }
    // The kinds of all rows, comma-separated.
    QString types() const
    {
        QStringList kinds;
        for (int r = 0; r < menu->rowCount(); ++r)
            kinds.append(value(r, Type).toString());
        return kinds.join(QLatin1Char(','));
    }
    TableProxyTestModel source;
    SortFilterSelectModel proxy;
    ColumnContextMenuModel* menu = nullptr;
};
}

class TestColumnContextMenuModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void shouldBeOwnedByProxy();
    void shouldListColumnsThenSeparatorThenActions();
    void shouldAnswerEveryRoleOfEveryRowKind_data();
    void shouldAnswerEveryRoleOfEveryRowKind();
    void shouldNameRolesExactly();
    void shouldBeEmptyWithoutSource();
    void shouldHaveNoChildren();
    void shouldOfferOnlyActionsForSourceWithoutColumns();
    void shouldFollowSourceOrderAndVisibility();
    void shouldNotLetProtectedColumnBeHiddenFromMenu();
    void shouldForwardVisibilityWithoutSignalsOfItsOwn();
    void shouldTriggerOnlyActionRows_data();
    void shouldTriggerOnlyActionRows();
    void shouldResetViewsOnRefresh();
};

void TestColumnContextMenuModel::shouldBeOwnedByProxy()
{
    SortFilterSelectModel proxy;
    QAbstractItemModel* menu = proxy.property("columnModel").value<QAbstractItemModel*>();
    QVERIFY(menu);
    new QAbstractItemModelTester(menu, QAbstractItemModelTester::FailureReportingMode::QtTest, menu);
    QCOMPARE(menu, proxy.columnModel());
    QCOMPARE(menu->parent(), nullptr);
    QCOMPARE(QString::fromLatin1(menu->metaObject()->className()), QStringLiteral("core::ColumnContextMenuModel"));
}

void TestColumnContextMenuModel::shouldListColumnsThenSeparatorThenActions()
{
    Fixture f;
    QCOMPARE(f.menu->rowCount(), 7);
    QCOMPARE(f.types(), QStringLiteral("showhide,showhide,showhide,showhide,separator,action,action"));
    QCOMPARE(f.value(0, Name).toString(), QStringLiteral("P"));
    QCOMPARE(f.value(3, Name).toString(), QStringLiteral("S"));
    QCOMPARE(f.value(5, Name).toString(), QStringLiteral("&Show all columns"));
    QCOMPARE(f.value(6, Name).toString(), QStringLiteral("&Restore column positions"));
}

void TestColumnContextMenuModel::shouldAnswerEveryRoleOfEveryRowKind_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QVariantList>("expected"); // name, nameNotEmpty, checkable, checked, enabled, type
    const QVariant none;
    // Column Q has an empty display header and a menu name
    QTest::newRow("column") << 1
                            << QVariantList { QString(), QStringLiteral("Quantity"), true, true, true, "showhide" };
    QTest::newRow("separator") << 4 << QVariantList { false, false, false, none, none, "separator" };
    QTest::newRow("show all") << 5
                              << QVariantList { "&Show all columns", "&Show all columns", false, none, none, "action" };
    QTest::newRow("restore") << 6
                             << QVariantList { "&Restore column positions", "&Restore column positions", false, none,
                                    none, "action" };
}

void TestColumnContextMenuModel::shouldAnswerEveryRoleOfEveryRowKind()
{
    QFETCH(int, row);
    QFETCH(QVariantList, expected);
    Fixture f;
    f.source.setHeader(1, Qt::DisplayRole, QString());
    f.source.setHeader(1, cvtest::NameNotEmptyRole, QStringLiteral("Quantity"));
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
    QVERIFY(!f.value(row, Qt::UserRole).isValid());
    QVERIFY(!f.value(row, -1).isValid());
}

void TestColumnContextMenuModel::shouldNameRolesExactly()
{
    Fixture f;
    const QHash<int, QByteArray> expected { { 0, "name" }, { 1, "nameNotEmpty" }, { 2, "checkable" }, { 3, "checked" },
        { 4, "enabled" }, { 5, "type" } };
    QCOMPARE(f.menu->roleNames(), expected);
}

void TestColumnContextMenuModel::shouldBeEmptyWithoutSource()
{
    SortFilterSelectModel proxy;
    auto* menu = qobject_cast<ColumnContextMenuModel*>(proxy.columnModel());
    new QAbstractItemModelTester(menu, QAbstractItemModelTester::FailureReportingMode::QtTest, menu);
    QCOMPARE(menu->rowCount(), 0);
    for (int role = Name; role <= Type; ++role)
        QVERIFY(!menu->data(menu->index(0, 0), role).isValid());
    menu->trigger(1);
    menu->trigger(2);
    menu->setSourceColumnVisible(0, false);
    menu->refresh();
    QCOMPARE(menu->rowCount(), 0);
}

void TestColumnContextMenuModel::shouldHaveNoChildren()
{
    Fixture f;
    QCOMPARE(f.menu->rowCount(f.menu->index(0, 0)), 0);
    QVERIFY(!f.menu->data(QModelIndex(), Name).isValid());
}

void TestColumnContextMenuModel::shouldOfferOnlyActionsForSourceWithoutColumns()
{
    // Given a proxy whose source has no columns but hidden and moved ones before
    Fixture f;
    f.proxy.moveColumn(0, 2);
    f.proxy.setSourceColumnVisible(1, false);
    TableProxyTestModel empty;
    empty.reset({}, {});
    f.proxy.setSourceModel(&empty);
    f.menu->refresh();
    QCOMPARE(f.types(), QStringLiteral("separator,action,action"));
    QSignalSpy spy(&f.proxy, &SortFilterSelectModel::proxySortColumnChanged);
    QVERIFY(spy.isValid());
    f.menu->trigger(0);
    QCOMPARE(spy.count(), 0);
    f.menu->trigger(1);
    QCOMPARE(spy.count(), 1);
    f.menu->trigger(2);
    QCOMPARE(spy.count(), 2);
}

void TestColumnContextMenuModel::shouldFollowSourceOrderAndVisibility()
{
    Fixture f;
    f.proxy.moveColumn(3, 0);
    f.proxy.setSourceColumnVisible(1, false);
    QCOMPARE(cvtest::headerText(f.proxy), QStringLiteral("SPR"));
    f.menu->refresh();
    QCOMPARE(f.value(0, Name).toString(), QStringLiteral("P"));
    QCOMPARE(f.value(1, Name).toString(), QStringLiteral("Q"));
    QCOMPARE(f.value(1, Checked).toBool(), false);
    QCOMPARE(f.value(3, Checked).toBool(), true);
    QCOMPARE(f.value(1, Enabled).toBool(), true);
}

void TestColumnContextMenuModel::shouldNotLetProtectedColumnBeHiddenFromMenu()
{
    Fixture f;
    f.source.setHeader(2, cvtest::ColumnCodeRole, 409);
    f.source.setHeader(3, cvtest::ColumnCodeRole, QStringLiteral("not a number"));
    QCOMPARE(f.value(2, Enabled).toBool(), false);
    QCOMPARE(f.value(3, Enabled).toBool(), true);
    QCOMPARE(f.value(0, Enabled).toBool(), true);
    f.proxy.setSourceColumnVisible(2, false);
    QCOMPARE(f.value(2, Enabled).toBool(), true);
    QCOMPARE(f.value(2, Checked).toBool(), false);
}

void TestColumnContextMenuModel::shouldForwardVisibilityWithoutSignalsOfItsOwn()
{
    Fixture f;
    QSignalSpy resetSpy(f.menu, &QAbstractItemModel::modelReset);
    QSignalSpy dataSpy(f.menu, &QAbstractItemModel::dataChanged);
    QSignalSpy proxySpy(&f.proxy, &SortFilterSelectModel::proxySortColumnChanged);
    QVERIFY(resetSpy.isValid());
    QVERIFY(dataSpy.isValid());
    QVERIFY(proxySpy.isValid());
    f.menu->setSourceColumnVisible(2, false);
    QCOMPARE(cvtest::headerText(f.proxy), QStringLiteral("PQS"));
    QCOMPARE(proxySpy.count(), 1);
    QCOMPARE(resetSpy.count(), 0);
    QCOMPARE(dataSpy.count(), 0);
    f.menu->refresh();
    QCOMPARE(f.value(2, Checked).toBool(), false);
    f.menu->setSourceColumnVisible(2, true);
    QCOMPARE(cvtest::headerText(f.proxy), QStringLiteral("PQRS"));
}

void TestColumnContextMenuModel::shouldTriggerOnlyActionRows_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("expected");
    QTest::newRow("column row") << 1 << "SQ";
    QTest::newRow("separator") << 4 << "SQ";
    QTest::newRow("beyond") << 7 << "SQ";
    QTest::newRow("negative") << -1 << "SQ";
    QTest::newRow("show all") << 5 << "SPRQ";
    QTest::newRow("restore") << 6 << "QS";
}

void TestColumnContextMenuModel::shouldTriggerOnlyActionRows()
{
    QFETCH(int, row);
    QFETCH(QString, expected);
    // Given S Q shown, P and R hidden
    Fixture f;
    f.proxy.moveColumn(3, 0);
    f.proxy.setSourceColumnVisible(0, false);
    f.proxy.setSourceColumnVisible(2, false);
    QCOMPARE(cvtest::headerText(f.proxy), QStringLiteral("SQ"));
    f.menu->trigger(row);
    QCOMPARE(cvtest::headerText(f.proxy), expected);
}

void TestColumnContextMenuModel::shouldResetViewsOnRefresh()
{
    Fixture f;
    QSignalSpy aboutSpy(f.menu, &QAbstractItemModel::modelAboutToBeReset);
    QSignalSpy resetSpy(f.menu, &QAbstractItemModel::modelReset);
    QVERIFY(aboutSpy.isValid());
    QVERIFY(resetSpy.isValid());
    f.source.insertColumnAt(4, TableProxyTestModel::column(QStringLiteral("T")));
    f.menu->refresh();
    QCOMPARE(aboutSpy.count(), 1);
    QCOMPARE(resetSpy.count(), 1);
    QCOMPARE(f.menu->rowCount(), 8);
    QCOMPARE(f.value(4, Name).toString(), QStringLiteral("T"));
}

QTEST_GUILESS_MAIN(TestColumnContextMenuModel)
#include "tst_columncontextmenumodel.moc"
