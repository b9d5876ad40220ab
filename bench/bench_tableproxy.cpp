// Corvane.Core benchmarks: the module beside the peers, on the same generated data, in one run.
#include "benchmodels.h"

#include "items/qtfontutils.h"
#include "models/sortfilterselectmodel.h"
#include "models/treeexpandconnections.h"

#include <lumen/rowfilter.h>

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCollator>
#include <QItemSelectionModel>
#include <QJSValue>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTemporaryDir>

#ifdef CV_HAVE_KITEMMODELS
#include <KRearrangeColumnsProxyModel>
#endif

#include <map>
#include <memory>

using cvbench::naturalLess;
using cvbench::TableModel;
using cvbench::TreeModel;

namespace
{
TableModel& table(int rows)
{
    static std::map<int, std::unique_ptr<TableModel>> cache;
    auto& model = cache[rows];
    if (!model)
        model = std::make_unique<TableModel>(rows);
    return *model;
}

// Proxies build their mapping lazily; a view asks for the last row at once, so do the same.
void touch(const QAbstractItemModel& model)
{
    benchmark::DoNotOptimize(model.index(model.rowCount() - 1, model.columnCount() - 1));
}

int roleNumber(const QAbstractItemModel& model, const QByteArray& name)
{
    const QHash<int, QByteArray> names = model.roleNames();
    for (auto it = names.cbegin(); it != names.cend(); ++it) {
        if (it.value() == name)
            return it.key();
    }
    return -1;
}


class CollatorProxy : public QSortFilterProxyModel
{
public:
    CollatorProxy()
    {
        m_collator.setNumericMode(true);
        m_collator.setCaseSensitivity(Qt::CaseInsensitive);
    }

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override
    {
        return m_collator.compare(left.data().toString(), right.data().toString()) < 0;
    }

private:
    QCollator m_collator;
};

class CaseInsensitiveProxy : public QSortFilterProxyModel
{
protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override
    {
        return QString::compare(left.data().toString(), right.data().toString(), Qt::CaseInsensitive) < 0;
    }
};

class NaturalProxy : public QSortFilterProxyModel
{
protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override
    {
        return naturalLess(left.data().toString(), right.data().toString());
    }
};

// Accepts every other row, like a filter matching half the table.
class HalfRowFilter : public lum::RowFilter
{
public:
    bool acceptRow(QAbstractItemModel*, int sourceRow, const QModelIndex&) override { return sourceRow % 2 == 0; }
    void refilter() { Q_EMIT invalidate(); }
};

// The stock proxy asking the same host filter, refiltered by its signal as a panel would wire it.
class HostFilterProxy : public QSortFilterProxyModel
{
public:
    explicit HostFilterProxy(lum::RowFilter* filter)
        : m_filter(filter)
    {
        connect(filter, &lum::RowFilter::invalidate, this, &HostFilterProxy::invalidateFilter);
    }

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override
    {
        return m_filter->acceptRow(sourceModel(), sourceRow, sourceParent);
    }

private:
    lum::RowFilter* m_filter;
};

// What a view hears of a proxy: the rows that come and go and the resets, read back at once.
void attachViewClient(QAbstractItemModel& proxy, qint64& seen)
{
    QObject::connect(&proxy, &QAbstractItemModel::rowsInserted, &proxy,
        [&](const QModelIndex& parent, int first) { seen += proxy.index(first, 0, parent).isValid(); });
    QObject::connect(&proxy, &QAbstractItemModel::rowsRemoved, &proxy,
        [&](const QModelIndex& parent) { seen += proxy.rowCount(parent); });
    QObject::connect(&proxy, &QAbstractItemModel::layoutChanged, &proxy, [&] { seen += proxy.rowCount(); });
    QObject::connect(&proxy, &QAbstractItemModel::modelReset, &proxy, [&] { seen += proxy.rowCount(); });
}

class HiddenColumnProxy : public QSortFilterProxyModel
{
public:
    void setHidden(int column)
    {
        m_hidden = column;
        invalidateFilter();
    }

protected:
    bool filterAcceptsColumn(int sourceColumn, const QModelIndex&) const override { return sourceColumn != m_hidden; }

private:
    int m_hidden = -1;
};

template <typename Proxy> void sortPeer(benchmark::State& state, int column)
{
    Proxy proxy;
    proxy.setDynamicSortFilter(false);
    proxy.setSourceModel(&table(int(state.range(0))));
    bool ascending = true;
    for (auto _ : state) {
        proxy.sort(column, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
        ascending = !ascending;
    }
}

// Every turn sorts rows in source order, as the first sort of a table does; a re-sort of a
// sorted table, which the sorts above mostly are, can start from the order it has.
template <typename Proxy> void firstSortPeer(benchmark::State& state, int column)
{
    Proxy proxy;
    proxy.setDynamicSortFilter(false);
    proxy.setSourceModel(&table(int(state.range(0))));
    for (auto _ : state) {
        state.PauseTiming();
        proxy.sort(-1);
        touch(proxy);
        state.ResumeTiming();
        proxy.sort(column, Qt::AscendingOrder);
    }
}

void firstSortCorvane(benchmark::State& state, int column)
{
    core::SortFilterSelectModel proxy;
    proxy.setSourceModel(&table(int(state.range(0))));
    for (auto _ : state) {
        state.PauseTiming();
        proxy.unSort();
        touch(proxy);
        state.ResumeTiming();
        proxy.doSort(column, true, true);
    }
}

void sortCorvane(benchmark::State& state, int column)
{
    core::SortFilterSelectModel proxy;
    proxy.setSourceModel(&table(int(state.range(0))));
    bool ascending = true;
    for (auto _ : state) {
        proxy.doSort(column, ascending, true);
        ascending = !ascending;
    }
}
}

// Sorting by the int column (comparator code 4).
static void BM_SortInt_Corvane(benchmark::State& state) { sortCorvane(state, 0); }
static void BM_SortInt_QSortFilterProxyModel(benchmark::State& state) { sortPeer<QSortFilterProxyModel>(state, 0); }
BENCHMARK(BM_SortInt_Corvane)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortInt_QSortFilterProxyModel)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// Natural text order (comparator code 0) against the usual alternatives.
static void BM_SortNatural_Corvane(benchmark::State& state) { sortCorvane(state, 2); }
static void BM_SortNatural_QCollatorNumeric(benchmark::State& state) { sortPeer<CollatorProxy>(state, 2); }
static void BM_SortNatural_HandWritten(benchmark::State& state) { sortPeer<NaturalProxy>(state, 2); }
static void BM_SortNatural_CaseInsensitiveFloor(benchmark::State& state) { sortPeer<CaseInsensitiveProxy>(state, 2); }
BENCHMARK(BM_SortNatural_Corvane)->Arg(100000)->Arg(200000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortNatural_QCollatorNumeric)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortNatural_HandWritten)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortNatural_CaseInsensitiveFloor)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
static void BM_FirstSortNatural_Corvane(benchmark::State& state) { firstSortCorvane(state, 2); }
static void BM_FirstSortNatural_QCollatorNumeric(benchmark::State& state) { firstSortPeer<CollatorProxy>(state, 2); }
static void BM_FirstSortNatural_HandWritten(benchmark::State& state) { firstSortPeer<NaturalProxy>(state, 2); }
BENCHMARK(BM_FirstSortNatural_Corvane)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstSortNatural_QCollatorNumeric)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstSortNatural_HandWritten)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// File size texts (comparator code 8).
static void BM_SortFileSize_Corvane(benchmark::State& state) { sortCorvane(state, 3); }
BENCHMARK(BM_SortFileSize_Corvane)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// Re-filtering: the host filter says again which rows it accepts (every other one) and the proxy asks
// it about every row; both proxies over the same source with the same filter and the same client.
template <typename Proxy> void refilter(benchmark::State& state, Proxy& proxy, HalfRowFilter& filter)
{
    qint64 seen = 0;
    attachViewClient(proxy, seen);
    proxy.setSourceModel(&table(int(state.range(0))));
    touch(proxy);
    for (auto _ : state) {
        filter.refilter();
        touch(proxy);
    }
    benchmark::DoNotOptimize(seen);
}
static void BM_Refilter_Corvane(benchmark::State& state)
{
    HalfRowFilter filter;
    core::SortFilterSelectModel proxy;
    proxy.setFilter(&filter);
    refilter(state, proxy, filter);
}
static void BM_Refilter_QSortFilterProxyModel(benchmark::State& state)
{
    HalfRowFilter filter;
    HostFilterProxy proxy(&filter);
    proxy.setDynamicSortFilter(false);
    refilter(state, proxy, filter);
}
// A few percent apart at most, which the load of a shared machine hides in three repetitions.
BENCHMARK(BM_Refilter_Corvane)->Arg(2000000)->Repetitions(9)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Refilter_QSortFilterProxyModel)->Arg(2000000)->Repetitions(9)->Unit(benchmark::kMillisecond);

