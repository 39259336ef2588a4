#!/usr/bin/env bash
# Takes a fresh Debian 12 machine to a working build: the MinGW toolchain,
# Wine, Xvfb and the test tools. Idempotent: apt is skipped when every
# package is already there.
set -euo pipefail

PACKAGES=(
  g++-mingw-w64-i686-posix
  libz-mingw-w64-dev
  wine
  wine32:i386
  fonts-wine
  fonts-liberation
  xvfb
  xauth
  imagemagick
  cmake
  ninja-build
  googletest
  clang
  libclang-rt-14-dev
  dpkg-dev
  g++
  make
  xdotool
)

SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -q
  $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
