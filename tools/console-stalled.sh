#!/usr/bin/env bash
# console-stalled.sh CONSOLE GEOMETRY STAND_IN DECODER END_BY
# Runs the console (tools/console-frames.sh) on the stand-in D2XX library with every write from the
# 21st frame on hanging, as on an adapter that stops taking data, ends it by END_BY (exit, sigterm or
# close-button) and tells how long that took. Fails unless it ended well within the minute a write
# would hang, the timeouts were set once for the one open, and no cycle wrote again after a write
# gave up. GEOMETRY tells where the controls are: a file console_screenshot wrote, or that program.
set -uo pipefail
console=$1 geometry=$2 decoder=$4 end_by=$5
command -v xvfb-run >/dev/null && command -v xdotool >/dev/null || { echo "SKIP: no Xvfb or xdotool"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
if [ -x "$geometry" ]; then
  QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x800x24 -dpi 96" "$geometry" "$work/shot.png" >"$work/geometry"
else
  cp "$geometry" "$work/geometry"
fi
STAND_IN=$3 LUMORA_STAND_IN_STALL_WRITES_FROM=41 "$(dirname "$0")/console-frames.sh" \
  "$console" "$work/geometry" "$decoder" "$end_by" >"$work/record" 2>"$work/log"
status=$?
cat "$work/log"
[ "$status" = 0 ] || fail "console-frames.sh failed"
opens=$(grep -c '^FT_Open 2$' "$work/record") timeouts=$(grep -c '^FT_SetTimeouts h2 500 500$' "$work/record")
[ "$opens" = 1 ] && [ "$timeouts" = 1 ] || fail "$opens opens, $timeouts timeout calls"
grep -A1 '^gave up FT_Write' "$work/record" | grep -q '^stalled FT_Write' && fail "a cycle wrote on after a write gave up"
ended=$(sed -n 's/^ended \([0-9]*\) ms after.*/\1/p' "$work/log")
[ "${ended:-99999}" -lt 10000 ] || fail "ended ${ended:-never} ms after $end_by"
