# Shared by the end-to-end tests: a private X server, a private home, the program under test, and
# reading windows and pixels. Source it; the test's first argument is the vantrel binary.
set -euo pipefail

VANTREL=${1:?usage: $0 path/to/vantrel}
SKIP=77
for tool in Xvfb xdotool import convert xwininfo; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool missing"; exit $SKIP; }
done

E2E_TMP=$(mktemp -d /tmp/vantrel-e2e-XXXXXX)
export HOME=$E2E_TMP/home XDG_CONFIG_HOME=$E2E_TMP/home/.config XDG_RUNTIME_DIR=$E2E_TMP/run
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
unset WAYLAND_DISPLAY QT_QPA_PLATFORM SESSION_MANAGER
SETTINGS=$XDG_CONFIG_HOME/vantrel/HKEY_CURRENT_USER.reg
PIDS=()

cleanup() {
    for p in "${PIDS[@]}"; do kill "$p" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$E2E_TMP"
}
trap cleanup EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

# Starts Xvfb (1024 x 768) on a free display and exports DISPLAY.
start_x() {
    local n
    for n in $(seq 90 190); do
        [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] && continue
        Xvfb :$n -screen 0 1024x768x24 -nolisten tcp >"$E2E_TMP/xvfb.log" 2>&1 &
        PIDS+=($!)
        export DISPLAY=:$n
        for _ in $(seq 50); do
            xdpyinfo >/dev/null 2>&1 && return 0
            sleep 0.1
        done
        fail "Xvfb did not start on :$n"
    done
    fail "no free display"
}

# Writes a fake /proc/meminfo with the given MemTotal and MemAvailable (kB).
fake_meminfo() {
    printf 'MemTotal:       %s kB\nMemFree:        %s kB\nMemAvailable:   %s kB\n' "$1" "$2" "$2" \
        >"$E2E_TMP/meminfo"
}

# Starts vantrel in the background; with a fake meminfo written, it sees those figures (needs
# root and a private mount namespace; the test is skipped where that is not allowed). Sets APP.
start_vantrel() {
    if [ -f "$E2E_TMP/meminfo" ]; then
        unshare -m --propagation private true 2>/dev/null || { echo "SKIP: no mount namespace"; exit $SKIP; }
        unshare -m --propagation private bash -c \
            "mount --bind '$E2E_TMP/meminfo' /proc/meminfo && exec '$VANTREL'" \
            >"$E2E_TMP/vantrel.log" 2>&1 &
    else
        "$VANTREL" >"$E2E_TMP/vantrel.log" 2>&1 &
    fi
    APP=$!
    PIDS+=($APP)
}

# Waits until a mapped window of the program exists with the given size ("177x21"); prints its id.
wait_window() {
    local size=$1 id geometry
    for _ in $(seq 100); do
        for id in $(xdotool search --onlyvisible --name '.*' 2>/dev/null); do
            geometry=$(xwininfo -id "$id" 2>/dev/null | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w "x" h}')
            if [ "$geometry" = "$size" ]; then
                echo "$id"
                return 0
            fi
        done
        sleep 0.1
    done
    fail "no ${size} window appeared"
}

# Absolute position of a window: "X Y".
window_pos() {
    xwininfo -id "$1" | awk '/Absolute upper-left X:/{x=$4} /Absolute upper-left Y:/{y=$4} END{print x, y}'
}

# Takes a screenshot of the whole screen into $E2E_TMP/screen.png.
screenshot() { import -window root "$E2E_TMP/screen.png"; }

# Colour of a pixel of the last screenshot as "RRGGBB".
pixel() {
    convert "$E2E_TMP/screen.png" -crop "1x1+$1+$2" -depth 8 txt:- |
        sed -n 's/.*#\([0-9A-Fa-f]\{6\}\).*/\1/p' | tr a-f A-F
}

# Waits up to $2 seconds (default 10) for process $1 to end; prints its exit status.
wait_exit() {
    local pid=$1 limit=${2:-10} i
    for i in $(seq $((limit * 10))); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$pid" 2>/dev/null && fail "process $pid still running"
    local status=0
    wait "$pid" || status=$?
    echo "$status"
}
