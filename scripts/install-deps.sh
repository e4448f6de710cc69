#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need. Idempotent and
# non-interactive: nothing happens when everything is already present.
set -euo pipefail

packages=(
  g++ make cmake ninja-build pkg-config ccache
  libexpat1-dev locales
  libgtest-dev libgmock-dev libbenchmark-dev
  libcairo2-dev libpng-dev libfontconfig-dev libfreetype-dev fonts-liberation2 fonts-dejavu-core
  # Not used by the program: a desktop's usual fonts, which the tests that draw text must
  # not see (tests/Support/FontconfigInit.h, PinnedFontsTest).
  fonts-noto-core
  clang libclang-rt-14-dev
  librtmidi-dev libasound2-dev libjack-jackd2-dev jackd2
  libsdl2-dev libgl-dev libegl-dev libglu1-mesa-dev libgl1-mesa-dri xvfb xdotool openbox
  zenity xdg-utils
  # Not used by the program: the tests' stand-in for a desktop's opener written in Python.
  python3-minimal
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo=()
if [ "$(id -u)" -ne 0 ]; then
  sudo=(sudo)
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get -o DPkg::Lock::Timeout=600 update -q
"${sudo[@]}" apt-get -o DPkg::Lock::Timeout=600 install -y -q --no-install-recommends "${missing[@]}"
