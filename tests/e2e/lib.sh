# Shared helpers for the end-to-end scripts: a private X server and home, windows of a process,
# reading pixels, and cleaning up. Source it; every helper starts with e2e_.

E2E_PIDS=()
E2E_TMP=""

# Skips the test (exit 77) unless every named command is there.
e2e_need() {
    local cmd
    for cmd in "$@"; do
        command -v "$cmd" >/dev/null 2>&1 || { echo "skip: $cmd not installed"; exit 77; }
    done
}

# Ends the tracked processes, the last started first (programs before their X server); one that
# does not answer SIGTERM within 5 s is killed.
e2e_cleanup() {
    local i pid tries
    for ((i = ${#E2E_PIDS[@]} - 1; i >= 0; i--)); do
        pid=${E2E_PIDS[i]}
        kill "$pid" 2>/dev/null || true
        for ((tries = 50; tries > 0; tries--)); do
            e2e_running "$pid" || break
            sleep 0.1
        done
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
e2e_private_env() { e2e_private_home; }

# Starts Xvfb (screen size WxHxD, default 1024x768x24) on a display number it picks itself and
# exports DISPLAY; E2E_XVFB is its pid.
e2e_start_xvfb() {
    local size=${1:-1024x768x24} i
    [[ $size == *x*x* ]] || size=${size}x24
    e2e_need Xvfb xdpyinfo
    [ -n "$E2E_TMP" ] || e2e_private_home
    # -noreset: the server would otherwise reset, refusing connections for a moment, each time
    # its last client leaves.
    Xvfb -displayfd 3 -screen 0 "$size" -nolisten tcp -noreset 3>"$E2E_TMP/display" \
        2>"$E2E_TMP/xvfb.log" &
    E2E_XVFB=$!
    e2e_track $E2E_XVFB
    for i in $(seq 100); do
        [ -s "$E2E_TMP/display" ] && break
        sleep 0.1
    done
    [ -s "$E2E_TMP/display" ] || { echo "skip: no X server could be started"; exit 77; }
    DISPLAY=:$(head -n1 "$E2E_TMP/display")
    export DISPLAY
    for i in $(seq 50); do
        xdpyinfo >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    echo "skip: the X server does not answer"
    exit 77
}

# Prints the id of a visible window of a process (optionally with the given title), waiting up
# to 10 s; fails when none shows.
e2e_window_of() {
    local pid=$1 name=${2:-} i id
    for i in $(seq 100); do
        if [ -n "$name" ]; then
            id=$(xdotool search --all --onlyvisible --pid "$pid" --name "^${name}\$" 2>/dev/null | head -1 || true)
        else
            id=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -1 || true)
        fi
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}

# Waits until no visible window of the process has the given title (up to 10 s).
e2e_window_gone() {
    local pid=$1 name=$2 i
    for i in $(seq 100); do
        xdotool search --all --onlyvisible --pid "$pid" --name "^${name}\$" >/dev/null 2>&1 || return 0
        sleep 0.1
    done
    return 1
}

# Prints "X Y" of a window's top-left corner on the screen.
e2e_window_pos() {
    xdotool getwindowgeometry --shell "$1" | awk -F= '/^X=/{x=$2} /^Y=/{y=$2} END{print x, y}'
}

# Prints the colour of the screen pixel at X Y as #RRGGBB.
e2e_pixel() {
    import -window root -depth 8 -crop "1x1+$1+$2" +repage txt:- 2>/dev/null |
        grep -o '#[0-9A-Fa-f]\{6\}' | head -1
}

# Prints how many different colours the screen shows in the rectangle X Y W H.
e2e_colours() {
    import -window root png:- 2>/dev/null | convert - -crop "$3x$4+$1+$2" +repage -format %k info:
}

# Waits for a process started here to end (up to $2 seconds, default 10) and returns its exit
# status; 124 when it is still running.
e2e_wait_exit() {
    local pid=$1 tries=$((${2:-10} * 10))
    while kill -0 "$pid" 2>/dev/null && [ "$tries" -gt 0 ]; do
        sleep 0.1
        tries=$((tries - 1))
    done
    kill -0 "$pid" 2>/dev/null && return 124
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
e2e_start_vantrel() {
    local bin=$1
    if [ -f "$E2E_TMP/meminfo" ]; then
        e2e_start_unshared "mount --bind '$E2E_TMP/meminfo' /proc/meminfo" "$bin" \
            >"$E2E_TMP/app.log" 2>&1
    else
        "$bin" >"$E2E_TMP/app.log" 2>&1 &
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
    unshare -m --propagation private true 2>/dev/null || { echo "skip: no mount namespace"; exit 77; }
    # shellcheck disable=SC2016
    unshare -m --propagation private bash -c "$setup"' && exec "$@"' unshared "$@" &
    APP=$!
    e2e_track "$APP"
}

# Prints the id of a visible window of the given size ("177x21"), waiting up to 10 s.
e2e_window_sized() {
    local size=$1 i id
    for i in $(seq 100); do
        for id in $(xdotool search --onlyvisible --name '.*' 2>/dev/null); do
            if [ "$(xdotool getwindowgeometry --shell "$id" 2>/dev/null |
                awk -F= '/^WIDTH=/{w=$2} /^HEIGHT=/{h=$2} END{print w "x" h}')" = "$size" ]; then
                echo "$id"
                return 0
            fi
        done
        sleep 0.1
    done
    return 1
}

# e2e_drag WINDOW DX DY: drags with the left button from a point of the strip by (DX, DY), in a
# few steps.
e2e_drag() {
    local window=$1 dx=$2 dy=$3 x y
    read -r x y < <(e2e_window_pos "$window")
    xdotool mousemove $((x + 60)) $((y + 10)) mousedown 1
    xdotool mousemove $((x + 60 + dx / 3)) $((y + 10 + dy / 3)) sleep 0.1
    xdotool mousemove $((x + 60 + dx)) $((y + 10 + dy)) sleep 0.1 mouseup 1
    sleep 0.3
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

# Shorter forms used by the settings tests.
e2e_skip() {
    echo "SKIP: $*" >&2
    exit 77
}
e2e_fail() {
    echo "FAIL: $*" >&2
    local log
    for log in "$E2E_TMP/vantrel.log" "$E2E_TMP/app.log"; do
        [ -s "$log" ] && sed 's/^/  vantrel: /' "$log" >&2
    done
    exit 1
}
e2e_require() { e2e_need "$@"; }
e2e_position() { e2e_window_pos "$1"; }
e2e_expect_eq() { [ "$2" = "$3" ] || e2e_fail "$1: expected '$2', got '$3'"; }

# e2e_init PROGRAM [SCREEN]: a private home and an X server; e2e_start then starts PROGRAM with
# its pid in E2E_PID.
e2e_init() {
    E2E_BIN=$1
    [ -x "$E2E_BIN" ] || e2e_fail "no program at $E2E_BIN"
    e2e_need xdotool
    e2e_private_home
    e2e_start_xvfb "${2:-1024x768x24}"
}
e2e_start() {
    "$E2E_BIN" >>"$E2E_TMP/vantrel.log" 2>&1 &
    E2E_PID=$!
    e2e_track "$E2E_PID"
}

# e2e_wait_window PID [SECONDS]: prints the id of the first visible window of the process.
e2e_wait_window() {
    local pid=$1 tries=$((${2:-10} * 10)) id
    while [ "$tries" -gt 0 ]; do
        id=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -n1)
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        kill -0 "$pid" 2>/dev/null || return 1
        sleep 0.1
        tries=$((tries - 1))
    done
    return 1
}

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

# True while a process runs (an ended child that was not waited for does not count).
e2e_running() {
    local stat
    stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
    stat=${stat##*) }
    [ "${stat%% *}" != Z ]
}

# Viewable top-level windows of a process, one id per line; e2e_window_of_pid PID [SECONDS]
# waits for one and prints it.
e2e_windows_of() { xdotool search --onlyvisible --pid "$1" 2>/dev/null; }
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
