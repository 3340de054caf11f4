#!/usr/bin/env bash
# Cross-builds the console and its tests for 64-bit ARM Linux (Raspberry Pi OS 64-bit) with Debian's
# cross compiler against the arm64 libraries installed beside the build machine's own, warnings as
# errors, and runs under qemu-user the suites that need no window manager, offscreen. Then it checks
# the arm64 console against the x86-64 one: the port's frames on the simulated line, the controls'
# places in dialog units, and the frames the whole console sends on the stand-in D2XX library built
# for arm64 when worked on an X display. The x86-64 build folder (BUILD_DIR, default build) is
# configured here if it is not already.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh arm64
linux=${BUILD_DIR:-build}
arm64=${ARM64_BUILD_DIR:-build-arm64}
jobs=$(nproc)

# Built with the arm64 package's flags, so that the tests run the code it ships and the package's
# own build finds it compiled already; the test folders that qemu does not run here are left out.
export DEB_HOST_ARCH=arm64
source tools/debian-build-flags.sh
cmake -S . -B "$arm64" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/aarch64-linux-gnu.cmake \
  "${debian_build_flags[@]}" -DLUMORA_WERROR=ON -DLUMORA_SKIP_TESTS="simulated;reliability;layout;fuzz"
cmake --build "$arm64" -j"$jobs"
# Left out: the priority cases that run the port in a child program (qemu-user runs the test program,
# but the arm64 child it starts goes to the build machine's kernel, which has no binfmt_misc handler
# for arm64 programs), and the X11 selection cases, which ctest starts through xvfb-run rather than
# qemu. The test programs choose the offscreen platform themselves when none is set.
env -u QT_QPA_PLATFORM ctest --test-dir "$arm64" --output-on-failure --no-tests=error -j"$jobs" \
  -L '^(hw|dmx|discovery|dialogkit|resources|app)_' -E '^(Each/TransmitPriority\.|app_tests_x11_selection$)'

echo "== The port's frames on arm64 and on x86-64"
if [ ! -f "$linux/CMakeCache.txt" ]; then
  cmake -S . -B "$linux" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMORA_WERROR=ON
fi
cmake --build "$linux" -j"$jobs" --target dmx_wire_frames console_screenshot lumora-dmx lumora_d2xx_stand_in \
  d2xx_record_frames
qemu=(qemu-aarch64-static -L /)
"$linux/tests/dmx/dmx_wire_frames" >"$arm64/frames-x86-64.txt"
"${qemu[@]}" "$arm64/tests/dmx/dmx_wire_frames" >"$arm64/frames-arm64.txt"
if ! diff "$arm64/frames-x86-64.txt" "$arm64/frames-arm64.txt"; then
  echo "The frames differ (above: < x86-64, > arm64)" >&2
  exit 1
fi
echo "Same configuration calls and frames: $(wc -l <"$arm64/frames-x86-64.txt") lines"

echo "== The controls' places in dialog units, x86-64 and arm64"
screenshot() { QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x800x24 -dpi 96" "$@"; }
screenshot "$linux/tools/console_screenshot" "$arm64/console-x86-64.png" >"$arm64/geometry-x86-64.txt"
screenshot "${qemu[@]}" "$arm64/tools/console_screenshot" "$arm64/console-arm64.png" \
  >"$arm64/geometry-arm64.txt"
units() { awk '$2 == "pixels" { print $1, $8, $9, $10, $11 }' "$1"; }
if ! diff <(units "$arm64/geometry-x86-64.txt") <(units "$arm64/geometry-arm64.txt"); then
  echo "The controls sit at other dialog units (above: < x86-64, > arm64)" >&2
  exit 1
fi
echo "Same places in dialog units: $(units "$arm64/geometry-arm64.txt" | wc -l) controls"

echo "== The console end to end under qemu, on the stand-in D2XX library built for arm64"
# console-frames.sh starts the console as a program of the build machine's; this one hands it to
# qemu, which keeps its process id, its environment and its exit status.
console=$arm64/lumora-dmx-under-qemu
printf '#!/bin/sh\nexec %s %q "$@"\n' "${qemu[*]}" "$(cd "$arm64" && pwd)/src/app/lumora-dmx" >"$console"
chmod +x "$console"
started=$SECONDS
STAND_IN=$linux/standins/d2xx/stand-in/libftd2xx.so tools/console-frames.sh "$linux/src/app/lumora-dmx" \
  "$arm64/geometry-x86-64.txt" "$linux/standins/d2xx/d2xx_record_frames" >"$arm64/console-x86-64.txt"
STAND_IN=$arm64/standins/d2xx/stand-in/libftd2xx.so tools/console-frames.sh "$console" \
  "$arm64/geometry-arm64.txt" "$linux/standins/d2xx/d2xx_record_frames" >"$arm64/console-arm64.txt"
if ! diff "$arm64/console-x86-64.txt" "$arm64/console-arm64.txt"; then
  echo "The console's calls and frames differ (above: < x86-64, > arm64)" >&2
  exit 1
fi
cat "$arm64/console-arm64.txt"
echo "Same calls and frames from the whole console on both machines ($((SECONDS - started)) s)"
