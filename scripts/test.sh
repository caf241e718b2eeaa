#!/usr/bin/env bash
# Builds Vorex and runs every test. Runs headless: UI tests use the offscreen platform.
# Then, unless turned off, three more steps:
#  - the tests of what runs on several threads, built with ThreadSanitizer (scripts/tsan.sh, into
#    build-tsan/; VOREX_TEST_TSAN=0 skips it);
#  - the whole suite again, built with AddressSanitizer and UndefinedBehaviorSanitizer
#    (scripts/sanitize.sh, into build-asan/, the Qt interface's tests included unless
#    VOREX_SANITIZE_UI=0; VOREX_TEST_SANITIZE=0 skips it);
#  - a short run (VOREX_FUZZ_SECONDS, default 20 s) of each libFuzzer harness (scripts/fuzz.sh,
#    into build-fuzz/; VOREX_TEST_FUZZ=0 skips it).
# The clang packages these steps use are installed with the others.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VOREX_BUILD_DIR:-$root/build}
export VOREX_WITH_SANITIZERS=${VOREX_WITH_SANITIZERS:-1}
bash "$root/scripts/build.sh"
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
# A test whose third-party decoder is missing fails here instead of skipping (install-deps.sh installs them).
export VOREX_REQUIRE_TOOLS=1
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
  XDG_RUNTIME_DIR=$(mktemp -d); chmod 700 "$XDG_RUNTIME_DIR"; export XDG_RUNTIME_DIR
fi
(cd "$build" && ctest --output-on-failure -j "$(nproc)" </dev/null)

# The main window read through the accessibility bus as a screen reader does, in English and in
# French (scripts/a11y-test.sh; VOREX_TEST_A11Y=0 skips it).
if [ "${VOREX_TEST_A11Y:-1}" = 1 ]; then
  bash "$root/scripts/a11y-test.sh"
fi

if [ "${VOREX_TEST_TSAN:-1}" = 1 ]; then
  echo "== Starting and stopping computations from two threads, under ThreadSanitizer"
  bash "$root/scripts/tsan.sh"
fi
if [ "${VOREX_TEST_SANITIZE:-1}" = 1 ]; then
  echo "== Tests under AddressSanitizer and UndefinedBehaviorSanitizer"
  bash "$root/scripts/sanitize.sh"
fi
if [ "${VOREX_TEST_FUZZ:-1}" = 1 ]; then
  if command -v clang++ >/dev/null && [ -n "$(clang++ -print-file-name=libclang_rt.fuzzer-x86_64.a 2>/dev/null | grep /)" ]; then
    echo "== Fuzzing, ${VOREX_FUZZ_SECONDS:-20} s per harness"
    VOREX_FUZZ_SECONDS=${VOREX_FUZZ_SECONDS:-20} bash "$root/scripts/fuzz.sh"
  else
    echo "== Fuzzing skipped: clang with libFuzzer is not installed (packages clang libclang-rt-14-dev)"
  fi
fi
