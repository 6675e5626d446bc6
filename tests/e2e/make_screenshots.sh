#!/usr/bin/env bash
# Makes the README's pictures with the end-to-end harness: the bar with the details window open.
#   tests/e2e/make_screenshots.sh build/vantrel
source "$(dirname "$0")/lib.sh"
OUT=$(cd "$(dirname "$0")/../.." && pwd)/docs
mkdir -p "$OUT"

start_x
fake_meminfo 16384000 6553600
start_vantrel
bar=$(wait_window 177x21)
xdotool windowmove "$bar" 20 20
xdotool windowfocus "$bar"
xdotool key --clearmodifiers ctrl+i
wait_window 177x73 >/dev/null
sleep 0.5
screenshot
convert "$E2E_TMP/screen.png" -crop 217x114+0+0 +repage "$OUT/vantrel.png"
echo "wrote $OUT/vantrel.png"
