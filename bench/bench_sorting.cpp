// Corvane.Core benchmarks: sorting the table proxy beside the floor of a comparison sort, and the
// peak memory of attaching and sorting.
#include "benchmodels.h"

#include "models/sortfilterselectmodel.h"

#include <loom/comparators.h>
#include <lumen/strings.h>

#include <benchmark/benchmark.h>

#include <QFile>
#include <QSortFilterProxyModel>

#include <algorithm>
#include <map>
#include <memory>
#include <vector>

using cvbench::TableModel;

namespace
{
constexpr int naturalColumn = 2;

TableModel& sortTable(int rows)
{
    static std::map<int, std::unique_ptr<TableModel>> cache;
    auto& model = cache[rows];
    if (!model)
        model = std::make_unique<TableModel>(rows);
    return *model;
}

// A field of /proc/self/status in bytes, or -1.
qint64 statusBytes(const QByteArray& field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field + ':'))
            return line.mid(field.size() + 1).trimmed().split(' ').first().toLongLong() * 1024;
    }
    return -1;
}

// Lowers the peak resident memory (VmHWM) to what is resident now, so that the peak read after a
// step is the step's own and not that of building the table.
bool resetPeak()
{
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    return clearRefs.open(QIODevice::WriteOnly) && clearRefs.write("5") == 1;
}

// Peak and retained resident memory added by `attach`, which returns the proxy it made. Each
// benchmark runs one iteration and belongs in a fresh process: earlier heaps would hide the peak.
template <typename Attach> void measurePeak(benchmark::State& state, Attach attach)
{
    constexpr double mib = 1024.0 * 1024.0;
    for (auto _ : state) {
        if (!resetPeak()) {
            state.SkipWithError("cannot reset VmHWM through /proc/self/clear_refs");
            return;
        }
        const qint64 before = statusBytes("VmRSS");
        qint64 peak = 0;
        {
            const auto proxy = attach();
            state.counters["retained_MB"] = double(statusBytes("VmRSS") - before) / mib;
            peak = statusBytes("VmHWM");
        }
        // The kernel counts resident pages per CPU and settles the peak when memory is unmapped:
        // read it both before and after the proxy's memory goes.
        peak = std::max(peak, statusBytes("VmHWM"));
        state.counters["added_MB"] = double(peak - before) / mib;
    }
}
}

// Peak resident memory added by attaching a table and sorting it by the int column (code 4).
static void BM_Memory_Corvane(benchmark::State& state)
{
    TableModel& model = sortTable(int(state.range(0)));
    measurePeak(state, [&model] {
        auto proxy = std::make_unique<core::SortFilterSelectModel>();
        proxy->setSourceModel(&model);
        proxy->doSort(0, true, true);
        return proxy;
    });
}
static void BM_Memory_QSortFilterProxyModel(benchmark::State& state)
{
    TableModel& model = sortTable(int(state.range(0)));
    measurePeak(state, [&model] {
        auto proxy = std::make_unique<QSortFilterProxyModel>();
        proxy->setDynamicSortFilter(false);
        proxy->setSourceModel(&model);
        proxy->sort(0);
        return proxy;
    });
}
BENCHMARK(BM_Memory_Corvane)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Memory_QSortFilterProxyModel)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);

// The same by the natural text column (code 0).
static void BM_Memory_CorvaneNatural(benchmark::State& state)
{
    TableModel& model = sortTable(int(state.range(0)));
    measurePeak(state, [&model] {
        auto proxy = std::make_unique<core::SortFilterSelectModel>();
        proxy->setSourceModel(&model);
        proxy->doSort(naturalColumn, true, true);
        return proxy;
    });
}
BENCHMARK(BM_Memory_CorvaneNatural)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);

// The floor of a natural sort by comparisons: the texts taken out of the model beforehand, then a
// stable sort with the hand-written natural compare, the other way round every turn as the proxy
// benchmark does.
static void BM_SortNatural_ExtractedFloor(benchmark::State& state)
{
    const TableModel& model = sortTable(int(state.range(0)));
    std::vector<QString> texts;
    texts.reserve(std::size_t(model.rowCount()));
    for (int row = 0; row < model.rowCount(); ++row)
        texts.push_back(model.index(row, naturalColumn).data().toString());
    bool ascending = true;
    for (auto _ : state) {
        if (ascending)
            std::stable_sort(texts.begin(), texts.end(), cvbench::naturalLess);
        else
            std::stable_sort(texts.begin(), texts.end(),
                [](const QString& left, const QString& right) { return cvbench::naturalLess(right, left); });
        ascending = !ascending;
    }
}
BENCHMARK(BM_SortNatural_ExtractedFloor)->Arg(200000)->Unit(benchmark::kMillisecond);

// The same with the module's own natural comparator on the texts as it reads them: the same order as
// the proxy's, so the floor of exactly its work.
static void BM_SortNatural_ExtractedExactFloor(benchmark::State& state)
{
    const TableModel& model = sortTable(int(state.range(0)));
    std::vector<wxString> texts;
    texts.reserve(std::size_t(model.rowCount()));
    for (int row = 0; row < model.rowCount(); ++row)
        texts.push_back(lum::wxFromQt(model.index(row, naturalColumn).data().toString()));
    bool ascending = true;
    for (auto _ : state) {
        if (ascending)
            std::stable_sort(texts.begin(), texts.end(), lom::stringsLessThan);
        else
            std::stable_sort(texts.begin(), texts.end(),
                [](const wxString& left, const wxString& right) { return lom::stringsLessThan(right, left); });
        ascending = !ascending;
    }
}
BENCHMARK(BM_SortNatural_ExtractedExactFloor)->Arg(200000)->Unit(benchmark::kMillisecond);
