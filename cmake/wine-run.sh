#!/usr/bin/env bash
# wine-run.sh <prefix> <program.exe> [arguments...]: runs a Windows program under Wine in a private
# prefix, without a display and without Wine's own diagnostics, and returns the program's status.
set -euo pipefail
export WINEPREFIX=$1
shift
export WINEDEBUG=-all
# No display: a program that tried to open a window would fail instead of waiting for a server.
unset DISPLAY WAYLAND_DISPLAY
# Wine offers to install its .NET and HTML engines into a new prefix; tests need neither.
export WINEDLLOVERRIDES="mscoree,mshtml="

# Tests run in parallel; the first to arrive creates the prefix while the others wait for it.
# Wine's server ends a moment after its last program and a program that starts as it ends may fail
# to reach it, so it is kept up for a while after each program instead (exit status 2: already up).
mkdir -p "$(dirname "$WINEPREFIX")"
(
  flock 9
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wine wineboot --init >/dev/null 2>&1
    wineserver --wait
  fi
  wineserver -p30 </dev/null >/dev/null 2>&1 9>&- || true
) 9>"$WINEPREFIX.lock"

exec wine "$@"
