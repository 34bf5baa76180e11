#!/usr/bin/env bash
# Whole runs of the setup program under Wine: nxpack packs components onto nxinstall_stub.exe,
# the result runs with " /q /l /s " and must pass every start-up step, write its log, provide
# zlib.dll and leave no work folder; damaged setups must end with their exit codes.
# Arguments: wine-run.sh, nxpack (Linux program or .exe), nxinstall_stub.exe, zlib DLL, scratch dir.
set -u
WINE_RUN=$1 NXPACK=$2 STUB=$3 ZLIB=$4 WORK=$5

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok:   $*"; }

win() { "$WINE_RUN" "$@" </dev/null; }
# System programs (winepath, cmd) in the stub's bitness, so that they see its system folder.
source "$(dirname "$WINE_RUN")/wine-env.sh"
STUB_BITS=$(nx_pe_bits "$STUB")
sys() { nx_wine "$STUB_BITS" "$@" </dev/null; }

rm -rf "$WORK" && mkdir -p "$WORK/comp" || exit 1
cd "$WORK" || exit 1

# Components with and without version resources, and a licence.
cp "$STUB" comp/nxtool.exe
cp "$ZLIB" comp/nxzlib.dll
printf 'component text\r\n' > comp/readme.txt
printf 'Licence: you agree.\r\n' > eula.txt

pack_args=(--stub "$STUB" --out nxinstall.exe --dir comp --title "Round trip" --eula eula.txt
           --zlib-version 1.2.3 --release "2024-05-06 07:08:09"
           --file nxtool.exe --file nxzlib.dll "--file" "readme.txt:target=%WINDOWS%\\temp")
if [[ "$NXPACK" == *.exe ]]; then
  # The Windows build imports zlib1.dll: give it a copy beside it.
  cp "$NXPACK" ./nxpack.exe && cp "$ZLIB" ./zlib1.dll
  pack_args[1]=stub.exe
  cp "$STUB" stub.exe
  win ./nxpack.exe "${pack_args[@]}" || { echo "FAIL: nxpack"; exit 1; }
  rm -f stub.exe
else
  "$NXPACK" "${pack_args[@]}" || { echo "FAIL: nxpack"; exit 1; }
fi
[ -s nxinstall.exe ] || { echo "FAIL: no setup written"; exit 1; }

# The prefix's system and temporary folders as Unix paths.
unix_of() { sys winepath -u "$1" 2>/dev/null | tr -d '\r'; }
win_temp=$(sys cmd /c 'echo %TEMP%' 2>/dev/null | tr -d '\r')
TEMP_DIR=$(unix_of "$win_temp")
SYS_DIR=$(unix_of 'C:\windows\system32')
[ -d "$TEMP_DIR" ] && [ -d "$SYS_DIR" ] || { echo "FAIL: prefix folders ($TEMP_DIR, $SYS_DIR)"; exit 1; }
ZDLL="$SYS_DIR/zlib.dll"
leftovers() { find "$TEMP_DIR" -maxdepth 1 -name 'TMP[0-9][0-9][0-9][0-9][0-9]' | sort; }
rm -rf "$ZDLL" "$TEMP_DIR/NXSTEMP.001"
before=$(leftovers)

# run NAME SETUP EXPECTED-CODE [SWITCH]: runs a setup quietly with log and save.
run() {
  local name=$1 setup=$2 expected=$3
  rm -f nxinstall.log stderr.txt
  "$WINE_RUN" "$setup" /q /l /s ${4:-} </dev/null 2>stderr.txt >/dev/null
  local code=$?
  if [ "$code" -eq "$expected" ]; then pass "$name: exit code $code"; else
    fail "$name: exit code $code, expected $expected"; cat stderr.txt; [ -f nxinstall.log ] && cat nxinstall.log; fi
  [ -f nxinstall.log ] || fail "$name: no nxinstall.log"
  [ "$(leftovers)" == "$before" ] || fail "$name: work folder left in $TEMP_DIR: $(leftovers)"
  if [ -e "$TEMP_DIR/NXSTEMP.001" ]; then fail "$name: archive copy written"; fi
}
has_line() {
  if tr -d '\r' < nxinstall.log | grep -qxF -- "$2"; then pass "$1: log has '$2'"; else
    fail "$1: log lacks '$2'"; fi
}

# 1. A good setup with zlib.dll missing: zlib.dll is provided, every step passes.
run "good setup" nxinstall.exe 0
for line in "Init" "   -run args: /q /l /s" "   -check previleges: passed" "   -read header: passed" \
            "   -check zlib: passed" "   -regsvr32: C:\\windows\\system32\\regsvr32.exe" \
            "   -extract data: passed" "   -reading install info: passed" \
            "   -check extracted files: passed" "   -exit init" "   -preforming cleanup" \
            "   -system: C:\\windows\\system32\\" "AppName            : nxinstall" \
            "   -mysize: $(stat -c %s nxinstall.exe | awk '{ n=$1; u=0; while (n >= 1024) { n /= 1024; u++ } s = sprintf("%.2f", n); sub(/0+$/, "", s); sub(/\.$/, "", s); print s (u ? " " substr("KMGT", u, 1) "B" : " Bytes") }') ($(stat -c %s nxinstall.exe) bytes)"; do
  has_line "good setup" "$line"
