# shellcheck shell=bash
# GNOME Shell for the end-to-end scripts: a session of its own (X11 on Xvfb, or headless Wayland
# with the program on its XWayland display) and what the shell itself knows of the program's
# windows, asked through its Eval call. Source it after lib.sh; every helper starts with e2e_.

# A system bus of the test's own: gnome-shell aborts without one. Nothing answers on it; the
# shell's calls there fail at once and it goes on.
e2e_start_system_bus() {
    cat >"$E2E_TMP/system.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:path=$E2E_TMP/system-bus</listen>
  <policy context="default">
    <allow user="*"/>
    <allow own="*"/>
    <allow send_destination="*"/>
    <allow receive_sender="*"/>
  </policy>
</busconfig>
CONF
    dbus-daemon --config-file="$E2E_TMP/system.conf" --nofork --print-address=3 \
        3>"$E2E_TMP/system-bus-address" 2>"$E2E_TMP/system-bus.log" &
    e2e_track $!
    e2e_wait 10 test -s "$E2E_TMP/system-bus-address" || e2e_skip "no system bus could be started"
    DBUS_SYSTEM_BUS_ADDRESS=$(head -n1 "$E2E_TMP/system-bus-address")
    export DBUS_SYSTEM_BUS_ADDRESS
}

# The shell's settings in the test's home (a key file instead of dconf): no hot corner (it would
# open the overview when the mouse passes the top-left corner), four fixed workspaces, the
# AppIndicator extension and a test extension that lets Eval run (GNOME 43 has no option for it).
e2e_gnome_home() {
    export GSETTINGS_BACKEND=keyfile
    mkdir -p "$XDG_CONFIG_HOME/glib-2.0/settings"
    cat >"$XDG_CONFIG_HOME/glib-2.0/settings/keyfile" <<'KEYS'
[org/gnome/desktop/interface]
enable-hot-corners=false
[org/gnome/mutter]
dynamic-workspaces=false
[org/gnome/desktop/wm/preferences]
num-workspaces=4
[org/gnome/shell]
enabled-extensions=['ubuntu-appindicators@ubuntu.com', 'vantrel-test@vantrel']
welcome-dialog-last-shown-version='999'
KEYS
    local ext="$HOME/.local/share/gnome-shell/extensions/vantrel-test@vantrel"
    mkdir -p "$ext"
    echo '{"uuid": "vantrel-test@vantrel", "name": "Vantrel test", "description": "Eval for the tests",
 "shell-version": ["43"]}' >"$ext/metadata.json"
    cat >"$ext/extension.js" <<'JS'
function init() {
    return {
        enable() { global.context.unsafe_mode = true; },
        disable() {},
    };
}
JS
}

