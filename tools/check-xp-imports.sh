#!/bin/sh
# Checks that a 32-bit Windows program can be loaded by Windows XP SP3: its
# PE header asks for no newer subsystem or system than NT 5.01, and none of
# the functions in its import table is one that XP SP3's system DLLs lack
# (tools/xp-sp3-missing.txt). Reads the import table with objdump -p.
#   usage: check-xp-imports.sh PROGRAM.exe [MISSING-LIST]
# OBJDUMP names the objdump that reads the program (default: the i686 one).
# Prints every offending DLL and function and exits 1 when there is any.
set -e
exe=$1
list=${2:-$(dirname "$0")/xp-sp3-missing.txt}
objdump=${OBJDUMP:-i686-w64-mingw32-objdump}
if [ -z "$exe" ] || [ ! -f "$exe" ]; then
  echo "check-xp-imports: no program to check: '$exe'" >&2
  exit 2
fi
[ -f "$list" ] || { echo "check-xp-imports: no list '$list'" >&2; exit 2; }

dump=$(mktemp)
trap 'rm -f "$dump"' EXIT
"$objdump" -p "$exe" > "$dump"

awk -v exe="$(basename "$exe")" '
  # The list: "dll function", "#" starts a comment, "*" stands for every
  # function of a DLL that XP does not have at all.
  FNR == NR {
    sub(/#.*/, "")
    if (NF >= 2) missing[tolower($1) " " $2] = 1
    next
  }
  /^MajorSubsystemVersion/ { subMaj = $2 }
  /^MinorSubsystemVersion/ { subMin = $2 }
  /^MajorOSystemVersion/   { osMaj = $2 }
  /^MinorOSystemVersion/   { osMin = $2 }
  /^The Import Tables/     { inImports = 1; next }
  /^The (Export|Delay Import) Tables|^PE File Base Relocations|^The .pdata/ { inImports = 0 }
  inImports && /DLL Name:/ { dll = $3; dlls++; next }
  # An import by name: "vma  hint  name" (an import by ordinal has no name;
  # the directory lines between the DLLs have six hexadecimal columns).
  inImports && dll != "" && (NF == 3 || NF == 4) && $1 ~ /^[0-9a-f]+$/ && $2 ~ /^[0-9]+$/ {
    imports++
    d = tolower(dll)
    if ((d " " $3) in missing || (d " *") in missing)
      bad[++nbad] = dll "!" $3
  }
  function newer(maj, min) { return maj + 0 > 5 || (maj + 0 == 5 && min + 0 > 1) }
  END {
    status = 0
    if (dlls == 0 || imports == 0) {
      printf "%s: no import table found\n", exe
      exit 1
    }
    if (subMaj == "" || newer(subMaj, subMin)) {
      printf "%s: the PE header asks for subsystem version %s.%s, newer than Windows XP (5.01)\n", exe, subMaj, subMin
      status = 1
    }
    if (osMaj == "" || newer(osMaj, osMin)) {
      printf "%s: the PE header asks for OS version %s.%s, newer than Windows XP (5.01)\n", exe, osMaj, osMin
      status = 1
    }
    for (i = 1; i <= nbad; i++)
      printf "%s imports %s, which Windows XP SP3 does not export\n", exe, bad[i]
    if (nbad > 0) status = 1
    if (status == 0)
      printf "%s: %d imports from %d DLLs, all exported by Windows XP SP3; subsystem %s.%s\n", exe, imports, dlls, subMaj, subMin
    exit status
  }
' "$list" "$dump"
