#!/usr/bin/env bash
# The main job: builds everything, then, in a private headless Wine session, lets a stand-in
# server call Wrenbridge.dll like a stored procedure and its trigger. The library starts
# WLDispatcher.exe by itself (the bare command line "WLDispatcher.exe", found beside the host,
# plus --jsonl, from the registry value DispatcherPath). The command prints what the host said,
# the live view as "WLDispatcher.exe --tail" followed it, and the logs; then it stops the
# dispatcher and the Wine session.
#
#   scripts/main-job.sh            (as root on a fresh Debian 12: installs what is missing first)
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
job="$top/build/main-job"
server="$job/server"
key='HKLM\Software\Tolvane\Wrenlog\2.0'

quiet() {
  local log=$1
  shift
  "$@" >"$log" 2>&1 || { tail -n 40 "$log"; echo "main-job: failed, see $log" >&2; exit 1; }
}

build_everything() {
  mkdir -p "$job"
  if [ "$(id -u)" -eq 0 ]; then quiet "$job/install.log" bash "$top/scripts/install-deps.sh"; fi
  echo "main-job: building (native and mingw-w64 i686)"
  quiet "$job/native.log" cmake -S "$top" -B "$top/build/native" -G Ninja
  quiet "$job/native-build.log" cmake --build "$top/build/native"
  quiet "$job/mingw.log" cmake -S "$top" -B "$top/build/mingw" -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-i686.cmake"
  quiet "$job/mingw-build.log" cmake --build "$top/build/mingw"
}

# The server's folder: the host, the library beside it, and the dispatcher where the host's
# command-line search finds it (the folder the host was loaded from).
stage_server() {
  rm -rf "$server"
  mkdir -p "$server"
  cp "$top/build/mingw/tools/demo-host/host_demo.exe" "$top/build/mingw/udf/Wrenbridge.dll" \
    "$top/build/mingw/tools/dispatcher/WLDispatcher.exe" "$server/"
}

section() { printf '\n===== %s\n' "$1"; }

inside_session() {
  local logs="$WINEPREFIX/drive_c/ProgramData/Wrenlog" tail_pid
  cd "$server"
  wine WLDispatcher.exe --stop --wait 10 >/dev/null 2>&1 || true  # none left from before
  wine reg add "$key" /v DispatcherPath /t REG_SZ /d 'WLDispatcher.exe --jsonl' /f >/dev/null 2>&1
  rm -rf "$logs"
  wine WLDispatcher.exe --tail --until-stopped </dev/null >"$job/view.txt" 2>/dev/null &
  tail_pid=$!
  wine host_demo.exe </dev/null >"$job/host.txt" 2>&1
  wine WLDispatcher.exe --stop --wait 20 >"$job/stop.txt" 2>&1
  for _ in $(seq 100); do kill -0 "$tail_pid" 2>/dev/null || break; sleep 0.1; done
  kill "$tail_pid" 2>/dev/null || true
  wine reg delete "$key" /v DispatcherPath /f >/dev/null 2>&1 || true
  rm -rf "$job/logs" && cp -r "$logs" "$job/logs"
  report
}

report() {
  section "the host (host_demo.exe calling Wrenbridge.dll)"
  cat "$job/host.txt"
  section "the live view (WLDispatcher.exe --tail, as the records arrived)"
  cat "$job/view.txt"
  section "log files (C:\\ProgramData\\Wrenlog, copied to build/main-job/logs)"
  (cd "$job/logs" && ls -l | tail -n +2)
  if [ -e "$job/logs/WLDispatcher.audit.log" ]; then
    section "the Audit destination's own log"
    cat "$job/logs/WLDispatcher.audit.log"
  fi
  section "JSON Lines (first three records)"
  head -n 3 "$job/logs/WLDispatcher.jsonl"
  section "stop"
  cat "$job/stop.txt"
}

if [ "${1:-}" = "--inside" ]; then
  inside_session
  exit 0
fi
build_everything
stage_server
echo "main-job: running the session under Wine"
"$top/scripts/wine-session.sh" --prefix "$top/build/wine-prefix" -- "$0" --inside
status=$?
echo
echo "main-job: done (the dispatcher and the Wine session are stopped)"
exit $status
