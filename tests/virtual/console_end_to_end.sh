#!/usr/bin/env bash
# Starts the real console on a private X display with the virtual adapter found by the library
# search, with Qt options on its command line that it must ignore, checks that its window has a
# task-bar entry of its own, presses OPEN with a real click, checks the frames on the virtual wire,
# sets a level by typing, ends the console by a close command or a signal and checks that output
# stops and the console exits with 0.
#
# usage: console_end_to_end.sh CONSOLE ADAPTER_DIR MONITOR CLOSE_BY
#   CLOSE_BY is "system-menu" (the system menu's stand-in, which holds no Close, then Alt+X), "exit"
#   (Alt+X) or "sigterm" (kill -TERM, which the console answers as its close command)
# Exits 77 (skipped) when Xvfb, xdotool or xprop is missing.
set -uo pipefail

console=$1 adapter_dir=$2 monitor=$3 close_by=$4
segment="/lumora-e2e-$$-$close_by"
work=$(mktemp -d)
xvfb_pid="" console_pid=""

cleanup() {
  [ -n "$console_pid" ] && kill -KILL "$console_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  rm -f "/dev/shm${segment}"
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

fail() {
  echo "FAIL: $*"
  if [ -s "$work/console.log" ]; then
    echo "--- console output"
    cat "$work/console.log"
  fi
  exit 1
}

for tool in Xvfb xdotool xprop; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIP: $tool is not installed (tools/install-deps.sh installs it)"
    exit 77
  fi
done

# One line of key=value fields from the monitor; field NAME prints one value of it.
summary() { "$monitor" --once --segment "$segment"; }
field() { sed -n "s/.* $1=\([^ ]*\).*/\1/p" <<<" $2"; }

# Polls until the summary satisfies a condition on its fields or the deadline (seconds) passes.
wait_for() {
  local deadline=$(( SECONDS + $1 )) condition=$2
  while (( SECONDS < deadline )); do
    line=$(summary) || true
    if eval "$condition"; then
      return 0
    fi
    sleep 0.1
  done
  return 1
}

# Xvfb chooses a free display and writes its number once it accepts clients.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
[ -s "$work/display" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=":$(head -n1 "$work/display")"

# The console's own start-up choice finds the virtual adapter through LD_LIBRARY_PATH. It takes no
# command line: were Qt's options honoured, -platform offscreen would leave no window on the display.
LD_LIBRARY_PATH="$adapter_dir${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}" QT_QPA_PLATFORM=xcb \
  LUMORA_VIRTUAL_WIRE="$segment" "$console" -platform offscreen -reverse -style windows \
  >"$work/console.log" 2>&1 &
console_pid=$!

window=$(timeout 20 xdotool search --sync --name '^Lumora DMX$' | head -n1)
[ -n "$window" ] || fail "no window named Lumora DMX"
# Its own task-bar entry: to the window manager a normal window, transient for no other.
properties=$(xprop -id "$window" WM_TRANSIENT_FOR _NET_WM_WINDOW_TYPE _MOTIF_WM_HINTS)
# The Motif functions 0x26: move, resize and close, the close box of the system menu.
grep -q '^_MOTIF_WM_HINTS(_MOTIF_WM_HINTS) = 0x[0-9a-f]*, 0x26,' <<<"$properties" || fail "no close: $properties"
grep -q '^WM_TRANSIENT_FOR:  not found' <<<"$properties" || fail "the window is transient: $properties"
grep -q '^_NET_WM_WINDOW_TYPE(ATOM) = _NET_WM_WINDOW_TYPE_NORMAL$' <<<"$properties" ||
  fail "the window is not of the normal type: $properties"
wait_for 5 '[ "$(field state "$line")" = running ]' ||
  fail "the console did not load the virtual adapter (a missing-device box would be up now): $line"
[ "$(field frames "$line")" = 0 ] && [ "$(field open "$line")" = 0 ] || fail "output before OPEN: $line"

# OPEN is at dialog units (6, 11) size 54x28, that is pixels (12, 18)-(120, 63); click its middle.
timeout 10 xdotool mousemove --window "$window" 66 40 click 1
wait_for 10 '[ "$(field frames "$line")" -ge 20 ] 2>/dev/null' || fail "no frames after OPEN: $line"
echo "after OPEN: $line"
[ "$(field start "$line")" = 0 ] || fail "start code: $line"
[ "$(field slots "$line")" = 512 ] || fail "slot count: $line"
[ "$(field irregular "$line")" = 0 ] || fail "irregular frames: $line"
[ "$(field open "$line")" = 1 ] || fail "adapter not open: $line"
[ "$(field break_us "$line")" -gt 0 ] && [ "$(field mab_us "$line")" -gt 0 ] || fail "break/MAB: $line"
awk -v fps="$(field fps "$line")" 'BEGIN { exit !(fps > 10 && fps < 33) }' ||
  fail "frame rate outside 10..33 per second for a 30 ms pause plus 23 ms of line time: $line"

# Strip 0's edit box is at dialog units (21, 154) size 15x14: pixels (42, 231)-(72, 252).
timeout 10 xdotool mousemove --window "$window" 57 241 click 1 key ctrl+a type 200
wait_for 5 '[ "$(field lit "$line")" = 0:200 ]' || fail "typed level 200 on channel 0 not on the wire: $line"
echo "after typing 200: $line"

frames_before_close=$(field frames "$line")
close_started=$(date +%s%N)
case $close_by in
  system-menu)
    # The stand-in for the system menu opens on the dialog's free area, here below the faders at
    # dialog units (230, 185). It holds no Close: the key that chose Close once leaves the console
    # running, and Esc closes the menu.
    timeout 10 xdotool mousemove --window "$window" 460 277 click 3
    sleep 0.5
    timeout 10 xdotool key c
    sleep 0.5
    kill -0 "$console_pid" 2>/dev/null || fail "the system menu ended the console"
    timeout 10 xdotool key Escape
    timeout 10 xdotool windowfocus --sync "$window" key alt+x
    ;;
  exit)
    timeout 10 xdotool windowfocus --sync "$window" key alt+x
    ;;
  sigterm)
    kill -TERM "$console_pid"
    ;;
  *) fail "unknown way to close: $close_by" ;;
