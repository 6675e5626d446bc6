#!/usr/bin/env bash
# The program on i3, a tiling window manager, with the configuration lines the README gives and
# i3bar's notification area: three starts from a saved place come up at it, 177 x 21, and save it
# unchanged; the bar stays in view on another workspace; its tooltip shows while another program
# is active; its dialogs stay above the bar that stays on top; a right click on the icon in i3bar
# opens the bar's menu, whose Quit ends the program.
set -uo pipefail
. "$(dirname "$0")/lib.sh"
e2e_program "$1"
e2e_need i3 i3-msg i3bar wmctrl xmessage xprop xwininfo xdpyinfo xdotool dbus-daemon
e2e_start_xvfb 1024x768
e2e_start_bus
cat >"$E2E_TMP/i3.conf" <<'CONF'
# i3 config file (v4)
font pango:monospace 8
floating_minimum_size -1 x -1
for_window [class="^Vantrel$" window_role="^bar$"] floating enable, border none, sticky enable
bar {
}
CONF
e2e_start_wm i3 -c "$E2E_TMP/i3.conf"

e2e_three_starts_at "$E2E_BIN" 380 420
e2e_check_workspaces "i3-msg workspace 2" "i3-msg workspace 1"
e2e_check_tooltip
e2e_check_dialogs
e2e_quit_from_icon 380 420
exit 0
