#!/usr/bin/env bash
# make_glue.sh CHIP OUT.c SOURCE...
# (SOURCEs are .c and .h files: a header may carry the pragma too.)
# ICC binds interrupt handlers with "#pragma interrupt_handler NAME:VECTOR"
# (several NAME:VECTOR pairs may follow one pragma). avr-gcc ignores the
# pragma, so this writes one ISR per pair that calls the named handler.
# The vector constants are evaluated by the compiler through the device
# header, so a name the header lacks fails here, naming file and pragma.
# Vectors listed in ICC_GLUE_BOUND (numbers as in __vector_N) are already
# defined by the project itself and are left alone.
set -euo pipefail

[ $# -ge 2 ] || { echo "usage: make_glue.sh CHIP OUT.c SOURCE..." >&2; exit 2; }
chip=$1 out=$2
shift 2
here=$(cd "$(dirname "$0")" && pwd)

case $chip in
  atmega8) header=iom8v.h ;;
  atmega8515) header=iom8515v.h ;;
  atmega8535) header=iom8535v.h ;;
  atmega16) header=iom16v.h ;;
  atmega32) header=iom32v.h ;;
  atmega64) header=iom64v.h ;;
  atmega128) header=iom128v.h ;;
  *) echo "make_glue.sh: unknown chip $chip" >&2; exit 2 ;;
esac

# "file<TAB>name<TAB>vector" per pair; CR of CR LF sources is dropped.
pairs=$(awk '
  { sub(/\r$/, "") }
  $1 == "#pragma" && $2 == "interrupt_handler" {
    for (i = 3; i <= NF; i++) {
      if ($i ~ /^\/\//) break
      n = split($i, p, ":")
      if (n != 2 || p[1] == "" || p[2] == "") {
        printf "%s:%d: cannot read handler pair \"%s\"\n", FILENAME, FNR, $i > "/dev/stderr"
        bad = 1
        continue
      }
      printf "%s\t%s\t%s\n", FILENAME, p[1], p[2]
    }
  }
  END { exit bad }' "$@")

{
  echo "/* Interrupt glue: binds the ICC handler pragmas to avr-libc vectors. */"
  echo "#include <avr/interrupt.h>"
  echo
} >"$out.tmp"

if [ -n "$pairs" ]; then
  # Ask the preprocessor for each vector's number.
  numbers=$( { echo "#include <$header>"; cut -f3 <<<"$pairs" | sed 's/^/ICC_VECTOR_NUMBER /'; } |
    avr-gcc -mmcu="$chip" -I"$here/compat" -E -P -x c - | grep '^ICC_VECTOR_NUMBER' | cut -d' ' -f2)
  declare -A seen=()
  while IFS=$'\t' read -r file name vector <&3 && read -r number <&4; do
    if ! [[ $number =~ ^[0-9]+$ ]] || [ "$number" -lt 2 ]; then
      echo "$file: #pragma interrupt_handler $name:$vector: $header has no vector $vector" >&2
      rm -f "$out.tmp"
      exit 1
    fi
    [ "${seen[$number]:-}" = "$name" ] && continue  # the same pair again, e.g. header and source
    if [ -n "${seen[$number]:-}" ]; then
      echo "$file: #pragma interrupt_handler $name:$vector: vector already bound to ${seen[$number]}" >&2
      rm -f "$out.tmp"
      exit 1
    fi
    seen[$number]=$name
    if [[ " ${ICC_GLUE_BOUND:-} " == *" $((number - 1)) "* ]]; then
      echo "/* $name:$vector: the project binds __vector_$((number - 1)) itself */" >>"$out.tmp"
      continue
    fi
    {
      echo "extern void $name(void);"
      echo "ISR(__vector_$((number - 1))) { $name(); }  /* $vector */"
    } >>"$out.tmp"
  done 3<<<"$pairs" 4<<<"$numbers"
fi
mv "$out.tmp" "$out"
