#!/usr/bin/env bash
# The real program in X: the bar where it belongs, as wide as the pinned figures say, off the
# taskbar; Ctrl+I opens the details 21 pixels below; Ctrl+Q ends it with status 0.
set -uo pipefail
. "$(dirname "$0")/lib.sh"
e2e_program "$1"
e2e_need xdotool import convert xprop unshare
e2e_start_xvfb 1024x768x24

# 256 MB total, 96 MB available: load 64 %, bar body 87 pixels from x = 20.
e2e_fake_meminfo 262144 98304
e2e_start_vantrel
bar=$(e2e_bar_of "$APP") || e2e_fail "the bar did not show"
read -r x y < <(e2e_window_pos "$bar")
[ "$x" = 424 ] && [ "$y" = 0 ] || e2e_fail "bar at $x,$y, expected 424,0"
xprop -id "$bar" _NET_WM_STATE | grep -q _NET_WM_STATE_SKIP_TASKBAR || e2e_fail "bar not off the taskbar"

e2e_wait 3 e2e_pixel_is $((424 + 20)) $((y + 4 + 5)) "#EFEFEF" || e2e_fail "the bar body was not painted"
e2e_screenshot || e2e_fail "no screenshot"
# The bar body's middle row is EFEFEF from x = 424 + 20 over 87 pixels; then the end cap.
row=$((y + 4 + 5))
first=$((424 + 20))
last=$((first + 87 - 1))
for px in $first 480 530 $last; do
    [ "$(e2e_shot_pixel "$px" "$row")" = EFEFEF ] || e2e_fail "no bar body at x=$px"
done
[ "$(e2e_shot_pixel $((first - 4)) "$row")" = 000000 ] || e2e_fail "no start cap at $((first - 4))"
[ "$(e2e_shot_pixel $((last + 1)) "$row")" != EFEFEF ] || e2e_fail "bar body runs past $last"

xdotool windowfocus --sync "$bar"
xdotool key --clearmodifiers ctrl+i
details=$(e2e_window_of "$APP" "Memory Details") || e2e_fail "Ctrl+I opened no details window"
read -r dx dy < <(e2e_window_pos "$details")
[ "$dx" = 424 ] && [ "$dy" = 21 ] || e2e_fail "details at $dx,$dy, expected 424,21"
xprop -id "$details" _NET_WM_STATE | grep -q _NET_WM_STATE_SKIP_TASKBAR || e2e_fail "details on the taskbar"

e2e_quit "$bar" "$APP"
echo PASS
