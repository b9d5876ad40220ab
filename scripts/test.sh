#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test headless: on the normal Qt 5 build (GCC), on a
# Qt 5 build with AddressSanitizer and UndefinedBehaviorSanitizer made by Clang (CV_SANITIZE=0 skips
# it), and on a Qt 6 build (GCC; CV_QT6=0 skips it).
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh

# Qt runs offscreen; wxWidgets needs an X display, which Xvfb provides when there is none.
run=()
if [ -z "${DISPLAY:-}" ]; then
    run=(xvfb-run -a -s "-screen 0 1920x1080x24")
fi

# Warnings fail every build: the module must build clean with GCC and with Clang, on Qt 5 and Qt 6.
BUILD_DIR=${BUILD_DIR:-build} ./scripts/build.sh -DCORVANE_WERROR=ON
"${run[@]}" ctest --test-dir "${BUILD_DIR:-build}" --output-on-failure -j2 "$@"

if [ "${CV_SANITIZE:-1}" != "0" ]; then
    CC=clang CXX=clang++ BUILD_DIR=build-asan BUILD_TYPE=Debug ./scripts/build.sh -DCORVANE_WERROR=ON \
        -DCORVANE_SANITIZE=ON -DCORVANE_BUILD_DEMO=OFF -DCORVANE_BUILD_BENCH=OFF
    "${run[@]}" ctest --test-dir build-asan --output-on-failure -j2 "$@"
fi

if [ "${CV_QT6:-1}" != "0" ]; then
    BUILD_DIR=build-qt6 ./scripts/build.sh -DQT_MAJOR_VERSION=6 -DCORVANE_WERROR=ON -DCORVANE_BUILD_BENCH=OFF
    "${run[@]}" ctest --test-dir build-qt6 --output-on-failure -j2 "$@"
fi
