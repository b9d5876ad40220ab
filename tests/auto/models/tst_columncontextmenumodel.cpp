// Corvane.Core tests: the column menu model of the table proxy.
#include "models/columncontextmenumodel.h"
#include "support/tableproxy_fixture.h"

#include <QtTest>

#include <climits>

using core::ColumnContextMenuModel;
using core::SortFilterSelectModel;

class TestColumnContextMenuModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void shouldBeOwnedByProxyAndEmptyWithoutSource()
    {
        SortFilterSelectModel proxy;
        auto* menu = qobject_cast<ColumnContextMenuModel*>(proxy.property("columnModel").value<QAbstractItemModel*>());
        QAbstractItemModelTester tester(menu, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(menu->parent(), nullptr);
        menu->trigger(1);
        QCOMPARE(menu->rowCount(), 0);
    }

    // Rows in source order whatever the view's order; a shown column of code 409 cannot be hidden.
    void shouldAnswerEveryRoleOfEveryRow_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("row");
        QTest::addColumn<QVariantList>("expected"); // name, nameNotEmpty, checkable, checked, enabled, type
        const QVariant none;
        const QString showAll = QStringLiteral("&Show all columns");
        const QString restore = QStringLiteral("&Restore column positions");
        QTest::newRow("hidden unnamed column")
            << "" << 1 << QVariantList{QString(), "Quantity", true, false, true, "showhide"};
        QTest::newRow("protected column") << "" << 2 << QVariantList{"R", "R", true, true, false, "showhide"};
        QTest::newRow("protected column hidden") << "h2" << 2 << QVariantList{"R", "R", true, false, true, "showhide"};
        QTest::newRow("column whose code is not a number")
            << "" << 3 << QVariantList{"S", "S", true, true, true, "showhide"};
        QTest::newRow("separator") << "" << 4 << QVariantList{false, false, false, none, none, "separator"};
        QTest::newRow("show all") << "" << 5 << QVariantList{showAll, showAll, false, none, none, "action"};
        QTest::newRow("restore") << "" << 6 << QVariantList{restore, restore, false, none, none, "action"};
        QTest::newRow("beyond") << "" << 7 << QVariantList{none, none, none, none, none, none};
    }
    void shouldAnswerEveryRoleOfEveryRow()
    {
        QFETCH(QString, script);
        QFETCH(int, row);
        QFETCH(QVariantList, expected);
        // Given S moved first, Q hidden with an empty display name, R's code 409, S's code not a number
        cvtest::ProxyFixture f(QStringLiteral("PQRS"), 2);
        f.source.setHeaderValue(1, Qt::DisplayRole, QString());
        f.source.setHeaderValue(1, cvtest::NameNotEmptyRole, QStringLiteral("Quantity"));
        f.source.setHeaderValue(2, cvtest::ColumnCodeRole, 409);
        f.source.setHeaderValue(3, cvtest::ColumnCodeRole, QStringLiteral("not a number"));
        f.run(QStringLiteral("m3,0 h1 ") + script);
        const QAbstractItemModel* menu = f.proxy.columnModel();
        for (int role = -1; role <= 6; ++role) {
            const QVariant value = menu->index(row, 0).data(role);
            const QVariant want = expected.value(role);
            QCOMPARE(value.isValid(), want.isValid());
            QCOMPARE(value.userType() == QMetaType::Bool, want.userType() == QMetaType::Bool);
            QCOMPARE(value.toString(), want.toString());
        }
        const QHash<int, QByteArray> names{{0, "name"}, {1, "nameNotEmpty"}, {2, "checkable"}, {3, "checked"},
            {4, "enabled"}, {5, "type"}};
        QCOMPARE(menu->roleNames(), names);
    }

    // Given S Q shown, P and R hidden (R through the menu, which must not reset for it), and maybe
    // then a source without columns: hidden and moved columns must not outlive their source.
    void shouldTriggerOnlyActionRows_data()
    {
        QTest::addColumn<bool>("noColumns");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("expected");
        QTest::newRow("column row") << false << 1 << "SQ";
        QTest::newRow("separator") << false << 4 << "SQ";
        QTest::newRow("INT_MIN") << false << INT_MIN << "SQ";
        QTest::newRow("INT_MAX") << false << INT_MAX << "SQ";
        QTest::newRow("show all") << false << 5 << "SPRQ";
        QTest::newRow("restore") << false << 6 << "QS";
        QTest::newRow("no columns, separator") << true << 0 << "";
        QTest::newRow("no columns, show all") << true << 1 << "";
        QTest::newRow("no columns, restore") << true << 2 << "";
    }
    void shouldTriggerOnlyActionRows()
    {
        QFETCH(bool, noColumns);
        QFETCH(int, row);
        cvtest::ProxyFixture f(QStringLiteral("PQRS"), 2);
        auto* menu = qobject_cast<ColumnContextMenuModel*>(f.proxy.columnModel());
        cvtest::ReliabilityRandomModel empty(false);
        f.run(QStringLiteral("m3,0 h0"));
        QSignalSpy resetSpy(menu, &QAbstractItemModel::modelReset);
        menu->setSourceColumnVisible(2, false);
        QCOMPARE(resetSpy.count(), 0);
        if (noColumns)
            f.proxy.setSourceModel(&empty);
        QSignalSpy spy(&f.proxy, &SortFilterSelectModel::proxySortColumnChanged);
        menu->trigger(row);
        QTEST(cvtest::headerText(f.proxy), "expected");
        const int showAll = f.proxy.sourceModel()->columnCount() + 1;
        QCOMPARE(spy.count(), row == showAll || row == showAll + 1 ? 1 : 0);
    }
};

QTEST_GUILESS_MAIN(TestColumnContextMenuModel)
#include "tst_columncontextmenumodel.moc"
