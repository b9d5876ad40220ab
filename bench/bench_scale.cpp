// Corvane.Core benchmarks at 1M and 10M rows: how far one machine goes. Each benchmark runs once in
// a process of its own (bench/run.sh starts one per benchmark), so that the peak resident memory
// it reports belongs to that workload alone.
#include "models/sortfilterselectmodel.h"

#include <lumen/rowfilter.h>

#include <benchmark/benchmark.h>

#include <QFile>
#include <QSortFilterProxyModel>

#include <climits>
#include <memory>
#include <vector>

namespace
{
// Rows computed from their number: the source holds nothing, so the memory measured is the
// proxy's. Columns as in the other benchmarks: 0 int, 2 "Layer 12" names, 3 a column to hide.
class ComputedTable : public QAbstractTableModel
{
public:
    explicit ComputedTable(int rows)
        : m_rows(rows)
    {
    }
    int rowCount(const QModelIndex& parent = QModelIndex()) const override { return parent.isValid() ? 0 : m_rows; }
    int columnCount(const QModelIndex& parent = QModelIndex()) const override { return parent.isValid() ? 0 : 8; }
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override
    {
        if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
            return {};
        const quint32 value = mix(quint32(index.row()) * 8u + quint32(index.column()));
        switch (index.column()) {
        case 0:
            return int(value % 1000000);
        case 2:
            return QStringLiteral("Layer %1").arg(layerNumber(index.row()));
        default:
            return QString::number(value % 5000);
        }
    }

    // The number in column 2's name: the names' natural order is the order of these numbers.
    static int layerNumber(int row) { return int(mix(quint32(row) * 8u + 2u) % 100000); }

private:
    // A bijective integer hash: values spread evenly, the same in every run.
    static quint32 mix(quint32 x)
    {
        x ^= x >> 16;
        x *= 0x7feb352dU;
        x ^= x >> 15;
        x *= 0x846ca68bU;
        return x ^ (x >> 16);
    }
    int m_rows;
};

// Accepts every row until told to keep one half, in one block, as a filter text that matches a
// contiguous range of names does. Every other row would cost both proxies one row removal per
// row, quadratic in the stock proxy's mapping whatever the subclass does.
class HalfFilter : public lum::RowFilter
{
public:
    bool acceptRow(QAbstractItemModel*, int sourceRow, const QModelIndex&) override
    {
        return sourceRow < m_limit;
    }
    void keepFirst(int rows)
    {
        m_limit = rows;
        Q_EMIT invalidate();
    }

private:
    int m_limit = INT_MAX;
};

class FilteredProxy : public QSortFilterProxyModel
{
public:
    explicit FilteredProxy(HalfFilter* filter)
        : m_filter(filter)
    {
        setDynamicSortFilter(false);
        connect(filter, &lum::RowFilter::invalidate, this, &FilteredProxy::invalidateFilter);
    }
    void setHidden(int column)
    {
        m_hidden = column;
        invalidateFilter();
    }
    // The natural order of the names as one number per row, worked out before the sort is timed:
    // what is left is the stock proxy's own sort with the cheapest comparison it can be given.
    void rankNames(int rows)
    {
        m_ranks.resize(std::size_t(rows));
        for (int row = 0; row < rows; ++row)
            m_ranks[std::size_t(row)] = ComputedTable::layerNumber(row);
    }

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override
    {
        if (m_ranks.empty())
            return QSortFilterProxyModel::lessThan(left, right);
        return m_ranks[std::size_t(left.row())] < m_ranks[std::size_t(right.row())];
    }
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override
    {
        return m_filter->acceptRow(sourceModel(), sourceRow, sourceParent);
    }
    bool filterAcceptsColumn(int sourceColumn, const QModelIndex&) const override { return sourceColumn != m_hidden; }

private:
    HalfFilter* m_filter;
    int m_hidden = -1;
    std::vector<int> m_ranks;
};

qint64 statusKilobytes(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field))).trimmed().split(' ').value(0).toLongLong();
    }
    return 0;
}

void touch(const QAbstractItemModel& model)
{
    benchmark::DoNotOptimize(model.index(model.rowCount() - 1, model.columnCount() - 1));
}

enum class Workload
{
    Attach,
    SortInt,
    SortNatural,
    FilterHalf,
    SelectAll,
    HideShowColumn
};

