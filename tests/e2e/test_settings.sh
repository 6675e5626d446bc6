#!/usr/bin/env bash
# Settings end to end: a real drag, Ctrl+Q writing all ten values, a restart putting the bar back,
# SIGTERM saving as Quit does, and two copies closing at once.
set -uo pipefail
. "$(dirname "$0")/lib.sh"
e2e_init "$1"

store=$(e2e_store)

expected() { # TOP LEFT
    printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Quillmoor\\Vantrel]\n"Top"="%s"\n"Left"="%s"\n"Aot"="0"\n"TimerDelay"="1500"\n"NoMove"="0"\n"BarPos"="1"\n"FixPos"="0"\n"Scheme"="<none>"\n"Dir"=""\n"BarTip"="0"\n\n' "$1" "$2"
}

# First run: centred at the top; a real drag moves it by exactly the mouse's distance.
e2e_start_vantrel
window=$(e2e_window_of "$APP") || e2e_fail "the bar did not appear"
e2e_expect_eq "first-run position" "424 0" "$(e2e_window_pos "$window")"
[ -e "$store" ] && e2e_fail "the store was written before any close"
e2e_drag "$window" 123 345
e2e_expect_eq "position after the drag" "547 345" "$(e2e_window_pos "$window")"

# Ctrl+Q on the active bar saves every value and ends the program.
xdotool windowfocus --sync "$window"
xdotool key ctrl+q
e2e_wait_exit "$APP" || e2e_fail "Ctrl+Q did not end the program cleanly"
e2e_expect_eq "file after Ctrl+Q" "$(expected 345 547)" "$(cat "$store")"
e2e_expect_eq "file mode" "600" "$(stat -c %a "$store")"
e2e_expect_eq "folder mode" "700" "$(stat -c %a "$(dirname "$store")")"

# A restart puts the bar back; a drag partly off the screen and SIGTERM save like Quit.
e2e_start_vantrel
window=$(e2e_window_of "$APP") || e2e_fail "the bar did not appear after a restart"
e2e_expect_eq "position after the restart" "547 345" "$(e2e_window_pos "$window")"
e2e_drag "$window" -600 100
e2e_expect_eq "position off the left edge" "-53 445" "$(e2e_window_pos "$window")"
kill -TERM "$APP"
e2e_wait_exit "$APP" || e2e_fail "SIGTERM did not end the program cleanly"
e2e_expect_eq "file after SIGTERM" "$(expected 445 -53)" "$(cat "$store")"

e2e_start_vantrel
window=$(e2e_window_of "$APP") || e2e_fail "the bar did not appear"
e2e_expect_eq "position after SIGTERM and a restart" "-53 445" "$(e2e_window_pos "$window")"
kill -HUP "$APP"
e2e_wait_exit "$APP" || e2e_fail "SIGHUP did not end the program cleanly"

# Two copies closing at the same moment: a well-formed file, every value once, nothing of the
# user's lost.
printf 'REGEDIT4\n\n; my notes\n[HKEY_CURRENT_USER\\Software\\Quillmoor\\Vantrel]\n"Mine"=hex:01,02\n"Top"="5"\n\n[HKEY_CURRENT_USER\\Software\\Other]\n"x"="y"\n\n' >"$store"
for round in 1 2 3; do
    e2e_start_vantrel
    first=$APP
    e2e_start_vantrel
    second=$APP
    e2e_window_of "$first" >/dev/null || e2e_fail "the first copy did not appear"
    e2e_window_of "$second" >/dev/null || e2e_fail "the second copy did not appear"
    kill -TERM "$first" "$second"
    e2e_wait_exit "$first" || e2e_fail "round $round: the first copy did not end cleanly"
    e2e_wait_exit "$second" || e2e_fail "round $round: the second copy did not end cleanly"
    head -n1 "$store" | grep -qx REGEDIT4 || e2e_fail "round $round: no REGEDIT4 line"
    for name in Top Left Aot TimerDelay NoMove BarPos FixPos Scheme Dir BarTip; do
        e2e_expect_eq "round $round: lines for $name" 1 "$(grep -c "^\"$name\"=\"" "$store")"
    done
    grep -qx '"Mine"=hex:01,02' "$store" || e2e_fail "round $round: an unknown value was lost"
    grep -qx '; my notes' "$store" || e2e_fail "round $round: a comment was lost"
    grep -qx '"x"="y"' "$store" || e2e_fail "round $round: another key was lost"
    grep -qx '"Top"="5"' "$store" || e2e_fail "round $round: the stored top changed"
    leftovers=$(find "$(dirname "$store")" -mindepth 1 ! -name HKEY_CURRENT_USER.reg)
    [ -z "$leftovers" ] || e2e_fail "round $round: files left behind: $leftovers"
done
echo "PASS"
