#!/usr/bin/env bash
# Installs what is missing, builds the console and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh
build=${BUILD_DIR:-build-release}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DLUMORA_BUILD_BENCH=OFF
cmake --build "$build" -j"$(nproc)" --target lumora-dmx
exec "$build/src/app/lumora-dmx"