// Hiding then showing a column.
static void BM_HideShowColumn_Corvane(benchmark::State& state)
{
    core::SortFilterSelectModel proxy;
    proxy.setSourceModel(&table(int(state.range(0))));
    for (auto _ : state) {
        proxy.setSourceColumnVisible(3, false);
        touch(proxy);
        proxy.setSourceColumnVisible(3, true);
        touch(proxy);
    }
}
static void BM_HideShowColumn_QSortFilterProxyModel(benchmark::State& state)
{
    HiddenColumnProxy proxy;
    proxy.setDynamicSortFilter(false);
    proxy.setSourceModel(&table(int(state.range(0))));
    for (auto _ : state) {
        proxy.setHidden(3);
        touch(proxy);
        proxy.setHidden(-1);
        touch(proxy);
    }
}
BENCHMARK(BM_HideShowColumn_Corvane)->Arg(2000)->Arg(2000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HideShowColumn_QSortFilterProxyModel)->Arg(2000)->Arg(2000000)->Unit(benchmark::kMillisecond);

// Moving a column there and back.
static void BM_MoveColumn_Corvane(benchmark::State& state)
{
    core::SortFilterSelectModel proxy;
    proxy.setSourceModel(&table(int(state.range(0))));
    for (auto _ : state) {
        proxy.moveColumn(1, 5);
        touch(proxy);
        proxy.moveColumn(5, 1);
        touch(proxy);
    }
}
BENCHMARK(BM_MoveColumn_Corvane)->Arg(2000)->Arg(2000000)->Unit(benchmark::kMicrosecond);

