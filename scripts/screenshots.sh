#!/usr/bin/env bash
# Takes the README's pictures of the preferences dialog and the about box in a private X server:
#   bash scripts/screenshots.sh path/to/vantrel
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bin=$(realpath "${1:-$here/build/vantrel}")
source "$here/tests/e2e/lib.sh"
e2e_need xdotool import
e2e_private_home
e2e_start_xvfb 1024x768x24

# With no settings the list shows the folders of the current folder: a few schemes.
mkdir -p "$HOME/Skins/Blue" "$HOME/Skins/Graphite" "$HOME/Skins/Sunset"
cd "$HOME/Skins"
"$bin" >"${E2E_TMP}/app.log" 2>&1 &
app=$!
e2e_track "$app"
e2e_window_of "$app" >/dev/null

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
echo "wrote docs/prefs.png and docs/about.png"
