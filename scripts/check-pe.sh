#!/usr/bin/env bash
# Checks a Windows binary statically: its PE machine type, and that it imports only DLLs
# that come with Windows.  Usage: check-pe.sh i386|x86-64 FILE...
set -euo pipefail
arch=$1
shift
for f in "$@"; do
  fmt=$(x86_64-w64-mingw32-objdump -f "$f" | sed -n 's/.*file format //p')
  case "$arch" in
    i386) want=pei-i386 ;;
    x86-64) want=pei-x86-64 ;;
    *) echo "unknown architecture $arch"; exit 2 ;;
  esac
  [ "$fmt" = "$want" ] || { echo "$f: format $fmt, expected $want"; exit 1; }
  dlls=$(x86_64-w64-mingw32-objdump -p "$f" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
  for dll in $dlls; do
    case "$dll" in
      kernel32.dll|user32.dll|gdi32.dll|advapi32.dll|shell32.dll|ole32.dll|oleaut32.dll|\
      msvcrt.dll|msimg32.dll|comctl32.dll|version.dll|advpack.dll|shlwapi.dll|uuid.dll|\
      olepro32.dll|oleacc.dll|api-ms-win-*) ;;
      *) echo "$f imports non-system DLL $dll"; exit 1 ;;
    esac
  done
  echo "$f: $fmt, imports: $(echo $dlls)"
done
