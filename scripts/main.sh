#!/usr/bin/env bash
# The main job: builds the deliverables natively and for Windows, then shows them working.
set -euo pipefail
cd "$(dirname "$0")/.."
JOBS=${NX_JOBS:-2}

./scripts/deps.sh

echo "==== building (native and Windows x86_64)"
cmake --preset native ${NX_CMAKE_ARGS:-} >/dev/null
cmake --build --preset native -j"$JOBS"
cmake --preset mingw64 ${NX_CMAKE_ARGS:-} >/dev/null
cmake --build --preset mingw64 -j"$JOBS"

NATIVE=build/native/tools/nxvat/nxvat
WINEXE=build/mingw64/tools/nxvat/nxvat.exe
source scripts/wine-env.sh
nx_wine_start
trap nx_wine_stop EXIT

demo() {
  local label=$1
  shift
  echo
  echo "---- $label"
  show() {
    printf '$ nxvat %s\n' "$*"
    "${run[@]}" "$@" || echo "(exit $?)"
  }
  show check ES 12345678Z
  show check es 12345678T
  show check AT U13585627
  show check DE 136695976
  show check FR K7399859412
  show check - "any text at all"
  show complete AT "ES12345678?"
  show complete - "U1358562?"
  show complete ES "1234567??"
  printf '$ printf "ES\\t12345678Z\\r\\nBE\\t0403019261\\nIT\\t00743119992\\n" | nxvat check --batch\n'
  printf 'ES\t12345678Z\r\nBE\t0403019261\nIT\t00743119992\n' | "${run[@]}" check --batch
  show countries --lang pt
}

run=("$NATIVE")
demo "native: $NATIVE"
run=(wine "$WINEXE")
demo "Windows under Wine: $WINEXE"
