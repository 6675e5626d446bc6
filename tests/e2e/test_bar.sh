#!/usr/bin/env bash
# The real program in X: the bar where it belongs, as wide as the pinned figures say, off the
# taskbar; Ctrl+I opens the details 21 pixels below; Ctrl+Q ends it with status 0.
source "$(dirname "$0")/lib.sh"

start_x
# 256 MB total, 96 MB available: load 64 %, bar body 87 pixels from x = 20.
fake_meminfo 262144 98304
start_vantrel
bar=$(wait_window 177x21)
read -r x y < <(window_pos "$bar")
[ "$x" = 424 ] && [ "$y" = 0 ] || fail "bar at $x,$y, expected 424,0"
xprop -id "$bar" _NET_WM_STATE | grep -q _NET_WM_STATE_SKIP_TASKBAR || fail "bar not off the taskbar"

sleep 0.3
screenshot
# The bar body's middle row is 0xEFEFEF from x = 20 + 424 to 20 + 87 - 1; then the end cap.
row=$((y + 4 + 5))
for px in 444 480 530; do
    [ "$(pixel "$px" "$row")" = EFEFEF ] || fail "no bar body at x=$px: $(pixel "$px" "$row")"
done
last=$((424 + 20 + 87 - 1))
[ "$(pixel "$last" "$row")" = EFEFEF ] || fail "bar body ends early at $last"
[ "$(pixel $((last + 1)) "$row")" != EFEFEF ] || fail "bar body runs past $last"
cp "$E2E_TMP/screen.png" /tmp/vantrel-e2e-bar.png 2>/dev/null || true

xdotool windowfocus --sync "$bar" 2>/dev/null || xdotool windowfocus "$bar"
xdotool key --clearmodifiers ctrl+i
details=$(wait_window 177x73)
read -r dx dy < <(window_pos "$details")
[ "$dx" = 424 ] && [ "$dy" = 21 ] || fail "details at $dx,$dy, expected 424,21"

xdotool windowfocus "$bar"
xdotool key --clearmodifiers ctrl+q
status=$(wait_exit "$APP")
[ "$status" = 0 ] || fail "exit status $status"
echo PASS
