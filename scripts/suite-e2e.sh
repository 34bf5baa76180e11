#!/usr/bin/env bash
# The product end to end under Wine: nxpack packs one nxinstall.exe (the 64-bit setup program)
# with every library of both build trees; it is installed
# unattended, every class is created by its ProgID from a 64-bit and a 32-bit script host, a
# second run updates nothing, a repair replaces everything, a library held open is replaced at
# the next start of Windows (wineboot -r), and a removal leaves no file and no class behind.
# Needs both build trees (build/mingw64, build/mingw32) and the native nxpack; a running Wine
# prefix (scripts/wine-env.sh) and a display are the caller's.
# Usage: suite-e2e.sh [WORK-DIR]      Exit status: 0 when every check passed.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/wine-env.sh"
WORK=${1:-$root/build/e2e}
failures=0
pass() { echo "ok:   $*"; }
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

B64=$root/build/mingw64
B32=$root/build/mingw32
NXPACK=$root/build/native/tools/nxpack/nxpack
STUB=$B64/setup/stub/nxinstall_stub.exe
libs=(widgets/ocx/nxwidgets.ocx taxid/ocx/nxtaxid.ocx press/ocx/nxpress.ocx
      currency/ocx/nxcurrency.ocx slider/ocx/nxslider.ocx taxid/nxcore/nxcore.dll)
for f in "$NXPACK" "$STUB" "$B64/tests/setupwin/nxhold.exe"; do [ -f "$f" ] || { echo "FAIL: $f missing"; exit 1; }; done
for l in "${libs[@]}"; do
  [ -f "$B64/$l" ] && [ -f "$B32/$l" ] || { echo "FAIL: $l missing in a build tree"; exit 1; }
done

rm -rf "$WORK" && mkdir -p "$WORK" && cd "$WORK" || exit 1
printf 'nx suite licence\r\n\r\nThe components may be used in applications of the licensee.\r\n' \
  > licence.txt
files=()
for l in "${libs[@]}"; do
  files+=(--file "$B64/$l:register=1")
  files+=(--file "$B32/$l:register=1;target=%SYSTEM32BIT%")
done
"$NXPACK" --stub "$STUB" --out nxinstall.exe --title "nx suite" --eula licence.txt "${files[@]}" ||
  { echo "FAIL: nxpack"; exit 1; }
pass "nxpack: nxinstall.exe with ${#libs[@]} libraries of both bitnesses ($(stat -c %s nxinstall.exe) bytes)"

unix_of() { nx_wine 64 winepath -u "$1" </dev/null 2>/dev/null | tr -d '\r'; }
SYS64=$(unix_of 'C:\windows\system32')
SYS32=$(unix_of 'C:\windows\syswow64')
TEMP_DIR=$(unix_of "$(nx_wine 64 cmd /c 'echo %TEMP%' </dev/null 2>/dev/null | tr -d '\r')")
work_folders() { find "$TEMP_DIR" -maxdepth 1 -name 'TMP[0-9][0-9][0-9][0-9][0-9]' 2>/dev/null | sort; }
work_before=$(work_folders)
exists_ci() { [ -n "$(find "$(dirname "$1")" -maxdepth 1 -iname "$(basename "$1")" -print -quit)" ]; }

