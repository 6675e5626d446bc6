#!/usr/bin/env bash
# Whole-process figures of Vantrel beside other memory monitors, in one run under Xvfb (no window
# manager; a notification area from trayer when it is installed, so that the tray icons are
# shown): start-up to the first mapped window, resident and private (anonymous resident) memory
# after RSS_AFTER seconds, CPU time and voluntary context switches (wake-ups) over the next
# CPU_SECONDS, and Vantrel's private memory after its preferences dialog, about box and details
# window have each been opened and closed once (driven with xdotool). Every
# program is started and stopped once before the first round, untimed, so that no program pays
# for a cold file cache alone. Each round first starts and stops every program STARTS times
# (interleaved, one at a time) for start-up samples, then starts every program once more (the
# order alternates between rounds), lets them run side by side, and stops them. Prints medians
# with the spread (min-max), which GTK libraries each program had mapped, and whether Vantrel
# meets its goals against the others.
#
#   bench/measure.sh [rounds] [NAME=COMMAND...]
#   (default 5 rounds; RSS_AFTER=30, CPU_SECONDS=120, STARTS=5)
#
# A full run takes about rounds x (RSS_AFTER + CPU_SECONDS + 90) seconds (5 rounds: 20 minutes).
# Builds what it needs in build-bench/. Besides Vantrel and the minimal Qt bar (bench/minimal_bar),
# both also started with XDG_CURRENT_DESKTOP=GNOME, it measures three monitors from Debian's
# packages, each showing one memory meter about every 1.5 s:
#
#   sudo apt-get install xosview gkrellm conky-std trayer xdotool
#
# A monitor that is not installed is left out with a note. Extra programs can be added as
# NAME=COMMAND arguments after the round count (the command is split at blanks).
set -euo pipefail
cd "$(dirname "$0")/.."
ROUNDS=${1:-5}
shift || true
RSS_AFTER=${RSS_AFTER:-30}
CPU_SECONDS=${CPU_SECONDS:-120}
STARTS=${STARTS:-5}

for tool in Xvfb xdpyinfo cmake; do
    command -v "$tool" >/dev/null || { echo "measure.sh: $tool is not installed" >&2; exit 1; }
done
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DVANTREL_TESTS=OFF -DVANTREL_BENCH=ON >/dev/null
cmake --build build-bench -j"$(nproc)" --target vantrel minimal_bar mapwait closewindow >/dev/null

WORK=$(mktemp -d /tmp/vantrel-measure-XXXXXX)
PIDS=()
cleanup() {
    for p in "${PIDS[@]}"; do kill "$p" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$WORK"
}
trap cleanup EXIT

# Xvfb picks a free display number itself and tells it on fd 3.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$WORK/display" >/dev/null 2>&1 &
PIDS+=($!)
for _ in $(seq 100); do [ -s "$WORK/display" ] && break; sleep 0.1; done
[ -s "$WORK/display" ] || { echo "measure.sh: Xvfb did not start" >&2; exit 1; }
DISPLAY=:$(head -n1 "$WORK/display")
export DISPLAY
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
export HOME=$WORK/home XDG_CONFIG_HOME=$WORK/home/.config XDG_RUNTIME_DIR=$WORK/run
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset SESSION_MANAGER XDG_CURRENT_DESKTOP DESKTOP_SESSION QT_QPA_PLATFORMTHEME
# A session bus of its own, as on a desktop (without one, D-Bus would start a stray one through
# X11 autolaunch that outlives the run).
if command -v dbus-daemon >/dev/null; then
    bus=$(dbus-daemon --session --fork --print-address=1 --print-pid=1)
    export DBUS_SESSION_BUS_ADDRESS=${bus%%$'\n'*}
    PIDS+=("${bus##*$'\n'}")
else
    export DBUS_SESSION_BUS_ADDRESS="unix:path=$WORK/no-bus"
fi

# A notification area at the bottom of the screen, as on a desktop panel.
if command -v trayer >/dev/null; then
    trayer --edge bottom --align right --widthtype request >/dev/null 2>&1 &
    PIDS+=($!)
    sleep 1
else
    echo "no notification area: trayer is not installed (apt-get install trayer)" >&2
fi

