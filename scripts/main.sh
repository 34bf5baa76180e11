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
cmake --build --preset mingw32 -j"$JOBS" --target nxwidgets nxpress nxslider nxcurrency nxtaxid

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
echo "---- nxwidgets.ocx: registered, then placed on a form by nxshowcase (Windows, under Wine)"
OCX="$PWD/build/mingw64/widgets/ocx/nxwidgets.ocx"
nx_wine 64 regsvr32 /s "Z:$OCX" && echo "regsvr32 nxwidgets.ocx (x86_64): registered"
for cls in NxProgressBar NxCheckBox NxHyperLink NxMeter NxGradFrame; do
  nx_wine 64 reg query "HKCR\\nxwidgets.$cls\\CLSID" </dev/null 2>/dev/null | grep -i clsid |
    sed "s/^/  nxwidgets.$cls /"
done
PRESS="$PWD/build/mingw64/press/ocx/nxpress.ocx"
nx_wine 64 regsvr32 /s "Z:$PRESS" && echo "regsvr32 nxpress.ocx (x86_64): registered"
nx_wine 64 reg query 'HKCR\nxpress.NxButton\CLSID' </dev/null 2>/dev/null | grep -i clsid |
  sed 's/^/  nxpress.NxButton /'
mkdir -p build/showcase
SLIDER="$PWD/build/mingw64/slider/ocx/nxslider.ocx"
CURRENCY="$PWD/build/mingw64/currency/ocx/nxcurrency.ocx"
TAXID="$PWD/build/mingw64/taxid/ocx/nxtaxid.ocx"
# The VAT number form opens its first box's country list after 5 seconds, for the third shot.
wine build/mingw64/tools/showcase/nxshowcase.exe "Z:$OCX" 9 "Z:$PRESS" "Z:$SLIDER" "Z:$CURRENCY" \
  "Z:$TAXID" 5 &
SHOW=$!
sleep 4
/usr/bin/import -window root -crop 1000x340+0+0 build/showcase/nxwidgets.png
/usr/bin/import -window root -crop 1010x270+0+345 build/showcase/nxpress.png
sleep 3.5
/usr/bin/import -window root -crop 1010x330+0+440 build/showcase/nxtaxid.png
wait "$SHOW" || true
echo "screenshots of the forms: build/showcase/nxwidgets.png, build/showcase/nxpress.png," \
  "build/showcase/nxtaxid.png"
nx_wine 64 regsvr32 /u /s "Z:$OCX" && echo "regsvr32 /u nxwidgets.ocx: unregistered"
nx_wine 64 regsvr32 /u /s "Z:$PRESS" && echo "regsvr32 /u nxpress.ocx: unregistered"
OCX32="$PWD/build/mingw32/widgets/ocx/nxwidgets.ocx"
if [ -f "$OCX32" ]; then
  nx_wine 32 regsvr32 /s "Z:$OCX32" && echo "regsvr32 nxwidgets.ocx (i686, 32-bit Wine): registered"
  nx_wine 32 reg query 'HKCR\nxwidgets.NxCheckBox\CLSID' </dev/null 2>/dev/null | grep -i clsid |
    sed 's/^/  32-bit view: nxwidgets.NxCheckBox /'
  nx_wine 32 regsvr32 /u /s "Z:$OCX32" && echo "regsvr32 /u nxwidgets.ocx (i686): unregistered"
fi

echo
echo "---- nxinstall.exe: packed by nxpack, run unattended under Wine (/q /l /s)"
PKG=build/showcase/package
rm -rf "$PKG" && mkdir -p "$PKG/files"
cp "$OCX" "$PKG/files/"
printf 'nx suite licence (demo)\r\n' > "$PKG/licence.txt"
build/native/tools/nxpack/nxpack --stub build/mingw64/setup/stub/nxinstall_stub.exe \
  --out "$PKG/nxinstall.exe" --title "nx suite" --dir "$PKG/files" --eula "$PKG/licence.txt" \
  --file "nxwidgets.ocx:register=1"
ls -l "$PKG/nxinstall.exe"
( cd "$PKG" && wine nxinstall.exe /q /l /s </dev/null; echo "nxinstall.exe exit code: $?" )
echo "nxinstall.log:"
sed 's/\r$//' "$PKG/nxinstall.log" 2>/dev/null || echo "(no log written)"
