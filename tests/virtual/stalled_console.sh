#!/usr/bin/env bash
# The real console on the stand-in D2XX library, whose writes stop returning after 20 frames as on
# an adapter that stops taking data: ended by END_BY (exit, sigterm or close-button), it ends well
# within the minute a write would hang, and the record shows the timeouts set once per open.
# usage: stalled_console.sh CONSOLE SCREENSHOT STAND_IN DECODER END_BY
set -uo pipefail
console=$1 screenshot=$2 decoder=$4 end_by=$5
command -v xvfb-run >/dev/null && command -v xdotool >/dev/null || { echo "SKIP: no Xvfb or xdotool"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x800x24 -dpi 96" "$screenshot" "$work/shot.png" >"$work/geometry"
STAND_IN=$3 LUMORA_STAND_IN_STALL_WRITES_FROM=41 "$(dirname "$0")/../../tools/console-frames.sh" \
  "$console" "$work/geometry" "$decoder" "$end_by" >"$work/record" 2>"$work/log"
status=$?
cat "$work/log"
[ "$status" = 0 ] || exit 1
opens=$(grep -c '^FT_Open 2$' "$work/record") timeouts=$(grep -c '^FT_SetTimeouts h2 500 500$' "$work/record")
[ "$opens" = 1 ] && [ "$timeouts" = 1 ] || { echo "FAIL: $opens opens, $timeouts timeout calls"; exit 1; }
ended=$(sed -n 's/^ended \([0-9]*\) ms after.*/\1/p' "$work/log")
[ "$ended" -lt 10000 ] || { echo "FAIL: ended $ended ms after $end_by"; exit 1; }
