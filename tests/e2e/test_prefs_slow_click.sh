#!/usr/bin/env bash
# A bad delay and a click at a hand's pace, the button held down a moment: the real error box
# shows once, after the button is released, and the button then acts as it does on a bad delay:
# OK and Cancel close the dialog, Apply leaves it open. The bar's menu opens from the keyboard
# (the menu key and Shift+F10) just under the bar.
set -uo pipefail
. "$(dirname "$0")/lib.sh"
e2e_program "$1"
e2e_need xdotool xwininfo xprop
e2e_start_xvfb 1024x768x24
e2e_start_atspi

e2e_start_vantrel
app=$APP
bar=$(e2e_window_of "$app") || e2e_fail "the bar did not show"
read -r bx by < <(e2e_window_pos "$bar")

no_menu() { ! e2e_popup_of "$app" >/dev/null; }
for key in Menu shift+F10; do
    xdotool windowfocus --sync "$bar"
    xdotool key --clearmodifiers "$key"
    e2e_wait 5 e2e_popup_of "$app" || e2e_fail "$key opened no menu"
    read -r _ _ mx my <<<"$(e2e_geometry "$(e2e_popup_of "$app")")"
    [ "$mx $my" = "$bx $((by + 21))" ] || e2e_fail "$key: menu at $mx,$my, not under the bar"
    xdotool key Escape
    e2e_wait 5 no_menu || e2e_fail "the menu stayed open"
done

# The program's visible windows with exactly the given name.
named() {
    local w
    for w in $(e2e_windows_of "$app"); do
        [ "$(xdotool getwindowname "$w")" = "$1" ] && echo "$w"
    done
    return 0
}
dialog_gone() { [ -z "$(named "Vantrel Preferences...")" ]; }

for name in OK Apply Cancel; do
    xdotool windowfocus --sync "$bar"
    xdotool key --clearmodifiers ctrl+p
    dlg=$(e2e_window_of "$app" "Vantrel Preferences...") || e2e_fail "Ctrl+P opened no dialog"
    xdotool windowfocus --sync "$dlg"
    e2e_click_control "Refresh delay :" text || e2e_fail "no delay field"
    xdotool key ctrl+a
    xdotool type --delay 30 12x
    read -r x y < <(e2e_control_at "$name" "push button") || e2e_fail "no $name button"
    xdotool mousemove "$x" "$y" mousedown 1
    # The button is held down 0.4 s, and no box shows meanwhile.
    e2e_holds 0.4 e2e_no_box "$app" || e2e_fail "$name: an error box while the button is held"
    xdotool mouseup 1
    e2e_wait 5 e2e_box_shown "$app" || e2e_fail "$name: no error box after the release"
    e2e_holds 0.3 e2e_one_box "$app" || e2e_fail "$name: $(e2e_boxes "$app" | wc -l) error boxes"
    xdotool windowfocus --sync "$(e2e_boxes "$app")"
    xdotool key Return
    e2e_wait 3 e2e_no_box "$app" || e2e_fail "Return did not close the error box"
    e2e_holds 0.5 e2e_no_box "$app" || e2e_fail "$name: a second error box"
    open=$(named "Vantrel Preferences...")
    case $name in
    Apply)
        [ -n "$open" ] || e2e_fail "Apply closed the dialog"
        # The focus is on Apply now: Cancel closes without a word.
        e2e_click_control Cancel "push button" || e2e_fail "no Cancel button"
        e2e_wait 3 dialog_gone || e2e_fail "Cancel left the dialog open"
        e2e_no_box "$app" || e2e_fail "Cancel after Apply: an error box"
        ;;
    *) [ -z "$open" ] || e2e_fail "$name left the dialog open" ;;
    esac
    echo "$name held 0.4 s with a bad delay: one error box, then the button acted"
done

e2e_quit "$bar" "$app"
echo PASS
