#!/usr/bin/env bash
# The program on openbox, a reparenting window manager with several workspaces, with tint2 as
# its panel and notification area: three starts from a saved place come up at it and save it
# unchanged; the bar is in view on every workspace; its tooltip shows while another program is
# active; its dialogs come up centred and stay above the bar that stays on top; a right click on
# the icon in tint2 opens the bar's menu, whose Quit ends the program.
set -uo pipefail
. "$(dirname "$0")/lib.sh"
e2e_program "$1"
e2e_need openbox tint2 wmctrl xmessage xprop xwininfo xdpyinfo xdotool dbus-daemon
e2e_start_xvfb 1024x768
e2e_start_bus
e2e_start_wm openbox
tint2 >"$E2E_TMP/tint2.log" 2>&1 &
e2e_track $!

# Where the dialogs come up, stay-on-top on, the tooltip on.
e2e_three_starts_at "$E2E_BIN" 380 420
e2e_on_all_desktops "$BAR" || e2e_fail "the bar is not on all desktops"
e2e_check_workspaces "wmctrl -s 2" "wmctrl -s 0"
e2e_check_tooltip
e2e_check_not_in_alt_tab
# The first showings too: each frame centred as the manager maps it, and not moved after.
e2e_watch_frames
E2E_CHECK_CENTRED=e2e_check_centred_at_map e2e_check_dialogs centred
e2e_check_error_box e2e_check_centred_at_map
e2e_wait 2 e2e_on_all_desktops "$BAR" || e2e_fail "the bar left the other desktops after its dialogs"
e2e_quit_from_icon 380 420
exit 0
