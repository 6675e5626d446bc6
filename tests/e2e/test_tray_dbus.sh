#!/usr/bin/env bash
# The notification-area icon on D-Bus, the way desktops with a StatusNotifier host show it: on a
# private session bus with a watcher and host of the tests' own, the icon registers, its tooltip
# carries the load text, ContextMenu opens the bar's menu at the pointer, Activate and
# SecondaryActivate run the click logic (no handlers here: nothing happens, no window is brought
# forward), the menu works while the about box is open, and the icon is unregistered when the
# program ends.
set -uo pipefail
. "$(dirname "$0")/lib.sh"
e2e_program "$1"
e2e_beside WATCHER sni_watcher
e2e_need dbus-daemon dbus-send xdotool xwininfo
e2e_start_xvfb 1024x768
e2e_start_bus

"$WATCHER" >"$E2E_TMP/watcher.out" 2>"$E2E_TMP/watcher.err" &
e2e_track $!
e2e_wait 10 grep -q '^ready' "$E2E_TMP/watcher.out" || e2e_fail "the watcher did not start"

e2e_start_vantrel
VPID=$APP
BAR=$(e2e_window_of "$VPID" "" 15) || e2e_fail "the bar did not appear"
e2e_wait 10 grep -q '^registered ' "$E2E_TMP/watcher.out" || e2e_fail "the icon did not register"
ITEM=$(sed -n 's/^registered //p' "$E2E_TMP/watcher.out" | head -n1)

item() { dbus-send --session --print-reply --dest="$ITEM" /StatusNotifierItem "$@"; }
property() { item org.freedesktop.DBus.Properties.Get string:org.kde.StatusNotifierItem "string:$1"; }
load_tip() { property ToolTip | grep -E 'string "Vantrel - \[Load: [0-9,]+ Kb, [0-9]+%\]' >/dev/null; }
menu_open() { e2e_popup_of "$VPID" >/dev/null; }
menu_closed() { ! menu_open; }
about_open() { xdotool search --onlyvisible --name '^About Vantrel' >/dev/null 2>&1; }
focus() { xdotool getwindowfocus 2>/dev/null; }

e2e_wait 10 load_tip || e2e_fail "the tooltip does not carry the load text: $(property ToolTip)"
# grep reads the whole reply (with -q it would stop early, and the long reply's writer fail).
property IconPixmap | grep 'int32 16' >/dev/null || e2e_fail "the icon has no picture on the bus"
property Id | grep -q 'string "Vantrel"' || e2e_fail "the icon is not named Vantrel"

# Left and middle clicks: no handler, so nothing at all happens.
xdotool mousemove 400 300
before=$(focus)
[ "$before" != "$BAR" ] || e2e_fail "the bar has the focus from the start; the check below says nothing"
item org.kde.StatusNotifierItem.Activate int32:400 int32:300 >/dev/null ||
    e2e_fail "Activate was not answered"
item org.kde.StatusNotifierItem.SecondaryActivate int32:400 int32:300 >/dev/null ||
    e2e_fail "SecondaryActivate was not answered"
e2e_holds 1 menu_closed || e2e_fail "a click opened the menu"
[ "$(focus)" = "$before" ] || e2e_fail "a click without a handler brought a window forward"
e2e_running "$VPID" || e2e_fail "the program ended after a click"

# The menu, at the pointer, after the bar was brought forward.
item org.kde.StatusNotifierItem.ContextMenu int32:400 int32:300 >/dev/null ||
    e2e_fail "ContextMenu was not answered"
e2e_wait 5 menu_open || e2e_fail "ContextMenu did not open the menu"
menu=$(e2e_popup_of "$VPID")
read -r _ _ mx my <<<"$(e2e_geometry "$menu")"
[ "$mx,$my" = "400,300" ] || e2e_fail "the menu opened at $mx,$my, not at the pointer"
[ "$(focus)" = "$BAR" ] || e2e_fail "the bar was not brought forward for its menu"
# A second request while the menu is open leaves that one menu open.
item org.kde.StatusNotifierItem.ContextMenu int32:200 int32:200 >/dev/null
same_menu() { [ "$(e2e_popup_of "$VPID")" = "$menu" ]; }
e2e_holds 0.5 same_menu || e2e_fail "a second ContextMenu changed the open menu"
read -r _ _ mx my <<<"$(e2e_geometry "$menu")"
[ "$mx,$my" = "400,300" ] || e2e_fail "a second ContextMenu moved the open menu to $mx,$my"
xdotool key Escape
e2e_wait 5 menu_closed || e2e_fail "Escape did not close the menu"

# The menu while the about box is open, and Quit from it.
item org.kde.StatusNotifierItem.ContextMenu int32:400 int32:300 >/dev/null
e2e_wait 5 menu_open || e2e_fail "ContextMenu did not open the menu again"
xdotool key a
e2e_wait 5 about_open || e2e_fail "About... from the icon's menu did not open the about box"
item org.kde.StatusNotifierItem.ContextMenu int32:400 int32:300 >/dev/null ||
    e2e_fail "ContextMenu was not answered while the about box is open"
e2e_wait 5 menu_open || e2e_fail "no menu while the about box is open"
xdotool key q
e2e_wait_exit "$VPID" 15 || e2e_fail "the program did not end after Quit"
[ "$E2E_STATUS" = 0 ] || e2e_fail "the program ended with status $E2E_STATUS"
e2e_wait 5 grep -q "^unregistered $ITEM\$" "$E2E_TMP/watcher.out" ||
    e2e_fail "the icon was not unregistered when the program ended"
exit 0
