# Shared helpers for the end-to-end scripts: a private X server, waiting, windows of a process,
# pixels, and cleanup of everything started. Source it from a script:
#   . "$(dirname "$0")/lib.sh"
# Scripts exit 77 to be counted as skipped.

E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/vantrel-e2e.XXXXXX")
E2E_PIDS=()

e2e_cleanup() {
    local pid
    for pid in "${E2E_PIDS[@]}"; do kill "$pid" 2>/dev/null; done
    for pid in "${E2E_PIDS[@]}"; do wait "$pid" 2>/dev/null; done
    rm -rf "$E2E_TMP"
}
trap e2e_cleanup EXIT

e2e_skip() {
    echo "SKIP: $*" >&2
    exit 77
}

e2e_fail() {
    echo "FAIL: $*" >&2
    if [ -n "${E2E_XVFB:-}" ] && ! e2e_running "$E2E_XVFB"; then
        echo "(the X server on $DISPLAY had ended: $(tail -n 3 "$E2E_TMP/xvfb.log"))" >&2
    fi
    exit 1
}

# Skips the test when a command is missing.
e2e_need() {
    local c
    for c in "$@"; do command -v "$c" >/dev/null 2>&1 || e2e_skip "$c is not installed"; done
}

# Processes to end when the script ends.
e2e_track() { E2E_PIDS+=("$@"); }

# e2e_wait SECONDS COMMAND...: runs the command every 0.1 s until it succeeds; fails after the
# time is up.
e2e_wait() {
    local tries=$(($1 * 10))
    shift
    while ((tries-- > 0)); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}

# A clean environment for the program: its own home, runtime folder and no session bus of the
# desktop's.
e2e_private_env() {
    mkdir -p "$E2E_TMP/home" "$E2E_TMP/runtime"
    chmod 700 "$E2E_TMP/runtime"
    export HOME="$E2E_TMP/home"
    export XDG_RUNTIME_DIR="$E2E_TMP/runtime"
    export XDG_CONFIG_HOME="$HOME/.config"
    export DBUS_SESSION_BUS_ADDRESS="unix:path=$E2E_TMP/no-bus"
    unset WAYLAND_DISPLAY QT_QPA_PLATFORM SESSION_MANAGER
}

# e2e_start_xvfb [WIDTHxHEIGHT]: starts Xvfb on a free display, exports DISPLAY and the private
# environment. Display numbers are drawn at random from a high range, away from the displays
# people and other test runs usually take.
e2e_start_xvfb() {
    local size=${1:-1024x768} n pid attempt
    e2e_need Xvfb xdpyinfo
    e2e_private_env
    for attempt in $(seq 1 20); do
        n=$((200 + RANDOM % 800))
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
        # -noreset: the server would otherwise reset, refusing connections for a moment, each
        # time its last client leaves.
        Xvfb ":$n" -screen 0 "${size}x24" -nolisten tcp -noreset >"$E2E_TMP/xvfb.log" 2>&1 &
        pid=$!
        export DISPLAY=":$n"
        # Another run may have taken the same number at the same moment: then this server ends.
        if e2e_wait 10 xdpyinfo && sleep 0.2 && e2e_running "$pid"; then
            e2e_track "$pid"
            E2E_XVFB=$pid
            return 0
        fi
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    e2e_skip "Xvfb did not start"
}

# Viewable top-level windows of a process, one id per line.
e2e_windows_of() { xdotool search --onlyvisible --pid "$1" 2>/dev/null; }

# e2e_window_of_pid PID [SECONDS]: waits for a viewable window of the process and prints it.
e2e_window_of_pid() {
    e2e_wait "${2:-10}" e2e_windows_of "$1" || return 1
    e2e_windows_of "$1" | head -n1
}

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

# The whole screen into a PNG file.
e2e_screenshot() { import -window root "$1"; }

# e2e_pixel FILE X Y: the colour of one pixel of a screenshot as #RRGGBB.
e2e_pixel() {
    convert "$1" -crop "1x1+$2+$3" -depth 8 txt:- | grep -o '#[0-9A-Fa-f]\{6\}' | head -n1
}

# e2e_pixel_now X Y: the colour of one pixel on the screen now.
e2e_pixel_now() {
    e2e_screenshot "$E2E_TMP/pixel.png" && e2e_pixel "$E2E_TMP/pixel.png" "$1" "$2"
}

# e2e_pixels FILE W H X Y: every pixel of a rectangle of a screenshot as "R G B" lines (0-255).
e2e_pixels() {
    convert "$1" -crop "$2x$3+$4+$5" -depth 8 txt:- |
        sed -n 's/^[0-9]*,[0-9]*: *(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3/p'
}

# True while a process runs (an ended child that was not waited for does not count).
e2e_running() {
    local stat
    stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
    stat=${stat##*) }
    [ "${stat%% *}" != Z ]
}

# e2e_wait_exit PID [SECONDS]: waits for a child process to end and puts its exit status into
# E2E_STATUS; fails when it is still running after the time. Call it directly, not in $(...): only
# the shell that started the process can collect its status.
e2e_wait_exit() {
    local pid=$1 tries=$((${2:-10} * 10))
    while e2e_running "$pid" && ((tries-- > 0)); do sleep 0.1; done
    e2e_running "$pid" && return 1
    E2E_STATUS=0
    wait "$pid" || E2E_STATUS=$?
}
