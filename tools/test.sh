#!/usr/bin/env bash
# Sets up the machine, builds and runs every test: the Windows build under
# Wine, the native build with AddressSanitizer and UBSan, and each fuzzer for
# a few seconds. Ends with "N passed, N failed" over all CTest runs and exits
# non-zero when anything failed (a failed set-up, configure or build counts
# as one failure).
set -uo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT" || exit 1
start=$(date +%s)

jobs="${VARNEL_JOBS:-$(nproc)}"
if [ -z "${VARNEL_JOBS:-}" ] && [ -z "${CI:-}" ] && [ "$jobs" -gt 4 ]; then
  # Leave room for the other work on a developer's machine.
  jobs=4
fi

passed=0
failed=0
wine_prefix="$ROOT/build/mingw/wineprefix"

finish() {
  "$ROOT/tools/wine-run.sh" --prefix "$wine_prefix" --stop >/dev/null 2>&1
  local took=$(( $(date +%s) - start ))
  echo
  printf 'took %dm%02ds\n' $((took / 60)) $((took % 60))
  echo "$passed passed, $failed failed"
  if [ "$failed" -gt 0 ]; then exit 1; fi
  exit 0
}

section() {
  echo
  echo "=== $* ==="
}

# Configures, builds and tests one preset; adds its counts to the totals.
run_preset() {
  local preset="$1" log
  log="$(mktemp)"
  section "$preset: configure and build"
  if ! cmake --preset "$preset" >"$log" 2>&1; then
    cat "$log"
    echo "$preset: configure failed"
    failed=$((failed + 1))
    rm -f "$log"
    return
  fi
  if ! cmake --build --preset "$preset" -j "$jobs"; then
    echo "$preset: build failed"
    failed=$((failed + 1))
    rm -f "$log"
    return
  fi
  section "$preset: tests"
  if [ "$preset" = mingw ]; then
    # Making the Wine prefix takes minutes under emulation: not inside the
    # first test's time-out.
    if ! timeout 1200 "$ROOT/tools/wine-run.sh" --prefix "$wine_prefix" \
      --keepalive "$ROOT/build/mingw/bin/wine_keepalive.exe" --start; then
      echo "mingw: the Wine session did not start"
      failed=$((failed + 1))
      rm -f "$log"
      return
    fi
  fi
  ctest --preset "$preset" -j "$jobs" --timeout 300 --no-tests=error \
    --output-on-failure 2>&1 | tee "$log"
  local rc=${PIPESTATUS[0]}
  local summary total bad
  summary="$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n1)"
  if [ -n "$summary" ]; then
    bad="$(echo "$summary" | sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/')"
    total="$(echo "$summary" | sed -E 's/.*out of ([0-9]+).*/\1/')"
    passed=$((passed + total - bad))
    failed=$((failed + bad))
    if [ "$bad" = 0 ] && [ "$rc" != 0 ]; then
      failed=$((failed + 1))  # ctest itself failed
    fi
  else
    echo "$preset: ctest ran no tests"
    failed=$((failed + 1))
  fi
  rm -f "$log"
}

# A check that is not a CTest run: counts as one test.
run_check() {
  local name="$1"
  shift
  section "$name"
  if "$@"; then
    passed=$((passed + 1))
  else
    echo "$name: failed"
    failed=$((failed + 1))
  fi
}

trap finish EXIT

# Needs nothing installed, so it runs even where set-up itself fails.
run_check "set-up scripts: emulation decisions" \
  bash "$ROOT/tests/tools/setup-i386-emulation-test.sh"

section "set-up"
if ! "$ROOT/tools/setup.sh"; then
  echo "set-up failed (the step that failed is named above)"
  failed=$((failed + 1))
  exit 1
fi

run_check "set-up scripts: shellcheck" \
  shellcheck -x tools/*.sh tests/tools/*.sh .ci/run

run_preset mingw
run_preset native
run_preset fuzz
