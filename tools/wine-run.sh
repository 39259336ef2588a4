#!/usr/bin/env bash
# Runs a Windows program under Wine in a prefix that belongs to a build tree.
#
#   wine-run.sh --prefix DIR [--keepalive EXE] [--] program.exe [args...]
#       Test mode (CTest's CMAKE_CROSSCOMPILING_EMULATOR). Always on a private
#       Xvfb, inside a Wine virtual desktop, in one warm session shared by
#       every test of the run: a persistent wineserver plus a keep-alive
#       process, started by the first test. Exits with the program's code.
#   wine-run.sh --prefix DIR --user-display [--] program.exe [args...]
#       Runs the program on $DISPLAY (on a private Xvfb when there is none),
#       with ordinary windows, and waits until Wine has finished.
#   wine-run.sh --prefix DIR [--keepalive EXE] --start
#       Starts the warm session of test mode (making the prefix first when
#       there is none) and returns, so that the first test does not pay for
#       it inside its time-out.
#   wine-run.sh --prefix DIR --stop
#       Ends the prefix's session: its Wine processes, wineserver and Xvfb.
#
# The prefix is made once (under a lock) and set up for unattended runs: no
# Mono, Gecko or menu builder, no crash dialog (a crash ends the process
# rather than waiting in the debugger), user folders that are plain folders
# instead of links into $HOME, and for tests a virtual desktop (a window on
# the bare X server costs seconds).
#
# Wine's own trace channels stay off; VARNEL_WINEDEBUG sets them instead
# ("+timestamp,+debugstr" shows what the program writes with
# OutputDebugString, with times).
set -uo pipefail

die() {
  echo "wine-run: $*" >&2
  exit 125
}

# The Windows form of a Unix path, through Wine's Z: drive.
windows_path() {
  printf 'Z:%s\n' "${1//\//\\}"
}

prefix=""
keepalive=""
user_display=0
stop=0
start_only=0
while [ $# -gt 0 ]; do
  case "$1" in
    --prefix) prefix="${2:-}"; shift 2 ;;
    --keepalive) keepalive="${2:-}"; shift 2 ;;
    --user-display) user_display=1; shift ;;
    --stop) stop=1; shift ;;
    --start) start_only=1; shift ;;
    --) shift; break ;;
    -*) die "unknown option $1" ;;
    *) break ;;
  esac
