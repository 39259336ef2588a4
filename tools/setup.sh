#!/usr/bin/env bash
# Takes a fresh Debian 12 machine to a working build: the MinGW toolchain,
# Wine, Xvfb, the test tools and the third-party libraries cross-built from
# Debian's sources. Idempotent and non-interactive: apt is skipped when every
# package is already there, and each later step skips what is done.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

PACKAGES=(
  g++-mingw-w64-i686-posix
  libz-mingw-w64-dev
  zlib1g-dev
  unzip
  wine
  wine32:i386
  wine64
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
export DEBIAN_FRONTEND=noninteractive

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

missing=()
for p in "${PACKAGES[@]}"; do
  installed "$p" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
  fi
  $SUDO apt-get update -q
  $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# Some virtual machines run no 32-bit x86 programs at all (the kernel refuses
# them), and 32-bit Wine is such a program. There they run under QEMU's user
# mode emulator, registered with the kernel for i386 ELF files. Debian 12's
# QEMU 7.2 makes every Wine start cost about a minute; the backported
# release starts it in a fraction of a second, so that one is taken.
if [ -e /proc/sys/fs/binfmt_misc/varnel-i386 ] \
  || ! /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
  "$ROOT/tools/setup-i386-emulation.sh"
fi

# Third-party libraries for the Windows build.
"$ROOT/tools/build-libjpeg.sh"
