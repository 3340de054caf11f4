#!/usr/bin/env bash
# test-sanitizers.sh address,undefined | thread: builds the project with those sanitizers in
# build-asan or build-tsan and runs its tests there.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

case "${1:-}" in
  address,undefined)
    cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DLUMORA_WERROR=ON \
      -DLUMORA_SANITIZE=address,undefined -DLUMORA_BUILD_BENCH=OFF
    cmake --build build-asan -j"$jobs"
    # The reliability runs (a thousand port cycles, a hundred console cycles, the fault matrix) also
    # check that nothing leaks; elsewhere leaks are not checked.
    export UBSAN_OPTIONS=print_stacktrace=1
    ASAN_OPTIONS=detect_leaks=0:abort_on_error=1:allocator_may_return_null=1 \
      ctest --test-dir build-asan --output-on-failure -j"$jobs" -LE '^reliability_'
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:allocator_may_return_null=1 \
      ctest --test-dir build-asan --output-on-failure --no-tests=error -j"$jobs" -L '^reliability_'
    ;;
  thread)
    # The dialog layer's, the resources' and the fuzz replays' tests run no thread of ours, and the
    # address sanitizer's build runs them.
    cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DLUMORA_WERROR=ON \
      -DLUMORA_SANITIZE=thread -DLUMORA_BUILD_BENCH=OFF -DLUMORA_SKIP_TESTS="dialogkit;resources;fuzz"
    cmake --build build-tsan -j"$jobs"
    # The real console under Xvfb is left out: its X, D-Bus and GLib threads are not ours.
    options=halt_on_error=1:second_deadlock_stack=1:allocator_may_return_null=1
    qt_tests='^(app_tests|reliability_console_tests|gui)$'
    # Everything that runs without Qt, the port, its level hand-over and the drivers among it, with
    # every access checked, also those made inside uninstrumented libraries: ignoring them hides races
    # between our own threads too (a weakened exchange in the level hand-over, for one).
    TSAN_OPTIONS=$options ctest --test-dir build-tsan --output-on-failure --no-tests=error -j"$jobs" \
      -LE "$qt_tests|^virtual_console\$"
    # Qt from the distribution is not instrumented, so only the tests that run it ignore what it does
    # itself: what its own pooled threads do among themselves is not ours to judge, while every
    # access from our code, including from Qt's callbacks, is checked.
    TSAN_OPTIONS=$options:ignore_noninstrumented_modules=1 \
      ctest --test-dir build-tsan --output-on-failure --no-tests=error -j"$jobs" -L "$qt_tests" \
      -LE '^virtual_console$'
    ;;
  *)
    echo "usage: $0 address,undefined | thread" >&2
    exit 2
    ;;
esac
