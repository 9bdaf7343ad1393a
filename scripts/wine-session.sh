#!/usr/bin/env bash
# Runs a command inside a private headless Wine session and tears the session down afterwards.
#
#   scripts/wine-session.sh [--prefix DIR] [--keeper 'PROGRAM ARGS' --keeper-ready FILE] -- CMD...
#
# The session: a private Xvfb on a free display, a private 32-bit prefix (default
# build/wine-prefix, kept across runs), a persistent wineserver, no crash dialog, and a keeper
# window that stays open for the whole run so that Wine never tears its desktop down between
# tests. The keeper is notepad unless --keeper names a program; with --keeper-ready, the session
# waits until that file exists (the keeper writes it once its window is up).
# Exits with the command's status. Everything it started is stopped by PID or by prefix.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
prefix="$here/build/wine-prefix"
keeper=""
keeper_ready=""
while [ $# -gt 0 ]; do
  case "$1" in
    --prefix) prefix=$2; shift 2 ;;
    --keeper) keeper=$2; shift 2 ;;
    --keeper-ready) keeper_ready=$2; shift 2 ;;
    --) shift; break ;;
    *) break ;;
  esac
done
[ $# -gt 0 ] || { echo "usage: $0 [options] -- command..." >&2; exit 2; }

mkdir -p "$prefix"
prefix=$(cd "$prefix" && pwd)
export WINEPREFIX="$prefix" WINEARCH=win32 WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="

xvfb_pid=""
keeper_pid=""
fifo_dir=$(mktemp -d)

stop_session() {
  set +e
  wineserver -k >/dev/null 2>&1
  wineserver -w >/dev/null 2>&1
  [ -n "$keeper_pid" ] && wait "$keeper_pid" 2>/dev/null
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
  fi
  rm -rf "$fifo_dir"
}
trap stop_session EXIT

start_xvfb() {
  mkfifo "$fifo_dir/display"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset \
    3>"$fifo_dir/display" >/dev/null 2>&1 &
  xvfb_pid=$!
  local display
  read -r -t 20 display <"$fifo_dir/display" || { echo "Xvfb did not start" >&2; exit 1; }
  export DISPLAY=":$display"
}

start_wine() {
  wineserver -p
  wine wineboot -i >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
    >/dev/null 2>&1
}

start_keeper() {
  if [ -z "$keeper" ]; then
    wine notepad.exe </dev/null >/dev/null 2>&1 &
    keeper_pid=$!
    sleep 1
    return
  fi
  [ -z "$keeper_ready" ] || rm -f "$keeper_ready"
  # shellcheck disable=SC2086  # the keeper is a program and its arguments
  wine $keeper </dev/null >/dev/null 2>&1 &
  keeper_pid=$!
  [ -z "$keeper_ready" ] && return
  for _ in $(seq 200); do
    [ -e "$keeper_ready" ] && return
    sleep 0.05
  done
  echo "the keeper window did not come up" >&2
  exit 1
}

start_xvfb
start_wine
start_keeper
set +e
"$@"
status=$?
exit "$status"
