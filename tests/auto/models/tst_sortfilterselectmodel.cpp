// Corvane.Core tests: the table proxy's mapping, filtering, source handling and tree sources.
#include "support/tableproxy_fixture.h"

#include <lumen/rowfilter.h>
#include <lumen/sorter.h>

#include <QHeaderView>
#include <QStandardItemModel>
#include <QTableView>
#include <QtTest>

using core::SortFilterSelectModel;
using cvtest::ProxyFixture;
using cvtest::ReliabilityRandomModel;

namespace
{
// Hides the rows whose column 0 text is listed.
class TextFilter : public lum::RowFilter
{
public:
    QStringList hidden;
    bool acceptRow(QAbstractItemModel* model, int sourceRow, const QModelIndex& sourceParent) override
    {
        return !hidden.contains(model->index(sourceRow, 0, sourceParent).data().toString());
    }
};

class ReverseSorter : public lum::Sorter
{
public:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) override { return left.data().toString() > right.data().toString(); }
};
}

class TestSortFilterSelectModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void shouldAssignExtraRolesAboveSourceRoles_data()
    {
        QTest::addColumn<QList<int>>("sourceRoles");
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("standard roles only") << QList<int>{} << QList<int>{256, 257, 258, 259, 260};
        QTest::newRow("gap at 258") << QList<int>{256, 257, 259} << QList<int>{258, 260, 261, 262, 263};
    }
    void shouldAssignExtraRolesAboveSourceRoles()
    {
        QFETCH(QList<int>, sourceRoles);
        QFETCH(QList<int>, expected);
        ProxyFixture f(QStringLiteral("PQ"), 2, false);
        for (int role : sourceRoles)
            f.source.extraRoleNames.insert(role, QByteArray("source") + QByteArray::number(role));
        f.attach();
        const QList<QByteArray> extras{"isSelected", "isHovered", "beginedit", "isPreFocusCell", "isFocusCell"};
        for (int i = 0; i < extras.size(); ++i)
            QCOMPARE(f.role(extras.at(i)), expected.at(i));
        for (int role : sourceRoles)
            QCOMPARE(f.proxy.roleNames().value(role), f.source.extraRoleNames.value(role));
    }

    // Rows hide when the filter invalidates and are sorted again only when their count grew; a
    // destroyed filter or sorter once dangled in the proxy.
    void shouldFilterOnInvalidateAndForgetDestroyedFilterAndSorter()
    {
        // Given a table sorted by P, descending, with a filter that hides P1 once it invalidates
        ProxyFixture f(QStringLiteral("PQ"), 4);
        f.proxy.doSort(0, false);
        auto* filter = new TextFilter;
        f.proxy.setFilter(filter);
        filter->hidden = QStringList{QStringLiteral("P1")};
        QSignalSpy sortSpy(&f.proxy, &SortFilterSelectModel::ascendingChanged);
        Q_EMIT filter->invalidate();
        QCOMPARE(cvtest::columnText(f.proxy, 0), QStringLiteral("P3,P2,P0"));
        QCOMPARE(sortSpy.count(), 0);
        // When everything shows again and a row came meanwhile, rows are sorted again
        f.source.insertRowsAt(QModelIndex(), 0, 1);
        f.source.setData(f.source.index(0, 0), QStringLiteral("P9"));
        filter->hidden.clear();
        Q_EMIT filter->invalidate();
        QCOMPARE(cvtest::columnText(f.proxy, 0), QStringLiteral("P9,P3,P2,P1,P0"));
        QCOMPARE(sortSpy.count(), 1);
        // Once destroyed, the filter and the sorter are gone
        auto* sorter = new ReverseSorter;
        f.proxy.setSorter(sorter);
        QSignalSpy filterSpy(&f.proxy, &SortFilterSelectModel::filterChanged);
        delete filter;
        delete sorter;
        QCOMPARE(filterSpy.count(), 1);
        QCOMPARE(f.proxy.filter(), nullptr);
        f.proxy.doSort(0, true, true);
        QCOMPARE(cvtest::columnText(f.proxy, 0), QStringLiteral("P0,P1,P2,P3,P9"));
    }

    void shouldFollowColumnsTheSourceInsertsAndRemoves()
    {
        // Given A..H with B hidden by its header (C's flag not a bool), sorted by G (proxy column 5)
        ProxyFixture f(QStringLiteral("ABCDEFGH"), 2, false);
        f.source.setHeaderValue(1, cvtest::InitiallyVisibleRole, false);
        f.source.setHeaderValue(2, cvtest::InitiallyVisibleRole, 0);
        f.attach();
        f.run(QStringLiteral("s5+"));
        const QModelIndex stale = f.proxy.index(1, 6);
        QSignalSpy spy(&f.proxy, &SortFilterSelectModel::proxySortColumnChanged);
        // An inserted column declared hidden stays hidden
        ReliabilityRandomModel::Header hidden = ReliabilityRandomModel::header(QStringLiteral("X"));
        hidden.insert(cvtest::InitiallyVisibleRole, false);
        f.source.insertColumnsAt(8, {hidden, ReliabilityRandomModel::header(QStringLiteral("Y"))});
        QCOMPARE(cvtest::headerText(f.proxy), QStringLiteral("ACDEFGHY"));
        // The sort column shifts with removals before it and is gone with its own
        f.source.removeColumnsAt(2, 3);
        QCOMPARE(f.proxy.proxySortColumn(), 2);
        f.source.removeColumnsAt(3, 1);
        QCOMPARE(f.proxy.proxySortColumn(), -1);
        QCOMPARE(spy.count(), 3);
        // A stale index naming a proxy column that no longer exists maps nowhere
        QVERIFY(!f.proxy.mapToSource(stale).isValid());
    }

    // A selection made before a source reset was once cleared or kept across it wrongly; a replaced
    // source stays disconnected, the same source set again is connected once; QML assigned the proxy
    // as its own source (or a proxy stacked on it) and roleNames() recursed until the stack overflowed.
    void shouldRebuildOnSourceResetAndReplacement()
    {
        ProxyFixture f(QStringLiteral("PQR"), 3);
        f.run(QStringLiteral("s1+ m0,2 L1,0"));
        QSignalSpy selectionSpy(&f.proxy, &SortFilterSelectModel::selectionChanged);
        f.source.build(QStringLiteral("XYZW"), 2);
        QCOMPARE(cvtest::headerText(f.proxy), QStringLiteral("XYZW"));
        QCOMPARE(f.proxy.proxySortColumn(), -1);
        QCOMPARE(f.current() + f.selected(), QString());
        QCOMPARE(selectionSpy.count(), 1);
        ReliabilityRandomModel second(false);
        second.build(QStringLiteral("XY"), 2);
        f.proxy.setSourceModel(&second);
        f.proxy.setSourceModel(&second);
        SortFilterSelectModel above;
        above.setSourceModel(&f.proxy);
        f.proxy.setSourceModel(&f.proxy);
        f.proxy.setSourceModel(&above);
        QCOMPARE(f.proxy.sourceModel(), &second);
        QVERIFY(f.proxy.roleNames().contains(Qt::DisplayRole));
        QSignalSpy dataSpy(&f.proxy, &QAbstractItemModel::dataChanged);
        f.source.insertColumnsAt(0, {ReliabilityRandomModel::header(QStringLiteral("Z"))});
        f.source.setData(f.source.index(0, 0), QStringLiteral("changed"));
        second.setData(second.index(1, 1), QStringLiteral("once"));
        QCOMPARE(dataSpy.count(), 1);
        QCOMPARE(f.proxy.columnRecordCount(), 2);
    }

    // A destroyed source is told to views, the selection and QML as a null source is.
    void shouldResetLikeNullSourceWhenSourceIsDestroyed_data()
    {
        QTest::addColumn<bool>("destroy");
        QTest::addColumn<int>("selectionSignals");
        QTest::newRow("source destroyed") << true << 1;
        QTest::newRow("null source") << false << 2;
    }
    void shouldResetLikeNullSourceWhenSourceIsDestroyed()
    {
        QFETCH(bool, destroy);
        ProxyFixture f(QString(), 0, false);
        auto source = std::make_unique<ReliabilityRandomModel>(false);
        source->build(QStringLiteral("PQR"), 3);
        f.proxy.setSourceModel(source.get());
        QTableView view;
        view.setModel(&f.proxy);
        f.run(QStringLiteral("s1+ L1,0 + F"));
        QSignalSpy resetSpy(&f.proxy, &QAbstractItemModel::modelReset);
        QSignalSpy selectionSpy(&f.proxy, &SortFilterSelectModel::selectionChanged);
        QSignalSpy columnSpy(&f.proxy, &SortFilterSelectModel::proxySortColumnChanged);
        destroy ? source.reset() : f.proxy.setSourceModel(nullptr);
        QCOMPARE(resetSpy.count(), 1);
        QTEST(int(selectionSpy.count()), "selectionSignals");
        QCOMPARE(columnSpy.count(), 1);
        QCOMPARE(f.proxy.selectedSourceRowsCount() + f.proxy.rowCount() + f.proxy.columnCount(), 0);
        QCOMPARE(f.proxy.proxySortColumn(), -1);
        // Without a source, column numbers come back unchanged, rows as -1, widths as 100
        QCOMPARE(f.proxy.mapProxyRowToSource(0), -1);
        QCOMPARE(f.proxy.mapProxyColumnToSource(7), 7);
        QCOMPARE(f.proxy.columnWidth(0), 100);
        QCOMPARE(view.verticalHeader()->count(), 0);
        QTest::ignoreMessage(QtDebugMsg, "move from column, 0 , is not valid");
        f.proxy.moveColumn(0, 1);
    }

    void shouldNotifyRowHeaderAndChildChangesAtShownRows()
    {
        qRegisterMetaType<Qt::Orientation>();
        // Given rows sorted descending, with children under row 1, and R moved first
        ProxyFixture f(QStringLiteral("PQR"), 4);
        f.addChildren();
        f.run(QStringLiteral("s0- m2,0"));
        QSignalSpy headerSpy(&f.proxy, &QAbstractItemModel::headerDataChanged);
        QSignalSpy dataSpy(&f.proxy, &QAbstractItemModel::dataChanged);
        // Row headers reach the proxy rows showing them, neighbours in one notification
        Q_EMIT f.source.headerDataChanged(Qt::Vertical, 0, 0);
        Q_EMIT f.source.headerDataChanged(Qt::Vertical, 0, 2);
        QCOMPARE(headerSpy.count(), 2);
        QCOMPARE(headerSpy.at(0).at(1).toInt(), 3);
        QCOMPARE(headerSpy.at(1).mid(1), QVariantList({1, 3}));
        // A child cell reaches the child under its proxy parent (the cell showing source column 0)
        f.source.setData(f.source.index(1, 2, f.source.index(1, 0)), QStringLiteral("c2"));
        QCOMPARE(f.notified(dataSpy), QStringLiteral("display:2.0,0"));
        QCOMPARE(dataSpy.at(0).at(0).toModelIndex().parent(), f.proxy.index(2, 1));
    }

    // Children hang under source column 0. With that column hidden, moved or its row filtered
    // out, their parents are not parents in the proxy; rows of the tree once surfaced under the
    // root or lost their parents; a current cell
    // below a parent whose column was hidden dangled and crashed the next restoreColumnPositions().
    void shouldKeepChildRowsMappedThroughChanges_data()
    {
        QTest::addColumn<QString>("change");
        QTest::newRow("column 0 hidden, rows change below it") << "h0";
        QTest::newRow("column 0 moved, rows change below it") << "m0,2";
        QTest::newRow("parent filtered, rows change below it") << "filter";
        QTest::newRow("current child cell, column 0 hidden, positions restored") << "current";
    }
    void shouldKeepChildRowsMappedThroughChanges()
    {
        QFETCH(QString, change);
        // Three top-level rows with two children each (the second child of row 0 holding one more), four columns
        ReliabilityRandomModel model(true);
        model.reset(3, std::vector<ReliabilityRandomModel::Header>(4), [](void*) { return 1u; }, nullptr);
        for (int row = 0; row < 3; ++row)
            model.insertRowsAt(model.index(row, 0), 0, 2);
        model.insertRowsAt(model.index(1, 0, model.index(0, 0)), 0, 1);
        ProxyFixture f(QString(), 0, false);
        f.proxy.setSourceModel(&model);
        const QModelIndex parent = model.index(0, 0);
        if (change == QLatin1String("current")) {
            f.run(QStringLiteral("L1.1,2"));
            QCOMPARE(f.current(), QStringLiteral("1.1,2"));
            f.run(QStringLiteral("h0"));
            QCOMPARE(f.current() + f.selectedSource(), QString());
            model.removeRowsAt(model.index(1, 0), 0, 1);
            f.proxy.restoreColumnPositions();
            f.proxy.setSourceColumnVisible(0, true);
            f.run(QStringLiteral("L1.0,1"));
            f.proxy.restoreColumnPositions();
            QCOMPARE(f.current(), QStringLiteral("1.0,1"));
        } else {
            TextFilter filter;
            filter.hidden = QStringList{parent.data().toString()};
            change == QLatin1String("filter") ? f.proxy.setFilter(&filter) : f.run(change);
            Q_EMIT filter.invalidate();
            model.touchCells(parent, 1, 0, 3);
            model.insertRowsAt(parent, 1, 4);
            model.moveRowsTo(parent, 0, 1, parent, 4);
            model.moveRowsTo(parent, 0, 1, model.index(2, 0), 0);
            model.removeRowsAt(parent, 0, 2);
            QCOMPARE(cvtest::mappingProblem(f.proxy), QString());
            f.proxy.showAllColumns();
            f.proxy.restoreColumnPositions();
            if (change != QLatin1String("filter"))
                QCOMPARE(f.proxy.rowCount(f.proxy.index(0, 0)), model.rowCount(parent));
        }
        QCOMPARE(cvtest::mappingProblem(f.proxy), QString());
    }

    // Filling a tree one child at a time once reset the proxy per parent, dropping the pre-focus;
    // so did child columns shifting onto a top-level column shown otherwise.
    void shouldChangeChildColumnsWithoutReset_data()
    {
        QTest::addColumn<QString>("change");
        QTest::newRow("first children, one at a time") << "fill";
        QTest::newRow("child column inserted before a hidden column") << "insert";
        QTest::newRow("child column removed after a hidden column") << "remove";
    }
    void shouldChangeChildColumnsWithoutReset()
    {
        QFETCH(QString, change);
        QStandardItemModel source(3, 3);
        for (int r = 0; r < 3; ++r)
            source.setItem(r, 0, new QStandardItem);
        const auto childRow = [](int k) {
            QList<QStandardItem*> row;
            for (const char letter : {'c', 'd', 'e', 'f'})
                row.append(new QStandardItem(QLatin1Char(letter) + QString::number(k)));
            return row;
        };
        if (change != QLatin1String("fill")) {
            for (int k = 0; k < 6; ++k)
                source.item(k / 2)->appendRow(childRow(k));
        }
        SortFilterSelectModel proxy;
        QAbstractItemModelTester tester(&proxy, QAbstractItemModelTester::FailureReportingMode::QtTest);
        proxy.setSourceModel(&source);
        proxy.setSourceColumnVisible(1, false);
        for (int r = 0; r < 3; ++r)
            proxy.rowCount(proxy.index(r, 0));
        proxy.leftClickSelection(1, 1);
        proxy.increasePreFocusIndexColumn();
        proxy.increasePreFocusIndexColumn();
        const int preFocus = proxy.roleNames().key("isPreFocusCell");
        QVERIFY(proxy.index(1, 1).data(preFocus).toBool());
        QSignalSpy resetSpy(&proxy, &QAbstractItemModel::modelReset);
        if (change == QLatin1String("fill")) {
            for (int k = 0; k < 6; ++k)
                source.item(k / 2)->appendRow(childRow(k));
        } else if (change == QLatin1String("insert")) {
            // Columns 0 and 1 below row 2 move onto the hidden column and the one after it.
            source.item(2)->insertColumns(0, 1);
        } else {
            // Column 2 below row 2 moves onto the hidden column, column 1 (hidden) onto column 0.
            source.item(2)->removeColumns(0, 1);
        }
        QCOMPARE(resetSpy.count(), 0);
        QVERIFY(proxy.index(1, 1).data(preFocus).toBool());
        QVERIFY(proxy.isSelected(1));
        const QString shown = change == QLatin1String("insert") ? QStringLiteral(",d5")
            : change == QLatin1String("remove")                 ? QStringLiteral("d5,f5")
                                                                : QStringLiteral("c5,e5");
        const QModelIndex parent = proxy.index(2, 0);
        QCOMPARE(proxy.index(1, 0, parent).data().toString() + QLatin1Char(',') + proxy.index(1, 1, parent).data().toString(), shown);
        QCOMPARE(cvtest::mappingProblem(proxy), QString());
    }

    void shouldShowLevelsBelowARowAgainAfterTheFilterChangedThem()
    {
        // Root rows a and b; b holds c, c holds g, g holds leaf; three columns on every level.
        QStandardItemModel source(0, 3);
        const auto row = [](const QString& name) {
            return QList<QStandardItem*> { new QStandardItem(name), new QStandardItem(name + "/1"),
                new QStandardItem(name + "/2") };
        };
        source.appendRow(row("a"));
        QList<QStandardItem*> level = row("b");
        source.appendRow(level);
        for (const char* name : { "c", "g", "leaf" }) {
            const QList<QStandardItem*> below = row(QString::fromLatin1(name));
            level.first()->appendRow(below);
            level = below;
        }
        TextFilter filter;
        SortFilterSelectModel proxy;
        QAbstractItemModelTester tester(&proxy, QAbstractItemModelTester::FailureReportingMode::QtTest);
        proxy.setSourceModel(&source);
        proxy.setFilter(&filter);
        filter.hidden = QStringList { "b" };
        Q_EMIT filter.invalidate();
        const QModelIndex g = source.index(0, 0, source.index(0, 0, source.index(1, 0)));
        // Mapping a cell three levels below the hidden row leaves the levels between unmapped.
        QVERIFY(!proxy.mapFromSource(source.index(0, 0, g)).isValid());
        // While b is filtered out, the filter takes g out and then lets it back.
        filter.hidden = QStringList { "b", "g" };
        Q_EMIT filter.invalidate();
        filter.hidden = QStringList { "b" };
        Q_EMIT filter.invalidate();
        filter.hidden.clear();
        Q_EMIT filter.invalidate();
        const QModelIndex shownG = proxy.mapFromSource(g);
        QVERIFY(shownG.isValid());
        QCOMPARE(proxy.index(0, 1, shownG).data().toString(), QStringLiteral("leaf/1"));
        QCOMPARE(cvtest::mappingProblem(proxy), QString());
    }
};

QTEST_MAIN(TestSortFilterSelectModel)
#include "tst_sortfilterselectmodel.moc"
