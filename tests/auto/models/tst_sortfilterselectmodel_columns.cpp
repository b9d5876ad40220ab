// Corvane.Core tests: the table proxy's column layout, widths and their persistence.
#include "support/tableproxy_fixture.h"

#include <loom/columnstore.h>

#include <QTemporaryDir>
#include <QtTest>

using core::SortFilterSelectModel;
using cvtest::ProxyFixture;

namespace
{
// What the views see of the layout: headers and widths in display order, hidden source columns, sort column.
QString layoutOf(const SortFilterSelectModel& proxy)
{
    QString text = cvtest::headerText(proxy) + QLatin1Char(' ');
    for (int k = 0; k < proxy.columnCount(); ++k)
        text += QString::number(proxy.columnWidth(k)) + QLatin1Char(' ');
    QStringList hidden;
    for (int c = 0; c < proxy.columnRecordCount(); ++c) {
        if (!proxy.isSourceColumnVisible(c))
            hidden.append(proxy.sourceModel()->headerData(c, Qt::Horizontal).toString());
    }
    hidden.sort();
    return text + hidden.join(QLatin1Char(',')) + QStringLiteral(" sort ") + QString::number(proxy.proxySortColumn());
}

}

class TestSortFilterSelectModelColumns : public QObject
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

    // A move announces one column move (destination as Qt numbers it) and one layout change; a
    // refused one logs its pinned reason and changes nothing.
    void shouldMoveColumnOrRefuse_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("dest");
        QTest::addColumn<QString>("message");
        QTest::newRow("0 to 2") << 0 << 2 << "QRPS" << 3 << "";
        QTest::newRow("3 to 1") << 3 << 1 << "PSQR" << 1 << "";
        QTest::newRow("to beyond") << 1 << 9 << "PQRS" << -1 << "move to column, 9 , is not valid";
        QTest::newRow("to negative") << 1 << -1 << "PQRS" << -1 << "move to column, -1 , is not valid";
        QTest::newRow("from beyond") << 4 << 1 << "PQRS" << -1 << "move from column, 4 , is not valid";
        QTest::newRow("from negative") << -2 << 1 << "PQRS" << -1 << "move from column, -2 , is not valid";
        QTest::newRow("onto itself") << 2 << 2 << "PQRS" << -1 << "";
    }
    void shouldMoveColumnOrRefuse()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(int, dest);
        QFETCH(QString, message);
        ProxyFixture f(QStringLiteral("PQRS"), 6);
        QSignalSpy moveSpy(&f.proxy, &QAbstractItemModel::columnsAboutToBeMoved);
        QSignalSpy columnSpy(&f.proxy, &SortFilterSelectModel::proxySortColumnChanged);
        if (!message.isEmpty())
            QTest::ignoreMessage(QtDebugMsg, message.toUtf8().constData());
        f.proxy.moveColumn(from, to);
        QTEST(cvtest::headerText(f.proxy), "expected");
        QCOMPARE(columnSpy.count(), dest < 0 ? 0 : 1);
        QCOMPARE(moveSpy.count(), dest < 0 ? 0 : 1);
        for (const QList<QVariant>& move : moveSpy)
            QCOMPARE(QVariantList({move.at(1), move.at(2), move.at(4)}), QVariantList({from, from, dest}));
    }

    // Steps as ProxyFixture::run spells them, or restore, load (the saved layout) or remove (source column T).
    void shouldKeepSelectedRowsThroughColumnChanges_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("headers");
        QTest::newRow("move first to last and back") << "m0,3 m3,0" << "PTQS";
        QTest::newRow("restore column positions") << "restore" << "PQST";
        QTest::newRow("load a layout") << "w2 m0,3 load" << "PTQS";
        QTest::newRow("source removes the current column") << "remove" << "PQS";
    }
    void shouldKeepSelectedRowsThroughColumnChanges()
    {
        QFETCH(QString, script);
        // Given a layout with a moved and a hidden column, saved, and rows 1 and 3 selected
        ProxyFixture f(QStringLiteral("PQRST"), 6, false);
        f.proxy.setParentId(QStringLiteral("selection ") + script);
        f.attach();
        f.run(QStringLiteral("m4,1 h2"));
        f.proxy.saveColumnData();
        f.run(QStringLiteral("L1,0 C3,1"));
        // When the columns change
        for (const QString& step : script.split(QLatin1Char(' '))) {
            if (step == QLatin1String("restore"))
                f.proxy.restoreColumnPositions();
            else if (step == QLatin1String("load"))
                f.proxy.loadColumnData();
            else if (step == QLatin1String("remove"))
                f.source.removeColumnsAt(4, 1);
            else
                f.run(step);
        }
        // Then exactly those rows stay selected, whole, and row 3 stays current
        QTEST(cvtest::headerText(f.proxy), "headers");
        QCOMPARE(f.states(), QStringLiteral("isSelected=1 3"));
        QCOMPARE(f.proxy.selectionModel()->currentIndex().row(), 3);
        QCOMPARE(cvtest::mappingProblem(f.proxy), QString());
    }

    // A layout saved, the store written and read back as by another process: QML re-reads widths,
    // order and visibility on proxySortColumnChanged, so a load that changed them says so once,
    // after they are all in place.
    void shouldNotifyOnceLoadedLayoutIsInPlace_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QStringList>("seen");
        const QString loaded = QStringLiteral("RP 100 44 Q sort -1");
        QTest::newRow("load") << "load" << QStringList{loaded};
        QTest::newRow("load of an unchanged layout") << "reload" << QStringList{};
        QTest::newRow("load with an initial sort") << "initial" << QStringList{QStringLiteral("RP 100 44 Q sort 1")};
        QTest::newRow("attach with a parent id") << "attach" << QStringList{loaded};
    }
    void shouldNotifyOnceLoadedLayoutIsInPlace()
    {
        QFETCH(QString, how);
        const QString table = QStringLiteral("notify/") + how + QStringLiteral(" [table]");
        {
            ProxyFixture f(QStringLiteral("PQR"), 2, false);
            f.proxy.setParentId(table);
            f.attach();
            f.run(QStringLiteral("m2,0 h1"));
            f.proxy.setColumnWidth(1, 44);
            f.proxy.saveColumnData();
        }
        QVERIFY(lom::flushColumnStore());
        lom::resetColumnStore();
        ProxyFixture f(QStringLiteral("PQR"), 2, false);
        if (how == QLatin1String("initial"))
            f.source.setHeaderValue(0, cvtest::InitialSortColumnRole, true);
        QStringList seen;
        connect(&f.proxy, &SortFilterSelectModel::proxySortColumnChanged, this, [&] { seen.append(layoutOf(f.proxy)); });
        if (how == QLatin1String("attach")) {
            f.proxy.setParentId(table);
            seen.clear();
            f.attach();
            seen = seen.mid(seen.size() - 1);
        } else {
            f.attach();
            f.proxy.setParentId(table);
            if (how == QLatin1String("reload"))
                f.proxy.loadColumnData();
            seen.clear();
            f.proxy.loadColumnData();
        }
        QTEST(seen, "seen");
    }

    void shouldHideAndShowColumnsAtRememberedPlaces()
    {
        qRegisterMetaType<Qt::Orientation>();
        // Hiding keeps the place; out of range does nothing
        ProxyFixture f(QStringLiteral("PQRST"), 2);
        f.run(QStringLiteral("m4,0 h1 h3 h9 w9"));
        QCOMPARE(cvtest::headerText(f.proxy), QStringLiteral("TPR"));
        // Header changes reach the views where the columns show, a hidden one's not at all
        QSignalSpy spy(&f.proxy, &QAbstractItemModel::headerDataChanged);
        f.source.setHeaderValue(0, Qt::DisplayRole, QStringLiteral("p"));
        f.source.setHeaderValue(1, Qt::DisplayRole, QStringLiteral("q"));
        f.source.setHeaderValue(4, Qt::DisplayRole, QStringLiteral("t"));
        QCOMPARE(spy.count(), 2);
        QCOMPARE(spy.at(0), (QList<QVariant>{QVariant::fromValue(Qt::Horizontal), 1, 1}));
        QCOMPARE(spy.at(1).at(1).toInt(), 0);
        // Each returns to the position it had when it was hidden: Q at 2, then S at 3
        f.proxy.showAllColumns();
        QCOMPARE(cvtest::headerText(f.proxy), QStringLiteral("tpqSR"));
        // The last visible column stays
        f.run(QStringLiteral("h0 h1 h2 h3 h4"));
        QCOMPARE(cvtest::headerText(f.proxy), QStringLiteral("t"));
    }

    void shouldTakeWidthsFromHeaderAndSlots()
    {
        // Given P (40 px, weight INT_MAX), Q (no width, weight INT_MAX), R (negative weight)
        ProxyFixture f(QStringLiteral("PQR"), 1, false);
        f.source.setHeaderValue(0, Qt::SizeHintRole, QSize(40, 10));
        f.source.setHeaderValue(1, Qt::SizeHintRole, QSize(0, 10));
        f.source.setHeaderValue(0, cvtest::ProportionalWidthRole, INT_MAX);
        f.source.setHeaderValue(1, cvtest::ProportionalWidthRole, INT_MAX);
        f.source.setHeaderValue(2, cvtest::ProportionalWidthRole, -2);
        f.attach();
        QCOMPARE(f.proxy.naturalWidth(), 240);
        QCOMPARE(f.proxy.columnProportionalWidth(2), 0);
        // Sums of extreme widths saturate instead of overflowing
        QCOMPARE(f.proxy.proportionalWidth(), INT_MAX);
        f.proxy.resizeColumn(0, INT_MAX);
        f.proxy.resizeColumn(1, INT_MAX);
        QCOMPARE(f.proxy.naturalWidth(), INT_MAX);
        // Slots take proxy columns; setColumnWidth refuses negative widths, resizeColumn takes them
        f.run(QStringLiteral("m2,0"));
        f.proxy.setColumnWidth(0, 10);
        f.proxy.resizeColumn(1, INT_MIN);
        f.proxy.resizeColumn(2, INT_MIN);
        QCOMPARE(f.proxy.naturalWidth(), INT_MIN);
        f.proxy.resizeColumn(2, -5);
        f.proxy.setColumnWidth(1, -5);
        QCOMPARE(f.proxy.naturalWidth(), INT_MIN + 5);
    }

    // Source P Q R S T, shown as P T Q S: T moved by the user, R hidden, Q 33 pixels wide.
    void shouldKeepLayoutWhenSourceMovesColumns_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("dest");
        QTest::addColumn<QString>("sortBy");
        QTest::newRow("tree: first column to the right") << 0 << 1 << 3 << QString();
        QTest::newRow("tree: two columns to the end") << 1 << 2 << 5 << QString();
        QTest::newRow("the sort column") << 1 << 1 << 5 << QStringLiteral("Q");
        QTest::newRow("a column past the sort column") << 4 << 1 << 2 << QStringLiteral("S");
        QTest::newRow("the hidden sort column") << 2 << 1 << 0 << QStringLiteral("R");
    }
    void shouldKeepLayoutWhenSourceMovesColumns()
    {
        const bool tree = QByteArray(QTest::currentDataTag()).startsWith("tree");
        QFETCH(int, first);
        QFETCH(int, count);
        QFETCH(int, dest);
        QFETCH(QString, sortBy);
        // Given a user's layout over P Q R S T, rows in reverse order of their sort cells
        ProxyFixture f(QStringLiteral("PQRST"), 5);
        for (int r = 0; r < 5; ++r)
            f.source.setData(f.source.index(r, 1 + r % 4), QStringLiteral("%1%2").arg(QLatin1Char("QRST"[r % 4])).arg(9 - r));
        if (tree)
            f.addChildren();
        f.proxy.moveColumn(4, 1);
        if (!sortBy.isEmpty())
            f.proxy.doSort(cvtest::headerText(f.proxy).indexOf(sortBy), false);
        f.run(QStringLiteral("h2 L1,0 C3,1"));
        f.proxy.setColumnWidth(2, 33);
        const QString layout = layoutOf(f.proxy);
        const QString selectedSource = f.selectedSource();
        QSignalSpy layoutSpy(&f.proxy, &SortFilterSelectModel::proxySortColumnChanged);
        // When the source moves columns
        QVERIFY(f.source.moveColumnsTo(first, count, dest));
        // Then every column keeps its place, width and visibility, every cell its source column, and
        // the selected rows their selection and current cell. Child rows hang below column 0 of their
        // parents and show below the first proxy column as long as it shows source column 0.
        QCOMPARE(layoutOf(f.proxy), layout);
        QCOMPARE(layoutSpy.count(), 1);
        QCOMPARE(cvtest::mappingProblem(f.proxy), QString());
        QCOMPARE(f.proxy.rowCount(f.proxy.index(1, 0)), tree && f.proxy.mapProxyColumnToSource(0) == 0 ? 2 : 0);
        QCOMPARE(f.selectedSource(), selectedSource);
        QCOMPARE(f.selected(), QStringLiteral("1,3"));
        QCOMPARE(f.proxy.selectionModel()->currentIndex(), f.proxy.index(3, 1));
    }

    // With the user's columns moved, the base proxy would announce a hidden or shown column at its
    // place in source order: the change comes through a reset, rows 1 and 3 stay selected, the
    // pre-focus and focus cells stay on their source columns, or a hidden one's on the neighbour
    // now at its place.
    void shouldResetKeepingCellsWhenMovedLayoutHidesOrShows_data()
    {
        QTest::addColumn<QString>("layout");
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("headers");
        QTest::addColumn<int>("preFocus");
        QTest::addColumn<QString>("preFocusText");
        QTest::newRow("hide with moved layout") << "m4,1" << "h1" << "PTRS" << 2 << "R3";
        QTest::newRow("show with moved layout") << "m4,1 h1" << "w1" << "PTQRS" << 4 << "S3";
        QTest::newRow("hide the pre-focus column") << "m4,1" << "h2" << "PTQS" << 3 << "S3";
    }
    void shouldResetKeepingCellsWhenMovedLayoutHidesOrShows()
    {
        QFETCH(QString, layout);
        QFETCH(QString, change);
        QFETCH(int, preFocus);
        ProxyFixture f(QStringLiteral("PQRST"), 6);
        f.run(layout + QStringLiteral(" L1,0 C3,0 + + F + +"));
        QSignalSpy resetSpy(&f.proxy, &QAbstractItemModel::modelReset);
        QSignalSpy removedSpy(&f.proxy, &QAbstractItemModel::columnsRemoved);
        QSignalSpy insertedSpy(&f.proxy, &QAbstractItemModel::columnsInserted);
        f.run(change);
        QTEST(cvtest::headerText(f.proxy), "headers");
        QCOMPARE(resetSpy.count(), 1);
        QCOMPARE(removedSpy.count() + insertedSpy.count(), 0);
        QCOMPARE(f.states(), QStringLiteral("isSelected=1 3 isPreFocusCell=3,%1 isFocusCell=3,1").arg(preFocus));
        QTEST(f.proxy.index(3, preFocus).data().toString(), "preFocusText");
        QCOMPARE(f.selectedSource(), QStringLiteral("1,3"));
        QCOMPARE(cvtest::mappingProblem(f.proxy), QString());
    }
};

QTEST_GUILESS_MAIN(TestSortFilterSelectModelColumns)
#include "tst_sortfilterselectmodel_columns.moc"
