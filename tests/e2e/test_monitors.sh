#!/usr/bin/env bash
# Two monitors of an X server (RandR 1.5), the primary right of and below the other: the first
# place, the edges and the dialog on the primary; a place on no monitor shown in sight and kept in
# the file; a monitor removed and added back under the bar; the details window at the bottom edge.
set -uo pipefail
. "$(dirname "$0")/lib.sh"
e2e_init "$1" 3840x2160x24
e2e_need xrandr xwininfo
e2e_start_atspi

# The other monitor at 0,0; the primary at 1920,1080, holding the server's one output so that
# the output's own monitor (the whole screen) goes.
other() { xrandr --setmonitor Other 1920/508x1080/286+0+0 none; }
xrandr --setmonitor '*Primary' 1920/508x1080/286+1920+1080 screen >/dev/null &&
    other >/dev/null || e2e_skip "the X server takes no RandR 1.5 monitors"
e2e_expect_eq "monitors" "2" "$(xrandr --listmonitors | sed -n 's/^Monitors: //p')"

# First run: centred at the top of the primary; the dialog centred on the primary.
e2e_start_at "$E2E_BIN" 1080 2792
xdotool windowfocus --sync "$BAR"
xdotool key --clearmodifiers ctrl+p
dialog=$(e2e_window_of "$APP" "Vantrel Preferences...") || e2e_fail "Ctrl+P showed no dialog"
read -r w h x y <<<"$(e2e_geometry "$dialog")"
e2e_expect_eq "the dialog centred on the primary" "$((1920 + (1920 - w) / 2)) $((1080 + (1080 - h) / 2))" "$x $y"
e2e_click_control Cancel "push button" || e2e_fail "no Cancel button"
e2e_window_gone "$APP" "Vantrel Preferences..." || e2e_fail "the dialog did not close"

# Dragged onto the other monitor, which is then unplugged: the bar comes into sight on the
# primary, and goes back when the monitor does; the place saved is the user's.
e2e_drag "$BAR" -2292 -580
e2e_expect_eq "dragged onto the other monitor" "500 500" "$(e2e_window_pos "$BAR")"
xrandr --delmonitor Other
e2e_wait 5 e2e_bar_at "$BAR" 1080 1920 || e2e_fail "unplugged: the bar at $(e2e_window_pos "$BAR"), not 1920 1080"
other
e2e_wait 5 e2e_bar_at "$BAR" 500 500 || e2e_fail "plugged back: the bar at $(e2e_window_pos "$BAR"), not 500 500"
e2e_quit "$BAR" "$APP"
e2e_expect_eq "the place saved" "500 500" "$(e2e_stored Left) $(e2e_stored Top)"

# A place on no monitor (the desktop's empty top-right quarter): shown on the nearest monitor,
# nearest place, and left in the file as it was.
e2e_settings 500 2500 BarPos=3 FixPos=1
e2e_start_at "$E2E_BIN" 1080 2500
e2e_quit "$BAR" "$APP"
e2e_expect_eq "the place kept in the file" "2500 500" "$(e2e_stored Left) $(e2e_stored Top)"

# Held against the bottom edge of the primary by a drag; the details window then opens above it.
e2e_start_at "$E2E_BIN" 1080 2500
e2e_drag "$BAR" 30 40
e2e_expect_eq "bottom-fixed drag" "2530 2139" "$(e2e_window_pos "$BAR")"
xdotool windowfocus --sync "$BAR"
xdotool key --clearmodifiers ctrl+i
details=$(e2e_window_of "$APP" "Memory Details") || e2e_fail "Ctrl+I showed no details window"
e2e_wait 3 eval '[ "$(e2e_window_pos "$details")" = "2530 2066" ]' ||
    e2e_fail "the details window at $(e2e_window_pos "$details"), not above the bar at 2530 2066"
e2e_quit "$BAR" "$APP"

# Held against the right edge of the primary.
e2e_settings 1500 2500 BarPos=2 FixPos=1
e2e_start_at "$E2E_BIN" 1500 2500
e2e_drag "$BAR" -40 30
e2e_expect_eq "right-fixed drag" "3663 1530" "$(e2e_window_pos "$BAR")"
e2e_quit "$BAR" "$APP"

# The other monitor left of the primary at twice the scale: dragged across, the pressed point
# (60,10 of the strip) stays under the pointer, 120,20 device pixels into the doubled bar.
xrandr --delmonitor Other
xrandr --setmonitor Other 1920/508x1080/286+0+1080 none
e2e_settings 1500 1950
QT_SCREEN_SCALE_FACTORS="Primary=1;Other=2" e2e_start_at "$E2E_BIN" 1500 1950
e2e_drag "$BAR" -160 0
read -r px py < <(xdotool getmouselocation --shell | sed -n 's/^[XY]=//p' | tr '\n' ' ')
read -r bx by < <(e2e_window_pos "$BAR")
e2e_expect_eq "the pressed point under the pointer at twice the scale" "120 20" "$((px - bx)) $((py - by))"
e2e_quit "$BAR" "$APP"
echo "PASS"
