#!/usr/bin/env bash
# The preferences dialog from the bar's right-click menu: a delay typed, a schemes folder entered,
# a scheme picked by double click, OK. The bar shows the scheme at once and keeps it; after Quit
# the settings file holds the new values.
set -uo pipefail
. "$(dirname "$0")/lib.sh"
e2e_program "$1"
e2e_need xdotool xprop import convert
e2e_start_xvfb 1024x768x24
e2e_start_atspi

# A scheme whose background is green all over.
skins="$HOME/Skins"
mkdir -p "$skins/Green"
convert -size 177x21 xc:'#00FF00' -type TrueColor BMP3:"$skins/Green/back.bmp" &&
    convert -size 120x13 xc:'#FF0000' -type TrueColor BMP3:"$skins/Green/bar.bmp" ||
    e2e_fail "ImageMagick made no scheme"
winskins="C:${skins//\//\\}\\"

e2e_start_vantrel
app=$APP
bar=$(e2e_window_of "$app") || e2e_fail "the bar did not show"
read -r bx by < <(e2e_window_pos "$bar")

e2e_menu_choose $((bx + 100)) $((by + 10)) "Preferences..." ||
    e2e_fail "a right click on the bar opened no menu with Preferences..."
dlg=$(e2e_window_of "$app" "Vantrel Preferences...") || e2e_fail "the dialog did not open"
# With no window manager, the keyboard goes where X puts the input focus.
xdotool windowfocus --sync "$dlg"

e2e_click_control "Refresh delay :" text || e2e_fail "no delay field"
xdotool key ctrl+a
xdotool type --delay 30 250
e2e_click_control "Schemes folder :" text || e2e_fail "no folder field"
xdotool key ctrl+a
xdotool type --delay 20 "$winskins"
xdotool key Return

# The list shows the folder's scheme under "<default>".
e2e_wait 5 e2e_control_at Green "list item" || e2e_fail "the scheme list shows no scheme of the folder entered"
read -r gx gy _ gh < <(e2e_reader where Vantrel Green "list item")
row_drawn() { [ "$(e2e_colours $((gx + 4)) $((gy + gh / 2 - 2)) 60 5)" -gt 1 ]; }
e2e_wait 5 row_drawn || e2e_fail "the scheme list does not draw the scheme of the folder entered"
# A double click takes the scheme from the stored folder, which is still the old one; the bar
# shows the new folder's scheme once OK has stored the folder.
xdotool mousemove $((gx + 30)) $((gy + gh / 2)) click --repeat 2 --delay 100 1

e2e_click_control OK "push button" || e2e_fail "no OK button"
e2e_window_gone "$app" "Vantrel Preferences..." || e2e_fail "OK did not close the dialog"
e2e_wait 3 e2e_pixel_is $((bx + 170)) $((by + 2)) "#00FF00" || e2e_fail "the bar does not show the scheme after OK"

e2e_menu_choose $((bx + 100)) $((by + 10)) Quit || e2e_fail "a right click on the bar opened no menu with Quit"
e2e_wait_exit "$app" || e2e_fail "Quit did not end the program"

[ -f "$(e2e_store)" ] || e2e_fail "no settings file was written after Quit"
e2e_expect_eq TimerDelay 250 "$(e2e_stored TimerDelay)"
e2e_expect_eq Scheme Green "$(e2e_stored Scheme)"
e2e_expect_eq Dir "$winskins" "$(e2e_stored Dir)"
echo "ok"
