#!/usr/bin/env bash
# Packets that do not parse, sent straight to the dispatcher window with SendMessageA: each is
# answered 0 and counted, the good packets around them still answered 1, and the dispatcher
# stays up until it is told to stop.
here=$(cd "$(dirname "$0")" && pwd)
source "$here/dispatcher_common.sh"

require_no_dispatcher
log="$work/refused.log"
start_dispatcher --log "$(winpath "$log")"
wine "$WL_RAW_HOST" --refused >"$work/answers.out" 2>&1 || { cat "$work/answers.out"; fail "answers"; }
stop_dispatcher

refused=$(grep -c '| Dispatcher     | .* | refused packet: ' "$log" || true)
[ "$refused" -eq 8 ] || fail "expected 8 refusals in the log, found $refused"
grep -q 'stopped: 4 accepted, 8 refused, 0 connections open' "$log" || fail "stop record"
for reason in 'no data' 'text lengths do not match the size' 'shorter than the fixed part' \
  'missing terminator' 'dwData differs from the kind'; do
  grep -q "refused packet: $reason" "$log" || fail "no refusal for: $reason"
done
[ "$(grep -c '| between refusals' "$log")" -eq 2 ] || fail "the good packets are not both logged"
echo "refused packets: all answered 0, counted, dispatcher stayed up"
