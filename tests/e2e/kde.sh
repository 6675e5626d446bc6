# shellcheck shell=bash
# KDE Plasma for the end-to-end scripts: KWin in a session of the test's own (kwin_x11 on Xvfb,
# kwin_wayland's virtual back end with the program on its XWayland display, or with no X at
# all), kded5's StatusNotifierItem watcher and plasmashell's panel, and what KWin itself knows
# of the windows, asked through a KWin script. Source it after lib.sh; every helper starts with
# e2e_.

e2e_bus_call() { # DESTINATION PATH METHOD [ARGS...]
    dbus-send --session --print-reply --dest="$1" "$2" "$3" "${@:4}"
}

# e2e_start_kwin x11|wayland|wayland-only: KWin with two desktops on a session bus of the test's
# own. x11: kwin_x11 on Xvfb; wayland: kwin_wayland on a virtual 1024 x 768 screen with its
# XWayland, whose display DISPLAY names; wayland-only: without XWayland (no DISPLAY). On
# Wayland a session bus the test already started is KWin's too.
# E2E_KDE_SESSION is the kind; what KWin's scripts print goes to E2E_KWIN_LOG.
e2e_start_kwin() {
    E2E_KDE_SESSION=$1
    e2e_need dbus-daemon dbus-send
    [ -n "$E2E_TMP" ] || e2e_private_home
    mkdir -p "$XDG_CONFIG_HOME"
    printf '[Desktops]\nNumber=2\nRows=1\n' >"$XDG_CONFIG_HOME/kwinrc"
    export QT_QUICK_BACKEND=software
    E2E_KWIN_LOG=$E2E_TMP/wm.log
    if [ "$1" = x11 ]; then
        e2e_need kwin_x11
        e2e_start_xvfb 1024x768
        # plasmashell shows its desktop and panel only in an activity of the activity manager's.
        e2e_start_bus org.kde.ActivityManager
        # No compositing: the X server has no GL.
        export KWIN_COMPOSE=N
        e2e_start_wm env QT_LOGGING_RULES=kwin_scripting=true kwin_x11
        return 0
    fi
    e2e_need kwin_wayland
    unset DISPLAY
    [ -s "$E2E_TMP/bus" ] || e2e_start_bus org.kde.ActivityManager
    # The installed kwin_wayland carries file capabilities that a container may refuse to run
    # ("Operation not permitted"); a plain copy runs.
    cp "$(command -v kwin_wayland)" "$E2E_TMP/kwin_wayland" || e2e_skip "kwin_wayland could not be copied"
    # KWin's own switches for tests: its fake input and its screenshots for any client.
    export KWIN_WAYLAND_NO_PERMISSION_CHECKS=1 KWIN_SCREENSHOT_NO_PERMISSION_CHECKS=1
    local xwayland=()
    # KWin starts the command once XWayland is up, with DISPLAY set to it.
    [ "$1" = wayland ] && xwayland=(--xwayland "sh -c 'echo \$DISPLAY >$E2E_TMP/xdisplay'")
    QT_LOGGING_RULES=kwin_scripting=true "$E2E_TMP/kwin_wayland" --virtual --socket wayland-kwin \
        --width 1024 --height 768 --no-lockscreen "${xwayland[@]}" >"$E2E_KWIN_LOG" 2>&1 &
    E2E_WM=$!
    e2e_track "$E2E_WM"
    e2e_wait 20 test -S "$XDG_RUNTIME_DIR/wayland-kwin" ||
        e2e_skip "kwin_wayland did not start: $(tail -n 3 "$E2E_KWIN_LOG")"
    export WAYLAND_DISPLAY=wayland-kwin
    e2e_wait 10 e2e_bus_call org.kde.KWin /Scripting org.freedesktop.DBus.Peer.Ping ||
        e2e_fail "KWin is not on the session bus"
    if [ "$1" = wayland ]; then
        e2e_wait 20 test -s "$E2E_TMP/xdisplay" || e2e_fail "KWin started no XWayland: $(tail -n 3 "$E2E_KWIN_LOG")"
        DISPLAY=$(head -n1 "$E2E_TMP/xdisplay")
        export DISPLAY
        e2e_wait 10 xdpyinfo || e2e_fail "KWin's XWayland ($DISPLAY) does not answer"
    fi
}