done
[ -n "$prefix" ] || die "--prefix is required"
case "$prefix" in /*) ;; *) prefix="$PWD/$prefix" ;; esac

WINE="${VARNEL_WINE:-/usr/lib/wine/wine}"
[ -x "$WINE" ] || WINE="$(command -v wine-stable || command -v wine)" \
  || die "wine not found (run tools/setup.sh)"
WINESERVER="${VARNEL_WINESERVER:-/usr/lib/wine/wineserver}"
[ -x "$WINESERVER" ] || WINESERVER="$(command -v wineserver)" \
  || die "wineserver not found (run tools/setup.sh)"

export WINEPREFIX="$prefix"
export WINEARCH=win32
export WINESERVER
export WINEDEBUG="${VARNEL_WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

session="$prefix.session"
mkdir -p "$session" || die "cannot create $session"

# Pid files are trusted only while the process still runs the same program.
alive() {
  local pidfile="$1" pattern="$2" pid
  [ -f "$pidfile" ] || return 1
  pid="$(cat "$pidfile" 2>/dev/null)"
  [ -n "$pid" ] && [ -r "/proc/$pid/cmdline" ] || return 1
  tr '\0' ' ' <"/proc/$pid/cmdline" | grep -q -- "$pattern"
}

kill_pidfile() {
  local pidfile="$1" pattern="$2" pid
  if alive "$pidfile" "$pattern"; then
    pid="$(cat "$pidfile")"
    kill "$pid" 2>/dev/null
    for _ in $(seq 50); do
      [ -d "/proc/$pid" ] || break
      sleep 0.1
    done
    kill -9 "$pid" 2>/dev/null
  fi
  rm -f "$pidfile"
}

# Starts a private Xvfb on a free display; prints the display.
start_xvfb() {
  local dir="$1" display=""
  rm -f "$dir/xvfb.display"
  setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp \
    </dev/null >/dev/null 2>"$dir/xvfb.log" 3>"$dir/xvfb.display" 9>&- &
  echo $! >"$dir/xvfb.pid"
  for _ in $(seq 100); do
    display="$(cat "$dir/xvfb.display" 2>/dev/null)"
    [ -n "$display" ] && break
    sleep 0.1
  done
  [ -n "$display" ] || die "Xvfb did not start: $(cat "$dir/xvfb.log")"
  echo ":$display"
}

stop_session() {
  if [ -d "$prefix/drive_c" ]; then
    "$WINESERVER" -k >/dev/null 2>&1
  fi
  kill_pidfile "$session/keepalive.pid" wine_keepalive
  kill_pidfile "$session/xvfb.pid" Xvfb
  rm -f "$session/display" "$session/ready"
}

# Registry settings for unattended runs.
write_reg() {
  local desktop="$1"
  cat <<'EOF'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\AeDebug]
"Auto"="1"
"Debugger"="false"

EOF
  if [ "$desktop" = 1 ]; then
    cat <<'EOF'
[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"Default"="1024x768"

EOF
  fi
}

# Makes the prefix once. Runs under the session lock.
ensure_prefix() {
  local desktop="$1" link
  [ -f "$prefix/.varnel-ready" ] && return 0
  echo "wine-run: creating Wine prefix $prefix" >&2
  "$WINESERVER" -k >/dev/null 2>&1
  rm -rf "$prefix"
  mkdir -p "$prefix"
  DISPLAY="" "$WINE" wineboot -i </dev/null >"$session/wineboot.log" 2>&1 9>&-
  "$WINESERVER" -w
  [ -f "$prefix/system.reg" ] \
    || die "wineboot failed: $(tail -n 20 "$session/wineboot.log")"
  write_reg "$desktop" >"$session/settings.reg"
  DISPLAY="" "$WINE" regedit /S "$(windows_path "$session/settings.reg")" \
    </dev/null >>"$session/wineboot.log" 2>&1 9>&-
  "$WINESERVER" -w
  # Wine links Desktop, Documents, ... to the user's home: tests must not
  # write there.
  while IFS= read -r link; do
    rm -f "$link" && mkdir -p "$link"
  done < <(find "$prefix/drive_c/users" -mindepth 2 -maxdepth 2 -type l)
  touch "$prefix/.varnel-ready"
}

if [ "$stop" = 1 ]; then
  exec 9>"$session/lock"
  flock 9
  stop_session
  exit 0
fi

[ $# -gt 0 ] || [ "$start_only" = 1 ] || die "no program given"

if [ "$user_display" = 1 ]; then
  exec 9>"$session/lock"
  flock 9
  ensure_prefix 0
  own_xvfb=0
  if [ -z "${DISPLAY:-}" ]; then
    DISPLAY="$(start_xvfb "$session")" || exit 125
    export DISPLAY
    own_xvfb=1
  fi
  flock -u 9
  exec 9>&-
  "$WINE" "$@"
  rc=$?
  "$WINESERVER" -w
  if [ "$own_xvfb" = 1 ]; then
    kill_pidfile "$session/xvfb.pid" Xvfb
  fi
  exit "$rc"
fi

# Test mode: make sure the warm session runs, then hand over to Wine.
exec 9>"$session/lock"
flock 9
ensure_prefix 1
if ! alive "$session/xvfb.pid" Xvfb || ! [ -f "$session/display" ] \
  || { [ -n "$keepalive" ] && [ -f "$keepalive" ] \
       && ! alive "$session/keepalive.pid" wine_keepalive; }; then
  stop_session
  display="$(start_xvfb "$session")" || exit 125
  echo "$display" >"$session/display"
  export DISPLAY="$display"
  setsid "$WINESERVER" -p </dev/null >/dev/null 2>&1 9>&-
  if [ -n "$keepalive" ] && [ -f "$keepalive" ]; then
    ready="$session/ready"
    rm -f "$ready"
    setsid "$WINE" "$keepalive" "$(windows_path "$ready")" \
      </dev/null >/dev/null 2>&1 9>&- &
    echo $! >"$session/keepalive.pid"
    for _ in $(seq 600); do
      [ -f "$ready" ] && break
      alive "$session/keepalive.pid" wine_keepalive || break
      sleep 0.1
    done
    [ -f "$ready" ] || echo "wine-run: keep-alive did not come up" >&2
  fi
fi
DISPLAY="$(cat "$session/display")"
export DISPLAY
flock -u 9
exec 9>&-
[ "$start_only" = 1 ] && exit 0
exec "$WINE" "$@"
