#!/usr/bin/env bash
# The main job: builds the deliverables natively and for Windows, then shows them working.
set -euo pipefail
cd "$(dirname "$0")/.."
JOBS=${NX_JOBS:-2}

./scripts/deps.sh

echo "==== building (native, Windows x86_64 and i686)"
cmake --preset native ${NX_CMAKE_ARGS:-} >/dev/null
cmake --build --preset native -j"$JOBS"
cmake --preset mingw64 ${NX_CMAKE_ARGS:-} >/dev/null
cmake --build --preset mingw64 -j"$JOBS"
cmake --preset mingw32 ${NX_CMAKE_ARGS:-} >/dev/null
cmake --build --preset mingw32 -j"$JOBS" --target nxwidgets nxpress nxslider nxcurrency nxtaxid nxcore

NATIVE=build/native/tools/nxvat/nxvat
WINEXE=build/mingw64/tools/nxvat/nxvat.exe
source scripts/wine-env.sh
source scripts/display.sh
start_display
trap 'nx_wine_stop; stop_display' EXIT
nx_wine_start

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

echo
echo "---- the product: one nxinstall.exe with the whole suite, installed unattended under Wine"
SUITE=build/showcase/suite
rm -rf "$SUITE" && mkdir -p "$SUITE"
printf 'nx suite licence\r\n\r\nThe components may be used in applications of the licensee.\r\n' \
  > "$SUITE/licence.txt"
libs=(widgets/ocx/nxwidgets.ocx taxid/ocx/nxtaxid.ocx press/ocx/nxpress.ocx
      currency/ocx/nxcurrency.ocx slider/ocx/nxslider.ocx taxid/nxcore/nxcore.dll)
files=()
for l in "${libs[@]}"; do
  files+=(--file "$PWD/build/mingw64/$l:register=1")
  files+=(--file "$PWD/build/mingw32/$l:register=1;target=%SYSTEM32BIT%")
done
build/native/tools/nxpack/nxpack --stub build/mingw64/setup/stub/nxinstall_stub.exe \
  --out "$SUITE/nxinstall.exe" --title "nx suite" --eula "$SUITE/licence.txt" "${files[@]}"
echo "nxpack: $SUITE/nxinstall.exe ($(stat -c %s "$SUITE/nxinstall.exe") bytes): the six libraries" \
  "for 64-bit hosts and for 32-bit hosts"
summary() {
  sed 's/\r$//' nxinstall.log | grep -E '^   -(type|X64|X86|reboot needed|result)' |
    grep -vE '^   -X(64|86).*: (skipped)$' | sed 's/^/  /'
}
# A run before that stopped half-way may have left the suite in the prefix: start clean.
( cd "$SUITE" && wine nxinstall.exe /q /remove </dev/null >/dev/null 2>&1 ) || true
( cd "$SUITE" && wine nxinstall.exe /q /l /s </dev/null >/dev/null 2>&1
  echo "nxinstall.exe /q /l /s -> exit code $?"; summary )

cat > "$SUITE/create_all.vbs" <<'VBS'
names = Array("nxwidgets.NxProgressBar", "nxwidgets.NxCheckBox", "nxwidgets.NxHyperLink", _
  "nxwidgets.NxMeter", "nxwidgets.NxGradFrame", "nxtaxid.NxVATNumber", "nxpress.NxButton", _
  "nxcurrency.NxEuroBox", "nxslider.NxTracker", "nxcore.VatEngine")
On Error Resume Next
made = ""
For Each n In names
  Err.Clear
  Set o = CreateObject(n)
  If Err.Number = 0 Then made = made & " " & n Else made = made & " (" & n & " failed)"
  Set o = Nothing
Next
WScript.Echo "created:" & made
Set vat = CreateObject("nxcore.VatEngine")
WScript.Echo "nxcore: checkNumber(""ATU13585627"") = " & vat.checkNumber("ATU13585627")
VBS
for bits in 64 32; do
  echo "a $bits-bit script host:"
  nx_wine $bits cscript //nologo "Z:$PWD/$SUITE/create_all.vbs" </dev/null 2>&1 | tr -d '\r' |
    sed 's/^/  /'
done

echo
echo "---- the installed libraries on forms (nxshowcase, Windows x86_64 under Wine)"
sys='C:\windows\system32'
# The VAT number form opens its first box's country list after 5 seconds, for the third shot.
wine build/mingw64/tools/showcase/nxshowcase.exe "$sys\\nxwidgets.ocx" 9 "$sys\\nxpress.ocx" \
  "$sys\\nxslider.ocx" "$sys\\nxcurrency.ocx" "$sys\\nxtaxid.ocx" 5 &
SHOW=$!
sleep 4
/usr/bin/import -window root -crop 1000x340+0+0 build/showcase/nxwidgets.png
/usr/bin/import -window root -crop 1010x270+0+345 build/showcase/nxpress.png
sleep 3.5
/usr/bin/import -window root -crop 1010x330+0+440 build/showcase/nxtaxid.png
wait "$SHOW" || true
echo "screenshots of the forms: build/showcase/nxwidgets.png, build/showcase/nxpress.png," \
  "build/showcase/nxtaxid.png"

echo
echo "---- the same forms on a display of 144 DPI"
set_dpi() {
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  wine reg add 'HKCC\Software\Fonts' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
}
set_dpi 144
wine build/mingw64/tools/showcase/nxshowcase.exe "$sys\\nxwidgets.ocx" 9 "$sys\\nxpress.ocx" \
  "$sys\\nxslider.ocx" "$sys\\nxcurrency.ocx" "$sys\\nxtaxid.ocx" 5 &
SHOW=$!
sleep 5
/usr/bin/import -window root build/showcase/gallery-144dpi.png
wait "$SHOW" || true
set_dpi 96
echo "screenshot at 144 DPI: build/showcase/gallery-144dpi.png"

echo
echo "---- removing the suite again"
( cd "$SUITE" && wine nxinstall.exe /q /l /s /remove </dev/null >/dev/null 2>&1
  echo "nxinstall.exe /q /l /s /remove -> exit code $?"; summary )
left=0
for l in "${libs[@]}"; do
  f=$(basename "$l")
  for d in system32 syswow64; do
    find "build/wineprefix/drive_c/windows/$d" -maxdepth 1 -iname "$f" | grep -q . && left=$((left + 1))
  done
done
echo "libraries left in the system folders: $left"
nx_wine 64 cscript //nologo "Z:$PWD/$SUITE/create_all.vbs" </dev/null 2>&1 | tr -d '\r' |
  head -1 | sed 's/^/  after removal, /'
