# Functions shared by the set-up scripts (sourced, not run).
# shellcheck shell=bash

SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive

# How long an apt or dpkg command waits for a lock held by another run (a
# fresh machine often runs its own apt just after boot), and how often it
# looks again.
APT_LOCK_TIMEOUT="${VARNEL_APT_LOCK_TIMEOUT:-900}"
APT_LOCK_POLL="${VARNEL_APT_LOCK_POLL:-5}"

# Runs "$@" with errexit off, whatever the caller set; its status is in rc.
# Both helpers below must look at a failure instead of dying on it.
without_errexit() {
  local errexit=0
  case $- in *e*) errexit=1 ;; esac
  set +e
  "$@"
  rc=$?
  if [ "$errexit" = 1 ]; then set -e; fi
  return 0
}

# step NAME COMMAND...: runs one set-up step, its output shown as it comes.
# On failure it names the step and the command and repeats the command's
# own last lines, so that whoever reads the end of the log can act on it.
step() {
  local name="$1" log rc
  shift
  log="$(mktemp)"
  without_errexit run_logged "$log" "$@"
  if [ "$rc" != 0 ]; then
    {
      echo "setup: step \"$name\" failed (exit $rc): $*"
      tail -n 20 "$log" | sed 's/^/  | /'
    } >&2
  fi
  rm -f "$log"
  return "$rc"
}

# run_logged LOG COMMAND...: the command's output to the terminal and LOG;
# the command's own status.
run_logged() {
  local log="$1"
  shift
  "$@" 2>&1 | tee "$log"
  return "${PIPESTATUS[0]}"
}

# apt_run ARGS...: apt-get as root, waiting while another apt or dpkg run
# holds one of the package locks, up to APT_LOCK_TIMEOUT seconds; any other
# failure ends it at once.
apt_run() {
  local deadline log rc
  deadline=$(($(date +%s) + APT_LOCK_TIMEOUT))
  log="$(mktemp)"
  while :; do
    without_errexit run_logged "$log" $SUDO apt-get \
      -o "DPkg::Lock::Timeout=$APT_LOCK_TIMEOUT" "$@"
    if [ "$rc" = 0 ] || ! grep -qE 'Could not get lock|Unable to acquire the dpkg frontend lock|Unable to lock' "$log"; then
      break
    fi
    if [ "$(date +%s)" -ge "$deadline" ]; then
      echo "setup: apt's lock was still held after ${APT_LOCK_TIMEOUT}s" >&2
      break
    fi
    echo "setup: another apt run holds the package lock; waiting" >&2
    sleep "$APT_LOCK_POLL"
  done
  rm -f "$log"
  return "$rc"
}

# The mirror of the machine's own Debian sources (deb822 or one-line form),
# so private apt configurations fetch from where the machine does.
debian_mirror() {
  local mirror=""
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    mirror="$(awk '/^URIs:/ && $2 !~ /security/ {print $2; exit}' \
      /etc/apt/sources.list.d/debian.sources)"
  fi
  if [ -z "$mirror" ] && [ -f /etc/apt/sources.list ]; then
    mirror="$(awk '$1 == "deb" && $0 !~ /security/ {
      for (i = 2; i <= NF; i++) if ($i ~ /^[a-z]+:\/\//) { print $i; exit } }' \
      /etc/apt/sources.list)"
  fi
  echo "${mirror:-http://deb.debian.org/debian}"
}
