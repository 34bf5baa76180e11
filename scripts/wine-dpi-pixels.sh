#!/usr/bin/env bash
# The controls' real drawing against the simulation's at another display resolution: sets the
# test prefix's display DPI (144 unless given), runs every pixel comparison of a Windows build
# tree under Wine, and sets 96 DPI back whatever happens. Usage: wine-dpi-pixels.sh TREE [DPI]
set -euo pipefail
tree=${1:?usage: wine-dpi-pixels.sh BUILD-TREE [DPI]}
dpi=${2:-144}
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

set_dpi() {
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  wine reg add 'HKCC\Software\Fonts' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
}
trap 'set_dpi 96' EXIT
set_dpi "$dpi"

run=$(dirname "${BASH_SOURCE[0]}")/wine-run.sh
filter='*Pixels*:*MatchesTheSimulation*:*MatchTheSimulation*'
out=$(mktemp)
trap 'set_dpi 96; rm -f "$out"' EXIT
status=0
for exe in nxwidgets_host_tests nxpress_host_tests nxslider_host_tests nxcurrency_host_tests \
           nxtaxid_host_tests; do
  path="$tree/tests/win32/$exe.exe"
  [ -f "$path" ] || continue
  echo "---- $exe at $dpi DPI"
  "$run" "$path" --gtest_filter="$filter" > "$out" 2>/dev/null || status=1
  grep -E 'differ|^\[  (PASSED|FAILED) |Failure' "$out" || true
  grep -q '^\[  PASSED  \]' "$out" || status=1
done
exit "$status"
