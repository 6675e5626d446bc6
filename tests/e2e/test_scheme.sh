#!/usr/bin/env bash
# A scheme named in the settings dresses the bar and the details window: with a 100-pixel pure
# red bar picture the strip shows exactly LoadPercent red pixels after the start cap, and the
# details window shows the scheme's face in the scheme's text colour. The memory figures are
# pinned with a private /proc/meminfo (a mount namespace; root only).
set -uo pipefail
. "$(dirname "$0")/lib.sh"
e2e_program "$1"
e2e_need xdotool import convert unshare mount
[ "$(id -u)" -eq 0 ] || e2e_skip "pinning /proc/meminfo needs root"

skins="$E2E_TMP/skins"
scheme="$skins/Red"
mkdir -p "$scheme"
bmp() { convert -size "$1" "xc:$2" -type TrueColor "BMP3:$3" || e2e_fail "ImageMagick made no $3"; }
bmp 177x21 '#808080' "$scheme/back.bmp"
bmp 100x13 '#FF0000' "$scheme/bar.bmp"
bmp 3x13 '#00FF00' "$scheme/bbar.bmp"
bmp 5x13 '#0000FF' "$scheme/ebar.bmp"
bmp 177x73 '#203040' "$scheme/details.bmp"
printf 'clLime\r\n' >"$scheme/TextColor.txt"

# Half the memory available: LoadPercent = 100 - 50 + 1 = 51.
meminfo="$E2E_TMP/meminfo"
printf 'MemTotal:        1048576 kB\nMemFree:          100000 kB\nMemAvailable:     524288 kB\n' >"$meminfo"
load=51

# The settings: the schemes folder in the Windows form with the scheme in other letter case,
# and a position that shows the settings were read.
dir="c:$(printf '%s' "$skins/" | sed 's|/|\\\\|g')"
e2e_settings 100 200 "Dir=$dir" Scheme=red

e2e_start_xvfb 1024x768x24
e2e_start_vantrel
pid=$APP
wid=$(e2e_window_of "$pid") || e2e_fail "the bar did not show"
read -r left top < <(e2e_window_pos "$wid")
[ "$left $top" = "200 100" ] || e2e_fail "the settings file was not read (bar at $left,$top)"

# The colours of one screen row from x to x + width - 1, one "#RRGGBB" a line.
row() {
    import -window root -depth 8 -crop "$3x1+$1+$2" +repage txt:- 2>/dev/null |
        grep -o '#[0-9A-Fa-f]\{6\}' | tr 'a-f' 'A-F'
}
y=$((top + 10))
e2e_wait 5 e2e_pixel_is $((left + 19)) "$y" "#FF0000" || true
mapfile -t strip < <(row "$left" "$y" 177)
[ "${#strip[@]}" -eq 177 ] || { echo "FAIL: read ${#strip[@]} pixels of the strip"; exit 1; }

fail=0
reds=0 first=-1 last=-1
for x in "${!strip[@]}"; do
    if [ "${strip[x]}" = "#FF0000" ]; then
        reds=$((reds + 1))
        [ "$first" -lt 0 ] && first=$x
        last=$x
    fi
done
cap=3
echo "red pixels: $reds from x = $first to $last (expected $load from x = $((16 + cap)))"
[ "$reds" -eq "$load" ] || fail=1
[ "$first" -eq $((16 + cap)) ] && [ "$last" -eq $((16 + cap + load - 1)) ] || fail=1
[ "${strip[16]}" = "#00FF00" ] && [ "${strip[18]}" = "#00FF00" ] || { echo "start cap: ${strip[16]}"; fail=1; }
[ "${strip[$((16 + cap + load))]}" = "#0000FF" ] || { echo "end cap: ${strip[$((16 + cap + load))]}"; fail=1; }
[ "${strip[5]}" = "#808080" ] || { echo "background: ${strip[5]}"; fail=1; }

# Show Details: the face and the text colour of the scheme.
xdotool windowfocus --sync "$wid" 2>/dev/null || true
xdotool key --clearmodifiers ctrl+i
details=$(e2e_window_of "$pid" "Memory Details") || e2e_fail "no details window"
read -r dleft dtop < <(e2e_window_pos "$details")
[ "$dleft" -eq "$left" ] && [ "$dtop" -eq $((top + 21)) ] || { echo "details at $dleft,$dtop"; fail=1; }
e2e_wait 3 e2e_pixel_is $((dleft + 170)) $((dtop + 66)) "#203040" || true
face=$(e2e_pixel $((dleft + 170)) $((dtop + 66)))
lime=$(import -window root -depth 8 -crop "177x73+$dleft+$dtop" +repage txt:- 2>/dev/null | grep -ci '#00FF00' || true)
echo "details face $face, $lime pixels in the text colour"
[ "$face" = "#203040" ] || fail=1
[ "$lime" -ge 20 ] || fail=1

[ "$fail" -eq 0 ] && echo "PASS" || echo "FAIL"
exit "$fail"
