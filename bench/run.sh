#!/usr/bin/env bash
# Runs the benchmarks and regenerates bench/README.md from their results.
# Usage: bench/run.sh [build dir]   (the build must exist: ./scripts/build.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
bin="$build/bin/corvane-bench"
out=$(mktemp -d)
export QT_QPA_PLATFORM=offscreen

"$bin" --benchmark_filter='^BM_(Sort|FirstSort|Refilter|HideShow|MoveColumn|IsSelected|SelectAll|Attach|SaveColumn|LoadColumn|TreeCreated|MaxColumn)' --benchmark_repetitions=3 \
    --benchmark_report_aggregates_only=true --benchmark_format=json > "$out/time.json"
# Peak memory is measured in a fresh process per sample, three each, so that earlier benchmarks'
# heaps do not hide it.
mem=()
for bench in BM_Memory_Corvane BM_Memory_QSortFilterProxyModel BM_Memory_CorvaneNatural; do
    for sample in 1 2 3; do
        "$bin" --benchmark_filter="^$bench/" --benchmark_format=json > "$out/$bench-$sample.json"
        mem+=("$out/$bench-$sample.json")
    done
done

python3 bench/report.py "$out/time.json" "${mem[@]}" > "$out/README.md"
mv "$out/README.md" bench/README.md
echo "bench/README.md updated"