# e2e_start_plasma: kded5 with its StatusNotifierItem watcher and plasmashell (on Wayland as a
# Wayland client), once plasmashell's tray has registered as the host.
e2e_start_plasma() {
    local qpa=xcb
    e2e_need kded5 plasmashell
    [ "$E2E_KDE_SESSION" = x11 ] || qpa=wayland
    command -v dbus-update-activation-environment >/dev/null &&
        dbus-update-activation-environment DISPLAY WAYLAND_DISPLAY HOME XDG_CONFIG_HOME \
            XDG_RUNTIME_DIR QT_QUICK_BACKEND >/dev/null 2>&1
    QT_QPA_PLATFORM=$qpa kded5 >"$E2E_TMP/kded.log" 2>&1 &
    e2e_track $!
    e2e_wait 15 e2e_bus_call org.kde.kded5 /kded org.kde.kded5.loadedModules || e2e_fail "kded5 did not start"
    e2e_bus_call org.kde.kded5 /kded org.kde.kded5.loadModule string:statusnotifierwatcher >/dev/null ||
        e2e_fail "kded5 did not load its StatusNotifierItem watcher"
    QT_QPA_PLATFORM=$qpa plasmashell >"$E2E_TMP/plasma.log" 2>&1 &
    e2e_track $!
    e2e_wait 30 e2e_tray_host ||
        e2e_fail "plasmashell shows no system tray on D-Bus: $(tail -n 3 "$E2E_TMP/plasma.log")"
}
e2e_tray_host() {
    e2e_bus_call org.kde.StatusNotifierWatcher /StatusNotifierWatcher org.freedesktop.DBus.Properties.Get \
        string:org.kde.StatusNotifierWatcher string:IsStatusNotifierHostRegistered | grep -q true
}

# e2e_kwin_view: KWin's view of the windows, one line each, from a script it runs: the
# program's ("caption=... role=... frame=X,Y,W,H id=X-WINDOW"), and plasmashell's
# ("plasmashell frame=X,Y,W,H dock=... popup=...").
e2e_kwin_view() {
    local before
    [ -f "$E2E_TMP/view.js" ] || cat >"$E2E_TMP/view.js" <<'JS'
var clients = workspace.clientList();
for (var i = 0; i < clients.length; i++) {
    var c = clients[i], g = c.frameGeometry;
    var frame = " frame=" + g.x + "," + g.y + "," + g.width + "," + g.height;
    if (c.resourceClass.indexOf("plasmashell") >= 0)
        print("VIEW plasmashell" + frame + " dock=" + c.dock + " popup=" + c.popupWindow);
    if (c.resourceClass.indexOf("vantrel") < 0) continue;
    print("VIEW caption=" + c.caption + " role=" + c.windowRole + " skipSwitcher=" + c.skipSwitcher +
          " skipTaskbar=" + c.skipTaskbar + " skipPager=" + c.skipPager +
          " onAllDesktops=" + c.onAllDesktops + " keepAbove=" + c.keepAbove + frame + " id=" + c.windowId);
}
print("VIEW done");
JS
    before=$(wc -l <"$E2E_KWIN_LOG")
    e2e_bus_call org.kde.KWin /Scripting org.kde.kwin.Scripting.loadScript "string:$E2E_TMP/view.js" \
        "string:vantrel-view-$(date +%s%N)" >/dev/null || e2e_fail "KWin loaded no script"
    e2e_bus_call org.kde.KWin /Scripting org.kde.kwin.Scripting.start >/dev/null
    e2e_wait 5 eval "tail -n +$((before + 1)) '$E2E_KWIN_LOG' | grep -q 'VIEW done'" || e2e_fail "KWin's script said nothing"
    tail -n +$((before + 1)) "$E2E_KWIN_LOG" | sed -n 's/.*VIEW \(caption=\|\(plasmashell\)\)/\2/p'
}

# e2e_kwin_bar_view WHEN: KWin has the bar with its role, out of the window switcher, the taskbar
# and the pager, on every desktop and above the others.
e2e_kwin_bar_view() {
    local line
    line=$(e2e_kwin_view | grep '^Vantrel role=' | sed 's/ frame=.*//')
    e2e_expect_eq "KWin's view of the bar $1" \
        "Vantrel role=bar skipSwitcher=true skipTaskbar=true skipPager=true onAllDesktops=true keepAbove=true" "$line"
}

# e2e_kwin_frame WINDOW: "X Y W H" of the X window's frame as KWin has it.
e2e_kwin_frame() {
    e2e_kwin_view | sed -n "s/.* frame=\([0-9-]*\),\([0-9-]*\),\([0-9]*\),\([0-9]*\) id=$(($1))\$/\1 \2 \3 \4/p"
}

# e2e_kwin_centred WINDOW WHAT: the window with its frame, as KWin has it, is centred on the
# 1024 x 768 screen (to two pixels) once KWin has placed it.
e2e_kwin_centred_now() {
    local x y w h
    read -r x y w h <<<"$(e2e_kwin_frame "$1")"
    [ -n "$h" ] && [ $((2 * x + w - 1024)) -ge -4 ] && [ $((2 * x + w - 1024)) -le 4 ] &&
        [ $((2 * y + h - 768)) -ge -4 ] && [ $((2 * y + h - 768)) -le 4 ]
}
e2e_kwin_centred() {
    e2e_wait 2 e2e_kwin_centred_now "$1" ||
        e2e_fail "the $2 is not centred with its frame: KWin has it at $(e2e_kwin_frame "$1") on 1024x768"
}

# e2e_kde_click X Y BUTTON: a click (1 the left, 3 the right) where the compositor shows the
# point: through the X server on X11, through KWin's fake input on Wayland (it reaches the
# Wayland windows, plasmashell's panel among them).
e2e_kde_click() {
    if [ "$E2E_KDE_SESSION" = x11 ]; then
        xdotool mousemove "$1" "$2" sleep 0.2 click "$3"
    else
        local names=(none left middle right)
        "$E2E_FAKE_INPUT" move "$1" "$2" sleep 200 click "${names[$3]}"
    fi
}