# The peers' settings: one memory meter each, nothing else.
# GKrellM: every other monitor off, one update a second (the slowest it allows).
mkdir -p "$HOME/.gkrellm2"
{
    printf '%s\n' 'enable_hostname 0' 'update_HZ 1' 'cpu enabled cpu 0' 'proc enable 0 0' \
        'disk assign_method 2' 'disk device Disk 0 0 0 0 1 0 0 Disk' \
        'net net_enabled_as_default 0' 'net timer_enabled 0' 'net timer_iface none' \
        'meminfo mem_meter 1 0 0' 'meminfo swap_meter 0 0' 'clock_cal clock_options 0' \
        'clock_cal cal_options 0' 'mail enable 0 0 0 0' 'battery enable 0' 'uptime enable 0'
    for c in $(seq 0 $(($(nproc) - 1))); do echo "cpu enabled cpu$c 0"; done
} >"$HOME/.gkrellm2/user-config"
# Conky: one line, the percentage and a bar, in a window of its own.
cat >"$WORK/conky.conf" <<'EOF'
conky.config = {
    out_to_x = true, out_to_console = false,
    own_window = true, own_window_type = 'normal', own_window_class = 'Conky',
    double_buffer = true, background = false, use_xft = false, font = 'fixed',
    update_interval = 1.5, total_run_times = 0,
    alignment = 'top_left', gap_x = 0, gap_y = 200, minimum_width = 177, maximum_width = 177,
};
conky.text = [[RAM ${memperc}% ${membar 8,120}]];
EOF

NAMES=(vantrel vantrel-gnome minimal-qt-bar minimal-qt-bar-gnome)
LABELS=("Vantrel" "Vantrel, XDG_CURRENT_DESKTOP=GNOME" "minimal Qt 6 bar with a tray icon (1.5 s)"
    "minimal Qt 6 bar, XDG_CURRENT_DESKTOP=GNOME")
BAR=$PWD/build-bench/bench/minimal_bar
COMMANDS=("$PWD/build-bench/vantrel" "env XDG_CURRENT_DESKTOP=GNOME $PWD/build-bench/vantrel"
    "$BAR --tray" "env XDG_CURRENT_DESKTOP=GNOME $BAR --tray")
add_peer() { # name label package command...
    local name=$1 label=$2 package=$3
    shift 3
    if ! command -v "$1" >/dev/null; then
        echo "leaving out $name: not installed (apt-get install $package)" >&2
        return 0
    fi
    NAMES+=("$name")
    LABELS+=("$label")
    COMMANDS+=("$*")
}
add_peer xosview "xosview (memory meter only; it wakes every 0.1 s)" xosview \
    xosview -cpu -load -swap -page -net -disk -int -irqrate -battery -gfx -wireless +mem \
    -xrm 'xosview*memPriority:15' -geometry +0+300
add_peer gkrellm "GKrellM (memory meter only, 1 s, its minimum)" gkrellm gkrellm -g +300+0
add_peer conky "Conky (one memory bar, 1.5 s)" conky-std conky -c "$WORK/conky.conf"
for extra in "$@"; do
    NAMES+=("${extra%%=*}")
    LABELS+=("${extra%%=*}")
    COMMANDS+=("${extra#*=}")
done

