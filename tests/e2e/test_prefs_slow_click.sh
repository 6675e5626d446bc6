#!/usr/bin/env bash
# A bad delay and a click at a hand's pace, the button held down a moment: the real error box
# shows once, after the button is released, and the button then acts as it does on a bad delay:
# OK and Cancel close the dialog, Apply leaves it open. The bar's menu opens from the keyboard
# (the menu key and Shift+F10) just under the bar.
set -euo pipefail
bin=$(realpath "$1")
source "$(dirname "$0")/lib.sh"
e2e_need xdotool xwininfo
e2e_private_home
e2e_start_xvfb 1024x768x24

e2e_start_vantrel "$bin"
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

# The program's visible windows with the given name (xdotool's own name search also finds the
# bar, whose name is empty).
named() {
    local w
    for w in $(e2e_windows_of "$app"); do
        [ "$(xdotool getwindowname "$w")" = "$1" ] && echo "$w"
    done
    return 0
}
# Its error boxes: the windows named "Vantrel" other than the bar.
boxes() { named Vantrel | grep -vx "$bar" || true; }
box_shown() { [ -n "$(boxes)" ]; }
one_box() { [ "$(boxes | wc -l)" = 1 ]; }
no_box() { [ -z "$(boxes)" ]; }
dialog_gone() { [ -z "$(named "Vantrel Preferences...")" ]; }

# Button places in the dialog: OK 170,304, Cancel 240,304, Apply 310,304 (65 x 21).
for button in OK:200 Apply:340 Cancel:270; do
    name=${button%%:*} left=${button##*:}
    xdotool windowfocus --sync "$bar"
    xdotool key --clearmodifiers ctrl+p
    dlg=$(e2e_window_of "$app" "Vantrel Preferences...") || e2e_fail "Ctrl+P opened no dialog"
    read -r dx dy < <(e2e_window_pos "$dlg")
    xdotool windowfocus --sync "$dlg"
    xdotool mousemove $((dx + 298)) $((dy + 79)) click 1 # the delay field
    xdotool key ctrl+a
    xdotool type --delay 30 12x
    xdotool mousemove $((dx + left)) $((dy + 314)) mousedown 1
    # The button is held down 0.4 s, and no box shows meanwhile.
    e2e_holds 0.4 no_box || e2e_fail "$name: an error box while the button is held"
    xdotool mouseup 1
    e2e_wait 5 box_shown || e2e_fail "$name: no error box after the release"
    e2e_holds 0.3 one_box || e2e_fail "$name: $(boxes | wc -l) error boxes"
    xdotool windowfocus --sync "$(boxes)"
    xdotool key Return
    e2e_wait 3 no_box || e2e_fail "Return did not close the error box"
    e2e_holds 0.5 no_box || e2e_fail "$name: a second error box"
    open=$(named "Vantrel Preferences...")
    case $name in
    Apply)
        [ -n "$open" ] || e2e_fail "Apply closed the dialog"
        # The focus is on Apply now: Cancel closes without a word.
        xdotool mousemove $((dx + 270)) $((dy + 314)) click 1
        e2e_wait 3 dialog_gone || e2e_fail "Cancel left the dialog open"
        [ -z "$(boxes)" ] || e2e_fail "Cancel after Apply: an error box"
        ;;
    *) [ -z "$open" ] || e2e_fail "$name left the dialog open" ;;
    esac
    echo "$name held 0.4 s with a bad delay: one error box, then the button acted"
done

e2e_quit "$bar" "$app"
echo PASS
