#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# gen_case.sh GEN RUNNER CHIP WORK [GEN_OPTION]... [-- CYCLES [check]...]
# Generates a project with tamberlo-gen for CHIP (the MCU setting is added
# here; GEN_OPTIONs are its other options, e.g. --set UART0.Uart0_use=1),
# builds it with its own Makefile and, after "--", runs it in the simulator at the
# crystal the settings chose and applies check_run.sh's checks. The option
# --main FILE replaces the generated main.c by FILE (a driver exercised
# beyond what the demo shows); --cppflag FLAG adds a compiler flag.
set -euo pipefail

[ $# -ge 4 ] || { echo "usage: gen_case.sh GEN RUNNER CHIP WORK [GEN_OPTION]... [-- CYCLES [check]...]" >&2; exit 2; }
gen=$1 runner=$2 chip=$3 work=$4
shift 4
here=$(cd "$(dirname "$0")" && pwd)

case $chip in
  atmega8) mcu=0 ;; atmega8515) mcu=1 ;; atmega8535) mcu=2 ;; atmega16) mcu=3 ;;
  atmega32) mcu=4 ;; atmega64) mcu=5 ;; atmega128) mcu=6 ;;
  *) echo "gen_case.sh: unknown chip $chip" >&2; exit 2 ;;
esac

gen_args=(--set "MCU.mcutype=$mcu")
fosc=10
main_file=
cppflags=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do
  [[ $1 == --main ]] && { main_file=$2; shift 2; continue; }
  [[ $1 == --cppflag ]] && { cppflags+=("$2"); shift 2; continue; }
  gen_args+=("$1")
  [[ $1 == --set ]] && [[ ${2:-} == MCU.Fosc=* ]] && fosc=${2#MCU.Fosc=}
  shift
done
[ $# -gt 0 ] && shift  # the "--"

# The crystal list of the editor, in Hz.
crystals=(1000000 1843200 2000000 2457600 3276800 3686400 4000000 4608000 4915200 6000000
  7372800 8000000 9216000 10000000 11059200 12000000 14000000 14745600 16000000)
hz=${crystals[$fosc]}

rm -rf "$work"
mkdir -p "$work/exe"
"$gen" --exe-dir "$work/exe" -o "$work/project" "${gen_args[@]}" >"$work/gen.log" 2>&1 || {
  echo "FAILED: tamberlo-gen ${gen_args[*]}"; cat "$work/gen.log"; exit 1; }
echo "generated: $(cd "$work/project" && ls | tr '\n' ' ')"
[ -z "$main_file" ] || cp "$main_file" "$work/project/main.c"

"$here/build_project.sh" "$chip" "$work/project" "$work/build" ${cppflags[@]+"${cppflags[@]}"}

[ $# -gt 0 ] || exit 0
cycles=$1
shift
exec "$here/check_run.sh" "$runner" "$work/build/firmware.elf" "$chip" "$hz" "$cycles" "$work/run" "$@"
