#!/usr/bin/env bash
# Takes a picture of varnel.exe's main window for the README: starts the
# program under Wine on a private Xvfb, waits until its window is up,
# captures Wine's desktop and trims it to the window.
#
#   tools/screenshot.sh [OUTPUT.png]   (default docs/main-window.png)
#
# Uses the release build when one exists (tools/run.sh makes it), else the
# debug build; and the test prefix of that build tree, which must exist.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="${1:-$ROOT/docs/main-window.png}"
tree="$ROOT/build/release"
[ -x "$tree/bin/varnel.exe" ] || tree="$ROOT/build/mingw"
exe="$tree/bin/varnel.exe"
prefix="$ROOT/build/mingw/wineprefix"
[ -x "$exe" ] || { echo "screenshot: no $exe: build it first" >&2; exit 1; }
[ -f "$prefix/system.reg" ] || { echo "screenshot: no Wine prefix $prefix" >&2; exit 1; }
command -v import >/dev/null || { echo "screenshot: needs ImageMagick" >&2; exit 1; }

work="$(mktemp -d)"
xvfb_pid=""
wine_pid=""
cleanup() {
  [ -n "$wine_pid" ] && kill "$wine_pid" 2>/dev/null
  WINEPREFIX="$prefix" /usr/lib/wine/wineserver -k 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# The tests' session holds the prefix: end it first.
"$ROOT/tools/wine-run.sh" --prefix "$prefix" --stop >/dev/null 2>&1 || true

# A throwaway copy of the prefix, given two groups of places, so that the
# picture shows what a user sees (filled grids, the installed group in red)
# and the tests' prefix stays as it was.
cp -a "$prefix" "$work/prefix"
prefix="$work/prefix"
mkdir -p "$prefix/drive_c/users/Public/Projects"
cat >"$work/groups.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Holvane Software\Varnel\Groups\CommonDlg\Work]
"Flags"=dword:00000007

[HKEY_CURRENT_USER\Software\Holvane Software\Varnel\Groups\CommonDlg\Work\Place0]
"Path"=dword:00000005

[HKEY_CURRENT_USER\Software\Holvane Software\Varnel\Groups\CommonDlg\Work\Place1]
"Path"="C:\\users\\Public\\Projects"

[HKEY_CURRENT_USER\Software\Holvane Software\Varnel\Groups\CommonDlg\Work\Place2]
"Path"=dword:00000011

[HKEY_CURRENT_USER\Software\Holvane Software\Varnel\Groups\CommonDlg\Other]
"Flags"=dword:00000001

[HKEY_CURRENT_USER\Software\Holvane Software\Varnel\Groups\CommonDlg\Other\Place0]
"Path"=dword:00000000
REG

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" \
  >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
DISPLAY=":$(cat "$work/display")"
export DISPLAY

WINEPREFIX="$prefix" WINEARCH=win32 WINEDEBUG=-all \
  /usr/lib/wine/wine regedit /S "$work/groups.reg" >/dev/null 2>&1

WINEPREFIX="$prefix" WINEARCH=win32 WINEDEBUG=-all \
  WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" \
  /usr/lib/wine/wine "$exe" >/dev/null 2>&1 &
wine_pid=$!

# Wine draws its desktop as one X window; the program's window is in it.
desktop=""
for _ in $(seq 300); do
  desktop="$(xdotool search --name 'Wine desktop' 2>/dev/null | head -1 || true)"
  [ -n "$desktop" ] && break
  sleep 0.1
done
[ -n "$desktop" ] || { echo "screenshot: Wine's desktop did not show" >&2; exit 1; }
# Give the program time to paint its first frame.
sleep "${VARNEL_SHOT_DELAY:-8}"
mkdir -p "$(dirname "$out")"
import -window "$desktop" "$work/desktop.png"
# The desktop's background is one colour once its taskbar is cut off:
# what is left is the window.
convert "$work/desktop.png" -crop +0-24 +repage -trim +repage "$out"
echo "$out"