# CPU nanoseconds and voluntary context switches of a process, all threads.
cpu_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{s+=$1} END{print s+0}'; }
wakeups() { cat /proc/"$1"/task/*/status 2>/dev/null | awk '/^voluntary_ctxt_switches/{s+=$2} END{print s+0}'; }
rss_kb() { awk '/^VmRSS/{print $2}' /proc/"$1"/status; }
private_kb() { awk '/^Anonymous:/{print $2}' /proc/"$1"/smaps_rollup; }
gtk_libs() { awk '$6 ~ /gtk/ {n=split($6, p, "/"); print p[n]}' /proc/"$1"/maps | sort -u | tr '\n' ' '; }

# Opens and closes Vantrel's three other windows once, as a user would: the preferences dialog
# (Ctrl+P), the about box (the first command of the bar's menu) and the details window (Ctrl+I),
# each closed the way a window manager's close button does. False when one did not open.
open_windows() { # pid
    local pid=$1 bar="" id x y name
    for id in $(xdotool search --onlyvisible --pid "$pid" 2>/dev/null); do
        [ "$(xdotool getwindowgeometry --shell "$id" | awk -F= '/^WIDTH=/{w=$2} /^HEIGHT=/{h=$2} END{print w "x" h}')" = 177x21 ] && bar=$id
    done
    [ -n "$bar" ] || return 1
    read -r x y < <(xdotool getwindowgeometry --shell "$bar" | awk -F= '/^X=/{x=$2} /^Y=/{y=$2} END{print x, y}')
    shown() { xdotool search --all --onlyvisible --pid "$pid" --name "^$1\$" 2>/dev/null | head -1; }
    close_window() { # title
        local id="" i
        for i in $(seq 100); do
            id=$(shown "$1")
            [ -n "$id" ] && break
            sleep 0.1
        done
        [ -n "$id" ] || { echo "no window \"$1\"" >&2; return 1; }
        sleep 0.5
        # Asked again when the first request found the window not yet ready for it.
        for i in $(seq 50); do
            [ $((i % 10)) = 1 ] && ./build-bench/bench/closewindow "$id"
            sleep 0.1
            [ -z "$(shown "$1")" ] && return 0
        done
        echo "\"$1\" did not close" >&2
        return 1
    }
    # Several bars may lie on one another: this one goes on top and takes the keyboard.
    xdotool windowraise "$bar" windowfocus --sync "$bar" key ctrl+p
    close_window "Vantrel Preferences..." || return 1
    xdotool windowraise "$bar" mousemove $((x + 100)) $((y + 10)) click 3 sleep 0.5 key Down Return
    close_window "About Vantrel..." || return 1
    xdotool windowraise "$bar" windowfocus --sync "$bar" key ctrl+i
    close_window "Memory Details" || return 1
}

# Starts program i, waits for its first window, stops it and waits until it is gone; prints the
# milliseconds to the window (nothing when it showed none).
start_stop() {
    local argv ms pid
    read -ra argv <<<"${COMMANDS[$1]}"
    read -r ms pid < <(./build-bench/bench/mapwait "${argv[@]}" 2>>"$WORK/${NAMES[$1]}.log") || return 0
    sleep 0.3
    kill "$pid" 2>/dev/null || true
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$pid" 2>/dev/null || true
    echo "$ms"
}

echo "warming up, then $ROUNDS rounds of $((RSS_AFTER + CPU_SECONDS)) s: ${NAMES[*]}" >&2
for i in "${!NAMES[@]}"; do start_stop "$i" >/dev/null; done
for round in $(seq "$ROUNDS"); do
    order=$(seq 0 $((${#NAMES[@]} - 1)))
    [ $((round % 2)) = 0 ] && order=$(echo "$order" | tac)
    for _ in $(seq "$STARTS"); do
        for i in $order; do
            ms=$(start_stop "$i")
            [ -z "$ms" ] || echo "${NAMES[$i]} startup_ms $ms" >>"$WORK/samples"
        done
    done
    declare -A PID=()
    for i in $order; do
        read -ra argv <<<"${COMMANDS[$i]}"
        if ! read -r ms pid < <(./build-bench/bench/mapwait "${argv[@]}" 2>>"$WORK/${NAMES[$i]}.log"); then
            echo "${NAMES[$i]} showed no window:" >&2
            cat "$WORK/${NAMES[$i]}.log" >&2
            continue
        fi
        PIDS+=("$pid")
        PID[$i]=$pid
        echo "${NAMES[$i]} startup_ms $ms" >>"$WORK/samples"
        sleep 1
    done
    sleep "$RSS_AFTER"
    declare -A CPU0=() WAKE0=()
    for i in "${!PID[@]}"; do
        p=${PID[$i]}
        echo "${NAMES[$i]} resident_mb $(awk "BEGIN{print $(rss_kb "$p")/1024}")" >>"$WORK/samples"
        echo "${NAMES[$i]} private_kb $(private_kb "$p")" >>"$WORK/samples"
        echo "${NAMES[$i]} $(gtk_libs "$p")" >>"$WORK/gtk"
        CPU0[$i]=$(cpu_ns "$p")
        WAKE0[$i]=$(wakeups "$p")
    done
    sleep "$CPU_SECONDS"
    for i in "${!PID[@]}"; do
        p=${PID[$i]}
        cpu=$(($(cpu_ns "$p") - CPU0[$i]))
        wake=$(($(wakeups "$p") - WAKE0[$i]))
        echo "${NAMES[$i]} cpu_ms_per_min $(awk "BEGIN{print $cpu/1e6*60/$CPU_SECONDS}")" >>"$WORK/samples"
        echo "${NAMES[$i]} wakeups_per_min $(awk "BEGIN{print $wake*60/$CPU_SECONDS}")" >>"$WORK/samples"
    done
    # Vantrel's other windows, once each, then the memory they left behind.
    for i in "${!PID[@]}"; do
        p=${PID[$i]}
        [[ ${NAMES[$i]} == vantrel* ]] && command -v xdotool >/dev/null || continue
        before=$(private_kb "$p")
        if open_windows "$p"; then
            sleep 5
            echo "${NAMES[$i]} windows_kb $(($(private_kb "$p") - before))" >>"$WORK/samples"
        else
            echo "${NAMES[$i]}: a window did not open or close" >&2
        fi
    done
    for i in "${!PID[@]}"; do kill "${PID[$i]}" 2>/dev/null || true; done
    sleep 1
    echo "round $round done" >&2
done

METRICS=(startup_ms resident_mb private_kb windows_kb cpu_ms_per_min wakeups_per_min)
median() { # name metric
    awk -v n="$1" -v m="$2" '$1==n && $2==m {print $3}' "$WORK/samples" | sort -g |
        awk '{v[NR]=$1} END{ if (NR==0) exit; print (NR%2) ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2 }'
}

printf '| program | start-up ms | resident MB | private kB | + kB after the windows | CPU ms/min | wake-ups/min |\n'
printf '|---|---|---|---|---|---|---|\n'
for i in "${!NAMES[@]}"; do
    row="| ${LABELS[$i]}"
    for metric in "${METRICS[@]}"; do
        format="%.1f (%.1f-%.1f)"
        [[ $metric == *_kb ]] && format="%.0f (%.0f-%.0f)"
        row+=" | $(awk -v n="${NAMES[$i]}" -v m="$metric" '$1==n && $2==m {print $3}' "$WORK/samples" | sort -g |
            awk -v f="$format" '{v[NR]=$1} END{ if (NR==0) {print "-"; exit}
                 med = (NR%2) ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2;
                 printf f, med, v[1], v[NR] }')"
    done
    echo "$row |"
done
echo
echo "Medians of $ROUNDS rounds ($((STARTS + 1)) start-ups a round), spread (min-max) in brackets;" \
    "resident and private (anonymous resident) memory after ${RSS_AFTER} s, CPU time and wake-ups" \
    "(voluntary context switches) over the next ${CPU_SECONDS} s; then how much more private" \
    "memory Vantrel holds 5 s after its three other windows were opened and closed once."
echo
echo "GTK libraries mapped:"
for name in "${NAMES[@]}"; do
    libs=$(awk -v n="$name" '$1==n {for (i=2; i<=NF; i++) print $i}' "$WORK/gtk" 2>/dev/null | sort -u | tr '\n' ' ')
    echo "- $name: ${libs:-none}"
done

# Vantrel's goals: below every other monitor in CPU time and wake-ups; private memory at most
# 2,350 kB and below GKrellM's, Conky's and the minimal Qt bar's; at most 600 kB more after the
# three windows; start-up within 1.0 times and resident memory within 1.25 times the minimal bar.
echo
echo "Goals:"
goal() { # description, then an awk condition over a and b, a, b
    local verdict=missed
    [ -n "$3" ] && [ -n "$4" ] && awk -v a="$3" -v b="$4" "BEGIN{exit !($2)}" && verdict=met
    [ -n "$3" ] && [ -n "$4" ] || verdict="not measured"
    printf -- '- %s: %s (%s against %s)\n' "$1" "$verdict" "${3:-?}" "${4:-?}"
}
for me in vantrel vantrel-gnome; do
    for peer in xosview gkrellm conky; do
        [[ " ${NAMES[*]} " == *" $peer "* ]] || continue
        goal "$me CPU ms/min below $peer" "a < b" "$(median $me cpu_ms_per_min)" "$(median $peer cpu_ms_per_min)"
        goal "$me wake-ups/min below $peer" "a < b" "$(median $me wakeups_per_min)" "$(median $peer wakeups_per_min)"
        [ "$peer" = xosview ] ||
            goal "$me private kB below $peer" "a < b" "$(median $me private_kb)" "$(median $peer private_kb)"
    done
    goal "$me private kB at most 2350" "a <= b" "$(median $me private_kb)" 2350
    goal "$me private kB below minimal-qt-bar" "a < b" "$(median $me private_kb)" "$(median minimal-qt-bar private_kb)"
    goal "$me private kB after the three windows at most 600 more" "a <= b" "$(median $me windows_kb)" 600
    goal "$me start-up within 1.0 x minimal-qt-bar" "a <= b" "$(median $me startup_ms)" "$(median minimal-qt-bar startup_ms)"
    goal "$me resident MB within 1.25 x minimal-qt-bar" "a <= 1.25 * b" "$(median $me resident_mb)" "$(median minimal-qt-bar resident_mb)"
done
