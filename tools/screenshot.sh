#!/usr/bin/env bash
# Saves a screenshot of the console in a real X window (Xvfb) to docs/console.png.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja
cmake --build "$build" --target console_screenshot
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x720x24 -dpi 96" "$build/tools/console_screenshot" docs/console.png
echo "saved docs/console.png"
