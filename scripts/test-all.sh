#!/usr/bin/env bash
# Builds and tests everything: native, native under ASan and UBSan, and the i686 mingw-w64
# cross-build with its export check and its tests under Wine. Every stage runs even when an
# earlier one failed; the script exits non-zero when any did.
set -uo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
jobs=$(nproc)
failed=()

# Runs a stage's build quietly: the log is shown only when it fails.
quiet() {
  local log=$1
  shift
  "$@" >"$log" 2>&1 || { tail -n 60 "$log"; return 1; }
}

build() {
  local dir=$1
  shift
  mkdir -p "$dir"
  quiet "$dir/configure.log" cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" &&
    quiet "$dir/build.log" cmake --build "$dir" -j "$jobs"
}

stage() {
  local name=$1
  shift
  echo "=== $name"
  if "$@"; then echo "=== $name: passed"; else echo "=== $name: FAILED"; failed+=("$name"); fi
}

native() { build build/native && ctest --test-dir build/native -j "$jobs" --output-on-failure; }

sanitized() {
  build build/asan -DWL_SANITIZE=ON &&
    ctest --test-dir build/asan -j "$jobs" --output-on-failure
}

mingw() {
  build build/mingw -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-i686.cmake" &&
    tools/check-exports.sh build/mingw/udf/Wrenbridge.dll udf/Wrenbridge.def &&
    wine_tests
}

wine_tests() {
  local tests=build/mingw/tests/wine start status
  start=$(date +%s%N)
  scripts/wine-session.sh --prefix build/wine-prefix \
    --keeper "$tests/recorder.exe $tests/keeper.bin --class WLSessionKeeper --title WineSessionKeeper" \
    --keeper-ready "$tests/keeper.bin" \
    -- ctest --test-dir build/mingw --output-on-failure
  status=$?
  local ms=$((($(date +%s%N) - start) / 1000000))
  printf 'Wine part: %d.%03d s (session start, tests, shutdown)\n' $((ms / 1000)) $((ms % 1000))
  return $status
}

stage native native
stage "native ASan+UBSan" sanitized
stage "mingw i686 + Wine" mingw

if [ ${#failed[@]} -ne 0 ]; then
  echo "test-all: FAILED: ${failed[*]}"
  exit 1
fi
echo "test-all: all stages passed"
