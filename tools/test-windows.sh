#!/usr/bin/env bash
# Cross-builds the console for 64-bit Windows with MinGW-w64 against a Qt built for Windows from
# Debian's source (tools/build-qt-windows.sh, cached), warnings as errors, and runs its tests under
# Wine. Then it checks the Windows console against the Linux one: the port's frames on the simulated
# line, the controls' places in dialog units, and the frames the whole console sends when worked on
# an X display (the Windows one under Wine with its windows platform plugin), which it also ends by
# ending Wine's session. The Linux build folder (BUILD_DIR, default build) is configured here if it
# is not already.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh
linux=${BUILD_DIR:-build}
windows=${WINDOWS_BUILD_DIR:-build-windows}
jobs=$(nproc)

qt=$(tools/build-qt-windows.sh | tail -n1)
echo "Qt for Windows: $qt"
# The toolchain file finds packages only below its root path; the project adds CMAKE_PREFIX_PATH to
# it. Qt's tools (moc, rcc, uic) are the build machine's own, of the same version. Optimised as
# before (-O2) but without debug information, which the setup program strips from what it ships
# and which would only slow the build.
cmake -S . -B "$windows" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" -DLUMORA_WERROR=ON -DCMAKE_PREFIX_PATH="$qt" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
prefix=$(cd "$windows" && pwd)/wine-prefix
trap 'WINEPREFIX=$prefix wineserver -k 2>/dev/null || true' EXIT
# Made before the tests; its server stays up, so that no test program pays for Wine's start or end.
cmake/wine-run.sh "$prefix"
cmake --build "$windows" -j"$jobs"
ctest --test-dir "$windows" --output-on-failure --no-tests=error -j"$jobs"

echo "== The port's frames on Windows and on Linux"
if [ ! -f "$linux/CMakeCache.txt" ]; then
  cmake -S . -B "$linux" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMORA_WERROR=ON
fi
cmake --build "$linux" -j"$jobs" --target dmx_wire_frames lumora-dmx console_screenshot lumora_d2xx_stand_in \
  d2xx_record_frames
# run <output> <program...>: the program's output without Windows' CR, shown when it fails.
run() {
  local output=$1
  shift
  if ! "$@" | tr -d '\r' >"$output"; then
    cat "$output" >&2
    exit 1
  fi
}
run "$windows/frames-linux.txt" "$linux/tests/dmx/dmx_wire_frames"
run "$windows/frames-windows.txt" cmake/wine-run.sh "$prefix" "$windows/tests/dmx/dmx_wire_frames.exe"
if ! diff "$windows/frames-linux.txt" "$windows/frames-windows.txt"; then
  echo "The frames differ (above: < Linux, > Windows)" >&2
  exit 1
fi
echo "Same configuration calls and frames: $(wc -l <"$windows/frames-linux.txt") lines"

# The windows under Wine need a display, which the test prefix's server was started without.
export WINEPREFIX=$prefix
WINEDEBUG=-all wineserver -k 2>/dev/null || true
wineserver -w

echo "== The controls' places in dialog units, Linux and Windows (and docs/console-windows.png)"
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x800x24 -dpi 96" \
  "$linux/tools/console_screenshot" "$windows/console-linux.png" >"$windows/geometry-linux.txt"
# wine_screenshot <screen> <png> <geometry>: the console's window grabbed under Wine on an X display
# of its own. A Wine session started without a display (the tests', the registry's) lends a program
# that joins it a desktop without a screen, where the grab may never come; so each grab starts with
# no session, and one that does not finish in two minutes is made again, at most three times.
wine_screenshot() {
  local attempt
  for attempt in 1 2 3; do
    WINEDEBUG=-all wineserver -k 2>/dev/null || true
    wineserver -w
    if WINEDEBUG=-all timeout -k 10 120 xvfb-run -a -s "-screen 0 $1x24 -dpi 96" \
      wine "$windows/tools/console_screenshot.exe" "$2" | tr -d '\r' >"$3"; then
      wineserver -k 2>/dev/null || true
      return 0
    fi
    echo "No grab of the console from Wine (attempt $attempt of 3)" >&2
  done
  return 1
}
wine_screenshot 1280x800 docs/console-windows.png "$windows/geometry-windows.txt"
head -n1 "$windows/geometry-linux.txt" "$windows/geometry-windows.txt"
# A closed drop-down list (the port selector, 1077) is as tall as the system's style makes it, as on
# Win32, where the template's height is the opened list's; its height is left out.
units() { awk '$2 == "pixels" { print $1, $8, $9, $10, ($1 == 1077 ? "-" : $11) }' "$1"; }
if ! diff <(units "$windows/geometry-linux.txt") <(units "$windows/geometry-windows.txt"); then
  echo "The controls sit at other dialog units (above: < Linux, > Windows)" >&2
  exit 1
