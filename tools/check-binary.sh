#!/bin/sh
# Checks a built Windows binary: it imports system DLLs only (the runtime is linked in) and, with
# --exports, exports exactly the names given, by name.
#   check-binary.sh FILE [--exports NAME...]
set -e
file=$1
shift
# llvm's dumper reads the PE files of every architecture the build makes.
dump=$(llvm-objdump-14 -p "$file")
status=0
allowed='^(KERNEL32|USER32|GDI32|ADVAPI32|SHELL32|ole32|OLEAUT32|COMCTL32|comdlg32|SHLWAPI|msvcrt|VERSION|CRYPT32)\.dll$'
for dll in $(printf '%s\n' "$dump" | sed -n 's/^\s*DLL Name: //p'); do
  if ! printf '%s\n' "$dll" | grep -qiE "$allowed"; then
    echo "$file imports $dll, which is not a system DLL"
    status=1
  fi
done
if [ "$1" = "--exports" ]; then
  shift
  expected=$(printf '%s\n' "$@" | sort)
  actual=$(printf '%s\n' "$dump" | awk '/^ *Ordinal +RVA +Name/ { t = 1; next } t && NF == 0 { t = 0 } t && NF >= 3 { print $3 }' | sort)
  if [ "$expected" != "$actual" ]; then
    echo "$file exports:"; echo "$actual"; echo "expected:"; echo "$expected"
    status=1
  fi
fi
[ $status -eq 0 ] && echo "$file: imports and exports as expected"
exit $status
