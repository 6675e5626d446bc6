#!/usr/bin/env bash
# The program under a real assistive-technology client: AT-SPI on a private session bus reads
# the bar as a progress bar named "Memory load" with the load as its value, the details figures
# as labels, the preferences dialog's controls by role and name; a change of the memory figures
# is announced as a value change.
set -uo pipefail
. "$(dirname "$0")/lib.sh"
e2e_program "$1"
e2e_need xdotool dbus-daemon unshare mount
e2e_start_xvfb 1024x768x24
# A session bus of the test's own, and the accessibility bus on it.
e2e_start_atspi

# 256 MB total, 96 MB available: load 64 %.
e2e_fake_meminfo 262144 98304
e2e_start_vantrel
bar=$(e2e_bar_of "$APP") || e2e_fail "the bar did not show"
xdotool windowfocus --sync "$bar"
xdotool key --clearmodifiers ctrl+i
e2e_window_of "$APP" "Memory Details" >/dev/null || e2e_fail "Ctrl+I opened no details window"

# dump_with LINE: the screen reader's dump of the program, once it holds a line starting so.
dump_with() { e2e_reader dump Vantrel >"$E2E_TMP/dump" && grep -qF -- "$1" "$E2E_TMP/dump"; }
e2e_wait 5 dump_with "frame|Memory Details|" || e2e_fail "the screen reader found no Memory Details of Vantrel"
echo "--- the screen reader reads the bar and the details:"
cat "$E2E_TMP/dump"
expect() { grep -qxF -- "$1" "$E2E_TMP/dump" || e2e_fail "not read: $1"; }
expect "progress bar|Memory load|64|[Total: 262,144 Kb]  [Load: 167,772 Kb, 64%]  [Free: 94,372 Kb, 36%]|"
expect "label|262,144 Kb|||"
expect "label|64% | 167,772 Kb|||"
expect "label|36% | 94,372 Kb|||"
expect "label|Total :|||"
expect "push button|Close|||"
grep -q "^frame|Memory Details|" "$E2E_TMP/dump" || e2e_fail "no window named Memory Details"

# New figures, written once the client listens: 128 MB available of 256 MB, load 51 %. The next
# tick announces it.
echo "--- announced after the figures changed:"
printf 'MemTotal:       262144 kB\nMemFree:        131072 kB\nMemAvailable:   131072 kB\n' \
    >"$E2E_TMP/meminfo.next"
# cp writes into the bound file itself, which keeps its inode.
e2e_reader value-event Vantrel "Memory load" 51 6 cp "$E2E_TMP/meminfo.next" "$E2E_TMP/meminfo" ||
    e2e_fail "no value change to 51 announced"
e2e_reader dump Vantrel >"$E2E_TMP/dump" || e2e_fail "the screen reader read nothing"
expect "label|51% | 133,693 Kb|||"

# Pressing the close box through the screen reader closes the details window.
e2e_reader press Vantrel "push button" Close || e2e_fail "the screen reader found no Close button"
details_shown() { xdotool search --onlyvisible --pid "$APP" 2>/dev/null | while read -r w; do
    xdotool getwindowgeometry "$w" | grep -q 'Geometry: 177x73' && echo "$w"; done | grep -q .; }
details_gone() { ! details_shown; }
e2e_wait 5 details_gone || e2e_fail "the Close action left the details window open"

xdotool windowfocus --sync "$bar"
xdotool key --clearmodifiers ctrl+p
e2e_window_of "$APP" "Vantrel Preferences..." >/dev/null || e2e_fail "Ctrl+P opened no dialog"
e2e_wait 5 dump_with "push button|Apply|" || e2e_fail "the screen reader found no Apply in the dialog"
echo "--- the screen reader reads the preferences dialog:"
grep -v '^filler||\|^panel||' "$E2E_TMP/dump"
for control in "push button|OK" "push button|Cancel" "push button|Apply" \
    "push button|Choose the schemes folder" "check box|Don't move !" \
    "check box|Stay Always On Top" "check box|Fix position on :" "check box|Tooltip on bar" \
    "radio button|Top" "radio button|Left" "radio button|Right" "radio button|Bottom" \
    "slider|Refresh delay|1500" "list|Scheme" "image|Vantrel"; do
    grep -qF -- "$control|" "$E2E_TMP/dump" || e2e_fail "not read in the dialog: $control"
done
grep -q '^text|Refresh delay :|.*|1500$' "$E2E_TMP/dump" || e2e_fail "the delay field is not read with its label"
e2e_reader press Vantrel "push button" Cancel || e2e_fail "the screen reader found no Cancel button"
e2e_window_gone "$APP" "Vantrel Preferences..." || e2e_fail "Cancel through the screen reader left the dialog open"

e2e_quit "$bar" "$APP"
echo PASS
