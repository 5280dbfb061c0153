#!/usr/bin/env bash
# Installs the Debian 12 packages that building, testing, benchmarking and
# fuzzing need. Idempotent: when everything is present it only checks.
set -euo pipefail

PACKAGES=(
  # build
  cmake g++ pkg-config make
  # tests, benchmarks, fuzzing
  libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev
  # window, input, message box
  libsdl2-dev
  # canvas and text
  libcairo2-dev libpango1.0-dev fonts-liberation2
  # pictures
  libjpeg62-turbo-dev libpng-dev libdeflate-dev zlib1g-dev libtiff-dev libgif-dev libgraphicsmagick1-dev
  # sound and video
  libsdl2-mixer-dev timgm6mb-soundfont libmpv-dev
  # open dialog
  libdbus-1-dev
  # command line, JSON
  libcli11-dev nlohmann-json3-dev
  # tests under a real display
  xvfb
  # anchors for benchmarks
  libpixman-1-dev libvips-dev ffmpeg bc
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
