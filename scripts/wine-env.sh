# Sourced: one Wine prefix per checkout, quiet, with its server started outside any pipe so
# that ctest does not wait on a server that inherited its output.
#
# With 32-bit Wine installed, `wine` is the 32-bit loader and the prefix is a WoW64 prefix that
# holds both bitnesses: a program of the system (regsvr32, reg, cscript) runs in the bitness of
# the loader that starts it and sees only that bitness's registrations. `nx_wine 64 …` and
# `nx_wine 32 …` start it in the bitness of the library under test. Our own .exe files are
# handed to the right loader by Wine itself.
: "${NX_ROOT:=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}"
export WINEPREFIX="${WINEPREFIX:-$NX_ROOT/build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

NX_WINE64_LOADER=/usr/lib/wine/wine64

nx_wine() {
  local bits=$1
  shift
  if [ "$bits" = 64 ] && [ -x "$NX_WINE64_LOADER" ]; then
    WINELOADER="$NX_WINE64_LOADER" "$NX_WINE64_LOADER" "$@"
  else
    wine "$@"
  fi
}

# The bitness of a PE file (32 or 64), from its machine field.
nx_pe_bits() {
  python3 - "$1" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read(4096)
off = struct.unpack_from("<I", data, 0x3C)[0]
machine = struct.unpack_from("<H", data, off + 4)[0]
print(64 if machine == 0x8664 else 32)
PY
}

nx_wine_start() {
  # A prefix made before 32-bit Wine was installed no longer starts: make it again.
  if [ -f "$WINEPREFIX/system.reg" ] && [ -x /usr/lib/wine/wine ] &&
      [ ! -d "$WINEPREFIX/drive_c/windows/syswow64" ]; then
    echo "== re-creating Wine prefix $WINEPREFIX for both bitnesses"
    wineserver -k </dev/null >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX"
  fi
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "== creating Wine prefix $WINEPREFIX (first start takes a while)"
    mkdir -p "$WINEPREFIX"
    wine wineboot -i </dev/null >/dev/null 2>&1 || true
    wineserver -w </dev/null >/dev/null 2>&1 || true
  fi
  # Without a window manager, unmanaged top-level windows are created and destroyed quickly.
  if ! grep -q '"Managed"="N"' "$WINEPREFIX/user.reg" 2>/dev/null; then
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1 || true
  fi
  wineserver -p </dev/null >/dev/null 2>&1 || true
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}

nx_wine_stop() { wineserver -k </dev/null >/dev/null 2>&1 || true; }
