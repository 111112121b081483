#!/usr/bin/env bash
# The Windows programs are linked statically: they may import only DLLs that come with
# Windows itself, never a MinGW runtime (libstdc++, libgcc, libwinpthread).
# Usage: windows_imports_test.sh OBJDUMP PROGRAM...
set -euo pipefail
objdump="$1"
shift
allowed=" kernel32.dll user32.dll gdi32.dll comdlg32.dll msvcrt.dll version.dll advapi32.dll "
status=0
for program in "$@"; do
  while read -r dll; do
    lower="$(tr '[:upper:]' '[:lower:]' <<<"$dll")"
    if [[ "$allowed" != *" $lower "* ]]; then
      echo "${program##*/} imports $dll, which Windows does not provide"
      status=1
    fi
  done < <("$objdump" -p "$program" | sed -n 's/^[[:space:]]*DLL Name: //p')
done
exit "$status"
