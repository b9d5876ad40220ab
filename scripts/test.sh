#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test headless.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh
./scripts/build.sh

# Qt runs offscreen; wxWidgets needs an X display, which Xvfb provides when there is none.
run=()
if [ -z "${DISPLAY:-}" ]; then
    run=(xvfb-run -a -s "-screen 0 1920x1080x24")
fi
"${run[@]}" ctest --test-dir "${BUILD_DIR:-build}" --output-on-failure -j2 "$@"
