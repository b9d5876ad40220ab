#!/usr/bin/env bash
# Installs what is missing, builds, and opens the demo host application.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh
./scripts/build.sh

demo=${BUILD_DIR:-build}/bin/corvane-demo
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found. To see the demo headless, render its panels to PNG files:"
    echo "    QT_QPA_PLATFORM=offscreen xvfb-run -a $demo --screenshot screenshots"
    echo "Doing that now."
    QT_QPA_PLATFORM=offscreen xvfb-run -a "$demo" --screenshot screenshots
    echo "Screenshots written to $(pwd)/screenshots"
    exit 0
fi
exec "$demo" "$@"