// KDE's proxies (KF5 only: Debian has no KF6 for a Qt 6 build) on the same workloads.
#ifdef CV_HAVE_KITEMMODELS
namespace
{
// KDE's KSortFilterProxyModel, which KF5 ships as a QML type only: made the way a panel would make it,
// with its row and column filters as JavaScript callbacks. Null when the QML module is missing.
class KdeProxy
{
public:
    explicit KdeProxy(QAbstractItemModel* source)
    {
        QQmlComponent component(&m_engine);
        component.setData("import org.kde.kitemmodels 1.0\nKSortFilterProxyModel {}", QUrl());
        m_proxy.reset(qobject_cast<QSortFilterProxyModel*>(component.create()));
        if (m_proxy)
            m_proxy->setSourceModel(source);
    }
    QSortFilterProxyModel* proxy() const { return m_proxy.get(); }
    void setCallback(const char* property, const char* function)
    {
        m_proxy->setProperty(property, QVariant::fromValue(m_engine.evaluate(QString::fromLatin1(function))));
    }
    void invalidateFilter() { QMetaObject::invokeMethod(m_proxy.get(), "invalidateFilter"); }

private:
    QQmlEngine m_engine;
    std::unique_ptr<QSortFilterProxyModel> m_proxy;
};
}

static void BM_SortInt_KSortFilterProxyModel(benchmark::State& state)
{
    KdeProxy kde(&table(int(state.range(0))));
    if (!kde.proxy()) {
        state.SkipWithError("org.kde.kitemmodels is not installed");
        return;
    }
    kde.proxy()->setProperty("sortColumn", 0);
    touch(*kde.proxy());
    bool ascending = true;
    for (auto _ : state) {
        // Each turn sorts the other way round: the same order again would return at once.
        ascending = !ascending;
        kde.proxy()->setProperty("sortOrder", int(ascending ? Qt::AscendingOrder : Qt::DescendingOrder));
        touch(*kde.proxy());
    }
}
BENCHMARK(BM_SortInt_KSortFilterProxyModel)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

