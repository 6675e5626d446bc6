#!/usr/bin/env bash
# The notification-area icon in a real XEmbed tray (trayer): it is embedded and drawn sharp, a
# right click on it opens the bar's menu, "&Quit" from that menu ends the program, the menu works
# while the about box is open, and a tray that starts after the program still gets the icon.
set -uo pipefail
. "$(dirname "$0")/lib.sh"
e2e_program "$1"
ICON22="$(dirname "$0")/../../resources/icons/vantrel-22.png"

e2e_need xdotool xwininfo import convert compare trayer
e2e_start_xvfb 1024x768

start_tray() {
    trayer --edge top --align right --widthtype request --height 24 --SetDockType true \
        --transparent false >"$E2E_TMP/trayer.log" 2>&1 &
    TRAYER=$!
    e2e_track "$TRAYER"
}

start_vantrel() {
    : >"$E2E_TMP/app.log"
    e2e_start_vantrel
    VPID=$APP
    e2e_window_of "$VPID" "" 15 >/dev/null || e2e_fail "the bar did not appear"
}

# "W H X Y" of the program's window embedded in the tray; nothing while there is none.
icon_geometry() {
    xwininfo -root -tree | awk '
        /\("panel" "trayer"\)/ { match($0, /^ */); depth = RLENGTH; inside = 1; next }
        inside { match($0, /^ */); if (RLENGTH <= depth) inside = 0 }
        inside && /\("vantrel" "Vantrel"\)/ {
            split($(NF - 1), size, /[x+]/); split($NF, at, /\+/)
            print size[1], size[2], at[2], at[3]; exit
        }'
}
has_icon() { [ -n "$(icon_geometry)" ]; }

menu_open() { e2e_popup_of "$VPID" >/dev/null; }
menu_closed() { ! menu_open; }
about_open() { xdotool search --onlyvisible --name '^About Vantrel' >/dev/null 2>&1; }

right_click_icon() {
    local w h x y
    read -r w h x y <<<"$(icon_geometry)"
    xdotool mousemove $((x + w / 2)) $((y + h / 2)) click 3
    e2e_wait 5 menu_open || e2e_fail "no menu after a right click on the icon ($1)"
}

expect_exit_0() {
    e2e_wait_exit "$VPID" 15 || e2e_fail "the program did not end after Quit ($1)"
    [ "$E2E_STATUS" = 0 ] || e2e_fail "the program ended with status $E2E_STATUS ($1)"
}

# --- The tray is there first ------------------------------------------------------------------
start_tray
e2e_wait 10 xdotool search --name '^panel$' || e2e_skip "trayer did not start"
start_vantrel
e2e_wait 10 has_icon || e2e_fail "the icon was not embedded in the tray"

read -r W H X Y <<<"$(icon_geometry)"
e2e_screenshot "$E2E_TMP/tray.png"
e2e_pixels "$E2E_TMP/tray.png" "$W" "$H" "$X" "$Y" >"$E2E_TMP/icon.txt"
blue=$(awk '$3 > $1 + 60 && $3 > $2 + 40' "$E2E_TMP/icon.txt" | wc -l)
grey=$(awk '$1 >= 185 && $1 <= 210 && ($1 - $2) ^ 2 <= 64 && ($2 - $3) ^ 2 <= 64' \
    "$E2E_TMP/icon.txt" | wc -l)
[ "$blue" -ge 20 ] || e2e_fail "no blue bar in the tray icon ($blue blue pixels)"
[ "$grey" -ge 50 ] || e2e_fail "no grey frame in the tray icon ($grey grey pixels)"
if [ "$W" = 22 ] && [ "$H" = 22 ] && [ -f "$ICON22" ]; then
    # At 22 pixels the hand-drawn 22-pixel picture is shown as it is, not scaled.
    convert "$E2E_TMP/tray.png" -crop "20x20+$((X + 1))+$((Y + 1))" +repage "$E2E_TMP/shown.png"
    convert "$ICON22" -crop 20x20+1+1 +repage -background none -flatten "$E2E_TMP/drawn.png"
    diff=$(compare -metric AE "$E2E_TMP/shown.png" "$E2E_TMP/drawn.png" null: 2>&1)
    [ "$diff" = 0 ] || e2e_fail "the 22-pixel icon is not drawn pixel for pixel ($diff differ)"
fi

right_click_icon "first"
xdotool key Escape
e2e_wait 5 menu_closed || e2e_fail "Escape did not close the menu"
right_click_icon "second"
xdotool key q
expect_exit_0 "menu of the icon"
has_icon && e2e_fail "the icon stayed in the tray after the program ended"
kill "$TRAYER"
wait "$TRAYER" 2>/dev/null

# --- The tray starts after the program; the about box is open ----------------------------------
start_vantrel
no_icon() { ! has_icon; }
e2e_holds 1 no_icon || e2e_fail "an icon without a tray?"
grep -i -E 'tray|notification' "$E2E_TMP/app.log" &&
    e2e_fail "the program complained about the missing notification area"
start_tray
e2e_wait 10 has_icon || e2e_fail "the icon did not appear when the tray started"

right_click_icon "before About"
xdotool key a
e2e_wait 5 about_open || e2e_fail "About... from the icon's menu did not open the about box"
right_click_icon "while the about box is open"
xdotool key Escape
e2e_wait 5 menu_closed || e2e_fail "Escape did not close the menu"
about_open || e2e_fail "the about box closed with the menu"
right_click_icon "about box still open"
xdotool key q
expect_exit_0 "Quit while the about box is open"
exit 0
