#!/usr/bin/env bash
# The program on Xfce: xfwm4 with xfce4-panel, whose notification area is a StatusNotifierItem
# host that shows the item's exported menu itself. In French, on an 8 GB machine: three starts
# from a saved place come up at it and save it unchanged; the bar stays in view on another
# workspace; its tooltip shows while another program is active; its dialogs come up centred and
# stay above the bar that stays on top; a right click on the icon in the panel shows the bar's
# menu, About... there opens the about box and Quit ends the program; the icon's tip keeps its
# 63 characters whole.
set -uo pipefail
. "$(dirname "$0")/lib.sh"
e2e_program "$1"
e2e_need xfwm4 xfce4-panel wmctrl xmessage xprop xwininfo xdpyinfo xdotool dbus-daemon dbus-send
e2e_start_xvfb 1024x768
e2e_start_bus org.xfce.Xfconf

# A panel at the top with the notification area alone; xfconfd (started by the bus) reads it
# from the test's own home.
channels=$XDG_CONFIG_HOME/xfce4/xfconf/xfce-perchannel-xml
mkdir -p "$channels"
cat >"$channels/xfce4-panel.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<channel name="xfce4-panel" version="1.0">
  <property name="configver" type="int" value="2"/>
  <property name="panels" type="array">
    <value type="int" value="1"/>
    <property name="panel-1" type="empty">
      <property name="position" type="string" value="p=6;x=0;y=0"/>
      <property name="length" type="uint" value="100"/>
      <property name="position-locked" type="bool" value="true"/>
      <property name="size" type="uint" value="28"/>
      <property name="plugin-ids" type="array">
        <value type="int" value="1"/>
      </property>
    </property>
  </property>
  <property name="plugins" type="empty">
    <property name="plugin-1" type="string" value="systray"/>
  </property>
</channel>
XML
e2e_start_wm xfwm4 --compositor=off
xfce4-panel >"$E2E_TMP/panel.log" 2>&1 &
PANEL=$!
e2e_track "$PANEL"
watcher() {
    dbus-send --session --print-reply --dest=org.kde.StatusNotifierWatcher /StatusNotifierWatcher \
        org.freedesktop.DBus.Properties.Get string:org.kde.StatusNotifierWatcher "string:$1"
}
e2e_wait 15 watcher IsStatusNotifierHostRegistered || e2e_fail "xfce4-panel shows no notification area on D-Bus"

# French figures of an 8 GB machine: the thousands separator is a narrow no-break space, three
# bytes in UTF-8.
e2e_fake_meminfo 8388608 2949120
E2E_LANG=fr_FR.UTF-8
e2e_three_starts_at "$E2E_BIN" 380 420
e2e_check_workspaces "wmctrl -s 1" "wmctrl -s 0"
e2e_check_tooltip
e2e_check_not_in_alt_tab
# The first showings too: each frame centred as the manager maps it, and not moved after.
e2e_watch_frames
E2E_CHECK_CENTRED=e2e_check_centred_at_map e2e_check_dialogs centred
e2e_check_error_box e2e_check_centred_at_map
e2e_wait 2 e2e_on_all_desktops "$BAR" || e2e_fail "the bar left the other workspaces after its dialogs"

# The icon is an item on D-Bus (no window of the program's in the panel), its tip whole.
e2e_wait 10 eval 'watcher RegisteredStatusNotifierItems | grep -q string' || e2e_fail "the icon did not register"
e2e_icon_now "$APP" >/dev/null && e2e_fail "the icon was embedded, not shown by the panel as an item"
item=$(watcher RegisteredStatusNotifierItems | sed -n 's/.*string "\([^"/]*\).*/\1/p' | head -n1)
tip=$(dbus-send --session --print-reply --dest="$item" /StatusNotifierItem \
    org.freedesktop.DBus.Properties.Get string:org.kde.StatusNotifierItem string:ToolTip |
    sed -n 's/^ *string "\(Vantrel - .*\)"$/\1/p')
[[ $tip == *$'\u202f'* ]] || e2e_fail "the tip has no French separator: '$tip'"
[[ $tip == *'%]' ]] || e2e_fail "the tip was cut: '$tip'"
[ "$(printf %s "$tip" | LC_ALL=C.UTF-8 wc -m)" -le 63 ] || e2e_fail "the tip is longer than 63 characters: '$tip'"

# A right click on the icon: the panel shows the exported menu; About... and Quit act.
panel_menu() { # SECONDS: the id of an open pop-up menu of the panel's
    local w width height
    for w in $(xdotool search --onlyvisible --name '.*' 2>/dev/null); do
        xwininfo -id "$w" 2>/dev/null | grep -q 'Override Redirect State: yes' || continue
        read -r width height _ <<<"$(e2e_geometry "$w")"
        [ "${width:-0}" -ge 60 ] && [ "${height:-0}" -ge 60 ] && { echo "$w"; return 0; }
    done
    return 1
}
menu_on_icon() {
    xdotool mousemove 14 14 click 3
    e2e_wait 5 panel_menu || e2e_fail "a right click on the icon opened no menu"
    e2e_popup_of "$APP" >/dev/null && e2e_fail "the program's own menu opened, not the panel's"
    # The panel's menu takes the keyboard a moment after it maps.
    e2e_holds 0.3 panel_menu || e2e_fail "the panel's menu closed again"
}
menu_on_icon
xdotool key a
e2e_window_of "$APP" "About Vantrel..." >/dev/null || e2e_fail "About... in the panel's menu did not open the about box"
wmctrl -c "About Vantrel..."
e2e_window_gone "$APP" "About Vantrel..." || e2e_fail "the about box did not close"
menu_on_icon
xdotool key q
e2e_wait_exit "$APP" 10 || e2e_fail "Quit in the panel's menu did not end the program"
e2e_expect_eq "the saved position" "380 420" "$(e2e_stored Top) $(e2e_stored Left)"
exit 0
