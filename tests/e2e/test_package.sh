#!/usr/bin/env bash
# The Debian package: cpack builds it from the build folder of the program under test; it holds
# the program, the launcher entry and the icons where a desktop looks for them, names the
# libraries it needs, and the program unpacked from it starts in X and ends with Ctrl+Q.
set -euo pipefail
bin=$(realpath "$1")
source "$(dirname "$0")/lib.sh"
e2e_need cpack dpkg-deb dpkg-shlibdeps xdotool
build=$(dirname "$bin")
[ -f "$build/CPackConfig.cmake" ] || { echo "skip: no CPack configuration beside $bin"; exit 77; }
e2e_private_home
fail() {
    echo "FAIL: $*"
    cat "$E2E_TMP/cpack.log" "$E2E_TMP/app.log" 2>/dev/null || true
    exit 1
}

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$E2E_TMP/pkg" >"$E2E_TMP/cpack.log" 2>&1 ||
    fail "cpack -G DEB failed"
debs=("$E2E_TMP"/pkg/vantrel_*.deb)
[ -f "${debs[0]}" ] || fail "cpack made no vantrel_*.deb"
deb=${debs[0]}

depends=$(dpkg-deb -f "$deb" Depends)
for lib in libc6 libqt6core6 libqt6gui6 libqt6widgets6 libxcb1; do
    [[ $depends == *"$lib "* || $depends == *"$lib,"* || $depends == *"$lib" ]] ||
        fail "Depends lacks $lib: $depends"
done
# Every dependency resolves (here they are all installed: the program was built and runs here).
if command -v apt-get >/dev/null; then
    apt-get install -s "$deb" >"$E2E_TMP/apt.log" 2>&1 || fail "apt cannot install it: $(cat "$E2E_TMP/apt.log")"
fi

root=$E2E_TMP/root
dpkg-deb -x "$deb" "$root"
for f in usr/bin/vantrel usr/share/applications/vantrel.desktop \
    usr/share/icons/hicolor/{16x16,22x22,24x24,32x32,48x48}/apps/vantrel.png \
    usr/share/icons/hicolor/scalable/apps/vantrel.svg; do
    [ -s "$root/$f" ] || fail "the package lacks /$f"
done
[ -x "$root/usr/bin/vantrel" ] || fail "/usr/bin/vantrel is not executable"
grep -qx 'Exec=vantrel' "$root/usr/share/applications/vantrel.desktop" || fail "launcher does not run vantrel"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$root/usr/share/applications/vantrel.desktop" >"$E2E_TMP/validate.log" 2>&1 ||
        fail "invalid launcher entry: $(cat "$E2E_TMP/validate.log")"
fi

e2e_start_xvfb 1024x768x24
e2e_start_vantrel "$root/usr/bin/vantrel"
bar=$(e2e_window_sized 177x21) || fail "the packaged program showed no bar"
e2e_quit "$bar" "$APP"
echo PASS
