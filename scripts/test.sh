#!/usr/bin/env bash
# Runs every test: native (plain and under ASan + UBSan), the fuzz targets for a bounded
# time, and the Windows builds for x86_64 and i686, each under Wine of its bitness.
set -euo pipefail
cd "$(dirname "$0")/.."
NX_ROOT=$(pwd)
JOBS=${NX_JOBS:-2}
FUZZ_SECONDS=${NX_FUZZ_SECONDS:-30}

./scripts/deps.sh

step() { echo; echo "==== $* ($(date +%T))"; }

source scripts/display.sh

step "native build and tests"
cmake --preset native ${NX_CMAKE_ARGS:-} >/dev/null
cmake --build --preset native -j"$JOBS"
ctest --preset native -j"$JOBS"

step "native tests under ASan + UBSan"
cmake --preset asan ${NX_CMAKE_ARGS:-} >/dev/null
cmake --build --preset asan -j"$JOBS"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --preset asan -j"$JOBS"

step "fuzz targets, ${FUZZ_SECONDS}s each"
cmake --preset fuzz ${NX_CMAKE_ARGS:-} >/dev/null
cmake --build --preset fuzz -j"$JOBS"
mkdir -p build/fuzz/corpus
while read -r target; do
  [ -n "$target" ] || continue
  name=$(basename "$target")
  corpus="build/fuzz/corpus/$name"
  mkdir -p "$corpus"
  echo "-- $name"
  log="build/fuzz/$name.log"
  if ! "$target" -max_total_time="$FUZZ_SECONDS" -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 "$corpus" >"$log" 2>&1; then
    tail -40 "$log"
    echo "fuzz target $name failed (log: $log)"
    exit 1
  fi
  grep -E '^(Done|stat::number_of_executed_units)' "$log" || true
done < build/fuzz/fuzz-targets.txt

step "Windows x86_64 build, tests under Wine"
cmake --preset mingw64 ${NX_CMAKE_ARGS:-} >/dev/null
cmake --build --preset mingw64 -j"$JOBS"
source scripts/wine-env.sh
start_display
trap 'nx_wine_stop; stop_display' EXIT
nx_wine_start
ctest --preset mingw64 -j"$JOBS"
step "Windows x86_64: the controls' pixels against the simulation at 144 DPI"
./scripts/wine-dpi-pixels.sh build/mingw64 144

step "Windows i686 build, tests under 32-bit Wine"
cmake --preset mingw32 ${NX_CMAKE_ARGS:-} >/dev/null
cmake --build --preset mingw32 -j"$JOBS"
ctest --preset mingw32 -j"$JOBS"
step "Windows i686: the controls' pixels against the simulation at 144 DPI"
./scripts/wine-dpi-pixels.sh build/mingw32 144

step "the suite end to end: one setup with every library of both bitnesses, under Wine"
./scripts/suite-e2e.sh

step "static checks of the Windows binaries"
for arch in i386:mingw32 x86-64:mingw64; do
  tree=build/${arch#*:}
  libraries=("$tree"/widgets/ocx/*.ocx "$tree"/press/ocx/*.ocx "$tree"/slider/ocx/*.ocx
             "$tree"/currency/ocx/*.ocx "$tree"/taxid/ocx/*.ocx "$tree"/taxid/nxcore/*.dll)
  ./scripts/check-pe.sh "${arch%%:*}" "$tree/tools/nxvat/nxvat.exe" "${libraries[@]}"
  python3 scripts/check-ocx.py "${arch%%:*}" "${libraries[@]}"
done

step "all tests passed"
