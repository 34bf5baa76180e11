#!/usr/bin/env bash
# Builds the i686 tree and runs its tests under 32-bit Wine, with a display (the test command
# does the same as one of its steps).
set -euo pipefail
cd "$(dirname "$0")/.."
NX_ROOT=$(pwd)
./scripts/deps.sh
source scripts/display.sh
source scripts/wine-env.sh
start_display
trap 'nx_wine_stop; stop_display' EXIT
cmake --preset mingw32 >/dev/null
cmake --build --preset mingw32 -j"${NX_JOBS:-2}"
nx_wine_start
ctest --preset mingw32 -j"${NX_JOBS:-2}"
