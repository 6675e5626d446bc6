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
    xvfb xdotool imagemagick x11-utils x11-xserver-utils trayer dbus dbus-x11
    at-spi2-core python3-pyatspi gir1.2-atspi-2.0
    clang libclang-rt-14-dev clang-format-14
    dpkg-dev desktop-file-utils lintian appstream man-db
    wine64 wine
    openbox tint2 i3-wm xfwm4 xfce4-panel xfconf wmctrl
    weston kwin-x11 kded5 plasma-workspace plasma-desktop
    kwin-wayland qtwayland5 libwayland-dev plasma-wayland-protocols gcc
)

# GNOME Shell for its end-to-end scripts, without what a whole desktop recommends (a display
# manager, the settings program, the mail and calendar store).
bare_test_packages=(
    gnome-shell gnome-shell-extension-appindicator libglib2.0-bin
)
bare=()

case "${1:-}" in
run) packages=("${run_packages[@]}") ;;
test)
    packages=("${run_packages[@]}" "${test_packages[@]}")
    bare=("${bare_test_packages[@]}")
    ;;
*)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
missing=() missing_bare=()
for p in "${packages[@]}"; do installed "$p" || missing+=("$p"); done
for p in "${bare[@]}"; do installed "$p" || missing_bare+=("$p"); done
[ $((${#missing[@]} + ${#missing_bare[@]})) -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
    echo "Vantrel needs these Debian packages; install them with:" >&2
    [ ${#missing[@]} -eq 0 ] || echo "  sudo apt-get install -y ${missing[*]}" >&2
    [ ${#missing_bare[@]} -eq 0 ] ||
        echo "  sudo apt-get install -y --no-install-recommends ${missing_bare[*]}" >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
[ ${#missing[@]} -eq 0 ] || apt-get install -y -qq "${missing[@]}" >/dev/null
[ ${#missing_bare[@]} -eq 0 ] ||
    apt-get install -y -qq --no-install-recommends "${missing_bare[@]}" >/dev/null