static void BM_Refilter_KSortFilterProxyModel(benchmark::State& state)
{
    KdeProxy kde(&table(int(state.range(0))));
    if (!kde.proxy()) {
        state.SkipWithError("org.kde.kitemmodels is not installed");
        return;
    }
    kde.setCallback("filterRowCallback", "(function(row, parent) { return row % 2 === 0; })");
    for (auto _ : state) {
        kde.invalidateFilter();
        touch(*kde.proxy());
    }
}
BENCHMARK(BM_Refilter_KSortFilterProxyModel)->Arg(2000000)->Unit(benchmark::kMillisecond);

static void BM_HideShowColumn_KSortFilterProxyModel(benchmark::State& state)
{
    KdeProxy kde(&table(int(state.range(0))));
    if (!kde.proxy()) {
        state.SkipWithError("org.kde.kitemmodels is not installed");
        return;
    }
    for (auto _ : state) {
        kde.setCallback("filterColumnCallback", "(function(column, parent) { return column !== 3; })");
        kde.invalidateFilter();
        touch(*kde.proxy());
        kde.setCallback("filterColumnCallback", "(function(column, parent) { return true; })");
        kde.invalidateFilter();
        touch(*kde.proxy());
    }
}
BENCHMARK(BM_HideShowColumn_KSortFilterProxyModel)->Arg(2000)->Arg(2000000)->Unit(benchmark::kMillisecond);

static void BM_HideShowColumn_KRearrangeColumns(benchmark::State& state)
{
    KRearrangeColumnsProxyModel proxy;
    proxy.setSourceModel(&table(int(state.range(0))));
    const QVector<int> all{0, 1, 2, 3, 4, 5, 6, 7};
    const QVector<int> without{0, 1, 2, 4, 5, 6, 7};
    proxy.setSourceColumns(all);
    for (auto _ : state) {
        proxy.setSourceColumns(without);
        touch(proxy);
        proxy.setSourceColumns(all);
        touch(proxy);
    }
}
static void BM_MoveColumn_KRearrangeColumns(benchmark::State& state)
{
    KRearrangeColumnsProxyModel proxy;
    proxy.setSourceModel(&table(int(state.range(0))));
    const QVector<int> all{0, 1, 2, 3, 4, 5, 6, 7};
    const QVector<int> moved{0, 2, 3, 4, 5, 1, 6, 7};
    proxy.setSourceColumns(all);
    for (auto _ : state) {
        proxy.setSourceColumns(moved);
        touch(proxy);
        proxy.setSourceColumns(all);
        touch(proxy);
    }
}
BENCHMARK(BM_HideShowColumn_KRearrangeColumns)->Arg(2000)->Arg(2000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MoveColumn_KRearrangeColumns)->Arg(2000)->Arg(2000000)->Unit(benchmark::kMicrosecond);
#endif

// Reading "isSelected" for a 50 x 8 viewport, with one selected range or with 10,000.
static void BM_IsSelectedViewport_Corvane(benchmark::State& state)
{
    core::SortFilterSelectModel proxy;
    proxy.setSourceModel(&table(100000));
    const int ranges = int(state.range(0));
    if (ranges == 1) {
        proxy.selectAll();
    } else {
        for (int k = 0; k < ranges; ++k)
            proxy.ctrlSelection(2 * k, 0);
    }
    const int role = roleNumber(proxy, "isSelected");
    for (auto _ : state) {
        for (int row = 1000; row < 1050; ++row) {
            for (int column = 0; column < 8; ++column)
                benchmark::DoNotOptimize(proxy.data(proxy.index(row, column), role));
        }
    }
}
static void BM_IsSelectedViewport_QItemSelectionModel(benchmark::State& state)
{
    QSortFilterProxyModel proxy;
    proxy.setSourceModel(&table(100000));
    QItemSelectionModel selection(&proxy);
    const int ranges = int(state.range(0));
    for (int k = 0; k < ranges; ++k) {
        const int row = ranges == 1 ? 0 : 2 * k;
        const int last = ranges == 1 ? proxy.rowCount() - 1 : row;
        selection.select(QItemSelection(proxy.index(row, 0), proxy.index(last, 7)), QItemSelectionModel::Select);
    }
    for (auto _ : state) {
        for (int row = 1000; row < 1050; ++row) {
            for (int column = 0; column < 8; ++column)
                benchmark::DoNotOptimize(selection.isSelected(proxy.index(row, column)));
        }
    }
}
BENCHMARK(BM_IsSelectedViewport_Corvane)->Arg(1)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_IsSelectedViewport_QItemSelectionModel)->Arg(1)->Arg(10000)->Unit(benchmark::kMicrosecond);

