#!/usr/bin/env bash
# Builds Vorex with AddressSanitizer and UndefinedBehaviorSanitizer (g++, VOREX_SANITIZE=ON) into
# build-asan/ (or $VOREX_ASAN_BUILD_DIR) and runs the whole test suite there, the Qt interface's tests
# included (VOREX_SANITIZE_UI=0 leaves the interface and its tests out). Any report of either
# sanitizer fails the test that produced it. Extra arguments go to cmake.
# It is built at -O1 with line tables only (-g1), which costs far less on two cores than -O2 -g while
# the reports still name file and line; the benchmarks are not built.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VOREX_ASAN_BUILD_DIR:-$root/build-asan}
bash "$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVOREX_SANITIZE=ON \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" -DVOREX_BUILD_BENCH=OFF \
  -DVOREX_BUILD_UI="$([ "${VOREX_SANITIZE_UI:-1}" = 0 ] && echo OFF || echo ON)" "$@" >/dev/null
ninja -C "$build" -j 2

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
# Qt's own libraries are not instrumented; leaks reported inside them are not ours.
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/tests/lsan.supp}
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
  XDG_RUNTIME_DIR=$(mktemp -d); chmod 700 "$XDG_RUNTIME_DIR"; export XDG_RUNTIME_DIR
fi
cd "$build"
ctest --output-on-failure -j 2 </dev/null
