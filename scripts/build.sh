#!/usr/bin/env bash
# Configures and builds Corvane.Core into ${BUILD_DIR:-build}. Extra arguments go to cmake.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${BUILD_DIR:-build}
launcher=()
if command -v ccache >/dev/null 2>&1; then
    # Paths relative to the checkout let clones and worktrees share one cache.
    export CCACHE_BASEDIR="$(pwd)" CCACHE_NOHASHDIR=1
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo} "${launcher[@]}" "$@"
cmake --build "$build_dir" -j2
