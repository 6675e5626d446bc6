#!/usr/bin/env bash
# The program on KDE Plasma on X11: kwin_x11, kded5's StatusNotifierItem watcher and plasmashell's
# panel with its system tray, on a session bus of the test's own. Three starts from a saved place
# come up at it and save it unchanged; KWin's own view of the bar (a KWin script's window list):
# its role with stay-on-top, above others, on every desktop (also after a dialog), out of the
# taskbar, the pager and the window switcher (Alt+Tab); the bar stays in view on another desktop;
# its tooltip shows while another program is active; its dialogs come up centred with their
# frames and above the bar; a right click on the icon in plasmashell's tray opens the bar's menu,
# whose Quit ends the program, which saves its place.
set -uo pipefail
. "$(dirname "$0")/lib.sh"
VANTREL=${1:?usage: test_desktop_kde_x11.sh path/to/vantrel}
e2e_need kwin_x11 kded5 plasmashell wmctrl xmessage xprop xwininfo xdpyinfo xdotool dbus-daemon \
    dbus-send import convert
e2e_start_xvfb 1024x768
# plasmashell shows its desktop and panel only in an activity of the activity manager's.
e2e_start_bus org.kde.ActivityManager
# Two desktops, and no compositing (the X server has no GL).
mkdir -p "$XDG_CONFIG_HOME"
printf '[Desktops]\nNumber=2\nRows=1\n' >"$XDG_CONFIG_HOME/kwinrc"
export KWIN_COMPOSE=N QT_QUICK_BACKEND=software

command -v dbus-update-activation-environment >/dev/null &&
    dbus-update-activation-environment DISPLAY HOME XDG_CONFIG_HOME XDG_RUNTIME_DIR KWIN_COMPOSE \
        QT_QUICK_BACKEND >/dev/null 2>&1
# What KWin's scripts print goes to its log.
e2e_start_wm env QT_LOGGING_RULES=kwin_scripting=true kwin_x11
KWIN_LOG=$E2E_TMP/wm.log

bus_call() { # DESTINATION PATH METHOD [ARGS...]
    dbus-send --session --print-reply --dest="$1" "$2" "$3" "${@:4}"
}
kded5 >"$E2E_TMP/kded.log" 2>&1 &
e2e_track $!
e2e_wait 15 bus_call org.kde.kded5 /kded org.kde.kded5.loadedModules || e2e_fail "kded5 did not start"
bus_call org.kde.kded5 /kded org.kde.kded5.loadModule string:statusnotifierwatcher >/dev/null ||
    e2e_fail "kded5 did not load its StatusNotifierItem watcher"
plasmashell >"$E2E_TMP/plasma.log" 2>&1 &
e2e_track $!
host() {
    bus_call org.kde.StatusNotifierWatcher /StatusNotifierWatcher org.freedesktop.DBus.Properties.Get \
        string:org.kde.StatusNotifierWatcher string:IsStatusNotifierHostRegistered | grep -q true
}
e2e_wait 30 host || e2e_fail "plasmashell shows no system tray on D-Bus: $(tail -n 3 "$E2E_TMP/plasma.log")"

# KWin's view of the program's windows, one line each, from a script it runs.
cat >"$E2E_TMP/list.js" <<'JS'
var clients = workspace.clientList();
for (var i = 0; i < clients.length; i++) {
    var c = clients[i];
    if (c.resourceClass != "vantrel") continue;
    print("VIEW caption=" + c.caption + " role=" + c.windowRole + " skipSwitcher=" + c.skipSwitcher +
          " skipTaskbar=" + c.skipTaskbar + " skipPager=" + c.skipPager +
          " onAllDesktops=" + c.onAllDesktops + " keepAbove=" + c.keepAbove);
}
print("VIEW done");
JS
kwin_view() { # prints KWin's lines about the program's windows
    local before
    before=$(wc -l <"$KWIN_LOG")
    bus_call org.kde.KWin /Scripting org.kde.kwin.Scripting.loadScript "string:$E2E_TMP/list.js" \
        "string:vantrel-view-$(date +%s%N)" >/dev/null || e2e_fail "KWin loaded no script"
    bus_call org.kde.KWin /Scripting org.kde.kwin.Scripting.start >/dev/null
    e2e_wait 5 eval "tail -n +$((before + 1)) '$KWIN_LOG' | grep -q 'VIEW done'" || e2e_fail "KWin's script said nothing"
    tail -n +$((before + 1)) "$KWIN_LOG" | sed -n 's/.*VIEW caption=//p'
}
check_bar_view() { # WHEN
    local line
    line=$(kwin_view | grep '^Vantrel role=')
    e2e_expect_eq "KWin's view of the bar $1" \
        "Vantrel role=bar skipSwitcher=true skipTaskbar=true skipPager=true onAllDesktops=true keepAbove=true" "$line"
}

