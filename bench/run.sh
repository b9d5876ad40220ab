#!/usr/bin/env bash
# Runs the benchmarks and regenerates bench/README.md from their results.
# Usage: bench/run.sh [build dir]   (the build must exist: ./scripts/build.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
bin="$build/bin/corvane-bench"
out=$(mktemp -d)
export QT_QPA_PLATFORM=offscreen

# Memory is measured in fresh processes so that earlier benchmarks' heaps do not hide it.
"$bin" --benchmark_filter='^BM_(Sort|FirstSort|Refilter|HideShow|MoveColumn|IsSelected|SelectAll|Attach|SaveColumn|LoadColumn|TreeCreated|MaxColumn)' --benchmark_repetitions=3 \
    --benchmark_report_aggregates_only=true --benchmark_format=json > "$out/time.json"
"$bin" --benchmark_filter='^BM_Memory_Corvane' --benchmark_format=json > "$out/mem1.json"
"$bin" --benchmark_filter='^BM_Memory_QSortFilterProxyModel' --benchmark_format=json > "$out/mem2.json"

python3 bench/report.py "$out/time.json" "$out/mem1.json" "$out/mem2.json" > "$out/README.md"
mv "$out/README.md" bench/README.md
echo "bench/README.md updated"
