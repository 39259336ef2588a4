#!/usr/bin/env bash
# Sets up the machine, builds the release varnel.exe (the one users get)
# and starts it under Wine: on the user's display, or on a private Xvfb when
# there is none. Arguments go to the program (e.g. tools/run.sh /t).
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"
jobs="${VARNEL_JOBS:-$(nproc)}"

"$ROOT/tools/setup.sh"
cmake --preset release >/dev/null
cmake --build --preset release -j "$jobs" --target varnel
# A prefix of its own: the tests' prefix runs inside a virtual desktop.
exec "$ROOT/tools/wine-run.sh" --prefix "$ROOT/build/mingw/wineprefix-run" \
  --user-display -- "$ROOT/build/release/bin/varnel.exe" "$@"