e2e_three_starts_at "$VANTREL" 380 420
check_bar_view "at start"
e2e_check_workspaces "wmctrl -s 1" "wmctrl -s 0"
e2e_check_tooltip
# The first showings too: each frame centred as KWin maps it, and not moved after.
e2e_watch_frames
E2E_CHECK_CENTRED=e2e_check_centred_at_map e2e_check_dialogs centred
e2e_check_error_box e2e_check_centred_at_map
check_bar_view "after its dialogs"

# The icon in plasmashell's tray: the blue of its picture on the panel at the bottom.
icon_at() {
    e2e_screenshot 2>/dev/null || return 1
    convert "$E2E_TMP/screen.png" -crop 1024x48+0+720 +repage -depth 8 txt:- |
        awk -F'[,:]' '!found && /#00008C/ {print $1, $2 + 720; found = 1} END {exit !found}'
}
# plasmashell builds its panel while the checks above run; on a busy machine it takes a while.
panel() { # plasmashell's panel: a window of its along the bottom of the screen
    local w width y
    for w in $(xdotool search --onlyvisible --class '^plasmashell$' 2>/dev/null); do
        read -r width _ _ y <<<"$(e2e_geometry "$w")"
        [ "${width:-0}" -ge 1000 ] && [ "${y:-0}" -ge 700 ] && return 0
    done
    return 1
}
e2e_wait 60 panel || e2e_fail "plasmashell shows no panel"
# A screenshot each time: a try a second.
tries=20
until icon_at >/dev/null || ((--tries == 0)); do sleep 1; done
icon_at >/dev/null || e2e_fail "no icon of the program's in plasmashell's tray"
read -r ix iy <<<"$(icon_at)"
plasma_menu() { # the geometry "W H X Y" of an open pop-up menu of plasmashell's
    local w width height
    for w in $(xdotool search --onlyvisible --class '^plasmashell$' 2>/dev/null); do
        xwininfo -id "$w" 2>/dev/null | grep -q 'Override Redirect State: yes' || continue
        read -r width height _ <<<"$(e2e_geometry "$w")"
        [ "${width:-0}" -ge 60 ] && [ "${height:-0}" -ge 60 ] && [ "$height" -lt 400 ] && { e2e_geometry "$w"; return 0; }
    done
    return 1
}
xdotool mousemove "$ix" "$iy" sleep 0.2 click 3
e2e_wait 5 plasma_menu || e2e_fail "a right click on the icon at $ix,$iy opened no menu"
e2e_popup_of "$APP" >/dev/null && e2e_fail "the program's own menu opened, not plasmashell's"
read -r _ mh mx my <<<"$(plasma_menu)"
# The bar's menu: About..., Show Details, Preferences..., Quit, Cancel, each as high; Quit is the
# fourth of five.
xdotool mousemove $((mx + 40)) $((my + mh * 7 / 10)) sleep 0.3 click 1
e2e_wait_exit "$APP" 10 || e2e_fail "Quit in plasmashell's menu did not end the program"
e2e_expect_eq "the saved position" "380 420" "$(e2e_stored Top) $(e2e_stored Left)"
exit 0
