#!/usr/bin/env bash
# --tail follows a live session: started before the dispatcher (the log does not exist yet), it
# prints every record as it is appended and ends at the dispatcher's stop record. What it printed
# is the log, byte for byte.
here=$(cd "$(dirname "$0")" && pwd)
source "$here/dispatcher_common.sh"

require_no_dispatcher
log="$work/live.log"
wine "$WL_DISPATCHER_EXE" --tail "$(winpath "$log")" --until-stopped </dev/null \
  >"$work/tail.out" 2>/dev/null &
tail_pid=$!
start_dispatcher --log "$(winpath "$log")"
wine "$WL_RAW_HOST" --refused >/dev/null 2>&1 || fail "the raw session was not answered as expected"
stop_dispatcher

for _ in $(seq 100); do
  kill -0 "$tail_pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$tail_pid" 2>/dev/null; then
  kill "$tail_pid"
  fail "--tail did not end at the stop record"
fi
wait "$tail_pid" || fail "--tail exited with an error"
cmp "$log" "$work/tail.out" || fail "--tail printed something other than the log"
[ "$(wc -l <"$work/tail.out")" -ge 14 ] || fail "--tail printed too little"
echo "tail: followed $(wc -l <"$work/tail.out") lines live"
