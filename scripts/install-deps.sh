#!/usr/bin/env bash
# Installs the Debian packages that building and testing Vorex need, when any is missing.
# Safe to run again: it does nothing when everything is already there.
set -euo pipefail

packages=(g++ cmake ninja-build pkg-config qt6-base-dev qt6-image-formats-plugins qt6-translations-l10n zlib1g-dev
          libjpeg62-turbo-dev libpng-dev libtiff-dev libgtest-dev libbenchmark-dev
          # posters: GNU parallel spreads the tiles over cores and machines
          parallel
          # third-party decoders and tools the tests check our files with
          python3 python3-pil libtiff-tools imagemagick netpbm libjpeg-turbo-progs
          # printed pages: pdfimages and pdftotext read the PDF files
          poppler-utils)
if [ "${VOREX_WITH_SANITIZERS:-0}" = 1 ]; then
  packages+=(clang libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" </dev/null
