#!/usr/bin/env bash
# Installs every Debian 12 package that building, testing, benchmarking and
# taking screenshots of PelagonDiveLog needs. Safe to run again: it only calls
# apt-get when something is missing.
set -euo pipefail

packages=(
  # build tools
  cmake ninja-build g++ pkg-config ccache
  # Qt 6.4
  qt6-base-dev libqt6opengl6-dev qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools
  qt6-connectivity-dev libqt6sql6-sqlite libqt6svg6
  # other libraries
  libpugixml-dev libminizip-dev zlib1g-dev libbenchmark-dev
  # headless runs, screenshots and XML schema checks
  xvfb xauth x11-apps imagemagick fonts-dejavu-core libxml2-utils
  # sanitizer builds with clang
  clang-14 libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all packages present"
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
echo "install-deps: installing ${missing[*]}"
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
