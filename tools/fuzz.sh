#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (every library instrumented) and runs each for a while on a
# copy of its committed corpus, with its committed regressions as further starting inputs. Prints one line of
# figures per target. A crash, leak, time-out or broken invariant fails the script; the input that
# caused it is kept under <build>/findings/<target>/.
#
# Usage: tools/fuzz.sh [seconds-per-target]   (default 60; BUILD_DIR chooses the build folder)
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
if ! [[ "$seconds" =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: tools/fuzz.sh [seconds-per-target]" >&2
  exit 2
fi
targets=(fuzz_discovery fuzz_level_edit)

tools/install-deps.sh
build=$(realpath -m "${BUILD_DIR:-build-fuzz}")
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMORA_WERROR=ON \
  -DLUMORA_BUILD_FUZZ=ON -DBUILD_TESTING=OFF -DLUMORA_BUILD_BENCH=OFF
cmake --build "$build" -j"$(nproc)" --target "${targets[@]}"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export ASAN_OPTIONS=abort_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/fuzz/lsan-system-libraries.supp

# A figure from libFuzzer's final statistics in the current log.
figure() { sed -n "s/^stat::$1: *//p" "$log" | tail -n 1; }

summary=()
failed=()
for target in "${targets[@]}"; do
  echo "== $target for ${seconds} s"
  corpus="$work/$target"
  findings="$build/findings/$target"
  mkdir -p "$corpus" "$findings"
  cp fuzz/corpus/"$target"/* "$corpus"/
  inputs=("$corpus")
  if [ -d fuzz/regressions/"$target" ]; then
    inputs+=(fuzz/regressions/"$target")
  fi
  log="$work/$target.log"
  if ! "$build/fuzz/$target" -max_total_time="$seconds" -timeout=25 -print_final_stats=1 \
      -artifact_prefix="$findings/" "${inputs[@]}" >"$log" 2>&1; then
    failed+=("$target")
    tail -n 60 "$log"
    echo "$target FAILED; the input is kept in $findings/"
  fi
  initial=$(grep -o 'INITED cov: [0-9]*' "$log" | grep -o '[0-9]*$' | tail -n 1 || true)
  final=$(grep -o 'cov: [0-9]*' "$log" | grep -o '[0-9]*$' | tail -n 1 || true)
  summary+=("$(printf '%-16s %10s executions, %6s execs/s, %4s new inputs, coverage %s -> %s edges' \
    "$target" "$(figure number_of_executed_units)" "$(figure average_exec_per_sec)" \
    "$(figure new_units_added)" "${initial:-?}" "${final:-?}")")
done

echo "== Fuzzing figures (${seconds} s per target)"
printf '%s\n' "${summary[@]}"
if [ ${#failed[@]} -ne 0 ]; then
  echo "Failed: ${failed[*]}" >&2
  exit 1
fi
