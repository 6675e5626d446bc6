#!/usr/bin/env bash
# Dragging under a real X server with stored settings (locked, fixed to an edge, any button), and
# the stay-on-top and skip-taskbar states of the bar's X window.
set -uo pipefail
. "$(dirname "$0")/lib.sh"
e2e_init "$1"
e2e_need xprop
e2e_start_atspi

settings() { # TOP LEFT AOT NOMOVE BARPOS FIXPOS
    e2e_settings "$1" "$2" "Aot=$3" "NoMove=$4" "BarPos=$5" "FixPos=$6"
}

net_wm_state() { xprop -id "$1" _NET_WM_STATE; }

# Locked: the mouse moves, the bar does not.
settings 100 200 0 1 1 0
e2e_start_vantrel
window=$(e2e_window_of "$APP") || e2e_fail "the bar did not appear"
e2e_drag "$window" 40 50 1
e2e_expect_eq "locked bar" "200 100" "$(e2e_window_pos "$window")"
kill -TERM "$APP"
e2e_wait_exit "$APP" || e2e_fail "the locked bar did not close"

# Fixed to the bottom edge: the first step puts it there, then it slides along it.
settings 100 200 0 0 3 1
e2e_start_vantrel
window=$(e2e_window_of "$APP") || e2e_fail "the bar did not appear"
e2e_expect_eq "no edge applied at start" "200 100" "$(e2e_window_pos "$window")"
e2e_drag "$window" -30 -50 1
e2e_expect_eq "bar on the bottom edge" "170 747" "$(e2e_window_pos "$window")"
# The middle button drags too.
e2e_drag "$window" 25 0 2
e2e_expect_eq "middle-button drag" "195 747" "$(e2e_window_pos "$window")"
kill -TERM "$APP"
e2e_wait_exit "$APP" || e2e_fail "the fixed bar did not close"

# Stay-on-top from the store at start, and off the taskbar either way.
for aot in 1 0; do
    settings 10 20 "$aot" 0 1 0
    e2e_start_vantrel
    window=$(e2e_window_of "$APP") || e2e_fail "the bar did not appear"
    state=$(net_wm_state "$window")
    case $state in *_NET_WM_STATE_SKIP_TASKBAR*) ;; *) e2e_fail "Aot $aot: on the taskbar: $state" ;; esac
    case $state in
    *_NET_WM_STATE_ABOVE*) [ "$aot" = 1 ] || e2e_fail "Aot 0 but above others: $state" ;;
    *) [ "$aot" = 0 ] || e2e_fail "Aot 1 but not above others: $state" ;;
    esac
    e2e_expect_eq "Aot $aot position" "20 10" "$(e2e_window_pos "$window")"
    kill -TERM "$APP"
    e2e_wait_exit "$APP" || e2e_fail "Aot $aot: the bar did not close"
done

# Stay-on-top switched on from the preferences (Apply) while the details window and the dialog
# are open: the bar's new X window keeps every property the first one had, and the open windows
# name the new one as their owner.
settings 10 20 0 0 1 0
e2e_start_vantrel
strip() { # the bar's X window (the details window is as wide)
    local w
    for w in $(e2e_windows_of "$APP"); do
        [ "$(e2e_geometry "$w" | cut -d' ' -f1-2)" = "177 21" ] && { echo "$w"; return 0; }
    done
    return 1
}
window=$(e2e_bar_of "$APP") || e2e_fail "the bar did not appear"
own_properties() { # the bar's properties that must survive its X window being made again
    xprop -id "$1" WM_WINDOW_ROLE WM_CLASS WM_NORMAL_HINTS _NET_WM_DESKTOP _NET_WM_STATE |
        grep -v -e 'location:' -e 'gravity:' | sed 's/_NET_WM_STATE_ABOVE, _NET_WM_STATE_STAYS_ON_TOP, //'
}
before=$(own_properties "$window")
case $before in *'"bar"'*_KDE_NET_WM_STATE_SKIP_SWITCHER*) ;; *) e2e_fail "the bar's properties: $before" ;; esac
xdotool windowfocus --sync "$window" key --clearmodifiers ctrl+i
details=$(e2e_window_of "$APP" "Memory Details") || e2e_fail "Ctrl+I showed no details window"
xdotool windowfocus --sync "$window" key --clearmodifiers ctrl+p
dialog=$(e2e_window_of "$APP" "Vantrel Preferences...") || e2e_fail "Ctrl+P showed no dialog"
e2e_click_control "Stay Always On Top" "check box" || e2e_fail "no Stay Always On Top box"
sleep 0.2
e2e_click_control Apply "push button" || e2e_fail "no Apply button"
e2e_wait 5 eval 'net_wm_state "$(strip)" | grep -q _NET_WM_STATE_ABOVE' ||
    e2e_fail "Apply did not put the bar above others"
window=$(strip)
e2e_expect_eq "the properties of the bar's new window" "$before" "$(own_properties "$window")"
for owned in "$dialog" "$details"; do
    e2e_expect_eq "the owner of window $owned" "$(printf 'window id # 0x%x' "$window")" \
        "$(xprop -id "$owned" WM_TRANSIENT_FOR | sed 's/.*: //')"
done
kill -TERM "$APP"
e2e_wait_exit "$APP" || e2e_fail "the bar did not close after Apply"

# Switching stay-on-top on a bar that is shown makes Qt create a new X window; the window tests
# check on X11 that it keeps its place and stays off the taskbar.
window_tests=$(dirname "$E2E_BIN")/tests/window_tests
if [ -x "$window_tests" ]; then
    QT_QPA_PLATFORM=xcb "$window_tests" --gtest_filter='BarDrag.*' >"$E2E_TMP/window_tests.log" 2>&1 ||
        { cat "$E2E_TMP/window_tests.log" >&2; e2e_fail "the drag window tests failed on X11"; }
fi
echo "PASS"
