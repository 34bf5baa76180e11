#!/usr/bin/env bash
# Registers a control library under Wine, checks the registry, drives it from VBScript and from
# Wine's ATL container, unregisters it and checks that nothing of it remains.
# Usage: com_scripting_test.sh OCX ATL_HOST_EXE
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../scripts/wine-env.sh"
ocx="Z:$1"
atl_host=$2
bits=$(nx_pe_bits "$1")  # system programs run in the library's bitness
w() { nx_wine "$bits" "$@"; }
clsid='{204FCDC9-F070-407A-84CF-000056C6E0DF}'
libid='{D9EB5A61-F11E-4681-9997-98CA8F0FC467}'
iid='{9BA60693-4FBD-4F68-85CD-3C475BE2414E}'
failed=0
fail() { echo "FAIL: $*"; failed=1; }
has_key() { w reg query "$1" >/dev/null 2>&1 </dev/null; }

w regsvr32 /s "$ocx" </dev/null || fail "regsvr32 returned $?"
for key in "HKCR\\CLSID\\$clsid\\InprocServer32" "HKCR\\CLSID\\$clsid\\Control" \
           "HKCR\\CLSID\\$clsid\\ToolboxBitmap32" "HKCR\\CLSID\\$clsid\\MiscStatus\\1" \
           "HKCR\\nxwidgets.NxProgressBar\\CLSID" "HKCR\\TypeLib\\$libid\\1.0" \
           "HKCR\\Interface\\$iid"; do
  has_key "$key" || fail "missing after registration: $key"
done
w reg query "HKCR\\CLSID\\$clsid\\InprocServer32" /v ThreadingModel </dev/null 2>/dev/null |
  grep -q Apartment || fail "ThreadingModel is not Apartment"

out=$(w cscript //nologo "Z:$here/scripting_test.vbs" </dev/null 2>&1)
echo "$out" | grep -E '^(FAIL|DONE)'
echo "$out" | grep -q '^DONE' || fail "VBScript client: $(echo "$out" | tail -3)"

"$here/../../scripts/wine-run.sh" "$atl_host" </dev/null || fail "ATL container host returned $?"

w regsvr32 /u /s "$ocx" </dev/null || fail "regsvr32 /u returned $?"
for key in "HKCR\\CLSID\\$clsid" "HKCR\\nxwidgets.NxProgressBar" "HKCR\\TypeLib\\$libid" \
           "HKCR\\Interface\\$iid"; do
  has_key "$key" && fail "left after unregistration: $key"
done
[ "$failed" -eq 0 ] && echo "com scripting test passed ($bits-bit)"
exit "$failed"
