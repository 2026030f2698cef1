#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the editor need.
# Quick when they are already there: apt is only asked for what is missing.
set -euo pipefail

packages=(
  cmake make g++ clang libclang-rt-14-dev googletest libgtest-dev
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine64 xvfb xauth xdotool imagemagick x11-utils
  # The sound decoder: stb_vorbis; the tones its tests make: sox and oggenc.
  libstb-dev sox vorbis-tools
  # A sound server for the Windows tests, so that Wine has a sound device whose output is recorded.
  pulseaudio pulseaudio-utils
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q >/dev/null
  apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null
fi
