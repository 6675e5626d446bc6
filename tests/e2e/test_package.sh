#!/usr/bin/env bash
# The Debian package: cpack builds it from the build folder of the program under test. It is
# clean under lintian; it holds the program, the launcher entry, the icons and the software-centre
# metadata under one application id, the manual page, the copyright file and the changelog; it
# names the libraries it needs; the program unpacked from it answers --version and --help without
# a display, refuses what it does not know, and starts in X and ends with Ctrl+Q.
set -uo pipefail
. "$(dirname "$0")/lib.sh"
e2e_program "$1"
e2e_need cpack dpkg-deb dpkg-shlibdeps xdotool lintian appstreamcli man desktop-file-validate
build=$(dirname "$E2E_BIN")
[ -f "$build/CPackConfig.cmake" ] || e2e_skip "no CPack configuration beside $E2E_BIN"
fail() {
    [ -s "$E2E_TMP/cpack.log" ] && sed 's/^/  cpack: /' "$E2E_TMP/cpack.log" >&2
    e2e_fail "$@"
}

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$E2E_TMP/pkg" >"$E2E_TMP/cpack.log" 2>&1 ||
    fail "cpack -G DEB failed"
debs=("$E2E_TMP"/pkg/vantrel_*.deb)
[ -f "${debs[0]}" ] || fail "cpack made no vantrel_*.deb"
deb=${debs[0]}
version=$(dpkg-deb -f "$deb" Version) || fail "the package has no version"

# Lintian: no error and no warning (as root it also says that root should not run it).
lintian --fail-on error,warning "$deb" >"$E2E_TMP/lintian.log" 2>&1 ||
    fail "lintian: $(cat "$E2E_TMP/lintian.log")"
! grep -E '^[EW]: ' "$E2E_TMP/lintian.log" || fail "lintian reports the above"

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
dpkg-deb -x "$deb" "$root" || fail "dpkg-deb could not unpack the package"
doc=usr/share/doc/vantrel

# The launcher entry, the icons and the metadata are all named after the metadata's id.
metainfo=("$root"/usr/share/metainfo/*.metainfo.xml)
[ -f "${metainfo[0]}" ] || fail "the package has no AppStream metadata"
id=$(sed -n 's:.*<id>\(.*\)</id>.*:\1:p' "${metainfo[0]}")
[ "${metainfo[0]##*/}" = "$id.metainfo.xml" ] || fail "metadata file not named after its id $id"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "${metainfo[0]}" ||
    fail "the metadata's launcher is not $id.desktop"
grep -q "<icon type=\"stock\">$id</icon>" "${metainfo[0]}" || fail "the metadata's icon is not $id"
desktop=usr/share/applications/$id.desktop
for f in usr/bin/vantrel "$desktop" \
    usr/share/icons/hicolor/{16x16,22x22,24x24,32x32,48x48}/apps/"$id".png \
    usr/share/icons/hicolor/scalable/apps/"$id".svg \
    usr/share/man/man1/vantrel.1.gz "$doc/copyright" "$doc/changelog.gz"; do
    [ -s "$root/$f" ] || fail "the package lacks /$f"
done
[ -x "$root/usr/bin/vantrel" ] || fail "/usr/bin/vantrel is not executable"
grep -qx 'Exec=vantrel' "$root/$desktop" || fail "launcher does not run vantrel"
grep -qx "Icon=$id" "$root/$desktop" || fail "launcher icon is not $id"
desktop-file-validate "$root/$desktop" >"$E2E_TMP/validate.log" 2>&1 ||
    fail "invalid launcher entry: $(cat "$E2E_TMP/validate.log")"
appstreamcli validate --no-net --explain "${metainfo[0]}" >"$E2E_TMP/appstream.log" 2>&1 ||
    fail "appstreamcli validate: $(cat "$E2E_TMP/appstream.log")"
appstreamcli validate-tree --no-net "$root" >"$E2E_TMP/appstream.log" 2>&1 ||
    fail "appstreamcli validate-tree: $(cat "$E2E_TMP/appstream.log")"

# The manual page renders without a complaint from groff and covers what a user looks for; the
# changelog's newest entry is this version; the copyright file is machine-readable and MIT.
page=$root/usr/share/man/man1/vantrel.1.gz
LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" >"$E2E_TMP/man.txt" 2>"$E2E_TMP/man.err" ||
    fail "man -l failed: $(cat "$E2E_TMP/man.err")"
[ ! -s "$E2E_TMP/man.err" ] || fail "man -l warns: $(cat "$E2E_TMP/man.err")"
for want in NAME SYNOPSIS OPTIONS SCHEMES SIGNALS 'EXIT STATUS' FILES --version --help \
    TextColor.txt /proc/meminfo HKEY_CURRENT_USER.reg SIGTERM "Vantrel $version"; do
    grep -q -- "$want" "$E2E_TMP/man.txt" || fail "the manual page does not mention $want"
done
zcat "$root/$doc/changelog.gz" | head -1 | grep -q "^vantrel ($version) " ||
    fail "the changelog's newest entry is not $version: $(zcat "$root/$doc/changelog.gz" | head -1)"
head -1 "$root/$doc/copyright" |
    grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
    fail "the copyright file is not in the machine-readable format"
grep -qx 'License: Expat' "$root/$doc/copyright" || fail "the copyright file names no MIT license"
! grep '^License: ' "$root/$doc/copyright" | grep -vqx 'License: Expat' ||
    fail "the copyright file names a license other than MIT"

# The command line, read before anything needs a display: status, stdout, stderr.
cli() {
    local status=0
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/usr/bin/vantrel" "$@" \
        >"$E2E_TMP/out" 2>"$E2E_TMP/err" || status=$?
    echo "$status"
}
while IFS='|' read -r args want_status want_out want_err; do
    read -ra argv <<<"$args"
    status=$(cli "${argv[@]}")
    [ "$status" = "$want_status" ] || fail "vantrel $args: status $status, not $want_status ($(cat "$E2E_TMP/err"))"
    [ -z "$want_out" ] || grep -q -- "$want_out" "$E2E_TMP/out" || fail "vantrel $args printed '$(cat "$E2E_TMP/out")', no '$want_out'"
    [ -z "$want_err" ] || grep -q -- "$want_err" "$E2E_TMP/err" || fail "vantrel $args: stderr '$(cat "$E2E_TMP/err")', no '$want_err'"
    if [ "$want_status" = 0 ]; then
        [ ! -s "$E2E_TMP/err" ] || fail "vantrel $args wrote to stderr"
    else
        [ "$(wc -l <"$E2E_TMP/err")" = 1 ] || fail "vantrel $args: not one error line"
        [ ! -s "$E2E_TMP/out" ] || fail "vantrel $args wrote to stdout"
    fi
done <<EOF
--version|0|^vantrel $version\$|
-v|0|^vantrel $version\$|
--help|0|^Usage: vantrel|
-h|0|--version|
--bogus|2||'bogus'
-x|2||'x'
some-file|2||'some-file'
EOF
[ "$(cli --version)" = 0 ] && [ "$(cat "$E2E_TMP/out")" = "vantrel $version" ] ||
    fail "--version prints more than 'vantrel $version'"

e2e_start_xvfb 1024x768x24
e2e_start_vantrel "$root/usr/bin/vantrel"
bar=$(e2e_bar_of "$APP") || fail "the packaged program showed no bar"
e2e_quit "$bar" "$APP"
echo PASS
