#!/usr/bin/env bash
# Instructions per call, counted by callgrind, for each call that wl_bench_calls knows (or the
# ones named). Builds the Release tree of run-native.sh if needed. Each figure is the difference
# between COUNT and 2*COUNT calls divided by COUNT, so that nothing but the calls is counted.
#
#   bench/run-callgrind.sh [CALL...]      e.g. bench/run-callgrind.sh wlSendMsg/16 spdlog/16
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
build=${WL_BENCH_BUILD:-$top/build/bench}
count=${WL_CALLGRIND_COUNT:-2000}

cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
  -DWL_BENCH=ON >/dev/null
cmake --build "$build" --target wl_bench_calls >/dev/null
calls_bin=$build/bench/wl_bench_calls

instructions() {
  local call=$1 n=$2 out
  out=$(mktemp)
  valgrind --tool=callgrind --callgrind-out-file="$out" \
    --toggle-collect='wl::bench::(anonymous namespace)::MeasuredLoop*' \
    "$calls_bin" "$call" "$n" >/dev/null 2>&1
  # The totals line of the collected part.
  callgrind_annotate "$out" 2>/dev/null | awk '/PROGRAM TOTALS/ {gsub(",", "", $1); print $1}'
  rm -f "$out"
}

if [ $# -eq 0 ]; then mapfile -t names < <("$calls_bin" --list); else names=("$@"); fi
printf '%-24s %16s %14s\n' call instructions/call allocs/call
for call in "${names[@]}"; do
  one=$(instructions "$call" "$count")
  two=$(instructions "$call" $((2 * count)))
  allocs=$("$calls_bin" "$call" "$count" | awk '{print $2}')
  printf '%-24s %16d %14s\n' "$call" $(((two - one) / count)) "$allocs"
done
