#!/usr/bin/env bash
# Cross-builds the console's core for 64-bit Windows with MinGW-w64 (warnings as errors), runs its
# tests under Wine, and checks that the port puts the same frames on the simulated line there as on
# Linux. The Linux build folder (BUILD_DIR, default build) is configured here if it is not already.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh
linux=${BUILD_DIR:-build}
windows=${WINDOWS_BUILD_DIR:-build-windows}
jobs=$(nproc)

cmake -S . -B "$windows" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMORA_WERROR=ON
prefix=$(cd "$windows" && pwd)/wine-prefix
trap 'WINEPREFIX=$prefix wineserver -k 2>/dev/null || true' EXIT
# Made before the build, whose test discovery runs the programs under Wine within a time limit.
cmake/wine-run.sh "$prefix"
cmake --build "$windows" -j"$jobs"
ctest --test-dir "$windows" --output-on-failure --no-tests=error -j"$jobs"

echo "== The port's frames on Windows and on Linux"
if [ ! -f "$linux/CMakeCache.txt" ]; then
  cmake -S . -B "$linux" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMORA_WERROR=ON
fi
cmake --build "$linux" -j"$jobs" --target dmx_wire_frames
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

echo "== The setup program and the zip"
cmake --build "$windows" --target windows-package
tools/check-windows-package.sh "$windows"
