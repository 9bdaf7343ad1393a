# Shared by the dispatcher's Wine tests (sourced). Runs inside a Wine session
# (scripts/wine-session.sh): WINEPREFIX and DISPLAY are set, and a keeper window is open.
#
# Needs: WL_DISPATCHER_EXE, WL_RAW_HOST and a work directory as $1 of the test.
set -euo pipefail

work=$1
rm -rf "$work"
mkdir -p "$work"
dispatcher_pid=""
registry_key='HKLM\Software\Tolvane\Wrenlog\2.0'

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# A Unix path as Wine sees it.
winpath() { printf 'Z:%s' "${1//\//\\}"; }

# Stops what the test started: the dispatcher through its window, then by the PID we know.
cleanup() {
  set +e
  wine "$WL_DISPATCHER_EXE" --stop --wait 10 >/dev/null 2>&1
  if [ -n "$dispatcher_pid" ]; then
    kill "$dispatcher_pid" 2>/dev/null
    wait "$dispatcher_pid" 2>/dev/null
  fi
  wine reg delete "$registry_key" /v DispatcherPath /f >/dev/null 2>&1
}
trap cleanup EXIT

require_no_dispatcher() {
  wine "$WL_RAW_HOST" --no-window || fail "a dispatcher window was left over from before"
}

# Starts the dispatcher by hand with the given arguments and waits for its window.
start_dispatcher() {
  wine "$WL_DISPATCHER_EXE" "$@" </dev/null >/dev/null 2>&1 &
  dispatcher_pid=$!
  wine "$WL_RAW_HOST" --wait-window 20 || fail "the dispatcher window did not come up"
}

stop_dispatcher() {
  wine "$WL_DISPATCHER_EXE" --stop --wait 20 >"$work/stop.out" 2>&1 || fail "--stop: $(cat "$work/stop.out")"
  if [ -n "$dispatcher_pid" ]; then
    wait "$dispatcher_pid" 2>/dev/null || true
    dispatcher_pid=""
  fi
  wine "$WL_RAW_HOST" --no-window || fail "the dispatcher window is still there after --stop"
}

# A log with what varies from run to run replaced: stamps, process and thread ids, connection
# ids (numbered in order of appearance, so that open and close still pair up), memory figures.
normalise() {
  tr -d '\r' <"$1" |
    sed -E 's/^[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}\.[0-9]{3}/TIME/;
            s/ [0-9]+:[0-9]+ \| / PID:TID | /;
            s/^( +[A-Za-z ]+)=[0-9,.]+%?$/\1=N/;
            s/(started: log ).*(, code page)/\1LOG\2/' |
    awk '{ while (match($0, /\{[0-9A-F]+-[0-9A-F]+-[0-9A-F]+-[0-9A-F]+-[0-9A-F]+\}/)) {
             id = substr($0, RSTART, RLENGTH)
             if (!(id in seen)) seen[id] = ++n
             $0 = substr($0, 1, RSTART - 1) "{ID" seen[id] "}" substr($0, RSTART + RLENGTH)
           }
           print }'
}

expect_same() {  # expected-file actual-file what
  diff -u "$1" "$2" >"$work/diff.out" || { cat "$work/diff.out" >&2; fail "$3 differs"; }
}
