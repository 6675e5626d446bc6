#!/usr/bin/env bash
# Installs what building, running and testing Vantrel needs on Debian 12. As root it runs
# apt-get; otherwise it prints the exact command and stops.
set -euo pipefail

packages=(
    cmake g++ make ccache pkg-config
    qt6-base-dev libxcb1-dev
    libgtest-dev libbenchmark-dev
    xvfb xdotool imagemagick x11-utils trayer dbus dbus-x11
    at-spi2-core python3-pyatspi gir1.2-atspi-2.0
    clang libclang-rt-14-dev
    dpkg-dev desktop-file-utils
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
    echo "Vantrel needs these Debian packages; install them with:" >&2
    echo "  sudo apt-get install -y ${missing[*]}" >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq "${missing[@]}" >/dev/null