done
grep -q "Log: Log data saved in:" stderr.txt && pass "good setup: log message on stderr" ||
  fail "good setup: no log message on stderr"
[ "$(tail -c 1 nxinstall.log | od -An -c | tr -d ' ')" != '\n' ] && pass "good setup: no line end after the last entry" ||
  fail "good setup: line end after the last entry"
cmp -s "$ZDLL" "$ZLIB" && pass "missing zlib.dll provided" || fail "zlib.dll not provided"

# 2. zlib.dll present in the required version (marked copy): left alone.
{ cat "$ZLIB"; printf 'MARK'; } > "$ZDLL"
run "current zlib" nxinstall.exe 0
[ "$(tail -c 4 "$ZDLL")" == MARK ] && pass "current zlib.dll left alone" || fail "current zlib.dll rewritten"

# 3. An older (unversioned), larger zlib.dll: replaced completely, no stale tail.
head -c 400000 /dev/urandom > "$ZDLL"
run "old zlib" nxinstall.exe 0
cmp -s "$ZDLL" "$ZLIB" && pass "older zlib.dll replaced without tail" || fail "older zlib.dll not replaced exactly"

# 4. zlib.dll cannot be provided (a folder of that name is in the way).
rm -f "$ZDLL" && mkdir "$ZDLL"
run "blocked zlib" nxinstall.exe 13
has_line "blocked zlib" "   -check zlib: failed"
has_line "blocked zlib" "   -message: Fatal error: Unable to load ZLIB."
rmdir "$ZDLL" && cp "$ZLIB" "$ZDLL"

# 5. Truncated trailer.
size=$(stat -c %s nxinstall.exe)
head -c $((size - 10)) nxinstall.exe > truncated.exe
run "truncated trailer" truncated.exe 12
has_line "truncated trailer" "   -read header: failed"
has_line "truncated trailer" "   -message: Fatal error: Corrupt file detected."

# 6. Bad header: the bit count of the coded header far beyond its bytes.
cp nxinstall.exe badheader.exe
printf '\xff' | dd of=badheader.exe bs=1 seek=$((size - 130)) conv=notrunc status=none
run "bad header" badheader.exe 12
has_line "bad header" "   -read header: failed"

# 7. Damaged payload data: a member fails its CRC-32 and the extracted files do not match.
stub_size=$(stat -c %s "$STUB")
payload=$((size - 130 - stub_size))
cp nxinstall.exe damaged.exe
printf '\x00\x00\x00\x00\x00\x00\x00\x00' | dd of=damaged.exe bs=1 seek=$((stub_size + payload / 2)) conv=notrunc status=none
run "damaged payload" damaged.exe 16
has_line "damaged payload" "   -extract data: passed"
has_line "damaged payload" "   -check extracted files: failed"

# 8. Damaged archive directory: the payload cannot be opened.
cp nxinstall.exe nodirectory.exe
end=$(grep -obaP 'PK\x05\x06' nxinstall.exe | tail -1 | cut -d: -f1)
printf 'XXXX' | dd of=nodirectory.exe bs=1 seek="$end" conv=notrunc status=none
run "damaged directory" nodirectory.exe 14
has_line "damaged directory" "   -extract data: failed"
# The payload is read from the setup's own file: nothing is copied to the temporary folder.
run "after damaged directory" nxinstall.exe 0

# 9. The setup installed its files (checks passed, the process ran): a second run updates
# nothing, /remove takes them away again.
WIN_TEMP_DIR=$(unix_of 'C:\windows\temp')
# Windows names compare without regard to case; the setup writes them as nxinstall.inf has them.
exists_ci() { [ -n "$(find "$(dirname "$1")" -maxdepth 1 -iname "$(basename "$1")" -print -quit)" ]; }
exists_ci "$SYS_DIR/nxtool.exe" && exists_ci "$WIN_TEMP_DIR/readme.txt" && pass "files installed" ||
  fail "files not installed ($SYS_DIR/nxtool.exe, $WIN_TEMP_DIR/readme.txt)"
run "second run" nxinstall.exe 0
has_line "second run" "   -NXTOOL.EXE: NO"
has_line "second run" "   -README.TXT: NO"
run "remove" nxinstall.exe 0 /remove
has_line "remove" "   -type: remove"
! exists_ci "$SYS_DIR/nxtool.exe" && ! exists_ci "$SYS_DIR/nxzlib.dll" &&
  ! exists_ci "$WIN_TEMP_DIR/readme.txt" &&
  pass "remove: files gone" || fail "remove: files left"

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
