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
  shellcheck
)

# shellcheck source=tools/setup-lib.sh
. "$ROOT/tools/setup-lib.sh"

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
    step "adding the i386 architecture" $SUDO dpkg --add-architecture i386
  fi
  step "updating apt's package lists" apt_run update -q
  step "installing Debian packages" \
    apt_run install -y -q --no-install-recommends "${missing[@]}"
fi

# Some virtual machines run no 32-bit x86 programs at all (the kernel refuses
# them), and 32-bit Wine is such a program. There they run under QEMU's user
# mode emulator, registered with the kernel for i386 ELF files. Debian 12's
# QEMU 7.2 makes every Wine start cost about a minute; the backported
# release starts it in a fraction of a second, so that one is taken.
# The emulation script decides for itself whether the kernel needs it.
step "setting up 32-bit x86 programs" "$ROOT/tools/setup-i386-emulation.sh"

# Third-party libraries for the Windows build.
step "building libjpeg for MinGW" "$ROOT/tools/build-libjpeg.sh"
