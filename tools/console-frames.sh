#!/usr/bin/env bash
# console-frames.sh CONSOLE GEOMETRY DECODER [exit|close|session-end|sigterm|close-button]
# Runs the console on a private X display (Xvfb) with the stand-in D2XX library and works it as an
# operator would: types 200 into channel 0's box, clicks OPEN, waits for frames, and ends it with
# EXIT. On Windows it may instead close the window with Alt+F4, which Windows turns into the close
# box's command (SC_CLOSE; Xvfb has no window manager to draw the box), or end Wine's session,
# which sends WM_QUERYENDSESSION and WM_ENDSESSION to its window. On Linux it may end it with
# SIGTERM, or click CLOSE, wait for the adapter's close and then click EXIT. With
# LUMORA_STAND_IN_STALL_WRITES_FROM set, it ends the console only once a write has stalled. It tells
# on standard error how long the console took to end (or, for CLOSE, to close the adapter). Prints
# the record the stand-in
# kept, decoded by DECODER (d2xx_record_frames), after checking that the console showed its window,
# sent frames, closed the adapter last and exited with 0.
#
# A CONSOLE ending in .exe runs under Wine (WINEPREFIX) with the windows platform plugin, from a copy
# of its folder with the stand-in FTD2XX.dll (STAND_IN) beside it; otherwise with the xcb plugin and
# the stand-in libftd2xx.so found through LD_LIBRARY_PATH (STAND_IN's folder). GEOMETRY is what
# console_screenshot printed on the same system: where the controls are, in pixels.
set -uo pipefail

console=$1 geometry=$2 decoder=$3 end_by=${4:-exit}
work=$(mktemp -d)
xvfb_pid="" console_pid=""
cleanup() {
  [ -n "$console_pid" ] && kill -KILL "$console_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  [ -s "$work/console.log" ] && sed 's/^/console: /' "$work/console.log" >&2
  exit 1
}

# The middle of a control, in pixels of the window's client area: "x y".
middle() {
  awk -v id="$1" '$1 == id && $2 == "pixels" { print int($3 + $5 / 2), int($4 + $6 / 2) }' "$geometry"
}
read -r open_x open_y < <(middle 1002)
read -r box_x box_y < <(middle 1010)
read -r exit_x exit_y < <(middle 2)
read -r close_x close_y < <(middle 1003)
[ -n "${exit_y:-}" ] || fail "OPEN, channel 0's box or EXIT missing from $geometry"

Xvfb -displayfd 3 -screen 0 1280x800x24 -dpi 96 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
[ -s "$work/display" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=":$(head -n1 "$work/display")"

record=$work/record.txt
started=$(date +%s%N)
if [[ $console == *.exe ]]; then
  mkdir "$work/app"
  cp -r "$(dirname "$console")"/{*.exe,*.dll,platforms,styles,translations} "$work/app/"
  cp "$STAND_IN" "$work/app/FTD2XX.dll"
  WINEDEBUG=-all LUMORA_STAND_IN_RECORD=$record \
    wine "$work/app/$(basename "$console")" >"$work/console.log" 2>&1 &
else
  LD_LIBRARY_PATH="$(dirname "$STAND_IN")" QT_QPA_PLATFORM=xcb LUMORA_STAND_IN_RECORD=$record \
    "$console" >"$work/console.log" 2>&1 &
fi
console_pid=$!

# Wine's start on a busy machine can take half a minute.
window=$(timeout 90 xdotool search --sync --name '^Lumora DMX$' | head -n1)
[ -n "$window" ] || fail "no window named Lumora DMX"
echo "window after $(( ($(date +%s%N) - started) / 1000000 )) ms" >&2
sleep 1
timeout 10 xdotool mousemove --window "$window" "$box_x" "$box_y" click 1 key ctrl+a type 200
timeout 10 xdotool mousemove --window "$window" "$open_x" "$open_y" click 1
for _ in $(seq 300); do
  [ "$(grep -c '^FT_SetBreakOn' "$record" 2>/dev/null)" -ge 20 ] && break
  sleep 0.1
done
[ "$(grep -c '^FT_SetBreakOn' "$record" 2>/dev/null)" -ge 20 ] || fail "fewer than 20 frames 30 s after OPEN"
if [ -n "${LUMORA_STAND_IN_STALL_WRITES_FROM:-}" ]; then
  for _ in $(seq 300); do
    grep -q '^stalled FT_Write' "$record" && break
    sleep 0.1
  done
  grep -q '^stalled FT_Write' "$record" || fail "no write stalled"
fi
asked=$(date +%s%N)

case $end_by in
  exit) timeout 10 xdotool mousemove --window "$window" "$exit_x" "$exit_y" click 1 ;;
  close) timeout 10 xdotool key alt+F4 ;;
  session-end) wine wineboot --end-session >/dev/null 2>&1 ;;
  sigterm) kill -TERM "$console_pid" ;;
  close-button)
    timeout 10 xdotool mousemove --window "$window" "$close_x" "$close_y" click 1
    for _ in $(seq 300); do
      grep -q '^FT_Close h2' "$record" && break
      sleep 0.01
    done
    echo "adapter closed $(( ($(date +%s%N) - asked) / 1000000 )) ms after CLOSE" >&2
    timeout 10 xdotool mousemove --window "$window" "$exit_x" "$exit_y" click 1
    ;;
  *) fail "unknown way to end: $end_by" ;;
esac
for _ in $(seq 1500); do
  kill -0 "$console_pid" 2>/dev/null || break
  sleep 0.02
done
kill -0 "$console_pid" 2>/dev/null && fail "the console is still running 30 s after $end_by"
echo "ended $(( ($(date +%s%N) - asked) / 1000000 )) ms after $end_by" >&2
wait "$console_pid"
status=$?
console_pid=""
[ "$status" = 0 ] || [ "$end_by" = session-end ] || fail "the console exited with $status"
[ "$(tail -n1 "$record" | tr -d '\r')" = "FT_Close h2" ] || fail "the adapter was not closed last: $(tail -n1 "$record" | cut -c1-40)"
"$decoder" "$record"
