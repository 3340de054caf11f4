#!/usr/bin/env bash
# test-windows-under-load.sh: the Windows tests of the port, the drivers, the simulated adapter and
# the port's reliability in build-windows (WINDOWS_BUILD_DIR) again under Wine, with two CPU-bound
# processes competing. Run tools/test-windows.sh first, which builds them.
set -euo pipefail
cd "$(dirname "$0")/.."
prefix=$PWD/${WINDOWS_BUILD_DIR:-build-windows}/wine-prefix
# Wine's server is started first and stays up, so that no test pays for Wine's start or end.
cmake/wine-run.sh "$prefix"
trap 'WINEPREFIX=$prefix wineserver -k 2>/dev/null || true' EXIT
tools/test-under-load.sh --test-dir "${WINDOWS_BUILD_DIR:-build-windows}" \
  -L '^(dmx_|hw_|simulated_|reliability_port_)'
