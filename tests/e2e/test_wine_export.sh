#!/usr/bin/env bash
# Settings exported on Windows: values imported into Wine's registry and exported again by its
# regedit (UTF-16, "Windows Registry Editor Version 5.00", CRLF), used as the settings file. The
# bar takes every value, and Ctrl+Q, with nothing changed, writes the very same bytes back.
set -uo pipefail
. "$(dirname "$0")/lib.sh"
e2e_init "$1"
wine=$(command -v wine || command -v wine64 || ls /usr/lib/wine/wine64 2>/dev/null) ||
    e2e_skip "wine64 is not installed"
export WINEPREFIX=$E2E_TMP/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
stop_wineserver() { WINEPREFIX=$WINEPREFIX wineserver -k 2>/dev/null || true; }

key='HKEY_CURRENT_USER\Software\Quillmoor\Vantrel'
# In Windows-1252, as a REGEDIT4 file written on Windows holds it.
printf 'REGEDIT4\r\n\r\n[%s]\r\n"Top"="300"\r\n"Left"="123"\r\n"Aot"="1"\r\n"TimerDelay"="700"\r\n"NoMove"="1"\r\n"BarPos"="3"\r\n"FixPos"="0"\r\n"Scheme"="Caf\xe9"\r\n"Dir"="C:\\\\Users\\\\Jos\xe9\\\\skins\\\\"\r\n"BarTip"="1"\r\n\r\n' \
    "$key" >"$E2E_TMP/in.reg"
# A new prefix starts slowly; both steps are bounded.
timeout 240 "$wine" regedit /S "$E2E_TMP/in.reg" >"$E2E_TMP/wine.log" 2>&1 ||
    { stop_wineserver; e2e_fail "regedit /S failed: $(cat "$E2E_TMP/wine.log")"; }
timeout 120 "$wine" regedit /E "$E2E_TMP/out.reg" "$key" >>"$E2E_TMP/wine.log" 2>&1 ||
    { stop_wineserver; e2e_fail "regedit /E failed: $(cat "$E2E_TMP/wine.log")"; }
stop_wineserver
[ "$(head -c 2 "$E2E_TMP/out.reg" | od -An -tx1 | tr -d ' ')" = fffe ] ||
    e2e_fail "Wine's export is not UTF-16 with a byte-order mark"
iconv -f UTF-16 -t UTF-8 "$E2E_TMP/out.reg" | grep -q 'Windows Registry Editor Version 5.00' ||
    e2e_fail "Wine's export has another header"

store=$(e2e_store)
mkdir -p "$(dirname "$store")"
cp "$E2E_TMP/out.reg" "$store"

e2e_start_vantrel
window=$(e2e_window_of "$APP") || e2e_fail "the bar did not appear"
e2e_expect_eq "position from the export" "123 300" "$(e2e_window_pos "$window")"
xprop -id "$window" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE ||
    e2e_fail "Aot from the export did not keep the bar above"
e2e_quit "$window" "$APP"
cmp "$E2E_TMP/out.reg" "$store" || e2e_fail "the file written back differs from Wine's export"
[ -e "$store.damaged" ] && e2e_fail "the export was taken for a damaged file"
echo "ok: Wine's export read and written back byte for byte"