# e2e_kde_bottom_shot: a screenshot of the screen's bottom 48 pixels (the panel) into
# $E2E_TMP/panel.png.
e2e_kde_bottom_shot() {
    if [ "$E2E_KDE_SESSION" = x11 ]; then
        import -window root -crop 1024x48+0+720 +repage "$E2E_TMP/panel.png" 2>/dev/null
    else
        "$E2E_KWIN_SHOT" "$E2E_TMP/panel.png" 0 720 1024 48 2>/dev/null
    fi
}

# e2e_plasma_menu: "W H X Y" of an open pop-up menu of plasmashell's.
e2e_plasma_menu() {
    local w width height x y
    if [ "$E2E_KDE_SESSION" = x11 ]; then
        for w in $(xdotool search --onlyvisible --class '^plasmashell$' 2>/dev/null); do
            xwininfo -id "$w" 2>/dev/null | grep -q 'Override Redirect State: yes' || continue
            read -r width height _ <<<"$(e2e_geometry "$w")"
            [ "${width:-0}" -ge 60 ] && [ "${height:-0}" -ge 60 ] && [ "$height" -lt 400 ] && { e2e_geometry "$w"; return 0; }
        done
        return 1
    fi
    while read -r x y width height; do
        [ "$width" -ge 60 ] && [ "$height" -ge 60 ] && [ "$height" -lt 400 ] && { echo "$width $height $x $y"; return 0; }
    done < <(e2e_kwin_view | sed -n 's/^plasmashell frame=\([0-9-]*\),\([0-9-]*\),\([0-9]*\),\([0-9]*\) .*popup=true.*/\1 \2 \3 \4/p')
    return 1
}

# e2e_plasma_panel: plasmashell's panel is along the bottom of the screen.
e2e_plasma_panel() {
    e2e_kwin_view | grep -q '^plasmashell frame=0,7[0-9][0-9],1024,[0-9]* dock=true'
}

# e2e_plasma_quit TOP LEFT: a right click on the program's icon in plasmashell's tray opens the
# bar's menu (plasmashell's own, from the exported menu); its Quit ends the program, which saves
# the position LEFT TOP unchanged.
e2e_plasma_quit() {
    local tries=20 ix iy mh mx my
    # plasmashell builds its panel while the checks before run; on a busy machine it takes a while.
    e2e_wait 60 e2e_plasma_panel || e2e_fail "plasmashell shows no panel"
    # The blue of the icon's picture on the panel; a screenshot a second.
    until e2e_plasma_icon_at >/dev/null || ((--tries == 0)); do sleep 1; done
    e2e_plasma_icon_at >/dev/null || e2e_fail "no icon of the program's in plasmashell's tray"
    read -r ix iy <<<"$(e2e_plasma_icon_at)"
    e2e_kde_click "$ix" "$iy" 3
    e2e_wait 5 e2e_plasma_menu || e2e_fail "a right click on the icon at $ix,$iy opened no menu"
    e2e_popup_of "$APP" >/dev/null && e2e_fail "the program's own menu opened, not plasmashell's"
    read -r _ mh mx my <<<"$(e2e_plasma_menu)"
    # The bar's menu: About..., Show Details, Preferences..., Quit, Cancel, each as high; Quit is
    # the fourth of five.
    sleep 0.3
    e2e_kde_click $((mx + 40)) $((my + mh * 7 / 10)) 1
    e2e_wait_exit "$APP" 10 || e2e_fail "Quit in plasmashell's menu did not end the program"
    e2e_expect_eq "the saved position" "$1 $2" "$(e2e_stored Top) $(e2e_stored Left)"
}
e2e_plasma_icon_at() {
    e2e_kde_bottom_shot || return 1
    convert "$E2E_TMP/panel.png" -depth 8 txt:- |
        awk -F'[,:]' '!found && /#00008C/ {print $1, $2 + 720; found = 1} END {exit !found}'
}

# e2e_kde_checks PROGRAM: what the KDE scripts check of the program, one start after two more.
e2e_kde_checks() {
    e2e_need wmctrl xmessage xprop xwininfo xdpyinfo xdotool import convert
    e2e_three_starts_at "$1" 380 420
    e2e_kwin_bar_view "at start"
    e2e_check_workspaces "wmctrl -s 1" "wmctrl -s 0"
    e2e_check_tooltip
    # Dialogs and an error box centred with their frames. On X11 as KWin maps each frame, and not
    # moved after; on Wayland, where no X window frames them, as KWin has them.
    local centred=e2e_kwin_centred
    if [ "$E2E_KDE_SESSION" = x11 ]; then
        e2e_watch_frames
        centred=e2e_check_centred_at_map
    fi
    E2E_CHECK_CENTRED=$centred e2e_check_dialogs centred
    e2e_check_error_box "$centred"
    e2e_kwin_bar_view "after its dialogs"
    e2e_plasma_quit 380 420
}
