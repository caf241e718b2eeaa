#!/usr/bin/env bash
# Builds the core and its engine tests with ThreadSanitizer into build-tsan/ (or $VOREX_TSAN_BUILD_DIR) and
# runs the tests of what runs on several threads: starting and stopping computations from two threads
# (a stop right after a start, the menus read while a touch-up computes), the parallel engine and the
# worker pool. Any report fails the run. Extra arguments go to cmake.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VOREX_TSAN_BUILD_DIR:-$root/build-tsan}
bash "$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS="-fsanitize=thread" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread" \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" -DVOREX_BUILD_BENCH=OFF -DVOREX_BUILD_UI=OFF "$@" >/dev/null
ninja -C "$build" -j 2 vorex_engine_tests
export TSAN_OPTIONS=${TSAN_OPTIONS:-halt_on_error=1:second_deadlock_stack=1}
"$build/tests/vorex_engine_tests" --gtest_filter='RunControl.*:WorkerPool*:ParallelEngine*' </dev/null
