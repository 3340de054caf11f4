#!/usr/bin/env bash
# Tries the console without hardware: builds it with the virtual adapter and the wire monitor,
# starts the console on this desktop with the virtual adapter on its library path, and shows the
# virtual wire in this terminal. Ctrl+C in the terminal, or ending the console, stops both.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "try-virtual: no desktop session here (neither DISPLAY nor WAYLAND_DISPLAY is set)." >&2
  echo "Run it from a terminal on your desktop; the console needs a screen and the monitor a terminal." >&2
  exit 1
fi

tools/install-deps.sh
build=${BUILD_DIR:-build-release}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DLUMORA_BUILD_BENCH=OFF \
  -DLUMORA_BUILD_VIRTUAL=ON
cmake --build "$build" -j"$(nproc)" --target lumora-dmx lumora_virtual_d2xx lumora-wire-monitor

# The console picks the vendor library whenever the loader finds one, so the virtual adapter is
# offered only to this one process, never installed.
adapter_dir=$(cd "$build/virtual-adapter" && pwd)
LD_LIBRARY_PATH="$adapter_dir${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}" \
  "$build/src/app/lumora-dmx" >"$build/try-virtual-console.log" 2>&1 &
console=$!
trap 'kill "$console" 2>/dev/null || true' EXIT

"$build/standins/virtual/lumora-wire-monitor" --while-pid "$console"