# setup NAME EXPECTED-CODE [SWITCHES]: runs the setup unattended with a log.
setup() {
  local name=$1 expected=$2
  shift 2
  rm -f nxinstall.log
  local start=$(date +%s.%N)
  wine nxinstall.exe /q /l /s "$@" </dev/null >/dev/null 2>stderr.txt
  local code=$?
  elapsed=$(awk -v a="$start" -v b="$(date +%s.%N)" 'BEGIN { printf "%.1f", b - a }')
  # A Unix parent sees the low 8 bits of a Windows exit code (3010 arrives as 194).
  if [ "$code" -eq $((expected & 255)) ]; then pass "$name: exit code $expected (${elapsed}s)"; else
    fail "$name: exit code $code, expected $expected"; cat stderr.txt; [ -f nxinstall.log ] &&
      tr -d '\r' < nxinstall.log | tail -40; fi
}
log_count() { tr -d '\r' < nxinstall.log | grep -cE -- "$1"; }
# The file lines of the log: "   -X64\NAME: YES" and the like.
file_lines() { tr -d '\r' < nxinstall.log | grep -E '^   -X(64|86)\\[^ ]+: (YES|NO)$' | tr '\n' ' '; }
# The file as it is spelled on the disk.
real_path() { find "$(dirname "$1")" -maxdepth 1 -iname "$(basename "$1")" -print -quit; }