# e2e_shell_eval JS: runs the JavaScript in the shell and prints its result (JSON); fails when
# it throws or the shell does not answer.
e2e_shell_eval() {
    local reply
    reply=$(gdbus call --session --timeout 10 -d org.gnome.Shell -o /org/gnome/Shell \
        -m org.gnome.Shell.Eval "$1" 2>/dev/null) || return 1
    [[ $reply == "(true, "* ]] || return 1
    reply=${reply#(true, \'}
    echo "${reply%\')}"
}
# e2e_shell_true JS: true when the expression is true in the shell (for e2e_wait).
e2e_shell_true() { [ "$(e2e_shell_eval "$1")" = true ]; }

# e2e_start_gnome x11|wayland: a GNOME Shell session of the test's own, out of its overview, with
# DISPLAY the X server the program runs on (Xvfb with GLX, or the shell's XWayland).
e2e_start_gnome() {
    e2e_need gnome-shell gdbus dbus-daemon xdotool xprop xwininfo xdpyinfo
    [ -d /usr/share/gnome-shell/extensions/ubuntu-appindicators@ubuntu.com ] ||
        e2e_skip "the AppIndicator extension is not installed"
    [ -n "$E2E_TMP" ] || e2e_private_home
    e2e_gnome_home
    e2e_start_system_bus
    e2e_start_bus
    export XDG_CURRENT_DESKTOP=GNOME XDG_SESSION_TYPE=$1
    if [ "$1" = x11 ]; then
        e2e_start_xvfb 1024x768x24 +extension GLX
        gnome-shell --x11 --sm-disable >"$E2E_TMP/shell.log" 2>&1 &
    else
        gnome-shell --headless --wayland --virtual-monitor 1024x768 --sm-disable \
            >"$E2E_TMP/shell.log" 2>&1 &
    fi
    E2E_SHELL=$!
    e2e_track "$E2E_SHELL"
    e2e_wait 60 e2e_shell_true '!Main.layoutManager._startingUp' ||
        e2e_fail "GNOME Shell did not start: $(tail -n 5 "$E2E_TMP/shell.log")"
    if [ "$1" = wayland ]; then
        # The program runs on the shell's XWayland, never as a Wayland client.
        DISPLAY=$(e2e_shell_eval 'imports.gi.GLib.getenv("DISPLAY")' | tr -d '"')
        XAUTHORITY=$(e2e_shell_eval 'imports.gi.GLib.getenv("XAUTHORITY")' | tr -d '"')
        export DISPLAY XAUTHORITY
        e2e_wait 10 xdpyinfo || e2e_fail "the shell's XWayland ($DISPLAY) does not answer"
    fi
    # GNOME starts in its overview, which holds the keyboard.
    e2e_shell_eval 'Main.overview.hide()' >/dev/null
    e2e_wait 10 e2e_shell_true '!Main.overview.visible && !Main.overview.animationInProgress' ||
        e2e_fail "the overview did not close"
}

# e2e_shell_windows PID JS: what the shell knows of the program's windows: JS is a function of
# the list of its MetaWindows (w) whose result is printed.
e2e_shell_windows() {
    e2e_shell_eval "(w => $2)(global.get_window_actors().map(a => a.meta_window).filter(m => m.get_pid() == $1))"
}

# e2e_shell_click X Y [BUTTON]: a click at the point through the shell's own pointer (it reaches
# the shell's panel, which X input does not on Wayland).
e2e_shell_click() {
    e2e_shell_eval "(() => {
        const Clutter = imports.gi.Clutter;
        if (!global._vantrelPointer)
            global._vantrelPointer = Clutter.get_default_backend().get_default_seat()
                .create_virtual_device(Clutter.InputDeviceType.POINTER_DEVICE);
        const p = global._vantrelPointer, t = global.get_current_time() * 1000;
        p.notify_absolute_motion(t, $1, $2);
        p.notify_button(t + 1000, ${3:-1}, Clutter.ButtonState.PRESSED);
        p.notify_button(t + 2000, ${3:-1}, Clutter.ButtonState.RELEASED);
        return true;
    })()" >/dev/null
}

# e2e_shell_window WINDOW JS: JS is a function of the shell's MetaWindow (m) for the X window;
# its result is printed.
e2e_shell_window() {
    e2e_shell_eval "(m => $2)(global.get_window_actors().map(a => a.meta_window)
        .find(m => m.get_description().split(' ')[0] == '$(printf '0x%x' "$1")'))"
}

# e2e_shell_centred WINDOW WHAT: the window with its frame, as the shell sees it, is centred on
# the primary monitor (to two pixels) once the shell has placed it. Its frame is printed.
e2e_shell_frame() {
    e2e_shell_window "$1" '(r => [r.x, r.y, r.width, r.height].join(" "))(m.get_frame_rect())' | tr -d '"'
}
e2e_shell_centred_now() {
    [ "$(e2e_shell_window "$1" '(r => { const d = global.display,
        g = d.get_monitor_geometry(d.get_primary_monitor());
        return Math.abs(2 * (r.x - g.x) + r.width - g.width) <= 4 &&
            Math.abs(2 * (r.y - g.y) + r.height - g.height) <= 4; })(m.get_frame_rect())')" = true ]
}
e2e_shell_centred() {
    e2e_wait 2 e2e_shell_centred_now "$1" ||
        e2e_fail "the $2 is not centred with its frame: $(e2e_shell_frame "$1") on $(e2e_shell_eval \
            '(g => [g.x, g.y, g.width, g.height].join(" "))(global.display.get_monitor_geometry(global.display.get_primary_monitor()))' | tr -d '"')"
    echo "the $2 with its frame: $(e2e_shell_frame "$1")" >&2
}

