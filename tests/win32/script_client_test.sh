#!/usr/bin/env bash
# Registers a control library under Wine in its own bitness, drives it from a VBScript client
# (the script prints DONE when every check passed, FAIL lines otherwise) and unregisters it.
# Usage: script_client_test.sh OCX SCRIPT.vbs
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../scripts/wine-env.sh"
bits=$(nx_pe_bits "$1")
w() { nx_wine "$bits" "$@" </dev/null; }
failed=0
w regsvr32 /s "Z:$1" || { echo "FAIL: regsvr32 returned $?"; failed=1; }
out=$(w cscript //nologo "Z:$2" 2>&1)
echo "$out" | grep -E '^(FAIL|DONE)'
echo "$out" | grep -q '^DONE' || { echo "FAIL: VBScript client: $(echo "$out" | tail -3)"; failed=1; }
w regsvr32 /u /s "Z:$1" || { echo "FAIL: regsvr32 /u returned $?"; failed=1; }
[ "$failed" -eq 0 ] && echo "$(basename "$2") passed ($bits-bit)"
exit "$failed"
