#!/usr/bin/env bash
# The program on KDE Plasma on X11: kwin_x11, kded5's StatusNotifierItem watcher and plasmashell's
# panel with its system tray, on a session bus of the test's own. Three starts from a saved place
# come up at it and save it unchanged; KWin's own view of the bar (a KWin script's window list):
# its role with stay-on-top, above others, on every desktop (also after a dialog), out of the
# taskbar, the pager and the window switcher (Alt+Tab); the bar stays in view on another desktop;
# its tooltip shows while another program is active; its dialogs come up centred with their
# frames (as KWin has them) and above the bar; a right click on the icon in plasmashell's tray
# opens the bar's menu, whose Quit ends the program, which saves its place.
set -uo pipefail
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/kde.sh"
e2e_program "$1"
e2e_start_kwin x11
e2e_start_plasma
e2e_kde_checks "$E2E_BIN"
exit 0
