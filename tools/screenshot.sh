#!/usr/bin/env bash
# Saves a screenshot of the console in a real X window (Xvfb) to docs/console.png, or at another
# desktop scale to docs/console-<percent>.png.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja
cmake --build "$build" --target console_screenshot
# SCALE=2 tools/screenshot.sh: the desktop scaled to 200 %, into docs/console-200.png.
scale=${SCALE:-1}
output=docs/console.png
[ "$scale" = 1 ] || output=docs/console-$(awk -v scale="$scale" 'BEGIN { print scale * 100 }').png
QT_SCALE_FACTOR=$scale QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 2560x1440x24 -dpi 96" \
  "$build/tools/console_screenshot" "$output"
echo "saved $output"
