#!/usr/bin/env bash
# The dispatcher as the library starts it: the registry names it (with its log path and
# --jsonl), the demo host loads Wrenbridge.dll and runs a stored procedure and its trigger, and
# the library starts the dispatcher at the first message. The log then holds exactly the
# expected records: connections opened and closed, the nesting of the procedure and the
# trigger, categories, the memory report's lines, and the messages of the Audit destination in
# their own log.
here=$(cd "$(dirname "$0")" && pwd)
source "$here/dispatcher_common.sh"

require_no_dispatcher
log="$work/session.log"
wine reg add "$registry_key" /v DispatcherPath /t REG_SZ \
  /d "$(winpath "$WL_DISPATCHER_EXE") --log $(winpath "$log") --jsonl" /f >/dev/null 2>&1
wine "$WL_HOST_DEMO" "$(winpath "$WL_DLL")" </dev/null >"$work/host.out" 2>&1 ||
  { cat "$work/host.out"; fail "the demo host"; }
wine "$WL_RAW_HOST" --wait-window 5 || fail "the library did not start the dispatcher"
stop_dispatcher

grep -q ', 0 skipped' "$work/host.out" || { cat "$work/host.out"; fail "exports are missing"; }
normalise "$log" >"$work/session.normalised"
expect_same "$here/dispatcher_session.expected" "$work/session.normalised" "the session log"
normalise "$work/session.audit.log" >"$work/audit.normalised"
expect_same "$here/dispatcher_session_audit.expected" "$work/audit.normalised" "the Audit log"

records=$(grep -cE '^[0-9]{4}-' "$log")
[ "$(wc -l <"$work/session.jsonl")" -eq "$records" ] || fail "JSON Lines and text differ in count"
grep -q '"kind":"mkConnect"' "$work/session.jsonl" || fail "no mkConnect in the JSON Lines log"
echo "session: $records records as expected"
