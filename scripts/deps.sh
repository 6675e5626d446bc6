#!/usr/bin/env bash
# Installs the Debian 12 packages Vantrel needs: `deps.sh run` what building and running need,
# `deps.sh test` that and what the tests, the hardening run and the package checks need. As root
# it runs apt-get; otherwise it prints the exact command and stops.
set -euo pipefail

# Building and running.
run_packages=(
    cmake g++ make pkg-config gzip
    qt6-base-dev libxcb1-dev qt6-wayland
)

# The tests, the sanitizer and fuzzing run, the benchmarks and the package checks.
test_packages=(
    ccache
    libgtest-dev libbenchmark-dev
    xvfb xdotool imagemagick x11-utils trayer dbus dbus-x11
    at-spi2-core python3-pyatspi gir1.2-atspi-2.0
    clang libclang-rt-14-dev clang-format-14
    dpkg-dev desktop-file-utils lintian appstream man-db
    wine64 wine
    openbox tint2 i3-wm xfwm4 xfce4-panel xfconf wmctrl
    weston kwin-x11 kded5 plasma-workspace plasma-desktop
)

case "${1:-}" in
run) packages=("${run_packages[@]}") ;;
test) packages=("${run_packages[@]}" "${test_packages[@]}") ;;
*)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac

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