// Selecting every row and reading the selection back as source rows.
static void BM_SelectAllSourceRows_Corvane(benchmark::State& state)
{
    core::SortFilterSelectModel proxy;
    proxy.setSourceModel(&table(int(state.range(0))));
    for (auto _ : state) {
        proxy.selectAll();
        benchmark::DoNotOptimize(proxy.selectedSourceRows());
    }
}
BENCHMARK(BM_SelectAllSourceRows_Corvane)->Arg(1000000)->Unit(benchmark::kMillisecond);

// Attaching a source that declares an initial sort column.
static void BM_AttachWithInitialSort_Corvane(benchmark::State& state)
{
    TableModel model(int(state.range(0)), 8, 2);
    for (auto _ : state) {
        core::SortFilterSelectModel proxy;
        proxy.setSourceModel(&model);
    }
}
static void BM_AttachWithInitialSort_QSortFilterProxyModel(benchmark::State& state)
{
    TableModel model(int(state.range(0)), 8, 2);
    for (auto _ : state) {
        NaturalProxy proxy;
        proxy.setDynamicSortFilter(false);
        proxy.setSourceModel(&model);
        proxy.sort(2);
    }
}
BENCHMARK(BM_AttachWithInitialSort_Corvane)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AttachWithInitialSort_QSortFilterProxyModel)->Arg(100000)->Unit(benchmark::kMillisecond);

// Storing and loading the column layout of a 10- and a 100-column table.
static void BM_SaveColumnData_Corvane(benchmark::State& state)
{
    TableModel model(10, int(state.range(0)));
    core::SortFilterSelectModel proxy;
    proxy.setParentId(QStringLiteral("bench-save-%1").arg(state.range(0)));
    proxy.setSourceModel(&model);
    for (auto _ : state)
        proxy.saveColumnData();
}
static void BM_LoadColumnData_Corvane(benchmark::State& state)
{
    TableModel model(10, int(state.range(0)));
    core::SortFilterSelectModel proxy;
    proxy.setParentId(QStringLiteral("bench-load-%1").arg(state.range(0)));
    proxy.setSourceModel(&model);
    proxy.saveColumnData();
    for (auto _ : state)
        proxy.loadColumnData();
}
BENCHMARK(BM_SaveColumnData_Corvane)->Arg(10)->Arg(100)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadColumnData_Corvane)->Arg(10)->Arg(100)->Unit(benchmark::kMicrosecond);

// Collecting the nodes that want to be expanded in a 1M-node tree.
static void BM_TreeCreated_Corvane(benchmark::State& state)
{
    TreeModel tree(int(state.range(0)), 10);
    core::TreeExpandConnections connections;
    connections.setProperty("model", QVariant::fromValue<QAbstractItemModel*>(&tree));
    for (auto _ : state)
        QMetaObject::invokeMethod(&connections, "onTreeCreated");
}
BENCHMARK(BM_TreeCreated_Corvane)->Arg(1000000)->Unit(benchmark::kMillisecond);

// Widest text of a column of 1M rows.
static void BM_MaxColumnTextWidth_Corvane(benchmark::State& state)
{
    QtFontUtils fontUtils;
    TableModel& model = table(int(state.range(0)));
    for (auto _ : state) {
        int width = 0;
        QMetaObject::invokeMethod(&fontUtils, "maxColumnTextWidth", Q_RETURN_ARG(int, width),
                                  Q_ARG(QString, QStringLiteral("Sans")), Q_ARG(int, 10),
                                  Q_ARG(QAbstractItemModel*, &model), Q_ARG(int, int(Qt::DisplayRole)),
                                  Q_ARG(int, 100000));
        benchmark::DoNotOptimize(width);
    }
}
BENCHMARK(BM_MaxColumnTextWidth_Corvane)->Arg(1000000)->Unit(benchmark::kMillisecond);

