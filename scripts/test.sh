#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test headless: once on the normal build (GCC) and
# once on a build with AddressSanitizer and UndefinedBehaviorSanitizer made by Clang (CV_SANITIZE=0
# skips it).
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh

# Qt runs offscreen; wxWidgets needs an X display, which Xvfb provides when there is none.
run=()
if [ -z "${DISPLAY:-}" ]; then
    run=(xvfb-run -a -s "-screen 0 1920x1080x24")
fi

# Warnings fail both builds: the module must build clean with GCC and with Clang.
BUILD_DIR=${BUILD_DIR:-build} ./scripts/build.sh -DCORVANE_WERROR=ON
"${run[@]}" ctest --test-dir "${BUILD_DIR:-build}" --output-on-failure -j2 "$@"

if [ "${CV_SANITIZE:-1}" != "0" ]; then
    CC=clang CXX=clang++ BUILD_DIR=build-asan BUILD_TYPE=Debug ./scripts/build.sh -DCORVANE_WERROR=ON \
        -DCORVANE_SANITIZE=ON -DCORVANE_BUILD_DEMO=OFF -DCORVANE_BUILD_BENCH=OFF
    "${run[@]}" ctest --test-dir build-asan --output-on-failure -j2 "$@"
fi
