#!/usr/bin/env bash
# Takes the README's pictures (the bar with its details window, the preferences dialog, the about
# box) in a private X server, with pinned memory figures:
#   bash scripts/screenshots.sh path/to/vantrel
set -uo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
. "$here/tests/e2e/lib.sh"
e2e_program "${1:-$here/build/vantrel}"
e2e_need xdotool import convert unshare
e2e_start_xvfb 1024x768x24
e2e_start_atspi
# As on a GNOME desktop, where Qt would otherwise dress the program with its GTK theme plugin.
export XDG_CURRENT_DESKTOP=GNOME

# With no settings the list shows the folders of the current folder: a few schemes.
mkdir -p "$HOME/Skins/Blue" "$HOME/Skins/Graphite" "$HOME/Skins/Sunset"
cd "$HOME/Skins" || e2e_fail "no Skins folder"
e2e_fake_meminfo 16384000 6553600
e2e_start_vantrel
app=$APP
bar=$(e2e_window_of "$app") || e2e_fail "the bar did not show"

# The bar with the details window open under it.
xdotool windowmove "$bar" 20 20
sleep 0.2
xdotool windowfocus --sync "$bar"
xdotool key --clearmodifiers ctrl+i
e2e_window_of "$app" "Memory Details" >/dev/null
sleep 0.5
e2e_screenshot || e2e_fail "no screenshot"
convert "$E2E_TMP/screen.png" -crop 217x114+0+0 +repage "$here/docs/vantrel.png" || e2e_fail "no picture of the bar"
xdotool windowmove "$bar" 424 0
sleep 0.2

# The menu of the bar (centred at the top with no settings), then one of its commands.
e2e_menu_choose 512 10 "Preferences..." || e2e_fail "no menu with Preferences..."
prefs=$(e2e_window_of "$app" "Vantrel Preferences...") || e2e_fail "no preferences dialog"
sleep 0.5
import -window "$prefs" "$here/docs/prefs.png" || e2e_fail "no picture of the dialog"
e2e_click_control Cancel "push button" || e2e_fail "no Cancel button"
e2e_window_gone "$app" "Vantrel Preferences..." || e2e_fail "Cancel left the dialog open"

e2e_menu_choose 512 10 "About..." || e2e_fail "no menu with About..."
about=$(e2e_window_of "$app" "About Vantrel...") || e2e_fail "no about box"
sleep 0.5
import -window "$about" "$here/docs/about.png" || e2e_fail "no picture of the about box"
echo "wrote docs/vantrel.png, docs/prefs.png and docs/about.png"
