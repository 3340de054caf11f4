#!/usr/bin/env bash
# wine-run.sh <prefix> [program.exe [arguments...]]: runs a Windows program under Wine in a private
# prefix, without a display and without Wine's own diagnostics, and returns the program's status.
# Without a program it makes the prefix ready and starts Wine's server and services for good, away
# from the caller's output; `WINEPREFIX=<prefix> wineserver -k` ends them.
set -euo pipefail
export WINEPREFIX=$1
shift
export WINEDEBUG=-all
# No display: a program that tried to open a window would fail instead of waiting for a server.
unset DISPLAY WAYLAND_DISPLAY
# Wine offers to install its .NET and HTML engines into a new prefix; tests need neither.
export WINEDLLOVERRIDES="mscoree,mshtml="

# The console's dialog font "굴림" is Windows' own; in the prefix it stands for the Korean font the
# Linux build draws with, so that layouts are measured with a real Korean font on both. The names
# reach Wine in UTF-8 only with a UTF-8 locale.
replace_dialog_font() {
  local name
  for name in 굴림 Gulim; do
    LC_ALL=C.UTF-8 wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$name" /t REG_SZ \
      /d "Baekmuk Gulim" /f || return 1
  done
}

# Tests run in parallel; the first to arrive makes the prefix while the others wait for it. A prefix
# counts as made only once Wine has finished with it, so one left half-made by a killed run is made
# again, and so is one whose folder was removed behind its mark. Wine's server ends a moment after
# its last program, and a program that starts as it ends may fail to reach it, so it is kept up for a
# while after each program instead (exit status 2: already up).
mkdir -p "$(dirname "$WINEPREFIX")"
(
  flock 9
  if [ ! -f "$WINEPREFIX.ready" ] || [ ! -d "$WINEPREFIX/drive_c" ]; then
    rm -rf "$WINEPREFIX"
    if ! { wine wineboot --init && wineserver --wait && replace_dialog_font && wineserver --wait; } >"$WINEPREFIX.log" 2>&1; then
      echo "Wine could not make its prefix $WINEPREFIX:" >&2
      cat "$WINEPREFIX.log" >&2
      exit 1
    fi
    touch "$WINEPREFIX.ready"
  fi
  if [ $# -eq 0 ]; then
    wineserver -p </dev/null >/dev/null 2>&1 9>&- || true
    wine wineboot </dev/null >/dev/null 2>&1 9>&-
  else
    wineserver -p30 </dev/null >/dev/null 2>&1 9>&- || true
  fi
) 9>"$WINEPREFIX.lock" || exit 1

[ $# -eq 0 ] && exit 0
# Qt's offscreen platform on Windows reads fonts through FreeType from one folder, not from the
# system, so it is given the Korean font's. Wine hands a Unix variable named QT_* to a Windows
# program only when it is written WINEQT_*.
export WINEQT_QPA_FONTDIR=Z:/usr/share/fonts/truetype/baekmuk

# On a busy machine Wine can fail to start the program at all: when its server ends or is ended as
# a program starts, Wine returns 1 without a word, and now and then even 0. Each test program
# creates the file named in LUMORA_STARTED_MARKER as soon as it runs; a run that leaves no such file
# never ran the program, so it is made again once Wine's server is up, and a program that failed
# after it started is never run twice.
marker=$(mktemp "$WINEPREFIX.started.XXXXXX")
trap 'rm -f "$marker"' EXIT
export LUMORA_STARTED_MARKER=Z:$marker
attempts=5
for ((attempt = 1; ; attempt++)); do
  rm -f "$marker"
  status=0
  wine "$@" || status=$?
  [ -e "$marker" ] && exit "$status"
  echo "wine-run.sh: Wine ended with status $status before $1 started (attempt $attempt of $attempts)" >&2
  [ "$attempt" -eq "$attempts" ] && exit 1
  sleep "$attempt"
  wineserver -p30 </dev/null >/dev/null 2>&1 || true
done
