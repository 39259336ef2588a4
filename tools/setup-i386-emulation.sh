#!/usr/bin/env bash
# Lets a kernel that refuses 32-bit x86 programs run them under QEMU's user
# mode emulator (see tools/setup.sh). Installs QEMU 10 from bookworm-backports
# through a private apt configuration (the machine's sources stay as they
# are) and registers it for i386 ELF files. Idempotent.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
CACHE="${VARNEL_CACHE_DIR:-$ROOT/build/cache}"
SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi

qemu_major() {
  /usr/bin/qemu-i386 --version 2>/dev/null \
    | sed -n 's/.*version \([0-9]*\)\..*/\1/p' | head -n1
}

major="$(qemu_major || true)"
if [ -z "$major" ] || [ "$major" -lt 8 ]; then
  echo "setup: installing QEMU user mode emulation from bookworm-backports"
  apt_dir="$CACHE/apt-backports"
  mkdir -p "$apt_dir/lists/partial" "$apt_dir/archives/partial" \
    "$apt_dir/sources.list.d" "$apt_dir/debs"
  mirror=""
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    mirror="$(awk '/^URIs:/ && $2 !~ /security/ {print $2; exit}' \
      /etc/apt/sources.list.d/debian.sources)"
  fi
  mirror="${mirror:-http://deb.debian.org/debian}"
  echo "deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg]" \
    "$mirror bookworm-backports main" >"$apt_dir/sources.list"
  opts=(
    -o "Dir::Etc::SourceList=$apt_dir/sources.list"
    -o "Dir::Etc::SourceParts=$apt_dir/sources.list.d"
    -o "Dir::State::Lists=$apt_dir/lists"
    -o "Dir::Cache=$apt_dir"
    -o "APT::Sandbox::User=root"
    -q
  )
  apt-get "${opts[@]}" update >/dev/null
  rm -f "$apt_dir/debs"/qemu-user_*.deb
  (cd "$apt_dir/debs" && apt-get "${opts[@]}" download qemu-user >/dev/null)
  deb="$(ls "$apt_dir/debs"/qemu-user_*.deb | head -n1)"
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q \
    --no-install-recommends "$deb"
fi

binfmt=/proc/sys/fs/binfmt_misc
if [ ! -e "$binfmt/register" ]; then
  $SUDO mount -t binfmt_misc binfmt_misc "$binfmt"
fi
entry="$binfmt/varnel-i386"
if [ -e "$entry" ] && ! grep -qx "interpreter /usr/bin/qemu-i386" "$entry"; then
  echo -1 | $SUDO tee "$entry" >/dev/null
fi
if [ ! -e "$entry" ]; then
  # ELF, 32-bit, little endian, executable or shared object, machine i386.
  magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
  mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
  echo ":varnel-i386:M::$magic:$mask:/usr/bin/qemu-i386:F" \
    | $SUDO tee "$binfmt/register" >/dev/null
fi
/lib/ld-linux.so.2 --version >/dev/null 2>&1 \
  || { echo "setup: i386 programs still do not run" >&2; exit 1; }
