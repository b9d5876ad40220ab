#!/usr/bin/env bash
# Runs the benchmarks and regenerates bench/README.md from their results.
# Usage: bench/run.sh [build dir]   (the build must exist: ./scripts/build.sh)
# REPS=n sets the repetitions of the timed benchmarks (3); the scale benchmarks take five samples of one
# run each.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
bin="$build/bin/corvane-bench"
reps=${REPS:-3}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
export QT_QPA_PLATFORM=offscreen
start=$SECONDS

# Repetitions run in random order, so that a change in the machine's load falls on the module and
# its peers alike.
timed() {
    "$bin" --benchmark_filter="$1" --benchmark_repetitions="$reps" --benchmark_enable_random_interleaving=true \
        --benchmark_min_time=0.2 --benchmark_report_aggregates_only=true --benchmark_format=json > "$2"
}
timed '^BM_(Sort|FirstSort|Refilter|HideShow|MoveColumn|IsSelected|SelectAll|Attach|SaveColumn|LoadColumn|TreeCreated|MaxColumn)' \
    "$out/time.json"
# Tree fills allocate an item per cell: each kind gets a process of its own, so that the heap the other
# benchmarks leave behind does not weigh on its larger sizes.
timed '^BM_FillTree_' "$out/filltree.json"
timed '^BM_FillTreeUnderParents_' "$out/filltree-parents.json"
# Memory is measured in fresh processes so that earlier benchmarks' heaps do not hide it: three
# processes per memory benchmark, and one per sample and size for the scale benchmarks, whose peak
# (VmHWM) is the sample's.
for bench in BM_Memory_Corvane BM_Memory_QSortFilterProxyModel BM_Memory_CorvaneNatural; do
    for sample in 1 2 3; do
        "$bin" --benchmark_filter="^$bench/" --benchmark_format=json > "$out/$bench-$sample.json"
    done
done
# The scale benchmarks take their samples in turn, so that a change in the machine's load falls on
# every benchmark and size alike; the report keeps each one's fastest, since load only adds time.
n=0
for sample in 1 2 3 4 5; do
    for name in $("$bin" --benchmark_list_tests --benchmark_filter='^BM_Scale' 2>/dev/null); do
        n=$((n + 1))
        "$bin" --benchmark_filter="^${name}\$" --benchmark_format=json > "$out/scale$n.json"
    done
done

build_type=$(sed -n 's/^CMAKE_BUILD_TYPE:STRING=//p' "$build/CMakeCache.txt")
python3 bench/report.py --build-type "${build_type:-unknown}" --repetitions "$reps" \
    --seconds $((SECONDS - start)) "$out"/*.json > "$out/README.md"
mv "$out/README.md" bench/README.md
echo "bench/README.md updated in $((SECONDS - start)) s"