# e2e_check_kept WHAT: the bar ($BAR of $APP) is on every workspace, as its hints and as the
# shell say, above other windows, and neither in the taskbar nor in Alt+Tab's list.
e2e_check_kept() {
    e2e_on_all_desktops "$BAR" ||
        e2e_fail "$1: the bar is not on every workspace: $(xprop -id "$BAR" _NET_WM_DESKTOP _NET_WM_STATE)"
    xprop -id "$BAR" _NET_WM_STATE | grep -q _NET_WM_STATE_STICKY ||
        e2e_fail "$1: the bar is not sticky: $(xprop -id "$BAR" _NET_WM_STATE)"
    e2e_expect_eq "$1: the shell's view (every workspace, above, off the taskbar)" "true true true" \
        "$(e2e_shell_window "$BAR" '[m.is_on_all_workspaces(), m.is_above(), m.skip_taskbar].join(" ")' | tr -d '"')"
    # Both of Alt+Tab's switchers take their windows from the shell's normal tab list.
    e2e_expect_eq "$1: the bar in Alt+Tab's list" false "$(e2e_shell_eval \
        "global.display.get_tab_list(imports.gi.Meta.TabList.NORMAL, null).some(m => m.get_pid() == $APP)")"
}

# The AppIndicator extension's button for the program's icon, as a JS expression.
E2E_TRAY='Main.panel.statusArea[Object.keys(Main.panel.statusArea).find(k => k.startsWith("appindicator-"))]'

# e2e_shell_click_on JS [BUTTON]: a click on the middle of the shell's actor.
e2e_shell_click_on() {
    local x y w h now last="" tries=30
    # A menu slides and fades in: click once the actor has stayed put for two looks, as a hand
    # waits for the menu to be drawn.
    while ((tries-- > 0)); do
        now=$(e2e_shell_eval "(a => [...a.get_transformed_position(), ...a.get_transformed_size(),
            a.get_paint_opacity()].map(Math.round).join(' '))($1)" | tr -d '"')
        [ -n "$now" ] && [ "$now" = "$last" ] && break
        last=$now
        sleep 0.1
    done
    read -r x y w h _ <<<"$now"
    [ -n "$h" ] && e2e_shell_click $((x + w / 2)) $((y + h / 2)) "${2:-1}"
}

# e2e_tray_choose LABEL: a right click on the program's icon in the top bar opens its menu; a
# click on the entry with the label.
e2e_tray_choose() {
    e2e_wait 15 e2e_shell_true "!!$E2E_TRAY" || e2e_fail "the icon is not in the top bar"
    e2e_shell_click_on "$E2E_TRAY" 3
    e2e_wait 5 e2e_shell_true "$E2E_TRAY.menu.isOpen" || e2e_fail "a right click on the icon opened no menu"
    e2e_shell_click_on "$E2E_TRAY.menu._getMenuItems().find(i => i.label && i.label.text == '$1')" ||
        e2e_fail "the icon's menu has no entry $1"
    e2e_wait 5 e2e_shell_true "!$E2E_TRAY.menu.isOpen" || e2e_fail "the icon's menu stayed open after $1"
}

# e2e_gnome_checks PROGRAM: what the scripts check on either session, one start after two more.
e2e_gnome_checks() {
    local details about
    # The bar's place is below the shell's top bar, where the shell lets it be.
    e2e_three_starts_at "$1" 380 420
    e2e_check_kept "at start"
    e2e_check_workspaces "wmctrl -s 2" "wmctrl -s 0"
    details=$(e2e_window_of "$APP" "Memory Details") || e2e_fail "the details window is gone"
    e2e_check_kept "with the details window"
    e2e_check_tooltip
    # Centred with the frame mutter draws (its X frame window is larger, for the shadows).
    E2E_CHECK_CENTRED=e2e_shell_centred e2e_check_dialogs centred
    e2e_check_kept "after the preferences dialog and the about box"
    e2e_check_error_box e2e_shell_centred
    e2e_check_kept "after an error box"
    # The about box from the icon's menu while the details window is open.
    e2e_viewable "$details" || e2e_fail "the details window closed"
    e2e_tray_choose "About..."
    about=$(e2e_window_of "$APP" "About Vantrel...") || e2e_fail "About... in the icon's menu showed no about box"
    e2e_shell_centred "$about" "about box from the icon, the details window open"
    e2e_stacked_above "$about" "$BAR" || e2e_fail "the bar covers the about box"
    wmctrl -c "About Vantrel..." || e2e_fail "the about box could not be closed"
    e2e_window_gone "$APP" "About Vantrel..." || e2e_fail "the about box did not close"
    e2e_check_kept "after the about box from the icon"
    e2e_expect_eq "the bar after it all" "177 21 420 380" "$(e2e_geometry "$BAR")"
    e2e_tray_choose Quit
    e2e_wait_exit "$APP" 10 || e2e_fail "Quit in the icon's menu did not end the program (status $?)"
    e2e_expect_eq "the saved position" "380 420" "$(e2e_stored Top) $(e2e_stored Left)"
}
