# shellcheck shell=bash
# Shared helpers for the end-to-end scripts: a private X server and home, windows of a process,
# reading pixels, controls found by name, and cleaning up. Source it; every helper starts with
# e2e_. Every script opens the same way:
#
#   #!/usr/bin/env bash
#   # What the script checks.
#   set -uo pipefail
#   . "$(dirname "$0")/lib.sh"
#   e2e_program "$1"
#
# and then names what it needs with e2e_need (or the e2e_start_ helpers, which skip the test
# where their tool is missing).

E2E_PIDS=()
E2E_TMP=""
E2E_LIB=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# Skips the test (exit 77) unless every named command is there.
e2e_need() {
    local cmd
    for cmd in "$@"; do
        command -v "$cmd" >/dev/null 2>&1 || e2e_skip "$cmd not installed"
    done
}

# Ends the tracked processes, the last started first (programs before their X server); one that
# does not answer SIGTERM within 5 s is killed.
e2e_cleanup() {
    local i pid
    for ((i = ${#E2E_PIDS[@]} - 1; i >= 0; i--)); do
        pid=${E2E_PIDS[i]}
        kill "$pid" 2>/dev/null || true
        e2e_wait 5 e2e_ended "$pid" || true
        kill -KILL "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    [ -n "$E2E_TMP" ] && rm -rf "$E2E_TMP"
    return 0
}
trap e2e_cleanup EXIT

# Remembers a process to end at exit.
e2e_track() { E2E_PIDS+=("$1"); }

# A private home, config and runtime folder under one temporary folder ($E2E_TMP).
e2e_private_home() {
    E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/vantrel-e2e-XXXXXX")
    export HOME="$E2E_TMP/home" XDG_CONFIG_HOME="$E2E_TMP/home/.config"
    export XDG_RUNTIME_DIR="$E2E_TMP/runtime"
    mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
    unset QT_QPA_PLATFORM WAYLAND_DISPLAY SESSION_MANAGER XDG_CURRENT_DESKTOP
    # No session bus of the desktop's (a test that wants one starts its own).
    export DBUS_SESSION_BUS_ADDRESS="unix:path=$E2E_TMP/no-bus"
}

# Starts Xvfb (screen size WxHxD, default 1024x768x24, then any further options of the server's)
# on a display number it picks itself and exports DISPLAY; E2E_XVFB is its pid.
e2e_start_xvfb() {
    local size=${1:-1024x768x24} i
    shift $(($# > 0))
    [[ $size == *x*x* ]] || size=${size}x24
    e2e_need Xvfb xdpyinfo
    [ -n "$E2E_TMP" ] || e2e_private_home
    # -noreset: the server would otherwise reset, refusing connections for a moment, each time
    # its last client leaves.
    Xvfb -displayfd 3 -screen 0 "$size" -nolisten tcp -noreset "$@" 3>"$E2E_TMP/display" \
        2>"$E2E_TMP/xvfb.log" &
    E2E_XVFB=$!
    e2e_track $E2E_XVFB
    e2e_wait 10 test -s "$E2E_TMP/display" || e2e_skip "no X server could be started"
    DISPLAY=:$(head -n1 "$E2E_TMP/display")
    export DISPLAY
    e2e_wait 5 xdpyinfo || e2e_skip "the X server does not answer"
}

# e2e_window_of PID [TITLE] [SECONDS]: the one way to wait for a window. Prints the id of a visible
# window of the process (with the given title, when one is given), waiting up to SECONDS (10);
# fails when none shows in time or the process ends first.
e2e_window_now() {
    local id
    if [ -n "${2:-}" ]; then
        id=$(xdotool search --all --onlyvisible --pid "$1" --name "^${2}\$" 2>/dev/null | head -n1)
    else
        id=$(e2e_windows_of "$1" | head -n1)
    fi
    [ -n "$id" ] && echo "$id"
}
e2e_window_of() {
    local window
    window=$(e2e_poll "${3:-10}" e2e_window_or_end "$1" "${2:-}") && [ -n "$window" ] && echo "$window"
}
e2e_window_or_end() { e2e_window_now "$1" "$2" || ! e2e_running "$1"; }

# Waits until no visible window of the process has the given title (up to 10 s).
e2e_window_gone() { e2e_wait 10 e2e_no_window "$1" "$2"; }
e2e_no_window() { ! e2e_window_now "$1" "$2"; }

# Prints "X Y" of a window's top-left corner on the screen.
e2e_window_pos() {
    xdotool getwindowgeometry --shell "$1" | awk -F= '/^X=/{x=$2} /^Y=/{y=$2} END{print x, y}'
}

# Prints the colour of the screen pixel at X Y as #RRGGBB.
e2e_pixel() {
    import -window root -depth 8 -crop "1x1+$1+$2" +repage txt:- 2>/dev/null |
        grep -o '#[0-9A-Fa-f]\{6\}' | head -1
}

# e2e_pixel_is X Y #RRGGBB: true when the screen pixel has that colour (for e2e_wait).
e2e_pixel_is() { [ "$(e2e_pixel "$1" "$2" | tr a-f A-F)" = "$(echo "$3" | tr a-f A-F)" ]; }

# Prints how many different colours the screen shows in the rectangle X Y W H.
e2e_colours() {
    import -window root png:- 2>/dev/null | convert - -crop "$3x$4+$1+$2" +repage -format %k info:
}

# Waits for a process started here to end (up to $2 seconds, default 10) and returns its exit
# status; 124 when it is still running.
e2e_wait_exit() {
    local pid=$1
    e2e_wait "${2:-10}" e2e_ended "$pid" || return 124
    E2E_STATUS=0
    wait "$pid" || E2E_STATUS=$?
    return "$E2E_STATUS"
}

# Writes a fake /proc/meminfo with the given MemTotal and MemAvailable (kB) for
# e2e_start_vantrel to show the program.
e2e_fake_meminfo() {
    printf 'MemTotal:       %s kB\nMemFree:        %s kB\nMemAvailable:   %s kB\n' "$1" "$2" "$2" \
        >"$E2E_TMP/meminfo"
}

# Starts the program in the background and sets APP to its pid. After e2e_fake_meminfo it sees
# those figures: it runs in a private mount namespace with the fake file bound over
# /proc/meminfo (needs root; the test is skipped where that is not allowed).
# Its output goes to $E2E_TMP/app.log (e2e_fail shows it). This is the one way the scripts start
# the program; e2e_window_of then waits for its windows.
e2e_start_vantrel() {
    local bin=${1:-$E2E_BIN}
    # E2E_LANG, when set, is the program's language (and only the program's).
    local run=("$bin")
    [ -n "${E2E_LANG:-}" ] && run=(env "LANG=$E2E_LANG" "$bin")
    if [ -f "$E2E_TMP/meminfo" ]; then
        e2e_start_unshared "mount --bind '$E2E_TMP/meminfo' /proc/meminfo" "${run[@]}" \
            >>"$E2E_TMP/app.log" 2>&1
    else
        "${run[@]}" >>"$E2E_TMP/app.log" 2>&1 &
        APP=$!
        e2e_track "$APP"
    fi
}

# e2e_start_unshared SETUP COMMAND...: runs the shell commands SETUP in a private mount namespace
# (needs root; skips the test where that is not allowed), then the command in their place, in the
# background; APP is its pid.
e2e_start_unshared() {
    local setup=$1
    shift
    unshare -m --propagation private true 2>/dev/null || e2e_skip "no mount namespace"
    # shellcheck disable=SC2016
    unshare -m --propagation private bash -c "$setup"' && exec "$@"' unshared "$@" &
    APP=$!
    e2e_track "$APP"
}

# e2e_drag WINDOW DX DY [BUTTON]: drags with the button (1, the left) from a point of the strip by
# (DX, DY), in a few steps paced as a hand moves, and waits until the window stops moving.
e2e_drag() {
    local window=$1 dx=$2 dy=$3 button=${4:-1} x y
    read -r x y < <(e2e_window_pos "$window")
    xdotool mousemove $((x + 60)) $((y + 10)) mousedown "$button"
    xdotool mousemove $((x + 60 + dx / 3)) $((y + 10 + dy / 3)) sleep 0.1
    xdotool mousemove $((x + 60 + dx)) $((y + 10 + dy)) sleep 0.1 mouseup "$button"
    e2e_settled "$window"
}

# e2e_settled WINDOW: waits (up to 3 s) until the window's place is the same on three reads in a
# row, 0.1 s apart.
e2e_settled() {
    local last="" now same=0 tries=30
    while ((tries-- > 0)); do
        now=$(e2e_window_pos "$1")
        if [ "$now" = "$last" ]; then
            ((++same >= 2)) && return 0
        else
            same=0 last=$now
        fi
        sleep 0.1
    done
    return 0
}

# e2e_hold_lock FOLDER: another process takes the settings folder's lock, as a copy stopped in
# the middle of its save would, and keeps it until e2e_release_lock.
e2e_hold_lock() {
    e2e_need flock
    # One process, which holds the lock until it ends.
    bash -c 'exec 9<"$1" && flock 9 && exec sleep 300' _ "$1" &
    E2E_LOCK=$!
    e2e_track "$E2E_LOCK"
    e2e_wait 5 bash -c '! flock -n "$1" true' _ "$1" || e2e_fail "the lock was not taken"
}
e2e_release_lock() {
    kill "$E2E_LOCK" 2>/dev/null
    wait "$E2E_LOCK" 2>/dev/null
    return 0
}

# Takes one screenshot into a file (default $E2E_TMP/screen.png); e2e_shot_pixel reads pixels of
# the default one as RRGGBB.
e2e_screenshot() { import -window root "${1:-$E2E_TMP/screen.png}"; }
e2e_shot_pixel() {
    convert "$E2E_TMP/screen.png" -crop "1x1+$1+$2" -depth 8 txt:- |
        sed -n 's/.*#\([0-9A-Fa-f]\{6\}\).*/\1/p' | tr a-f A-F
}

# Skips the test: only for a tool, privilege or service the machine lacks, never for a fault of
# the program (that is e2e_fail).
e2e_skip() {
    echo "SKIP: $*" >&2
    exit 77
}
# e2e_beside VARIABLE NAME [WHAT IT NEEDS]: sets the variable to the test helper built beside
# the program (tests/NAME); the test is skipped when it was not built.
e2e_beside() {
    printf -v "$1" '%s' "$(dirname "$E2E_BIN")/tests/$2"
    [ -x "${!1}" ] || e2e_skip "$2 was not built beside $E2E_BIN${3:+ ($3)}"
}
e2e_fail() {
    echo "FAIL: $*" >&2
    [ -s "$E2E_TMP/app.log" ] && sed 's/^/  vantrel: /' "$E2E_TMP/app.log" >&2
    exit 1
}
e2e_expect_eq() { [ "$2" = "$3" ] || e2e_fail "$1: expected '$2', got '$3'"; }

# e2e_program PROGRAM: the program under test (E2E_BIN, its absolute path) and a private home.
e2e_program() {
    [ -n "${1:-}" ] || e2e_fail "usage: $(basename "$0") path/to/vantrel"
    [ -x "$1" ] || e2e_fail "no program at $1"
    E2E_BIN=$(realpath "$1")
    e2e_private_home
}

# e2e_init PROGRAM [SCREEN]: e2e_program and an X server; e2e_start_vantrel then starts PROGRAM.
e2e_init() {
    e2e_program "$1"
    e2e_need xdotool
    e2e_start_xvfb "${2:-1024x768x24}"
}

# e2e_wait SECONDS COMMAND...: runs the command every 0.1 s until it succeeds; fails after the
# time (whole or tenths: 0.5) is up.
e2e_wait() {
    local tries
    tries=$(e2e_tenths "$1")
    shift
    while ((tries-- > 0)); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}

# e2e_poll SECONDS COMMAND...: e2e_wait for a command that finds something, printing what it
# found when it succeeded. What was found is the look that succeeded: a second look may miss it,
# as xdotool's search gives nothing when a window goes while it walks the tree.
e2e_poll() {
    local tries found
    tries=$(e2e_tenths "$1")
    shift
    while ((tries-- > 0)); do
        found=$("$@" 2>/dev/null) && { echo "$found"; return 0; }
        sleep 0.1
    done
    return 1
}

# e2e_holds SECONDS COMMAND...: runs the command every 0.1 s for the whole time; fails at the
# first time it does not succeed (a check that something does NOT happen for a while).
e2e_holds() {
    local tries
    tries=$(e2e_tenths "$1")
    shift
    while ((tries-- > 0)); do
        "$@" >/dev/null 2>&1 || return 1
        sleep 0.1
    done
    return 0
}
e2e_tenths() { awk -v s="$1" 'BEGIN { print int(s * 10 + 0.5) }'; }

# True while a process runs (an ended child that was not waited for does not count).
e2e_running() {
    local stat
    stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
    stat=${stat##*) }
    [ "${stat%% *}" != Z ]
}
e2e_ended() { ! e2e_running "$1"; }

# Viewable top-level windows of a process, one id per line.
e2e_windows_of() { xdotool search --onlyvisible --pid "$1" 2>/dev/null; }

# Width, height, left and top of a window in screen pixels: "W H X Y".
e2e_geometry() {
    xwininfo -id "$1" 2>/dev/null | awk '
        /Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF}
        /Width:/ {w = $NF} /Height:/ {h = $NF} END {if (w) print w, h, x, y}'
}

# e2e_popup_of PID: the id of an open pop-up (a menu) of the process: a viewable override-redirect
# window of at least 60 x 60 pixels; fails when there is none.
e2e_popup_of() {
    local w width height
    for w in $(e2e_windows_of "$1"); do
        xwininfo -id "$w" 2>/dev/null | grep -q 'Override Redirect State: yes' || continue
        read -r width height _ <<<"$(e2e_geometry "$w")"
        if [ "${width:-0}" -ge 60 ] && [ "${height:-0}" -ge 60 ]; then
            echo "$w"
            return 0
        fi
    done
    return 1
}

# e2e_pixels FILE W H X Y: every pixel of a rectangle of a screenshot as "R G B" lines (0-255).
e2e_pixels() {
    convert "$1" -crop "$2x$3+$4+$5" -depth 8 txt:- |
        sed -n 's/^[0-9]*,[0-9]*: *(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3/p'
}

# e2e_quit WINDOW PID: Ctrl+Q on the bar, then fails unless the program ends with status 0.
e2e_quit() {
    local status=0
    xdotool windowfocus --sync "$1"
    xdotool key --clearmodifiers ctrl+q
    e2e_wait_exit "$2" || status=$?
    [ "$status" = 0 ] || e2e_fail "Ctrl+Q: exit status $status (124: still running)"
}

# ---------------------------------------------------------------------------------------------
# Desktops: a session bus, a window manager, the bar among the program's windows, stacking.

# e2e_start_bus [SERVICE...]: starts a session bus of the test's own and exports its address. It
# starts on demand only the named services of the system's (org.xfce.Xfconf, say), so that
# nothing else (the accessibility bus, for one) is started behind the test's back.
e2e_start_bus() {
    local name
    e2e_need dbus-daemon
    mkdir -p "$E2E_TMP/services"
    for name in "$@"; do
        cp "/usr/share/dbus-1/services/$name.service" "$E2E_TMP/services/" ||
            e2e_skip "the D-Bus service $name is not installed"
    done
    cat >"$E2E_TMP/bus.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:dir=$E2E_TMP</listen>
  <servicedir>$E2E_TMP/services</servicedir>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
CONF
    dbus-daemon --config-file="$E2E_TMP/bus.conf" --nofork --print-address=3 3>"$E2E_TMP/bus" \
        2>"$E2E_TMP/bus.log" &
    e2e_track $!
    e2e_wait 10 test -s "$E2E_TMP/bus" || e2e_skip "dbus-daemon did not start"
    DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$E2E_TMP/bus")
    export DBUS_SESSION_BUS_ADDRESS
}

# e2e_start_wm COMMAND...: starts a window manager and waits until it has taken the screen (its
# check window on the root, as the window-manager hints say).
e2e_start_wm() {
    e2e_need "$1" xprop
    "$@" >"$E2E_TMP/wm.log" 2>&1 &
    E2E_WM=$!
    e2e_track "$E2E_WM"
    e2e_wait 10 e2e_wm_ready || e2e_fail "the window manager $1 did not start: $(tail -n 5 "$E2E_TMP/wm.log")"
}
e2e_wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }

# e2e_store [CONFIG]: the settings file under the configuration folder (XDG_CONFIG_HOME).
e2e_store() { echo "${1:-$XDG_CONFIG_HOME}/vantrel/HKEY_CURRENT_USER.reg"; }
# e2e_stored NAME: the text of one stored value ("Top", "Dir", ...), the file's escapes undone.
e2e_stored() {
    sed -n "s/^\"$1\"=\"\\(.*\\)\"\r\\?\$/\\1/p" "$(e2e_store)" | sed 's/\\\(.\)/\1/g'
}

# e2e_bar_of PID [SECONDS]: the id of the bar (the visible 177-pixel-wide window of the process).
e2e_bar_now() {
    local w width
    for w in $(e2e_windows_of "$1"); do
        read -r width _ <<<"$(e2e_geometry "$w")"
        [ "${width:-0}" = 177 ] && { echo "$w"; return 0; }
    done
    return 1
}
e2e_bar_of() { e2e_poll "${2:-10}" e2e_bar_now "$1"; }

# The window manager's frame of a client window (its ancestor that is a child of the root; the
# window itself where there is no frame).
e2e_frame_of() {
    local w=$1 parent root
    root=$(xwininfo -root | awk '/Window id:/{print $4}')
    while :; do
        parent=$(xwininfo -tree -id "$w" 2>/dev/null | awk '/Parent window id:/{print $4}')
        [ -z "$parent" ] || [ "$((parent))" = "$((root))" ] && break
        w=$parent
    done
    echo "$w"
}

# True when the first window (with its frame) is stacked above the second.
e2e_stacked_above() {
    local upper lower order
    upper=$(($(e2e_frame_of "$1")))
    lower=$(($(e2e_frame_of "$2")))
    # The root's children, the topmost first.
    order=$(xwininfo -root -children | awk '/^ +0x/{print $1}' | while read -r id; do echo $((id)); done)
    [ "$(echo "$order" | grep -n -x "$upper" | cut -d: -f1)" -lt \
        "$(echo "$order" | grep -n -x "$lower" | cut -d: -f1)" ]
}

# True when the window manager has the window on every workspace (_NET_WM_DESKTOP 0xFFFFFFFF).
e2e_on_all_desktops() { xprop -id "$1" _NET_WM_DESKTOP | grep -q 4294967295; }

# True while the window is mapped and viewable.
e2e_viewable() { xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }

# e2e_tooltip_of PID: the id of a shown tooltip of the process (a viewable override-redirect
# window less than 60 pixels high that is not the bar).
e2e_tooltip_of() {
    local w height
    for w in $(e2e_windows_of "$1"); do
        xwininfo -id "$w" 2>/dev/null | grep -q 'Override Redirect State: yes' || continue
        read -r _ height _ <<<"$(e2e_geometry "$w")"
        [ "${height:-99}" -lt 60 ] && { echo "$w"; return 0; }
    done
    return 1
}

# e2e_settings TOP LEFT [NAME=VALUE...]: writes a settings file with the position and the other
# values given (as the file holds them: a backslash doubled).
e2e_settings() {
    local store pair
    store=$(e2e_store)
    mkdir -p "$(dirname "$store")"
    {
        printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Quillmoor\\Vantrel]\n"Top"="%s"\n"Left"="%s"\n' "$1" "$2"
        shift 2
        for pair in "$@"; do printf '"%s"="%s"\n' "${pair%%=*}" "${pair#*=}"; done
    } >"$store"
}

# e2e_start_at PROGRAM TOP LEFT: starts the program on the stored settings and fails unless the
# bar comes up 177 x 21 with its top-left corner (its frame's, where it has one) at LEFT TOP. Sets
# APP (the pid) and BAR (the window).
e2e_start_at() {
    local top=$2 left=$3 geometry fx fy
    e2e_start_vantrel "$1"
    BAR=$(e2e_bar_of "$APP" 15) || e2e_fail "the bar did not appear"
    # The window manager's placement, then the bar's own answer to it, may take a moment.
    e2e_wait 3 e2e_bar_at "$BAR" "$top" "$left"
    read -r _ _ fx fy <<<"$(e2e_geometry "$(e2e_frame_of "$BAR")")"
    geometry=$(e2e_geometry "$BAR")
    e2e_expect_eq "the bar at the saved place (frame at $fx $fy)" "177 21 $left $top" "$geometry"
}
# e2e_bar_at WINDOW TOP LEFT: true when the bar is 177 x 21 with its top-left corner (and its
# frame's) at LEFT TOP.
e2e_bar_at() {
    local window=$1 top=$2 left=$3
    [ "$(e2e_geometry "$window")" = "177 21 $left $top" ] &&
        [ "$(e2e_geometry "$(e2e_frame_of "$window")" | cut -d' ' -f3-)" = "$left $top" ]
}

# e2e_close_saved TOP LEFT: ends the program as the session's end does (SIGTERM saves like Quit)
# and fails unless it saved the position LEFT TOP unchanged.
e2e_close_saved() {
    kill -TERM "$APP"
    e2e_wait_exit "$APP" 10 || e2e_fail "the program did not end on SIGTERM (status $?)"
    e2e_expect_eq "the saved position" "$1 $2" "$(e2e_stored Top) $(e2e_stored Left)"
}

# e2e_three_starts_at PROGRAM TOP LEFT: writes settings that place the bar at TOP LEFT with
# stay-on-top and the tooltip on, starts and closes the program twice (each time it must come up
# there and save the place unchanged), then starts it a third time for the checks that follow.
e2e_three_starts_at() {
    local bin=$1 top=$2 left=$3 round
    e2e_settings "$top" "$left" Aot=1 BarTip=1
    for round in 1 2; do
        e2e_start_at "$bin" "$top" "$left"
        e2e_close_saved "$top" "$left"
    done
    e2e_start_at "$bin" "$top" "$left"
}

# e2e_check_workspaces SWITCH BACK: opens the details window (Ctrl+I on the bar); after the
# command SWITCH (to another workspace) the bar and the details window are still in view; BACK
# returns.
e2e_check_workspaces() {
    local details
    e2e_activate "$BAR"
    xdotool key --clearmodifiers ctrl+i
    details=$(e2e_window_of "$APP" "Memory Details") || e2e_fail "Ctrl+I showed no details window"
    eval "$1" >/dev/null 2>&1 || e2e_fail "could not switch workspace: $1"
    # The window manager unmaps the windows of the workspace left, then the bar's own answer maps
    # them again: both must stay in view for a moment after the switch.
    e2e_wait 3 e2e_viewable "$BAR" || e2e_fail "the bar is not in view on another workspace"
    e2e_wait 3 e2e_viewable "$details" || e2e_fail "the details window is not in view on another workspace"
    e2e_holds 0.5 e2e_viewable "$BAR" || e2e_fail "the bar left the view on another workspace"
    e2e_viewable "$details" || e2e_fail "the details window left the view on another workspace"
    eval "$2" >/dev/null 2>&1 || e2e_fail "could not switch back: $2"
    e2e_wait 3 e2e_viewable "$BAR" || e2e_fail "the bar is not in view after switching back"
}

# e2e_check_tooltip: with another program's window active, the bar's tooltip shows when the mouse
# rests on the strip (the bar's settings must have BarTip 1).
e2e_check_tooltip() {
    local other active bx by
    xmessage -geometry +20+500 "another program" >/dev/null 2>&1 &
    e2e_track $!
    e2e_wait 10 xdotool search --onlyvisible --class '^Xmessage$' || e2e_fail "xmessage did not show"
    other=$(xdotool search --onlyvisible --class '^Xmessage$' | head -n1)
    xdotool windowactivate --sync "$other" >/dev/null 2>&1 || xdotool windowfocus --sync "$other"
    active=$(xdotool getwindowfocus)
    [ "$active" != "$BAR" ] || e2e_fail "the bar is still the active window"
    read -r _ _ bx by <<<"$(e2e_geometry "$BAR")"
    xdotool mousemove $((bx + 90)) $((by + 10)) sleep 0.1 mousemove $((bx + 92)) $((by + 11))
    e2e_wait 5 e2e_tooltip_of "$APP" || e2e_fail "no tooltip on the bar while another window is active"
    xdotool mousemove 5 700
    e2e_wait 5 eval '! e2e_tooltip_of "$APP"' || true
}

# e2e_activate WINDOW: makes the window the active one, as the manager allows, before keys are
# sent to it. A manager may refuse a request made while another program was just active (KWin
# on Wayland now and then does); asked again, it gives the window the focus.
e2e_activate() {
    local window=$1 try
    for try in 1 2 3; do
        xdotool windowactivate --sync "$window" >/dev/null 2>&1 || xdotool windowfocus --sync "$window"
        e2e_wait 1 eval '[ "$(xdotool getactivewindow 2>/dev/null)" = "$window" ]' && return 0
    done
    echo "note: the window manager did not make $window active" >&2
}

# e2e_check_dialogs [centred]: the preferences dialog (Ctrl+P on the bar) and the about box (from
# the bar's menu) come up stacked above the bar and, with "centred", centred on the screen with
# their frames, the first time too (E2E_CHECK_CENTRED: the check, e2e_check_centred unless told).
e2e_check_dialogs() {
    local centred=${1:-}
    local dialog bx by
    e2e_activate "$BAR"
    xdotool key --clearmodifiers ctrl+p
    dialog=$(e2e_window_of "$APP" "Vantrel Preferences...") || e2e_fail "Ctrl+P showed no dialog"
    [ -z "$centred" ] || ${E2E_CHECK_CENTRED:-e2e_check_centred} "$dialog" "preferences dialog"
    e2e_stacked_above "$dialog" "$BAR" || e2e_fail "the bar covers its preferences dialog"
    wmctrl -c "Vantrel Preferences..." || e2e_fail "the dialog could not be closed"
    e2e_window_gone "$APP" "Vantrel Preferences..." || e2e_fail "the dialog did not close"

    read -r _ _ bx by <<<"$(e2e_geometry "$BAR")"
    e2e_right_click_menu $((bx + 90)) $((by + 10)) || e2e_fail "a right click on the bar opened no menu"
    xdotool key a
    dialog=$(e2e_window_of "$APP" "About Vantrel...") || e2e_fail "About... showed no about box"
    [ -z "$centred" ] || ${E2E_CHECK_CENTRED:-e2e_check_centred} "$dialog" "about box"
    e2e_stacked_above "$dialog" "$BAR" || e2e_fail "the bar covers its about box"
    wmctrl -c "About Vantrel..." || e2e_fail "the about box could not be closed"
    e2e_window_gone "$APP" "About Vantrel..." || e2e_fail "the about box did not close"
}

# e2e_right_click_menu X Y: a right click at the point opens a menu of the program ($APP). A
# click the X server delivers while the program is still leaving a modal state is lost, so a
# busy machine gets three tries.
e2e_right_click_menu() {
    local try
    for try in 1 2 3; do
        [ "$try" = 1 ] || echo "note: right click number $try at $1 $2" >&2
        xdotool mousemove "$1" "$2" sleep 0.2 click 3
        e2e_wait 3 e2e_popup_of "$APP" && return 0
    done
    return 1
}

# e2e_check_centred WINDOW WHAT: the window with its frame is centred on the screen (to a pixel),
# once the window manager has placed it.
e2e_check_centred() {
    local sw sh
    read -r sw sh <<<"$(xdpyinfo | awk '/dimensions:/{split($2, d, "x"); print d[1], d[2]}')"
    e2e_wait 2 e2e_centred "$1" "$sw" "$sh" ||
        e2e_fail "the $2 is not centred: frame $(e2e_geometry "$(e2e_frame_of "$1")") on ${sw}x$sh"
}
e2e_centred() {
    local w h x y
    read -r w h x y <<<"$(e2e_geometry "$(e2e_frame_of "$1")")"
    [ -n "$w" ] && [ $((x - ($2 - w) / 2)) -ge -1 ] && [ $((x - ($2 - w) / 2)) -le 1 ] &&
        [ $((y - ($3 - h) / 2)) -ge -1 ] && [ $((y - ($3 - h) / 2)) -le 1 ]
}

# e2e_icon_of PID [SECONDS]: the program's icon embedded in an X11 notification area (a viewable
# window of the process, square and smaller than 60 x 60).
e2e_icon_now() {
    local w width height
    for w in $(e2e_windows_of "$1"); do
        read -r width height _ <<<"$(e2e_geometry "$w")"
        [ "${width:-99}" -lt 60 ] && [ "$width" = "$height" ] && { echo "$w"; return 0; }
    done
    return 1
}
e2e_icon_of() {
    e2e_wait "${2:-10}" e2e_icon_now "$1" || return 1
    e2e_icon_now "$1"
}

# e2e_quit_from_icon TOP LEFT: a right click on the icon in an X11 notification area opens the
# bar's menu; its Quit ends the program, which saves the position LEFT TOP unchanged.
e2e_quit_from_icon() {
    local icon ix iy
    icon=$(e2e_icon_of "$APP") || e2e_fail "no icon in the notification area"
    read -r _ _ ix iy <<<"$(e2e_geometry "$icon")"
    e2e_right_click_menu $((ix + 4)) $((iy + 4)) || e2e_fail "a right click on the icon opened no menu"
    xdotool key q
    e2e_wait_exit "$APP" 10 || e2e_fail "Quit from the icon's menu did not end the program (status $?)"
    e2e_expect_eq "the saved position" "$1 $2" "$(e2e_stored Top) $(e2e_stored Left)"
}

# ---------------------------------------------------------------------------------------------
# Controls found where they are on the screen, as a user finds them by looking: by their
# accessible names, through the assistive-technology client (atspi_client.py) reading the
# program over AT-SPI.

# e2e_start_atspi: the accessibility bus on the test's session bus (its own is started when it
# has none); programs started after it publish their controls there.
e2e_start_atspi() {
    [ -x /usr/libexec/at-spi-bus-launcher ] || e2e_skip "at-spi2-core is not installed"
    /usr/bin/python3 -c 'import pyatspi' 2>/dev/null || e2e_skip "python3-pyatspi is not installed"
    [ "$DBUS_SESSION_BUS_ADDRESS" != "unix:path=$E2E_TMP/no-bus" ] || e2e_start_bus
    /usr/libexec/at-spi-bus-launcher --launch-immediately >"$E2E_TMP/atspi.log" 2>&1 &
    e2e_track $!
    export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
}

# e2e_reader COMMAND...: the assistive-technology client (see atspi_client.py for its commands).
e2e_reader() { /usr/bin/python3 "$E2E_LIB/atspi_client.py" "$@"; }

# e2e_control_at NAME [ROLE]: prints "X Y", the middle of the program's shown control with the
# accessible name (and role: "push button", "text", "list item", ...); fails when none shows
# within 5 s.
e2e_control_at() {
    local x y w h
    read -r x y w h < <(e2e_reader where Vantrel "$1" "${2:-}" 5) || return 1
    echo $((x + w / 2)) $((y + h / 2))
}

# e2e_click_control NAME [ROLE]: a click on the middle of the control; fails when it is not shown.
e2e_click_control() {
    local x y
    read -r x y < <(e2e_control_at "$@") || return 1
    xdotool mousemove "$x" "$y" click 1
}

# e2e_menu_choose LEFT TOP ENTRY: a right click at the point opens the program's menu; a click on
# its entry with the name ("Preferences...", "Quit", ...). A click the X server delivers while the
# program is still leaving a modal state is lost, so a busy machine gets three tries.
e2e_menu_choose() {
    local try x y w h
    for try in 1 2 3; do
        if [ "$try" != 1 ]; then
            echo "note: right click number $try at $1 $2" >&2
            ! e2e_popup_of "$APP" >/dev/null || xdotool key Escape
        fi
        read -r x y w h < <(e2e_reader menu-entry Vantrel "$3" 3 \
            xdotool mousemove "$1" "$2" sleep 0.2 click 3) || continue
        xdotool mousemove $((x + w / 2)) $((y + h / 2)) sleep 0.1 click 1
        return 0
    done
    return 1
}

# Error boxes: the shown windows of the process titled "Vantrel" other than the bar (whose
# window role is "bar") and an icon in a notification area (smaller than any box), one id per line.
e2e_boxes() {
    local w width height
    for w in $(e2e_windows_of "$1"); do
        [ "$(xdotool getwindowname "$w" 2>/dev/null)" = Vantrel ] || continue
        xprop -id "$w" WM_WINDOW_ROLE 2>/dev/null | grep -q '"bar"' && continue
        read -r width height _ <<<"$(e2e_geometry "$w")"
        [ "${width:-0}" -ge 60 ] && [ "${height:-0}" -ge 60 ] && echo "$w"
    done
    return 0
}
e2e_box_shown() { [ -n "$(e2e_boxes "$1")" ]; }
e2e_no_box() { [ -z "$(e2e_boxes "$1")" ]; }
e2e_one_box() { [ "$(e2e_boxes "$1" | wc -l)" = 1 ]; }

# e2e_watch_frames: from now on the creates, moves and maps of the root's children (the frames
# the window manager makes) are logged, for e2e_check_centred_at_map.
e2e_watch_frames() {
    E2E_FRAMES_LOG=$E2E_TMP/frames.log
    xev -root -event substructure -event property >"$E2E_FRAMES_LOG" 2>&1 &
    e2e_track $!
    # Listening once it sees a change of the root's own.
    local try
    for try in 1 2 3 4 5 6 7 8 9 10; do
        xprop -root -f _VANTREL_E2E_MARK 8s -set _VANTREL_E2E_MARK "$try"
        e2e_wait 0.5 grep -q PropertyNotify "$E2E_FRAMES_LOG" && return 0
    done
    e2e_fail "xev does not watch the root window"
}

# e2e_mapped_frame WINDOW: "W H X Y" of the window's frame as the window manager first showed it
# (mapped, and larger than the 1 x 1 some managers map a frame at before they size it), then
# "moved to X Y" when the frame was moved after that (from the log of e2e_watch_frames).
e2e_mapped_frame() {
    local frame
    frame=$(printf '0x%x' "$(e2e_frame_of "$1")")
    awk -v f="$frame" '
        function shown() {
            if (!mapped || w <= 1 || h <= 1) return
            if (!placed) { placed = 1; px = x; py = y; print w, h, x, y }
            else if ((x != px || y != py) && !moved) { moved = 1; print "moved to", x, y }
        }
        /^[A-Za-z]+Notify event/ { type = $1; next }
        type != "" {
            line = type; type = ""
            if (!match($0, /window 0x[0-9a-f]+/) || substr($0, RSTART + 7, RLENGTH - 7) != f) next
            if (line == "MapNotify") { mapped = 1; shown(); next }
            if (line != "ConfigureNotify" && line != "CreateNotify") next
            match($0, /\(-?[0-9]+,-?[0-9]+\)/)
            split(substr($0, RSTART + 1, RLENGTH - 2), p, ",")
            match($0, /width [0-9]+, height [0-9]+/)
            split(substr($0, RSTART, RLENGTH), s, /[ ,]+/)
            x = p[1]; y = p[2]; w = s[2]; h = s[4]
            shown()
        }' "$E2E_FRAMES_LOG"
}

# e2e_check_centred_at_map WINDOW WHAT: the window's frame was centred on the screen (to a pixel)
# as the window manager first showed it, and did not move after; then it is centred now too. Needs
# e2e_watch_frames before the window was shown.
e2e_check_centred_at_map() {
    local sw sh w h x y
    read -r sw sh <<<"$(xdpyinfo | awk '/dimensions:/{split($2, d, "x"); print d[1], d[2]}')"
    e2e_check_centred "$1" "$2"
    local mapped
    mapped=$(e2e_mapped_frame "$1")
    read -r w h x y <<<"$(head -n1 <<<"$mapped")"
    [ -n "$y" ] || e2e_fail "the $2: no map of its frame was seen"
    [ $((x - (sw - w) / 2)) -ge -1 ] && [ $((x - (sw - w) / 2)) -le 1 ] &&
        [ $((y - (sh - h) / 2)) -ge -1 ] && [ $((y - (sh - h) / 2)) -le 1 ] ||
        e2e_fail "the $2 was not centred as it was first shown: frame $w $h $x $y on ${sw}x$sh"
    ! grep -q moved <<<"$mapped" || e2e_fail "the $2 jumped after it was mapped: $(tail -n1 <<<"$mapped")"
    echo "the $2 first shown with its frame at $x $y ($w x $h), not moved after" >&2
}

# e2e_check_not_in_alt_tab: the window manager's Alt+Tab leaves the bar out. From the bar, with
# Alt held and Tab pressed once, twice or three times (two other programs' windows shown), each
# release makes another program's window active, never the bar.
e2e_check_not_in_alt_tab() {
    local k i active
    xmessage -geometry +600+500 "a second program" >/dev/null 2>&1 &
    e2e_track $!
    e2e_wait 10 eval '[ "$(xdotool search --onlyvisible --class "^Xmessage$" | wc -l)" -ge 2 ]' ||
        e2e_fail "the other programs' windows did not show"
    for k in 1 2 3; do
        e2e_activate "$BAR"
        e2e_wait 2 eval '[ "$(xdotool getactivewindow)" = "$BAR" ]' || e2e_fail "the bar could not be made active"
        xdotool keydown alt
        for ((i = 0; i < k; i++)); do xdotool key Tab sleep 0.2; done
        xdotool keyup alt
        sleep 0.3
        active=$(xdotool getactivewindow 2>/dev/null)
        [ -n "$active" ] && [ "$active" != "$BAR" ] ||
            e2e_fail "after Alt held and Tab pressed $k times the bar is active (or nothing is)"
    done
}

# e2e_check_error_box [CHECK]: an error box over the bar (Quit while another copy holds the
# settings folder's lock) comes up centred on the screen with its frame (CHECK WINDOW WHAT:
# e2e_check_centred unless told) and above the bar; Return closes it and the bar stays.
e2e_error_box_now() { e2e_boxes "$APP" | head -n1 | grep .; }
e2e_check_error_box() {
    local box
    e2e_hold_lock "$XDG_CONFIG_HOME/vantrel"
    e2e_activate "$BAR"
    xdotool key --clearmodifiers ctrl+q
    e2e_wait 8 e2e_error_box_now || e2e_fail "Quit with the lock held showed no error box"
    box=$(e2e_error_box_now)
    ${1:-e2e_check_centred} "$box" "error box"
    e2e_stacked_above "$box" "$BAR" || e2e_fail "the bar covers its error box"
    xdotool windowactivate --sync "$box" >/dev/null 2>&1 || xdotool windowfocus --sync "$box"
    xdotool key Return
    e2e_wait 3 eval '! e2e_error_box_now' || e2e_fail "Return did not close the error box"
    e2e_release_lock
    e2e_running "$APP" || e2e_fail "the program ended though its settings could not be saved"
}
