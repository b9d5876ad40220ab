#!/usr/bin/env bash
# Installs what building and testing Corvane.Core needs on Debian 12, for Qt 5.15 and Qt 6, skipping
# what is there.
set -euo pipefail

packages=(
    build-essential cmake ninja-build ccache pkg-config
    qtbase5-dev qtdeclarative5-dev qtdeclarative5-dev-tools qmlscene
    qml-module-qtquick2 qml-module-qtquick-window2 qml-module-qtquick-layouts
    qml-module-qtquick-controls2 qml-module-qtquick-templates2 qml-module-qttest
    qtquickcontrols2-5-dev libqt5svg5-dev qttools5-dev-tools
    qt6-base-dev qt6-declarative-dev qt6-declarative-dev-tools qt6-svg-dev libgl-dev
    qml6-module-qtqml qml6-module-qtqml-models qml6-module-qtqml-workerscript qml6-module-qtquick
    qml6-module-qtquick-window qml6-module-qtquick-layouts qml6-module-qtquick-controls
    qml6-module-qtquick-templates qml6-module-qttest
    libwxgtk3.2-dev
    xvfb xauth
    libbenchmark-dev libkf5itemmodels-dev qml-module-org-kde-kitemmodels
    clang
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    echo "All build dependencies are installed."
    exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
$SUDO apt-get install -y --no-install-recommends "${missing[@]}"
