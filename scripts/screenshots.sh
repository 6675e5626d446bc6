#!/usr/bin/env bash
# Takes the README's pictures (the bar with its details window, the preferences dialog, the about
# box) in a private X server, with pinned memory figures:
#   bash scripts/screenshots.sh path/to/vantrel
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bin=$(realpath "${1:-$here/build/vantrel}")
source "$here/tests/e2e/lib.sh"
e2e_need xdotool import convert unshare
e2e_private_home
# As on a GNOME desktop, where Qt would otherwise dress the program with its GTK theme plugin.
export XDG_CURRENT_DESKTOP=GNOME
e2e_start_xvfb 1024x768x24

# With no settings the list shows the folders of the current folder: a few schemes.
mkdir -p "$HOME/Skins/Blue" "$HOME/Skins/Graphite" "$HOME/Skins/Sunset"
cd "$HOME/Skins"
e2e_fake_meminfo 16384000 6553600
e2e_start_vantrel "$bin"
app=$APP
bar=$(e2e_window_of "$app")

# The bar with the details window open under it.
xdotool windowmove "$bar" 20 20
sleep 0.2
xdotool windowfocus --sync "$bar"
xdotool key --clearmodifiers ctrl+i
e2e_window_of "$app" "Memory Details" >/dev/null
sleep 0.5
e2e_screenshot
convert "$E2E_TMP/screen.png" -crop 217x114+0+0 +repage "$here/docs/vantrel.png"
xdotool windowmove "$bar" 424 0
sleep 0.2

# The menu of the bar (centred at the top with no settings), then one of its commands.
menu() {
    xdotool mousemove 512 10 click 3
    sleep 0.5
    xdotool key --delay 80 $1 Return
}

menu "Down Down Down"
prefs=$(e2e_window_of "$app" "Vantrel Preferences...")
sleep 0.5
import -window "$prefs" "$here/docs/prefs.png"
read -r px py < <(e2e_window_pos "$prefs")
xdotool mousemove $((px + 272)) $((py + 314)) click 1 # Cancel
e2e_window_gone "$app" "Vantrel Preferences..."

menu "Down"
about=$(e2e_window_of "$app" "About Vantrel...")
sleep 0.5
import -window "$about" "$here/docs/about.png"
echo "wrote docs/vantrel.png, docs/prefs.png and docs/about.png"
