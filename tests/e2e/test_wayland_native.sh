#!/usr/bin/env bash
# The program where no display can be reached, and natively on a Wayland compositor with no X
# server at all (weston's headless back end): no display is one line on standard error and
# status 1, never an abort; on weston the bar shows at the compositor's place (its scene graph),
# one line says the compositor decides the place, the tray icon registers with a
# StatusNotifierItem watcher, and the end of the session saves the place kept from X11
# unchanged. Then with real input, on kwin_wayland without XWayland (KWin's fake input): a drag
# on the strip moves the bar the compositor's way, and Ctrl+Q ends the program, which saves the
# place kept from X11 unchanged.
set -uo pipefail
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/kde.sh"
e2e_program "$1"
unset DISPLAY

# No display at all, an X server that is gone, a compositor that is gone.
no_display() { # DISPLAY WAYLAND_DISPLAY
    local status=0
    env ${1:+DISPLAY=$1} ${2:+WAYLAND_DISPLAY=$2} "$E2E_BIN" >"$E2E_TMP/out" 2>"$E2E_TMP/err" || status=$?
    e2e_expect_eq "status with DISPLAY '$1' WAYLAND_DISPLAY '$2'" 1 "$status"
    e2e_expect_eq "lines on standard error" 1 "$(wc -l <"$E2E_TMP/err")"
    grep -q '^vantrel: no display to show the bar on' "$E2E_TMP/err" ||
        e2e_fail "no clear line: $(cat "$E2E_TMP/err")"
}
no_display "" ""
no_display ":97" ""
no_display "" "wayland-97"
no_display ":97" "wayland-97"

e2e_need weston dbus-daemon
e2e_beside WATCHER sni_watcher
[ -e /usr/lib/x86_64-linux-gnu/qt6/plugins/platforms/libqwayland-generic.so ] ||
    e2e_skip "Qt's Wayland plugin (qt6-wayland) is not installed"
e2e_start_bus
weston --backend=headless-backend.so --socket=wayland-e2e --width=1024 --height=768 --debug \
    --idle-time=0 >"$E2E_TMP/weston.log" 2>&1 &
e2e_track $!
e2e_wait 10 test -S "$XDG_RUNTIME_DIR/wayland-e2e" || e2e_skip "weston did not start: $(tail -n 3 "$E2E_TMP/weston.log")"
export WAYLAND_DISPLAY=wayland-e2e
"$WATCHER" >"$E2E_TMP/watcher.log" 2>&1 &
e2e_track $!
e2e_wait 5 grep -q '^ready' "$E2E_TMP/watcher.log" || e2e_fail "the watcher did not start"

e2e_settings 420 380 Aot=1 BarTip=1
e2e_start_vantrel
# The compositor's own view: a top-level window of the program's, 177 x 21, where it put it.
bar_view() {
    timeout 3 weston-debug scene-graph 2>/dev/null |
        grep -A1 "top-level window 'Vantrel' of io.github.quillmoor.vantrel" | grep -q 'position: ([0-9]*, [0-9]*) -> '
}
bar_size() {
    timeout 3 weston-debug scene-graph 2>/dev/null |
        grep -A1 "top-level window 'Vantrel' of" | sed -n 's/.*position: (\([0-9]*\), \([0-9]*\)) -> (\([0-9]*\), \([0-9]*\)).*/\1 \2 \3 \4/p' |
        awk '{print $3 - $1, $4 - $2}'
}
e2e_wait 10 bar_view || e2e_fail "weston shows no bar: $(timeout 3 weston-debug scene-graph 2>&1 | grep -i 'top-level')"
e2e_expect_eq "the bar's size on weston" "177 21" "$(bar_size)"
e2e_wait 10 grep -q '^registered' "$E2E_TMP/watcher.log" || e2e_fail "the tray icon did not register"
e2e_expect_eq "the compositor's place, said once" 1 "$(grep -c 'compositor decides' "$E2E_TMP/app.log")"
grep -v 'compositor decides' "$E2E_TMP/app.log" | grep -q . && e2e_fail "more on standard error"
kill -TERM "$APP"
e2e_wait_exit "$APP" 10 || e2e_fail "the program did not end on SIGTERM (status $?)"
e2e_expect_eq "the place kept from X11" "420 380" "$(e2e_stored Top) $(e2e_stored Left)"
e2e_expect_eq "stay-on-top kept" 1 "$(e2e_stored Aot)"

e2e_beside FAKE_INPUT fake_input "libwayland-dev, plasma-wayland-protocols"
e2e_start_kwin wayland-only
e2e_start_vantrel "$E2E_BIN"
bar_frame() { # "X Y" of the bar's frame as KWin has it
    e2e_kwin_view | sed -n 's/^Vantrel role=.* frame=\([0-9-]*\),\([0-9-]*\),177,21 .*/\1 \2/p' | grep .
}
e2e_wait 10 bar_frame || e2e_fail "KWin shows no bar: $(e2e_kwin_view)"
read -r x y <<<"$(bar_frame)"
# Pressed on the strip and moved as a hand moves it, in steps.
"$FAKE_INPUT" move $((x + 60)) $((y + 10)) sleep 100 down left sleep 100 move $((x + 100)) $((y + 40)) \
    sleep 100 move $((x + 160)) $((y + 90)) sleep 100 up left || e2e_fail "KWin took no input"
e2e_wait 3 eval '[ "$(bar_frame)" = "$((x + 100)) $((y + 80))" ]' ||
    e2e_fail "a drag by 100,80 from $x,$y left the bar at $(bar_frame)"
"$FAKE_INPUT" key ctrl+q || e2e_fail "KWin took no keys"
e2e_wait_exit "$APP" 10 || e2e_fail "Ctrl+Q did not end the program (status $?)"
e2e_expect_eq "the place kept from X11 after a drag" "420 380" "$(e2e_stored Top) $(e2e_stored Left)"
exit 0
