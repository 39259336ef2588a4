#!/usr/bin/env bash
# Builds libjpeg-turbo for the MinGW toolchain from Debian's source package
# into the build tree's cache (static library only). Skips when it is there.
#
# The source comes through a private apt configuration (own sources.list with
# a deb-src line, own lists and cache) so the machine's apt set-up stays as it
# is and no third-party source lives in the repository.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
CACHE="${VARNEL_CACHE_DIR:-$ROOT/build/cache}"
PREFIX="$CACHE/libjpeg-mingw"
STAMP="$PREFIX/.built"
JOBS="${VARNEL_JOBS:-$(( $(nproc) < 4 ? $(nproc) : 4 ))}"

if [ -f "$STAMP" ] && [ -f "$PREFIX/lib/libjpeg.a" ]; then
  exit 0
fi

APTDIR="$CACHE/apt"
SRCDIR="$CACHE/libjpeg-src"
BLDDIR="$CACHE/libjpeg-build"
rm -rf "$SRCDIR" "$BLDDIR" "$PREFIX"
mkdir -p "$APTDIR/lists/partial" "$APTDIR/archives/partial" "$SRCDIR" \
  "$BLDDIR"

# shellcheck source=tools/setup-lib.sh
. "$ROOT/tools/setup-lib.sh"

# The same mirror as the machine's own sources, with deb-src.
mirror="$(debian_mirror)"
keyring=""
if [ -f /etc/apt/sources.list.d/debian.sources ]; then
  keyring="$(awk '/^Signed-By:/ {print $2; exit}' \
    /etc/apt/sources.list.d/debian.sources)"
fi
keyring="${keyring:-/usr/share/keyrings/debian-archive-keyring.gpg}"
echo "deb-src [signed-by=$keyring] $mirror bookworm main" \
  >"$APTDIR/sources.list"

APT_OPTS=(
  -o "Dir::Etc::SourceList=$APTDIR/sources.list"
  -o "Dir::Etc::SourceParts=$APTDIR/sources.list.d"
  -o "Dir::State::Lists=$APTDIR/lists"
  -o "Dir::Cache=$APTDIR"
  -o "Dir::Cache::archives=$APTDIR/archives"
  -o "APT::Sandbox::User=root"
  -q
)
mkdir -p "$APTDIR/sources.list.d"
echo "build-libjpeg: fetching libjpeg-turbo source"
apt-get "${APT_OPTS[@]}" update
(cd "$SRCDIR" && apt-get "${APT_OPTS[@]}" source libjpeg-turbo)
src="$(find "$SRCDIR" -mindepth 1 -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -n1)"
if [ -z "$src" ]; then
  echo "build-libjpeg: no libjpeg-turbo source unpacked in $SRCDIR" >&2
  exit 1
fi

echo "build-libjpeg: building $(basename "$src") with MinGW"
simd=OFF
if command -v nasm >/dev/null 2>&1; then simd=ON; fi
cmake -S "$src" -B "$BLDDIR" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" \
  -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$PREFIX" \
  -DENABLE_SHARED=OFF -DENABLE_STATIC=ON \
  -DWITH_TURBOJPEG=OFF -DWITH_SIMD="$simd" \
  -DCMAKE_POSITION_INDEPENDENT_CODE=OFF >"$BLDDIR.log" 2>&1 \
  || { cat "$BLDDIR.log" >&2; exit 1; }
cmake --build "$BLDDIR" -j "$JOBS" --target install >>"$BLDDIR.log" 2>&1 \
  || { tail -n 50 "$BLDDIR.log" >&2; exit 1; }
test -f "$PREFIX/lib/libjpeg.a"
rm -rf "$SRCDIR" "$BLDDIR"
touch "$STAMP"
echo "build-libjpeg: installed into $PREFIX"
