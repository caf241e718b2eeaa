#!/usr/bin/env bash
# Builds Vorex and starts it. Without a display it renders the default fractal to an image instead.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VOREX_BUILD_DIR:-$root/build}
bash "$root/scripts/build.sh"
exec "$build/vorex" "$@"