fi
echo "Same places in dialog units: $(units "$windows/geometry-linux.txt" | wc -l) controls"

echo "== The same layout at the desktop's scales: Linux at 125-200 % (QT_SCALE_FACTOR), Windows at 120-192 dpi"
# same_layout <geometry at 100 %> <geometry scaled> <scale>: every control at the same place in logical
# pixels, and the window that many device pixels times the scale, give or take one.
places() { awk '$2 == "pixels" { print $1, $3, $4, $5, ($1 == 1077 ? "-" : $6) }' "$1"; }
same_layout() {
  diff <(places "$1") <(places "$2") || return 1
  paste <(awk '$2 == "window" { print $3, $5 }' "$1") <(awk '$2 == "window" { print $3, $5 }' "$2") |
    awk -v scale="$3" '{ dx = $1 * scale - $3; dy = $2 * scale - $4
      printf "window %d x %d, at %g: %d x %d\n", $1, $2, scale, $3, $4
      exit (dx * dx > 1 || dy * dy > 1) }'
}
for scale in 1.25 1.5 1.75 2; do
  QT_SCALE_FACTOR=$scale QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 2560x1600x24 -dpi 96" \
    "$linux/tools/console_screenshot" "$windows/console-linux-$scale.png" >"$windows/geometry-linux-$scale.txt"
  if ! same_layout "$windows/geometry-linux.txt" "$windows/geometry-linux-$scale.txt" "$scale"; then
    echo "Linux at $scale: the layout differs from 100 % (above: < 100 %, > scaled)" >&2
    exit 1
  fi
done
# log_pixels <dpi>: the resolution Wine reports to Windows programs, in both places it reads it from.
# Written without a display, so Wine's session is waited out before the next program: one that joined
# it would get Wine's display-less desktop, whose screen is 1024 x 768, and a grab of that size.
log_pixels() {
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null
  wine reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' \
    /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null
  wineserver -w
}
for dpi in 120 144 192; do
  log_pixels "$dpi"
  wine_screenshot 2560x1600 "$windows/console-windows-$dpi.png" "$windows/geometry-windows-$dpi.txt"
  if ! same_layout "$windows/geometry-windows.txt" "$windows/geometry-windows-$dpi.txt" "$(awk -v dpi="$dpi" 'BEGIN { print dpi / 96 }')"; then
    echo "Windows at $dpi dpi: the layout differs from 96 dpi (above: < 96 dpi, > scaled)" >&2
    exit 1
  fi
done
log_pixels 96
wineserver -k 2>/dev/null || true

echo "== The console end to end: Linux; Windows ended by EXIT, by its close box (Alt+F4) and by the end of the session"
started=$SECONDS
STAND_IN=$linux/standins/d2xx/stand-in/libftd2xx.so tools/console-frames.sh "$linux/src/app/lumora-dmx" \
  "$windows/geometry-linux.txt" "$linux/standins/d2xx/d2xx_record_frames" >"$windows/console-linux.txt"
for end_by in exit close session-end; do
  STAND_IN=$windows/standins/d2xx/FTD2XX.dll tools/console-frames.sh \
    "$windows/src/app/lumora-dmx.exe" "$windows/geometry-windows.txt" \
    "$linux/standins/d2xx/d2xx_record_frames" "$end_by" >"$windows/console-windows-$end_by.txt"
  wineserver -k 2>/dev/null || true
  if ! diff "$windows/console-linux.txt" "$windows/console-windows-$end_by.txt"; then
    echo "The console's calls and frames differ (above: < Linux, > Windows, ended by $end_by)" >&2
    exit 1
  fi
done
cat "$windows/console-linux.txt"
echo "Same calls and frames from the whole console on both systems ($(( SECONDS - started )) s)"

echo "== The console on an adapter that stops taking data: Linux ended by EXIT, SIGTERM and CLOSE, Windows by EXIT"
for end_by in exit sigterm close-button; do
  tools/console-stalled.sh "$linux/src/app/lumora-dmx" "$windows/geometry-linux.txt" \
    "$linux/standins/d2xx/stand-in/libftd2xx.so" "$linux/standins/d2xx/d2xx_record_frames" "$end_by"
done
tools/console-stalled.sh "$windows/src/app/lumora-dmx.exe" "$windows/geometry-windows.txt" \
  "$windows/standins/d2xx/FTD2XX.dll" "$linux/standins/d2xx/d2xx_record_frames" exit
wineserver -k 2>/dev/null || true

echo "== The setup program and the zip"
cmake --build "$windows" --target windows-package
tools/check-windows-package.sh "$windows"
