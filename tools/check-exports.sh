#!/usr/bin/env bash
# Checks Wrenbridge.dll's export table and imports against udf/Wrenbridge.def:
#   - every name of the .def is exported, undecorated, at its ordinal;
#   - nothing else is exported;
#   - every imported DLL is a Windows system DLL (no C++ run-time, libgcc or winpthread DLL).
#
#   tools/check-exports.sh path/to/Wrenbridge.dll [path/to/Wrenbridge.def]
set -euo pipefail

dll=${1:?usage: $0 Wrenbridge.dll [Wrenbridge.def]}
def=${2:-$(cd "$(dirname "$0")/.." && pwd)/udf/Wrenbridge.def}
objdump=${OBJDUMP:-i686-w64-mingw32-objdump}
system_dlls='^(KERNEL32|USER32|ADVAPI32|OLE32|OLEAUT32|GDI32|SHELL32|msvcrt|ntdll|WS2_32|RPCRT4)\.dll$'

dump=$("$objdump" -p "$dll")
failures=0
fail() { echo "check-exports: $*" >&2; failures=$((failures + 1)); }

# "Ordinal Base N" once, then the name table as "[index] name" with ordinal = index + base.
base=$(awk '/^Ordinal Base/ {print $3; exit}' <<<"$dump")
[ -n "$base" ] || { echo "check-exports: $dll has no export table" >&2; exit 1; }
exported=$(awk -v base="$base" '
  /^\[Ordinal\/Name Pointer\] Table/ {names = 1; next}
  names && /^\t\[ *[0-9]+\] / {line = $0; sub(/^\t\[ */, "", line); split(line, f, /\] /)
                                 print f[2], f[1] + base; next}
  names && !/^\t/ {names = 0}' <<<"$dump" | sort)

expected=$(awk '
  /^EXPORTS/ {inside = 1; next}
  inside && NF >= 2 && $2 ~ /^@[0-9]+$/ {sub(/^@/, "", $2); print $1, $2}' "$def" | sort)

while read -r name ordinal; do
  [ -n "$name" ] || continue
  grep -qx "$name $ordinal" <<<"$exported" || fail "$name is not exported at ordinal $ordinal"
done <<<"$expected"
while read -r name ordinal; do
  [ -n "$name" ] || continue
  case "$name" in _* | *@*) fail "$name is decorated" ;; esac
  grep -qx "$name $ordinal" <<<"$expected" || fail "$name (ordinal $ordinal) is not in $def"
done <<<"$exported"

while read -r import; do
  grep -qiE "$system_dlls" <<<"$import" || fail "imports $import, which is not a system DLL"
done < <(awk '/DLL Name:/ {print $3}' <<<"$dump")

if [ "$failures" -ne 0 ]; then
  echo "check-exports: $failures problem(s) in $dll" >&2
  exit 1
fi
echo "check-exports: $(wc -l <<<"$expected") exports at their ordinals, system imports only"
