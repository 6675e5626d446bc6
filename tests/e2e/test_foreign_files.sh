#!/usr/bin/env bash
# Files made elsewhere, used as a user would: a scheme drawn with ImageMagick (run-length coded
# bitmaps, the 177-pixel back coded to 180), a TextColor.txt ending in a Linux line feed, in a
# folder named in a Windows-1252 settings file written on Windows. The bar and the details window
# wear the scheme with no error, and Ctrl+Q writes the settings file back byte for byte.
set -uo pipefail
. "$(dirname "$0")/lib.sh"
e2e_init "$1"
e2e_need convert import iconv

skins="$E2E_TMP/skins"
scheme="$skins/Café" # UTF-8 on disk
mkdir -p "$scheme"
convert -size 177x21 xc:#808000 -type palette -compress RLE "BMP3:$scheme/back.bmp"
convert -size 81x13 xc:#0000FF -type palette -compress RLE "BMP3:$scheme/bar.bmp"
convert -size 177x73 xc:#203040 -type palette -compress RLE "BMP3:$scheme/details.bmp"
printf 'clLime\n' >"$scheme/TextColor.txt"

# The settings, in Windows-1252 with CRLF, the folder in its Windows form.
store=$(e2e_store)
mkdir -p "$(dirname "$store")"
dir="c:$(printf '%s' "$skins/" | sed 's|/|\\\\|g')"
printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Quillmoor\\Vantrel]\r\n"Top"="100"\r\n"Left"="200"\r\n"Aot"="0"\r\n"TimerDelay"="1500"\r\n"NoMove"="0"\r\n"BarPos"="1"\r\n"FixPos"="0"\r\n"Scheme"="Café"\r\n"Dir"="%s"\r\n"BarTip"="0"\r\n\r\n' "$dir" |
    iconv -f UTF-8 -t WINDOWS-1252 >"$store"
cp "$store" "$E2E_TMP/written-on-windows.reg"

e2e_start_vantrel
window=$(e2e_window_of "$APP") || e2e_fail "the bar did not appear"
# Only one window: no error box.
one_window() { [ "$(e2e_windows_of "$APP" | wc -l)" = 1 ]; }
e2e_holds 0.5 one_window || e2e_fail "windows shown: $(e2e_windows_of "$APP" | wc -l), not 1"
e2e_expect_eq "position" "200 100" "$(e2e_window_pos "$window")"
e2e_wait 5 e2e_pixel_is 205 110 "#808000" || e2e_fail "background: $(e2e_pixel 205 110)"
e2e_expect_eq "start of the bar" "#0000FF" "$(e2e_pixel 216 110)"

# Show Details: the scheme's face, and text in the colour of the line-feed-ended file.
details=
for _ in 1 2 3; do # a key pressed while a busy machine is still mapping the bar may be lost
    xdotool windowfocus --sync "$window" 2>/dev/null || true
    xdotool key --clearmodifiers ctrl+i
    details=$(e2e_window_of "$APP" "Memory Details") && break
done
[ -n "$details" ] || e2e_fail "no details window"
e2e_expect_eq "details position" "200 121" "$(e2e_window_pos "$details")"
e2e_wait 3 e2e_pixel_is 370 187 "#203040" || true
e2e_expect_eq "details face" "#203040" "$(e2e_pixel 370 187)"
lime=$(import -window root -depth 8 -crop 177x73+200+121 +repage txt:- 2>/dev/null | grep -ci '#00FF00')
[ "$lime" -ge 20 ] || e2e_fail "details text: $lime pixels in lime"

e2e_quit "$window" "$APP"
cmp "$E2E_TMP/written-on-windows.reg" "$store" || e2e_fail "the settings file changed at Ctrl+Q"
echo "ok: tool-made scheme, line-feed colour and Windows-1252 settings"
