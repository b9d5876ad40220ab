#!/usr/bin/env bash
# Installs what is missing, builds, and opens the demo host application.
# Without a display it renders every panel to PNG files instead and says how to do that by hand.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh
./scripts/build.sh

demo=${BUILD_DIR:-build}/bin/corvane-demo
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "No display found, so the demo cannot open a window here. It renders its panels instead:"
    echo "    QT_QPA_PLATFORM=offscreen $demo --screenshot screenshots"
    echo "(on a machine with a display, ./scripts/demo.sh opens the window; --page layers|files|start"
    echo " opens one panel, --script FILE runs scripted steps, see README.md)"
    QT_QPA_PLATFORM=offscreen "$demo" --screenshot screenshots
    echo "Screenshots written to $(pwd)/screenshots:"
    ls screenshots
    exit 0
fi
exec "$demo" "$@"
