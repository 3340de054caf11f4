#!/usr/bin/env bash
# test-wine-start-race.sh [programs] [seconds]: starts a Windows test program many times at once
# (default 12) under cmake/wine-run.sh and ends Wine's server while they start (default after 1.5 s),
# as a busy machine once found it ending. A start that Wine fails must be made again, never reported
# as the program's result: the script fails if any run gave up without its program having started.
# Runs whose program was already running when the server ended fail as they should and are counted
# apart. Run tools/test-windows.sh first, which builds build-windows (WINDOWS_BUILD_DIR).
set -euo pipefail
cd "$(dirname "$0")/.."
programs=${1:-12}
delay=${2:-1.5}
prefix=$PWD/${WINDOWS_BUILD_DIR:-build-windows}/wine-prefix
program=${WINDOWS_BUILD_DIR:-build-windows}/tests/simulated/simulated_adapter_tests.exe
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake/wine-run.sh "$prefix"
for ((run = 1; run <= programs; run++)); do
  (cmake/wine-run.sh "$prefix" "$program" --gtest_list_tests >/dev/null 2>"$work/$run.err" || touch "$work/$run.failed") &
done
sleep "$delay"
WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
wait
restarted=$(cat "$work"/*.err | grep -c "before .* started" || true)
gave_up=$(cat "$work"/*.err | grep -c "attempt 5 of 5" || true)
failed=$(find "$work" -name '*.failed' | wc -l)
echo "$programs runs, server ended after $delay s: $restarted starts made again, $((failed - gave_up))" \
  "ended with the server after their program had started, $gave_up never started"
[ "$gave_up" -eq 0 ]
