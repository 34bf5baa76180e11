#!/usr/bin/env bash
# Registers nxwidgets under Wine in its own bitness, drives NxMeter and NxGradFrame from
# VBScript and unregisters it. Usage: widgets_script_test.sh OCX
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../scripts/wine-env.sh"
bits=$(nx_pe_bits "$1")
w() { nx_wine "$bits" "$@" </dev/null; }
failed=0
w regsvr32 /s "Z:$1" || { echo "FAIL: regsvr32 returned $?"; failed=1; }
out=$(w cscript //nologo "Z:$here/widgets_script_test.vbs" 2>&1)
echo "$out" | grep -E '^(FAIL|DONE)'
echo "$out" | grep -q '^DONE' || { echo "FAIL: VBScript client: $(echo "$out" | tail -3)"; failed=1; }
w regsvr32 /u /s "Z:$1" || { echo "FAIL: regsvr32 /u returned $?"; failed=1; }
[ "$failed" -eq 0 ] && echo "widgets scripting test passed ($bits-bit)"
exit "$failed"
