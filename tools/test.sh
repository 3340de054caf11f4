#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors and runs the whole test suite headless.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMORA_WERROR=ON "$@"
cmake --build "$build" -j"$(nproc)"
ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
