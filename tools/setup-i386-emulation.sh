#!/usr/bin/env bash
# Lets a kernel that refuses 32-bit x86 programs run them under QEMU's user
# mode emulator (see tools/setup.sh). Installs QEMU 10 from bookworm-backports
# through a private apt configuration (the machine's sources stay as they
# are) and registers it for i386 ELF files. Idempotent; does nothing where
# the kernel runs such programs itself.
#
# The paths it looks at can be moved (VARNEL_QEMU, VARNEL_BINFMT_DIR,
# VARNEL_LD32) so that tools/tests/setup-i386-emulation-test.sh can drive
# every decision with stand-ins.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
CACHE="${VARNEL_CACHE_DIR:-$ROOT/build/cache}"
QEMU="${VARNEL_QEMU:-/usr/bin/qemu-i386}"
binfmt="${VARNEL_BINFMT_DIR:-/proc/sys/fs/binfmt_misc}"
LD32="${VARNEL_LD32:-/lib/ld-linux.so.2}"
entry="$binfmt/varnel-i386"
# QEMU before 8 starts Wine in about a minute, later ones in a fraction of a
# second.
QEMU_MIN_MAJOR=8

# shellcheck source=tools/setup-lib.sh
. "$ROOT/tools/setup-lib.sh"

runs_i386() {
  "$LD32" --version >/dev/null 2>&1
}

# The major version of the installed QEMU, or nothing when there is none.
qemu_major() {
  if [ -x "$QEMU" ]; then
    "$QEMU" --version 2>/dev/null \
      | sed -n 's/.*version \([0-9]*\)\..*/\1/p' | head -n1
  fi
}

# Our own entry routes i386 programs through QEMU, so "runs" says nothing
# about the kernel then: only without it does a working loader mean the
# kernel (or someone else's emulator) runs them.
if [ ! -e "$entry" ] && runs_i386; then
  exit 0
fi

major="$(qemu_major)"
if [ -z "$major" ] || [ "$major" -lt "$QEMU_MIN_MAJOR" ]; then
  echo "setup: installing QEMU user mode emulation from bookworm-backports"
  apt_dir="$CACHE/apt-backports"
  mkdir -p "$apt_dir/lists/partial" "$apt_dir/archives/partial" \
    "$apt_dir/sources.list.d" "$apt_dir/debs"
  echo "deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg]" \
    "$(debian_mirror) bookworm-backports main" >"$apt_dir/sources.list"
  opts=(
    -o "Dir::Etc::SourceList=$apt_dir/sources.list"
    -o "Dir::Etc::SourceParts=$apt_dir/sources.list.d"
    -o "Dir::State::Lists=$apt_dir/lists"
    -o "Dir::Cache=$apt_dir"
    -o "APT::Sandbox::User=root"
    -q
  )
  apt-get "${opts[@]}" update
  rm -f "$apt_dir/debs"/qemu-user_*.deb
  (cd "$apt_dir/debs" && apt-get "${opts[@]}" download qemu-user)
  debs=("$apt_dir/debs"/qemu-user_*.deb)
  [ -f "${debs[0]}" ] || {
    echo "setup: apt downloaded no qemu-user package" >&2
    exit 1
  }
  apt_run install -y -q --no-install-recommends "${debs[0]}"
  major="$(qemu_major)"
  if [ -z "$major" ] || [ "$major" -lt "$QEMU_MIN_MAJOR" ]; then
    echo "setup: $QEMU is ${major:-missing} after the install;" \
      "version $QEMU_MIN_MAJOR or later is needed" >&2
    exit 1
  fi
fi

if [ ! -e "$binfmt/register" ]; then
  $SUDO mount -t binfmt_misc binfmt_misc "$binfmt"
fi
if [ -e "$entry" ] && ! grep -qx "interpreter $QEMU" "$entry"; then
  echo "setup: replacing the i386 entry's interpreter with $QEMU"
  echo -1 | $SUDO tee "$entry" >/dev/null
fi
if [ ! -e "$entry" ]; then
  # ELF, 32-bit, little endian, executable or shared object, machine i386.
  magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
  mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
  echo ":varnel-i386:M::$magic:$mask:$QEMU:F" \
    | $SUDO tee "$binfmt/register" >/dev/null
fi
runs_i386 || {
  echo "setup: i386 programs still do not run ($LD32 --version fails)" >&2
  exit 1
}
