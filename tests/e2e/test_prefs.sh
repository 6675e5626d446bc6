#!/usr/bin/env bash
# The preferences dialog from the bar's right-click menu: a delay typed, a schemes folder entered,
# a scheme picked by double click, OK. The bar shows the scheme at once and keeps it; after Quit
# the settings file holds the new values.
set -euo pipefail
bin=$(realpath "$1")
source "$(dirname "$0")/lib.sh"
e2e_need xdotool import convert
e2e_private_home
e2e_start_xvfb 1024x768x24


# A scheme whose background is green all over.
skins="$HOME/Skins"
mkdir -p "$skins/Green"
convert -size 177x21 xc:'#00FF00' -type TrueColor BMP3:"$skins/Green/back.bmp"
convert -size 120x13 xc:'#FF0000' -type TrueColor BMP3:"$skins/Green/bar.bmp"
winskins="C:${skins//\//\\}\\"

e2e_start_vantrel "$bin"
app=$APP
bar=$(e2e_window_of "$app") || e2e_fail "the bar did not show"
read -r bx by < <(e2e_window_pos "$bar")

# Preferences... is the third command of the menu.
xdotool mousemove $((bx + 100)) $((by + 10)) click 3
e2e_wait 5 e2e_popup_of "$app" || e2e_fail "a right click on the bar opened no menu"
xdotool key --delay 80 Down Down Down Return
dlg=$(e2e_window_of "$app" "Vantrel Preferences...") || e2e_fail "the dialog did not open"
read -r dx dy < <(e2e_window_pos "$dlg")
# With no window manager, the keyboard goes where X puts the input focus.
xdotool windowfocus --sync "$dlg"
at() { xdotool mousemove $((dx + $1)) $((dy + $2)) "${@:3}"; }

# The delay field lies at 278,69 in the dialog, the folder field at 9,273.
at 298 79 click 1
xdotool key ctrl+a
xdotool type --delay 30 250
at 80 283 click 1
xdotool key ctrl+a
xdotool type --delay 20 "$winskins"
xdotool key Return

# The list starts at 8,68 with entries 13 pixels high: "<default>", then "Green".
row_y=$((dy + 68 + 2 + 13 + 6))
second_row_drawn() { [ "$(e2e_colours $((dx + 12)) $((row_y - 2)) 60 5)" -gt 1 ]; }
e2e_wait 5 second_row_drawn || e2e_fail "the scheme list shows no scheme of the folder entered"
# A double click takes the scheme from the stored folder, which is still the old one; the bar
# shows the new folder's scheme once OK has stored the folder.
xdotool mousemove $((dx + 40)) "$row_y" click --repeat 2 --delay 100 1

at 202 314 click 1 # OK
e2e_window_gone "$app" "Vantrel Preferences..." || e2e_fail "OK did not close the dialog"
e2e_wait 3 e2e_pixel_is $((bx + 170)) $((by + 2)) "#00FF00" || e2e_fail "the bar does not show the scheme after OK"

# Quit is the fourth command.
xdotool mousemove $((bx + 100)) $((by + 10)) click 3
e2e_wait 5 e2e_popup_of "$app" || e2e_fail "a right click on the bar opened no menu"
xdotool key --delay 80 Down Down Down Down Return
e2e_wait_exit "$app" || e2e_fail "Quit did not end the program"

settings="$XDG_CONFIG_HOME/vantrel/HKEY_CURRENT_USER.reg"
[ -f "$settings" ] || e2e_fail "no settings file was written after Quit"
value() { # the text of a value, with the file's escapes undone
    grep -i "^\"$1\"=" "$settings" | head -1 | sed -e 's/^[^=]*="//' -e 's/"[[:space:]]*$//' \
        -e 's/\\\\/\\/g'
}
[ "$(value TimerDelay)" = "250" ] || e2e_fail "TimerDelay is '$(value TimerDelay)', not 250"
[ "$(value Scheme)" = "Green" ] || e2e_fail "Scheme is '$(value Scheme)', not Green"
[ "$(value Dir)" = "$winskins" ] || e2e_fail "Dir is '$(value Dir)', not $winskins"
echo "ok"
