#!/usr/bin/env bash
# Builds Vorex and runs every test. Runs headless: UI tests use the offscreen platform.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VOREX_BUILD_DIR:-$root/build}
bash "$root/scripts/build.sh"
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
  XDG_RUNTIME_DIR=$(mktemp -d); chmod 700 "$XDG_RUNTIME_DIR"; export XDG_RUNTIME_DIR
fi
cd "$build"
ctest --output-on-failure -j "$(nproc)" </dev/null

# The main window read through the accessibility bus as a screen reader does, in English and in
# French (scripts/a11y-test.sh; VOREX_TEST_A11Y=0 skips it).
if [ "${VOREX_TEST_A11Y:-1}" = 1 ]; then
  bash "$root/scripts/a11y-test.sh"
fi
