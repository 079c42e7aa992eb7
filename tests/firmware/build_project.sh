#!/usr/bin/env bash
# build_project.sh CHIP SRC_DIR OUT_DIR [EXTRA_CFLAG]...
# Builds every .c of a project in the ICC dialect with avr-gcc: the
# compatibility headers stand in for the ICC library, the interrupt glue
# binds the handler pragmas. Compiler warnings are shown, not fatal; any
# compile or link error fails. Then flash and static RAM are checked
# against the chip. Prints "size CHIP flash=N/LIMIT ram=N/LIMIT".
set -euo pipefail

[ $# -ge 3 ] || { echo "usage: build_project.sh CHIP SRC_DIR OUT_DIR [CFLAG]..." >&2; exit 2; }
chip=$1 src=$2 out=$3
shift 3
here=$(cd "$(dirname "$0")" && pwd)

case $chip in
  atmega8) flash=8192 ram=1024 ;;
  atmega8515) flash=8192 ram=512 ;;
  atmega8535) flash=8192 ram=512 ;;
  atmega16) flash=16384 ram=1024 ;;
  atmega32) flash=32768 ram=2048 ;;
  atmega64) flash=65536 ram=4096 ;;
  atmega128) flash=131072 ram=4096 ;;
  *) echo "build_project.sh: unknown chip $chip" >&2; exit 2 ;;
esac

shopt -s nullglob
sources=("$src"/*.c)
[ ${#sources[@]} -gt 0 ] || { echo "build_project.sh: no .c files in $src" >&2; exit 1; }
mkdir -p "$out"

# Generated sources are GBK: reading them as GBK keeps a trail byte 0x5C from
# acting as a backslash, and writing strings as GBK keeps their bytes.
cflags=(-mmcu="$chip" -Os -std=gnu99 -I"$here/compat" -iquote "$src"
  -finput-charset=GBK -fexec-charset=GBK
  -Wall -Wno-unknown-pragmas -Wno-main -fno-diagnostics-show-caret "$@")

failed=0
objects=()
compile() {
  local c=$1 o="$out/$(basename "${1%.c}").o"
  if ! avr-gcc "${cflags[@]}" -c "$c" -o "$o" 2>"$o.log"; then
    echo "COMPILE FAILED: $(basename "$c")"
    cat "$o.log"
    failed=1
  elif [ -s "$o.log" ]; then
    echo "warnings in $(basename "$c"):"
    cat "$o.log"
  fi
  objects+=("$o")
}
for c in "${sources[@]}"; do compile "$c"; done
[ $failed -eq 0 ] || exit 1

# Bind the handler pragmas, leaving vectors the project defines itself.
bound=$(avr-nm --defined-only "${objects[@]}" | sed -n 's/.* T __vector_\([0-9]*\)$/\1/p' | tr '\n' ' ')
ICC_GLUE_BOUND=$bound "$here/make_glue.sh" "$chip" "$out/icc_glue.c" "${sources[@]}" "$src"/*.h
compile "$out/icc_glue.c"
[ $failed -eq 0 ] || exit 1

link() { avr-gcc -mmcu="$chip" -Os -o "$out/firmware.elf" "${objects[@]}" "$@" 2>"$out/link.log"; }
if ! link; then
  echo "LINK FAILED:"
  cat "$out/link.log"
  # Memory overflow: link once more regardless, only to tell the figures.
  grep -q "not within region\|will not fit in region" "$out/link.log" && link -Wl,--noinhibit-exec || exit 1
  overflow=1
fi

# Flash holds code, vectors and the initial values of .data.
read -r text data bss <<<"$(avr-size -A "$out/firmware.elf" |
  awk '$1==".text"{t=$2} $1==".data"{d=$2} $1==".bss"{b=$2} $1==".noinit"{b+=$2}
       END{print t+0, d+0, b+0}')"
used_flash=$((text + data))
used_ram=$((data + bss))
echo "size $chip flash=$used_flash/$flash ram=$used_ram/$ram"
if [ $used_flash -gt $flash ] || [ $used_ram -gt $ram ] || [ -n "${overflow:-}" ]; then
  echo "TOO BIG for $chip: flash $used_flash of $flash bytes, static RAM $used_ram of $ram bytes"
  exit 1
fi
