#!/usr/bin/env bash
# Reads Vorex's main window through the accessibility bus (AT-SPI) as a screen reader does, in
# English and in French: tests/a11y/main_window.py under a private D-Bus session and Xvfb.
# Uses the programs of build/ (or $VOREX_BUILD_DIR), building them when they are missing.
# Installs what it needs (python3-pyatspi, at-spi2-core, dbus, Xvfb) when missing; skips with a
# message only when those packages cannot be installed. Extra arguments go to the script
# (for example -v, or --language 1).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VOREX_BUILD_DIR:-$root/build}

packages=(python3 python3-pyatspi gir1.2-atspi-2.0 at-spi2-core dbus dbus-x11 xvfb xauth)
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo -n"; fi
  if ! { $sudo apt-get update -qq && DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq \
           --no-install-recommends "${missing[@]}"; } </dev/null; then
    echo "== Accessibility test SKIPPED: could not install ${missing[*]}"
    exit 0
  fi
fi

if [ ! -x "$build/vorex" ] || [ ! -x "$build/vorex-cli" ]; then
  bash "$root/scripts/build.sh"
fi

# A private runtime directory for the session bus, the accessibility bus and Xvfb.
runtime=$(mktemp -d)
chmod 700 "$runtime"
cleanup() { rm -rf "$runtime"; }
trap cleanup EXIT

echo "== Accessibility: the main window read through AT-SPI"
status=0
# dbus-run-session ends the session bus (and the accessibility bus it started) when the script
# ends; xvfb-run stops its X server. timeout bounds the whole run.
env -u DBUS_SESSION_BUS_ADDRESS -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM \
    XDG_RUNTIME_DIR="$runtime" NO_AT_BRIDGE=0 \
  timeout -k 10 240 dbus-run-session -- \
  xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" \
  /usr/bin/python3 "$root/tests/a11y/main_window.py" --picture --menu-names --dialogs \
    --vorex "$build/vorex" --cli "$build/vorex-cli" --texts "$root/tests/data/texts.tsv" "$@" \
  </dev/null || status=$?
if [ $status -eq 124 ] || [ $status -eq 137 ]; then
  echo "Accessibility test timed out"
fi
exit $status
