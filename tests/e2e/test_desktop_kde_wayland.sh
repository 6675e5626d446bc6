#!/usr/bin/env bash
# The program on KDE Plasma on Wayland: kwin_wayland's virtual back end with its XWayland, where
# the program runs, kded5's StatusNotifierItem watcher and plasmashell (a Wayland client) with its
# system tray, on a session bus of the test's own. The same checks as on X11, from KWin's own view:
# three starts from a saved place come up at it and save it unchanged; the bar's role with
# stay-on-top, above others, on every desktop (also after a dialog), out of the taskbar, the pager
# and Alt+Tab; in view on another desktop; its tooltip while another program is active; its
# dialogs centred with their frames and above the bar; a right click on the icon in plasmashell's
# tray (through KWin's fake input) opens the bar's menu, whose Quit ends the program, which saves
# its place.
set -uo pipefail
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/kde.sh"
e2e_program "$1"
e2e_beside E2E_FAKE_INPUT fake_input "libwayland-dev, plasma-wayland-protocols"
e2e_beside E2E_KWIN_SHOT kwin_shot
e2e_start_kwin wayland
e2e_start_plasma
e2e_kde_checks "$E2E_BIN"
exit 0