esac

for _ in $(seq 100); do
  kill -0 "$console_pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$console_pid" 2>/dev/null && fail "the console is still running 10 s after $close_by"
wait "$console_pid"
status=$?
close_ms=$(( ($(date +%s%N) - close_started) / 1000000 ))
console_pid=""
[ "$status" = 0 ] || fail "the console exited with $status"
echo "ended ${close_ms} ms after $close_by"
# A signal is answered at once: the port waits for one frame (about 53 ms) and the process exits.
if [ "$close_by" = sigterm ] && [ "$close_ms" -gt 2000 ]; then
  fail "the console took ${close_ms} ms to end after SIGTERM"
fi

line=$(summary)
echo "after close: $line"
[ "$(field open "$line")" = 0 ] || fail "the adapter was left open: $line"
[ "$(field state "$line")" = ended ] || fail "state: $line"
# Every frame the monitor saw completed is whole. Only a following break completes a frame, so the
# last one before the close is checked on the simulated adapter's call record by the app tests.
[ "$(field irregular "$line")" = 0 ] && [ "$(field start "$line")" = 0 ] &&
  [ "$(field slots "$line")" = 512 ] || fail "the last frames are not whole: $line"
frames_after=$(field frames "$line")
[ "$frames_after" -ge "$frames_before_close" ] || fail "frame count went back: $line"
sleep 0.5
[ "$(field frames "$(summary)")" = "$frames_after" ] || fail "frames still arriving after the console ended"
echo "PASS: closed by $close_by, $frames_after frames"
