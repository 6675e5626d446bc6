# shellcheck shell=bash
# Shared helpers for the end-to-end scripts: a private X server and home, the windows of a
# process, pixels of the screen, cleanup. Source it and call e2e_init with the program's path.
# Exit code 77 means "skipped".

E2E_PIDS=()

e2e_skip() {
    echo "SKIP: $*" >&2
    exit 77
}

e2e_fail() {
    echo "FAIL: $*" >&2
    [ -n "${E2E_TMP:-}" ] && [ -s "$E2E_TMP/vantrel.log" ] && sed 's/^/  vantrel: /' "$E2E_TMP/vantrel.log" >&2
    exit 1
}

e2e_require() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null 2>&1 || e2e_skip "$tool is not installed"
    done
}

e2e_cleanup() {
    local pid
    for pid in "${E2E_PIDS[@]}"; do kill "$pid" 2>/dev/null; done
    for pid in "${E2E_PIDS[@]}"; do wait "$pid" 2>/dev/null; done
    [ -n "${E2E_TMP:-}" ] && rm -rf "$E2E_TMP"
}

# e2e_init PROGRAM [SCREEN]: a private home and runtime folder, and Xvfb on a free display
# (SCREEN defaults to 1024x768x24). Exports HOME, XDG_CONFIG_HOME, XDG_RUNTIME_DIR and DISPLAY.
e2e_init() {
    E2E_BIN=$1
    [ -x "$E2E_BIN" ] || e2e_fail "no program at $E2E_BIN"
    e2e_require Xvfb xdotool
    E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/vantrel-e2e-XXXXXX")
    trap e2e_cleanup EXIT
    export HOME=$E2E_TMP/home XDG_CONFIG_HOME=$E2E_TMP/home/.config XDG_RUNTIME_DIR=$E2E_TMP/run
    mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
    unset QT_QPA_PLATFORM WAYLAND_DISPLAY SESSION_MANAGER
    Xvfb -displayfd 3 -screen 0 "${2:-1024x768x24}" -nolisten tcp 3>"$E2E_TMP/display" \
        2>"$E2E_TMP/xvfb.log" &
    E2E_PIDS+=($!)
    local tries=100
    while [ ! -s "$E2E_TMP/display" ] && [ "$tries" -gt 0 ]; do
        sleep 0.1
        tries=$((tries - 1))
    done
    [ -s "$E2E_TMP/display" ] || e2e_skip "Xvfb did not start: $(cat "$E2E_TMP/xvfb.log")"
    DISPLAY=:$(head -n1 "$E2E_TMP/display")
    export DISPLAY
}

# e2e_start: starts the program (it takes no arguments) in the background; its pid is in E2E_PID.
e2e_start() {
    "$E2E_BIN" >>"$E2E_TMP/vantrel.log" 2>&1 &
    E2E_PID=$!
    E2E_PIDS+=("$E2E_PID")
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

# e2e_wait_exit PID [SECONDS]: waits for a process started here to end; returns its status
# (124 when it is still running).
e2e_wait_exit() {
    local pid=$1 tries=$((${2:-10} * 10))
    while kill -0 "$pid" 2>/dev/null && [ "$tries" -gt 0 ]; do
        sleep 0.1
        tries=$((tries - 1))
    done
    kill -0 "$pid" 2>/dev/null && return 124
    wait "$pid"
}

# e2e_position WINDOW: prints "X Y" of the window's top-left corner on the screen.
e2e_position() {
    xdotool getwindowgeometry --shell "$1" | awk -F= '$1 == "X" { x = $2 } $1 == "Y" { y = $2 } END { print x, y }'
}

# e2e_pixel X Y: prints the screen's colour there as #RRGGBB.
e2e_pixel() {
    e2e_require import convert
    import -window root "$E2E_TMP/screen.png" 2>/dev/null || return 1
    convert "$E2E_TMP/screen.png" -crop "1x1+$1+$2" txt:- | grep -o '#[0-9A-Fa-f]\{6\}' | head -n1
}

# e2e_expect_eq WHAT EXPECTED ACTUAL
e2e_expect_eq() {
    [ "$2" = "$3" ] || e2e_fail "$1: expected '$2', got '$3'"
}
