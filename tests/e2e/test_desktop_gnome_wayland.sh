#!/usr/bin/env bash
# The program on GNOME Shell on headless Wayland (a 1024 x 768 virtual monitor), the program on
# its XWayland display, the AppIndicator extension showing its icon:
# three starts from a saved place come up at it and save it unchanged; the bar is on every
# workspace, above other windows and out of the taskbar and of Alt+Tab, also after its dialogs
# and the details window were used; it stays in view on another workspace; its tooltip shows
# while another program is active; its dialogs come up above the bar; a right click on the icon
# opens the bar's menu, whose About... (with the details window open) shows the about box and
# whose Quit ends the program, which saves the place.
set -uo pipefail
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/gnome.sh"
e2e_program "$1"
e2e_need wmctrl xmessage
e2e_start_gnome wayland
e2e_gnome_checks "$E2E_BIN"
exit 0
