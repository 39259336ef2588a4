#!/usr/bin/env bash
# Sets up the machine, builds varnel.exe and starts it under Wine: on the
# user's display, or on a private Xvfb when there is none. Arguments go to
# the program (e.g. tools/run.sh /t).
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"
jobs="${VARNEL_JOBS:-$(nproc)}"

"$ROOT/tools/setup.sh"
cmake --preset mingw >/dev/null
cmake --build --preset mingw -j "$jobs" --target varnel
# A prefix of its own: the tests' prefix runs inside a virtual desktop.
exec "$ROOT/tools/wine-run.sh" --prefix "$ROOT/build/mingw/wineprefix-run" \
  --user-display -- "$ROOT/build/mingw/bin/varnel.exe" "$@"
