#!/usr/bin/env bash
# Optional: runs the 32-bit control library under 32-bit Wine (registration, the scripting
# client and the ATL container). The regular test run does not do this, because 32-bit Wine
# needs i386 multiarch and about a gigabyte of packages.
#   scripts/test-i686-wine.sh            run, if wine32 is installed
#   scripts/test-i686-wine.sh --install  install wine32:i386 first (as root)
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${1:-}" = "--install" ]; then
  dpkg --add-architecture i386
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq wine32:i386
fi
dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "ok installed" ||
  { echo "wine32:i386 is not installed (run with --install)"; exit 2; }

cmake --preset mingw32 -DNX_BUILD_TESTS=ON >/dev/null
cmake --build --preset mingw32 -j"${NX_JOBS:-2}" --target nxwidgets atl_host_check
export WINEPREFIX="$PWD/build/wineprefix32" WINEARCH=win32
source scripts/wine-env.sh
nx_wine_start
trap nx_wine_stop EXIT
bash tests/win32/com_scripting_test.sh "$PWD/build/mingw32/widgets/ocx/nxwidgets.ocx" \
  build/mingw32/tests/win32/atl_host_check.exe
