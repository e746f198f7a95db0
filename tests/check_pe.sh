#!/usr/bin/env bash
# check_pe.sh OBJDUMP FILE KIND FORMAT [EXPORT...]
# A delivered PE file must be of the given format, need only DLLs that every Windows has, not
# need the common-controls library, and export exactly the given names, undecorated.
# KIND: dll (a plug-in) or gui (a windowed program). FORMAT: PE32 (for x86) or PE32+ (for
# x86-64): the format alone does not tell the processor, so both are checked.
set -euo pipefail
objdump=$1 file=$2 kind=$3 format=$4
shift 4
dump=$("$objdump" -p "$file")

system_dlls='^(kernel32|user32|gdi32|msvcrt|advapi32|shell32|ole32|oleaut32|comdlg32|version|ucrtbase|api-ms-win-crt-[a-z0-9-]+)\.dll$'
status=0
while read -r dll; do
  lower=$(printf '%s' "$dll" | tr 'A-Z' 'a-z')
  if ! [[ $lower =~ $system_dlls ]]; then
    echo "$file imports $dll, which is not a system DLL"
    status=1
  fi
done < <(printf '%s\n' "$dump" | sed -n 's/^\s*DLL Name: //p')

# (grep reads here-strings: with pipefail, grep -q leaving a pipe early would fail it)
if [ "$kind" = gui ] && ! grep -q 'Subsystem.*Windows GUI' <<<"$dump"; then
  echo "$file is not a GUI-subsystem program"
  status=1
fi

if ! grep -qE "^Magic\s+[0-9a-f]+\s+\($(sed 's/+/\\+/' <<<"$format")\)$" <<<"$dump"; then
  echo "$file is not a $format file: $(grep '^Magic' <<<"$dump")"
  status=1
fi
case $format in PE32) machine=pei-i386 ;; PE32+) machine=pei-x86-64 ;; esac
if ! grep -qE "file format $machine$" <<<"$dump"; then
  echo "$file is not for the processor of $format ($machine): $(grep -m1 'file format' <<<"$dump")"
  status=1
fi

exports=$(printf '%s\n' "$dump" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | sed -n 's/^\s*\[\s*[0-9]*\] //p' | sort)
expected=$(printf '%s\n' "$@" | sed '/^$/d' | sort)
if [ "$exports" != "$expected" ]; then
  echo "$file exports [$(echo $exports)], not exactly [$(echo $expected)]"
  status=1
fi
[ $status -eq 0 ] && echo "$file: imports $(printf '%s\n' "$dump" | sed -n 's/^\s*DLL Name: //p' | tr '\n' ' ')- ok"
exit $status