static QList<QStandardItem*> parentRow(int p)
{
    QList<QStandardItem*> row;
    for (int c = 0; c < 3; ++c)
        row.append(new QStandardItem(QStringLiteral("parent %1").arg(p)));
    return row;
}

static void appendChildren(QStandardItem* parent)
{
    for (int child = 0; child < 2; ++child)
        parent->appendRow(new QStandardItem(QStringLiteral("child %1").arg(child)));
}

// A tree filled one insert at a time, each parent mapped by the client before it gets its first two
// children, with a client that reads what every insertion and reset announces, as a view does.
template <typename Proxy>
void fillTree(benchmark::State& state)
{
    const int parents = int(state.range(0));
    for (auto _ : state) {
        QStandardItemModel source;
        source.setColumnCount(3);
        Proxy proxy;
        proxy.setSourceModel(&source);
        qint64 seen = 0;
        attachViewClient(proxy, seen);
        for (int p = 0; p < parents; ++p) {
            const QList<QStandardItem*> row = parentRow(p);
            source.appendRow(row);
            benchmark::DoNotOptimize(proxy.rowCount(proxy.index(p, 0)));
            appendChildren(row.first());
        }
        benchmark::DoNotOptimize(seen);
    }
}

// The parents are in place when the proxy attaches and are all mapped; then each gets its first two
// children one insert at a time. Only the mapping and the child inserts are timed: building and
// freeing the source is the same for every proxy and dominated by the allocator.
template <typename Proxy>
void fillUnderParents(benchmark::State& state)
{
    const int parents = int(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        auto source = std::make_unique<QStandardItemModel>(0, 3);
        for (int p = 0; p < parents; ++p)
            source->appendRow(parentRow(p));
        auto proxy = std::make_unique<Proxy>();
        proxy->setSourceModel(source.get());
        qint64 seen = 0;
        attachViewClient(*proxy, seen);
        state.ResumeTiming();
        for (int p = 0; p < parents; ++p)
            benchmark::DoNotOptimize(proxy->rowCount(proxy->index(p, 0)));
        for (int p = 0; p < parents; ++p)
            appendChildren(source->item(p));
        benchmark::DoNotOptimize(seen);
        state.PauseTiming();
        proxy.reset();
        source.reset();
        state.ResumeTiming();
    }
}
static void BM_FillTree_Corvane(benchmark::State& state) { fillTree<core::SortFilterSelectModel>(state); }
static void BM_FillTree_QSortFilterProxyModel(benchmark::State& state) { fillTree<QSortFilterProxyModel>(state); }
BENCHMARK(BM_FillTree_Corvane)->Arg(1000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillTree_QSortFilterProxyModel)->Arg(1000)->Arg(20000)->Unit(benchmark::kMillisecond);
// Seconds each, and there to show how the time grows: one repetition keeps bench/run.sh short.
BENCHMARK(BM_FillTree_Corvane)->Arg(100000)->Repetitions(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillTree_QSortFilterProxyModel)->Arg(100000)->Repetitions(1)->Unit(benchmark::kMillisecond);
static void BM_FillTreeUnderParents_Corvane(benchmark::State& state) { fillUnderParents<core::SortFilterSelectModel>(state); }
static void BM_FillTreeUnderParents_QSortFilterProxyModel(benchmark::State& state)
{
    fillUnderParents<QSortFilterProxyModel>(state);
}
BENCHMARK(BM_FillTreeUnderParents_Corvane)->Arg(20000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillTreeUnderParents_QSortFilterProxyModel)->Arg(20000)->Arg(100000)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    // The column store writes below XDG_CONFIG_HOME: keep benchmark layouts out of the user's.
    QTemporaryDir configDir;
    if (qEnvironmentVariableIsEmpty("CV_BENCH_KEEP_CONFIG"))
        qputenv("XDG_CONFIG_HOME", configDir.path().toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    // The report names the Qt that measured it: the build picks Qt 5.15 or Qt 6.
    benchmark::AddCustomContext("qt", qVersion());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
