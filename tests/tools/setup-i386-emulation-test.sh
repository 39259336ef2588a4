#!/usr/bin/env bash
# Drives every decision of tools/setup-i386-emulation.sh and the lock wait of
# tools/setup-lib.sh with stand-ins: apt-get, mount, tee and sudo on a
# temporary PATH, a fake QEMU, a fake 32-bit loader and a folder standing in
# for binfmt_misc whose "register" file and entries behave as the kernel's.
# Installs nothing and needs no root. Prints one line per case and exits
# non-zero when any case failed.
set -uo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
SCRIPT="$ROOT/tools/setup-i386-emulation.sh"
passed=0
failed=0

# --- stand-ins -------------------------------------------------------------

# Writes the fake QEMU reporting the given version.
fake_qemu() {
  cat >"$T/qemu-i386" <<EOF
#!/bin/sh
echo "qemu-i386 version $1 (Debian 1:$1+ds-1)"
EOF
  chmod +x "$T/qemu-i386"
}

make_stubs() {
  mkdir -p "$T/bin" "$T/binfmt" "$T/cache"
  : >"$T/binfmt/register"

  # apt-get: logs its words; "download" leaves a package in the current
  # folder, "install" of it puts QEMU $STUB_QEMU_AFTER in place. While
  # $T/locks-left holds a number above 0, every call on the machine's own
  # apt state (not a private Dir::State::Lists) fails as apt does when
  # another run holds the lock.
  cat >"$T/bin/apt-get" <<'EOF'
#!/bin/bash
echo "apt-get $*" >>"$STUB_DIR/apt.log"
left=$(cat "$STUB_DIR/locks-left" 2>/dev/null || echo 0)
if [ "$left" -gt 0 ] && [[ " $* " != *Dir::State::Lists=* ]]; then
  echo $((left - 1)) >"$STUB_DIR/locks-left"
  echo "E: Could not get lock /var/lib/dpkg/lock-frontend. It is held by process 4242 (apt-get)" >&2
  exit 100
fi
case " $* " in
  *" download "*) : >qemu-user_1%3a10.0.2+ds-1~bpo12+1_amd64.deb ;;
  *" install "*qemu-user_*)
    printf '#!/bin/sh\necho "qemu-i386 version %s (Debian)"\n' \
      "$STUB_QEMU_AFTER" >"$STUB_DIR/qemu-i386"
    chmod +x "$STUB_DIR/qemu-i386" ;;
esac
exit 0
EOF

  cat >"$T/bin/mount" <<'EOF'
#!/bin/sh
echo "mount $*" >>"$STUB_DIR/mount.log"
: >"$STUB_DIR/binfmt/register"
EOF

  cat >"$T/bin/sudo" <<'EOF'
#!/bin/sh
exec "$@"
EOF

  # tee: the kernel's binfmt_misc for files below the fake folder, the real
  # tee elsewhere. A rule written to "register" makes an entry; "-1"
  # written to an entry removes it.
  cat >"$T/bin/tee" <<'EOF'
#!/bin/bash
input="$(cat)"
for f in "$@"; do
  case "$f" in
    "$STUB_DIR/binfmt/register")
      IFS=: read -r _ name _ _ _ _ interp flags <<<"$input"
      printf 'enabled\ninterpreter %s\nflags: %s\n' "$interp" "$flags" \
        >"$STUB_DIR/binfmt/$name"
      echo "register $name $interp" >>"$STUB_DIR/binfmt.log" ;;
    "$STUB_DIR/binfmt/"*)
      if [ "$input" = -1 ]; then
        rm -f "$f"
        echo "remove $(basename "$f")" >>"$STUB_DIR/binfmt.log"
      fi ;;
    *) printf '%s\n' "$input" | /usr/bin/tee "$f" >/dev/null ;;
  esac
done
printf '%s\n' "$input"
EOF

  # The 32-bit loader runs when the kernel runs such programs
  # ($T/kernel-runs-i386) or when an entry hands them to a working QEMU.
  cat >"$T/ld32" <<'EOF'