void sortBy(core::SortFilterSelectModel& proxy, int column) { proxy.doSort(column, true, true); }
void sortBy(FilteredProxy& proxy, int column) { proxy.sort(column); }
void hide(core::SortFilterSelectModel& proxy, int column, bool hidden) { proxy.setSourceColumnVisible(column, !hidden); }
void hide(FilteredProxy& proxy, int column, bool hidden) { proxy.setHidden(hidden ? column : -1); }
void rankNames(core::SortFilterSelectModel&, int) {}
void rankNames(FilteredProxy& proxy, int rows) { proxy.rankNames(rows); }
void attachFilter(core::SortFilterSelectModel& proxy, HalfFilter& filter) { proxy.setFilter(&filter); }
void attachFilter(FilteredProxy&, HalfFilter&) {}
void selectAll(core::SortFilterSelectModel& proxy)
{
    proxy.selectAll();
    benchmark::DoNotOptimize(proxy.selectedSourceRows());
}
void selectAll(FilteredProxy&) {}

template <typename Proxy> std::unique_ptr<Proxy> makeProxy(HalfFilter& filter);
template <> std::unique_ptr<core::SortFilterSelectModel> makeProxy(HalfFilter&)
{
    return std::make_unique<core::SortFilterSelectModel>();
}
template <> std::unique_ptr<FilteredProxy> makeProxy(HalfFilter& filter)
{
    return std::make_unique<FilteredProxy>(&filter);
}

// One workload, timed once; the proxy is attached and mapped beforehand except when attaching is
// what is measured. Peak memory is counted above what the process held before the proxy.
template <typename Proxy> void scale(benchmark::State& state, Workload workload)
{
    const int rows = int(state.range(0));
    ComputedTable source(rows);
    HalfFilter filter;
    const qint64 baseline = statusKilobytes("VmRSS:");
    std::unique_ptr<Proxy> proxy = makeProxy<Proxy>(filter);
    attachFilter(*proxy, filter);
    if (workload != Workload::Attach) {
        proxy->setSourceModel(&source);
        touch(*proxy);
    }
    if (workload == Workload::SortNatural)
        rankNames(*proxy, rows);
    for (auto _ : state) {
        switch (workload) {
        case Workload::Attach:
            proxy->setSourceModel(&source);
            break;
        case Workload::SortInt:
            sortBy(*proxy, 0);
            break;
        case Workload::SortNatural:
            sortBy(*proxy, 2);
            break;
        case Workload::FilterHalf:
            filter.keepFirst(rows / 2);
            break;
        case Workload::SelectAll:
            selectAll(*proxy);
            break;
        case Workload::HideShowColumn:
            hide(*proxy, 3, true);
            touch(*proxy);
            hide(*proxy, 3, false);
            break;
        }
        touch(*proxy);
    }
    const qint64 peak = statusKilobytes("VmHWM:");
    state.counters["peak_MB"] = double(peak) / 1024.0;
    state.counters["bytes_per_row"] = double(peak - baseline) * 1024.0 / rows;
}
}

#define CV_SCALE(name, workload)                                                                                 \
    static void BM_Scale##name##_Corvane(benchmark::State& state)                                              \
    {                                                                                                          \
        scale<core::SortFilterSelectModel>(state, Workload::workload);                                         \
    }                                                                                                          \
    BENCHMARK(BM_Scale##name##_Corvane)->Arg(1000000)->Arg(10000000)->Iterations(1)->Unit(benchmark::kMillisecond)
#define CV_SCALE_PEER(name, workload)                                                                            \
    static void BM_Scale##name##_QSortFilterProxyModel(benchmark::State& state)                                \
    {                                                                                                          \
        scale<FilteredProxy>(state, Workload::workload);                                                       \
    }                                                                                                          \
    BENCHMARK(BM_Scale##name##_QSortFilterProxyModel)                                                          \
        ->Arg(1000000)                                                                                         \
        ->Arg(10000000)                                                                                        \
        ->Iterations(1)                                                                                        \
        ->Unit(benchmark::kMillisecond)

CV_SCALE(Attach, Attach);
CV_SCALE_PEER(Attach, Attach);
CV_SCALE(SortInt, SortInt);
CV_SCALE_PEER(SortInt, SortInt);
CV_SCALE(SortNatural, SortNatural);
// The stock proxy has no natural order: its peer compares the names' ranks, worked out beforehand.
CV_SCALE_PEER(SortNatural, SortNatural);
CV_SCALE(FilterHalf, FilterHalf);
CV_SCALE_PEER(FilterHalf, FilterHalf);
// The stock proxy has no row selection of its own.
CV_SCALE(SelectAll, SelectAll);
CV_SCALE(HideShowColumn, HideShowColumn);
CV_SCALE_PEER(HideShowColumn, HideShowColumn);