# The ProgIDs of every class, and a script that creates each one.
progids=(nxwidgets.NxProgressBar nxwidgets.NxCheckBox nxwidgets.NxHyperLink nxwidgets.NxMeter
         nxwidgets.NxGradFrame nxtaxid.NxVATNumber nxpress.NxButton nxcurrency.NxEuroBox
         nxslider.NxTracker nxcore.VatEngine)
{
  echo 'Dim names, n, o, made'
  echo "names = Array(\"$(IFS=,; echo "${progids[*]}" | sed 's/,/", "/g')\")"
  echo 'On Error Resume Next'
  echo 'made = 0'
  echo 'For Each n In names'
  echo '  Set o = Nothing'
  echo '  Err.Clear'
  echo '  Set o = CreateObject(n)'
  echo '  If Err.Number = 0 And Not o Is Nothing Then'
  echo '    made = made + 1'
  echo '  Else'
  echo '    WScript.Echo "cannot create " & n'
  echo '  End If'
  echo 'Next'
  echo 'WScript.Echo "created " & made & " of " & (UBound(names) + 1)'
} > create_all.vbs
created() { nx_wine "$1" cscript //nologo 'Z:'"$WORK"'/create_all.vbs' </dev/null 2>&1 | tr -d '\r'; }

# 1. Install.
setup "install" 0
n=0
for l in "${libs[@]}"; do
  f=$(basename "$l")
  exists_ci "$SYS64/$f" && exists_ci "$SYS32/$f" && n=$((n + 1)) || fail "install: $f not in both system folders"
done
[ "$n" -eq "${#libs[@]}" ] && pass "install: every library in System32 (64-bit) and SysWOW64 (32-bit)"
[ "$(log_count ': success$')" -eq $((2 * ${#libs[@]})) ] && pass "install: $((2 * ${#libs[@]})) libraries registered" ||
  fail "install: registrations: $(tr -d '\r' < nxinstall.log | grep -E ': (success|failed)$' | tr '\n' ' ')"
for bits in 64 32; do
  out=$(created $bits)
  [ "$(echo "$out" | tail -1)" == "created ${#progids[@]} of ${#progids[@]}" ] &&
    pass "install: every class created by its ProgID from the $bits-bit script host" ||
    fail "install: $bits-bit script host: $out"
done

# 2. A second run updates nothing.
setup "second run" 0
[ "$(log_count '^   -X(64|86).*: NO$')" -eq $((2 * ${#libs[@]})) ] &&
  [ "$(log_count '^   -X(64|86).*: YES$')" -eq 0 ] &&
  pass "second run: \"NO\" for every file" || fail "second run: $(file_lines)"

# 3. Repair replaces everything.
setup "repair" 0 /repair
[ "$(log_count '^   -X(64|86).*: YES$')" -eq $((2 * ${#libs[@]})) ] && pass "repair: every file replaced" ||
  fail "repair: $(file_lines)"

# 4. A library held open by another process: it waits for the next start of Windows.
held=$(real_path "$SYS64/nxpress.ocx")
printf 'old' >> "$held"  # the installed copy now differs from the packed one
wine "$B64/tests/setupwin/nxhold.exe" 'C:\windows\system32\nxpress.ocx' 30 </dev/null >hold.txt 2>&1 &
holder=$!
for _ in $(seq 50); do grep -q holding hold.txt 2>/dev/null && break; sleep 0.2; done
setup "in use" 3010 /repair
tr -d '\r' < nxinstall.log | grep -qxF "      .replace on boot: yes" && pass "in use: replaced on boot" ||
  fail "in use: no '.replace on boot: yes'"
tr -d '\r' < nxinstall.log | grep -q "nxpress.*reg on boot\|NXPRESS.*reg on boot" &&
  pass "in use: registered on boot" || fail "in use: no 'reg on boot'"
pending=$(nx_wine 64 reg query 'HKLM\System\CurrentControlSet\Control\Session Manager' /v PendingFileRenameOperations </dev/null 2>/dev/null | tr -d '\r')
echo "$pending" | grep -qi nxpress && pass "in use: pending rename written" || fail "in use: no pending rename"
runonce=$(nx_wine 64 reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\RunOnce' </dev/null 2>/dev/null | tr -d '\r')
echo "$runonce" | grep -qi 'nxinstall_sr\[' && pass "in use: RunOnce registration written" ||
  fail "in use: no RunOnce value"
cmp -s "$held" "$B64/press/ocx/nxpress.ocx" && fail "in use: the held file was replaced at once" ||
  pass "in use: the held file stays until the restart"
kill "$holder" 2>/dev/null
wait "$holder" 2>/dev/null
nx_wine 64 wineboot -r </dev/null >/dev/null 2>&1
sleep 2
pending=$(nx_wine 64 reg query 'HKLM\System\CurrentControlSet\Control\Session Manager' /v PendingFileRenameOperations </dev/null 2>/dev/null | tr -d '\r')
echo "$pending" | grep -qi nxpress && fail "restart: rename still pending" || pass "restart: the new file is in place"
cmp -s "$(real_path "$held")" "$B64/press/ocx/nxpress.ocx" &&
  pass "restart: nxpress.ocx is the packed one" || fail "restart: nxpress.ocx differs from the packed one"
runonce=$(nx_wine 64 reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\RunOnce' </dev/null 2>/dev/null | tr -d '\r')
echo "$runonce" | grep -qi 'nxinstall_sr\[' && fail "restart: the RunOnce registration did not run" ||
  pass "restart: the RunOnce registration ran"
out=$(created 64)
[ "$(echo "$out" | tail -1)" == "created ${#progids[@]} of ${#progids[@]}" ] &&
  pass "restart: every class created again" || fail "restart: $out"

# 5. Remove: no file and no class of ours.
setup "remove" 0 /remove
n=0
for l in "${libs[@]}"; do
  f=$(basename "$l")
  exists_ci "$SYS64/$f" || exists_ci "$SYS32/$f" && n=$((n + 1))
done
[ "$n" -eq 0 ] && pass "remove: no library left" || fail "remove: $n libraries left"
for bits in 64 32; do
  out=$(created $bits)
  [ "$(echo "$out" | tail -1)" == "created 0 of ${#progids[@]}" ] &&
    pass "remove: no class left for the $bits-bit script host" || fail "remove: $bits-bit: $out"
done
keys=$(for p in "${progids[@]}"; do nx_wine 64 reg query "HKCR\\$p" </dev/null 2>/dev/null; done | tr -d '\r' | grep -c HKEY)
[ "$keys" -eq 0 ] && pass "remove: no ProgID key left" || fail "remove: $keys ProgID keys left"

# The reboot folder stays (empty once the restart moved its files); no work folder may.
left=$(for d in $(comm -13 <(echo "$work_before") <(work_folders)); do
  [ -n "$(find "$d" -mindepth 1 -print -quit)" ] && echo "$d"; done)
[ -z "$left" ] && pass "no work folder left in the temporary folder" ||
  fail "work folders left: $(echo $left)"

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
