#!/bin/sh
# Declares the 23 functions in a scratch database with the embedded engine, checks what the
# server recorded for each (entry point, result, argument forms), then drops them again.
# Any script error fails the test; exit 77 (skipped) when the engine's isql-fb is missing.
#
# usage: run_sql_test.sh <source dir>
set -eu

src=${1:?source directory}
command -v isql-fb >/dev/null 2>&1 || { echo "isql-fb not installed"; exit 77; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export FIREBIRD_LOCK="$scratch/lock" FIREBIRD_TMP="$scratch/tmp"
mkdir -p "$FIREBIRD_LOCK" "$FIREBIRD_TMP"
db="$scratch/wrenbridge.fdb"

# Runs isql-fb on the database, stopping at the first error; fails on any error text as well.
isql() {
  out=$(isql-fb -bail -q -user SYSDBA "$@" 2>&1) || { echo "$out"; echo "isql-fb failed: $*"; exit 1; }
  case "$out" in *"Statement failed"* | *"SQLSTATE"*) echo "$out"; exit 1 ;; esac
  printf '%s\n' "$out"
}

# UTF8, the strictest default: sizes that fit here fit under every character set.
echo "create database '$db' default character set UTF8;" | isql >/dev/null
isql -i "$src/sql/declare.sql" "$db" >/dev/null

# One line per function: entry point, result argument (0: returned by value), argument forms in
# order. T: text by reference, NULL allowed; I, D: integer, double by reference, NULL allowed;
# i: integer by reference; R: integer result by value.
signatures() {
  isql "$db" <<'SQL' | sed -e 's/[[:space:]]\{1,\}/ /g' -e 's/^ //' -e 's/ $//' | grep -v '^$' |
set heading off;
select trim(f.rdb$entrypoint) || ' ' || f.rdb$return_argument || ' ' ||
       iif(upper(trim(f.rdb$entrypoint)) = trim(f.rdb$function_name), 'named', 'misnamed'),
       a.rdb$argument_position,
       case
         when a.rdb$field_type = 40 and a.rdb$mechanism = 5 and a.rdb$character_set_id = 0
           then 'T'
         when a.rdb$field_type = 8 and a.rdb$mechanism = 5 then 'I'
         when a.rdb$field_type = 27 and a.rdb$mechanism = 5 then 'D'
         when a.rdb$field_type = 8 and a.rdb$mechanism = 1 then 'i'
         when a.rdb$field_type = 8 and a.rdb$mechanism = 0 then 'R'
         else '?'
       end
  from rdb$functions f
  left join rdb$function_arguments a on a.rdb$function_name = f.rdb$function_name
 where f.rdb$module_name = 'Wrenbridge'
 order by f.rdb$entrypoint, a.rdb$argument_position;
SQL
  awk '{ key = $1 " " $2 " " $3; if (key != last) { if (last != "") print last " " forms;
         last = key; forms = $5 } else forms = forms "," $5 }
       END { if (last != "") print last " " forms }' | sort
}

expected=$(sort <<'LIST'
wlSendMsg 0 named R,T
wlEnterMethod 0 named R,T
wlExitMethod 0 named R,T
wlCategory 0 named R,T
wlCategoryColor 0 named R,T
wlSendString 0 named R,T,T
wlAddSeparator 0 named R
wlAddCheckpoint 0 named R
wlClear 0 named R
wlEnable 0 named R
wlDisable 0 named R
wlEnabled 0 named R
wlDestinationDetails 0 named R,T
wlSendInteger 0 named R,T,I
wlSendFloat 0 named R,T,D
wlSendNote 0 named R,T
wlWriteInteger 0 named R,T,T,I
wlWriteFloat 0 named R,T,T,D
wlWriteString 0 named R,T,T,T
wlWriteMsg 0 named R,T,T
wlResetCheckpoint 0 named R
wlSendMemoryStatus 0 named R
wlSendString2 3 named T,T,i
LIST
)

declared=$(signatures)
if [ "$declared" != "$expected" ]; then
  echo "declared functions differ from the export list:"
  printf '%s\n' "$expected" >"$scratch/expected"
  printf '%s\n' "$declared" >"$scratch/declared"
  diff "$scratch/expected" "$scratch/declared" || true
  exit 1
fi
echo "$(printf '%s\n' "$declared" | wc -l) functions declared as expected"

isql -i "$src/sql/drop.sql" "$db" >/dev/null
left=$(signatures)
[ -z "$left" ] || { echo "functions left after drop.sql:"; echo "$left"; exit 1; }
echo "drop.sql removed them all"
