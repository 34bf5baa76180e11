#!/usr/bin/env bash
# Registers nxcore.dll under Wine in its own bitness, runs a VBScript client against it,
# unregisters it, and checks the registry before and after.
# Usage: nxcore_script_test.sh DLL NXVAT.exe WORKDIR SCRIPT.vbs [EXPECTED_OUTPUT]
#   Without EXPECTED_OUTPUT the script is given two files, numbers generated here (lines
#   CC<TAB>NUMBER) and nxvat's "check --batch" verdicts on them, and must print DONE. With it,
#   the script's output must equal that file.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../scripts/wine-env.sh"
dll=$1 nxvat=$2 work=$3 script=$4 expected=${5:-}
bits=$(nx_pe_bits "$dll")
w() { nx_wine "$bits" "$@" </dev/null; }
clsid='{45790386-D161-4584-A58F-F076AA50331D}'
libid='{D26AB3B3-D9D6-4F3A-94B8-243F1E9BDAA3}'
failed=0
fail() { echo "FAIL: $*"; failed=1; }
mkdir -p "$work"

if [ -z "$expected" ]; then
  # Bodies of each state's numbers with their check character open: nxvat completes them into
  # valid numbers; each valid number also comes with one digit changed (almost always invalid).
  python3 - "$work/bodies.txt" <<'PY'
import random, sys
shapes = [("AT", "U#######?", ""), ("BE", "0@#######?", "23456789"), ("BG", "########?", ""),
          ("CY", "@#######?", "013459"), ("CZ", "@######?", "12345678"), ("DE", "########?", ""),
          ("DK", "@######?", "123456789"), ("EE", "########?", ""), ("EL", "########?", ""),
          ("ES", "########?", ""), ("ES", "@#######?", "ABCDEFGHNPQS"), ("FI", "#######?", ""),
          ("FR", "##########?", ""), ("GB", "@#######?", "123456789"), ("HU", "#######?", ""),
          ("IE", "#######?", ""), ("IT", "##########?", ""), ("LT", "#######1?", ""),
          ("LU", "#######?", ""), ("LV", "@#########?", "456789"), ("MT", "@######?", "123456789"),
          ("NL", "########?B01", ""), ("PL", "#########?", ""), ("PT", "########?", ""),
          ("RO", "#########?", ""), ("SE", "#########?01", ""), ("SI", "#######?", ""),
          ("SK", "@#@######?", "2347890")]
rng = random.Random(20240611)
with open(sys.argv[1], "w", newline="\n") as out:
    for code, pattern, lead in shapes:
        for _ in range(60):
            body = "".join(str(rng.randrange(10)) if c == "#" else
                           rng.choice(lead) if c == "@" else c for c in pattern)
            out.write(f"{code}\t{body}\n")
PY
  nx_wine "$bits" "$nxvat" complete --batch <"$work/bodies.txt" >"$work/completed.txt" ||
    fail "nxvat complete --batch returned $?"
  python3 - "$work/bodies.txt" "$work/completed.txt" "$work/input.txt" <<'PY'
import random, sys
bodies = open(sys.argv[1]).read().splitlines()
completed = open(sys.argv[2], newline="").read().split("\n")
rng = random.Random(7)
alphabet = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"
with open(sys.argv[3], "w", newline="\n") as out:
    for line, done in zip(bodies, completed):
        code, body = line.split("\t")
        if done:
            out.write(f"{code}\t{done}\n")
            digits = [i for i, c in enumerate(done) if c.isdigit()]
            i = rng.choice(digits)
            changed = done[:i] + str((int(done[i]) + rng.randrange(1, 10)) % 10) + done[i + 1:]
            out.write(f"{code}\t{changed}\n")
        else:
            out.write(f"{code}\t{body.replace('?', '0')}\n")
        # Other texts of five to twelve characters.
        junk = "".join(rng.choice(alphabet) for _ in range(rng.randrange(5, 13)))
        out.write(f"{code}\t{junk}\n")
PY
  nx_wine "$bits" "$nxvat" check --batch <"$work/input.txt" >"$work/verdicts.txt" ||
    fail "nxvat check --batch returned $?"
  echo "input: $(wc -l <"$work/input.txt") numbers, $(grep -c '^1' "$work/verdicts.txt") valid"
fi

w regsvr32 /s "Z:$dll" || fail "regsvr32 returned $?"
query() { w reg query "$@" 2>/dev/null | tr -d '\r'; }
query "HKCR\\CLSID\\$clsid\\InprocServer32" | grep -q 'ThreadingModel.*Both' ||
  fail "no ThreadingModel Both"
query "HKCR\\CLSID\\$clsid\\InprocServer32" | grep -qi 'nxcore.dll' || fail "no server path"
query "HKCR\\CLSID\\$clsid\\ProgID" | grep -q 'nxcore.VatEngine.1' || fail "no versioned ProgID"
query "HKCR\\CLSID\\$clsid\\VersionIndependentProgID" | grep -q 'nxcore.VatEngine$' ||
  fail "no version-independent ProgID"
query "HKCR\\CLSID\\$clsid\\Programmable" >/dev/null || fail "no Programmable key"
query "HKCR\\nxcore.VatEngine\\CurVer" | grep -q 'nxcore.VatEngine.1' || fail "no CurVer"
query "HKCR\\nxcore.VatEngine.1\\CLSID" | grep -q "$clsid" || fail "no CLSID under the ProgID"
query "HKCR\\TypeLib\\$libid\\1.0" | grep -q 'nx core VAT engine' || fail "type library not registered"

if [ -z "$expected" ]; then
  out=$(w cscript //nologo "Z:$script" "Z:$work/input.txt" "Z:$work/verdicts.txt" 2>&1 | tr -d '\r')
  echo "$out" | grep -E '^(FAIL|DONE)'
  echo "$out" | grep -q '^DONE' || fail "VBScript client: $(echo "$out" | tail -3)"
else
  out=$(w cscript //nologo "Z:$script" 2>&1 | tr -d '\r')
  if [ "$out" != "$(cat "$expected")" ]; then
    fail "output of $(basename "$script") differs:"
    diff <(echo "$out") "$expected"
  fi
fi

w regsvr32 /u /s "Z:$dll" || fail "regsvr32 /u returned $?"
for key in "CLSID\\$clsid" nxcore.VatEngine nxcore.VatEngine.1 "TypeLib\\$libid"; do
  w reg query "HKCR\\$key" >/dev/null 2>&1 && fail "HKCR\\$key left behind"
done
[ "$failed" -eq 0 ] && echo "$(basename "$script") passed ($bits-bit)"
exit "$failed"