#!/bin/bash
[ -e "$STUB_DIR/kernel-runs-i386" ] && exit 0
for e in "$STUB_DIR"/binfmt/*; do
  [ "$(basename "$e")" = register ] && continue
  interp="$(sed -n 's/^interpreter //p' "$e")"
  [ -x "$interp" ] && "$interp" --version >/dev/null 2>&1 && exit 0
done
exit 1
EOF
  chmod +x "$T"/bin/* "$T/ld32"
}

# Runs the emulation script against the stand-ins; its output is in $T/out.
run_script() {
  env PATH="$T/bin:$PATH" STUB_DIR="$T" STUB_QEMU_AFTER="${STUB_QEMU_AFTER:-10.0.2}" \
    VARNEL_QEMU="$T/qemu-i386" VARNEL_BINFMT_DIR="$T/binfmt" \
    VARNEL_LD32="$T/ld32" VARNEL_CACHE_DIR="$T/cache" \
    VARNEL_APT_LOCK_POLL=0 VARNEL_APT_LOCK_TIMEOUT="${LOCK_TIMEOUT:-60}" \
    bash "$SCRIPT" >"$T/out" 2>&1
}

# --- checks ----------------------------------------------------------------

errors=()
expect() {  # expect DESCRIPTION COMMAND...
  local what="$1"
  shift
  "$@" || errors+=("$what")
}
installed_qemu() { grep -q ' install .*qemu-user_' "$T/apt.log" 2>/dev/null; }
no_apt() { [ ! -s "$T/apt.log" ]; }
entry_is() { grep -qx "interpreter $1" "$T/binfmt/varnel-i386" 2>/dev/null; }
no_entry() { [ ! -e "$T/binfmt/varnel-i386" ]; }
said() { grep -q -- "$1" "$T/out"; }

finish_case() {
  local name="$1"
  if [ ${#errors[@]} = 0 ]; then
    echo "ok   $name"
    passed=$((passed + 1))
  else
    echo "FAIL $name: ${errors[*]}"
    sed 's/^/     | /' "$T/out"
    failed=$((failed + 1))
  fi
  rm -rf "$T"
  errors=()
}

new_case() {
  T="$(mktemp -d)"
  make_stubs
}

# --- cases -------------------------------------------------------------------

new_case  # the fault that stopped fresh machines: no QEMU at all
run_script
expect "exit 0" [ $? = 0 ]
expect "installs QEMU" installed_qemu
expect "registers QEMU" entry_is "$T/qemu-i386"
finish_case "QEMU absent: installed and registered"

new_case
fake_qemu 7.2.19
run_script
expect "exit 0" [ $? = 0 ]
expect "installs QEMU" installed_qemu
expect "registers QEMU" entry_is "$T/qemu-i386"
finish_case "QEMU 7.2 present: the newer one is installed"

new_case
fake_qemu 10.0.2
run_script
expect "exit 0" [ $? = 0 ]
expect "no apt" no_apt
expect "registers QEMU" entry_is "$T/qemu-i386"
finish_case "QEMU 10 present: registered without apt"

new_case
fake_qemu 10.0.2
printf 'enabled\ninterpreter /usr/bin/qemu-i386-static\nflags: F\n' \
  >"$T/binfmt/varnel-i386"
run_script
expect "exit 0" [ $? = 0 ]
expect "no apt" no_apt
expect "interpreter replaced" entry_is "$T/qemu-i386"
expect "says so" said "replacing the i386 entry"
finish_case "entry registered with another interpreter: replaced"

new_case
fake_qemu 10.0.2
printf 'enabled\ninterpreter %s\nflags: F\n' "$T/qemu-i386" \
  >"$T/binfmt/varnel-i386"
run_script
expect "exit 0" [ $? = 0 ]
expect "no apt" no_apt
expect "no binfmt writes" [ ! -e "$T/binfmt.log" ]
finish_case "everything in place: nothing to do"

new_case
: >"$T/kernel-runs-i386"
run_script
expect "exit 0" [ $? = 0 ]
expect "no apt" no_apt
expect "no entry" no_entry
expect "no mount" [ ! -e "$T/mount.log" ]
finish_case "kernel runs 32-bit programs: untouched"

new_case
fake_qemu 10.0.2
rm -f "$T/binfmt/register"
run_script
expect "exit 0" [ $? = 0 ]
expect "mounts binfmt_misc" grep -q binfmt_misc "$T/mount.log"
expect "registers QEMU" entry_is "$T/qemu-i386"
finish_case "binfmt_misc not mounted: mounted first"

new_case
STUB_QEMU_AFTER=7.2.19 run_script
expect "fails" [ $? != 0 ]
expect "names the version" said "is 7 after the install"
expect "no entry" no_entry
finish_case "install leaves an old QEMU: a clear failure"

new_case
echo 2 >"$T/locks-left"
run_script
expect "exit 0" [ $? = 0 ]
expect "waited" said "another apt run holds the package lock"
expect "installs QEMU" installed_qemu
finish_case "apt lock held for a while: set-up waits"

new_case
echo 1000 >"$T/locks-left"
LOCK_TIMEOUT=0 run_script
expect "fails" [ $? != 0 ]
expect "says the lock was held" said "lock was still held"
finish_case "apt lock never freed: a bounded wait, then failure"

new_case
(
  # shellcheck source=tools/setup-lib.sh
  . "$ROOT/tools/setup-lib.sh"
  set -e
  step "demonstrating a failure" sh -c 'echo "the real reason" >&2; exit 3'
) >"$T/out" 2>&1
expect "fails" [ $? = 3 ]
expect "names the step" said 'step "demonstrating a failure" failed (exit 3)'
expect "shows the message" said "  | the real reason"
finish_case "a failing step names itself and shows the command's message"

echo "emulation cases: $passed ok, $failed failed"
[ "$failed" = 0 ]
