#!/usr/bin/env bash
# sample_case.sh RUNNER CHIP SAMPLE_DIR WORK [-- HZ CYCLES [check]...]
# Builds a hand-written sample for CHIP (its sources include DEVICE_HEADER,
# set here to the chip's ICC header) and, after "--", runs and checks it.
set -euo pipefail

[ $# -ge 4 ] || { echo "usage: sample_case.sh RUNNER CHIP SAMPLE_DIR WORK [-- HZ CYCLES [check]...]" >&2; exit 2; }
runner=$1 chip=$2 sample=$3 work=$4
shift 4
here=$(cd "$(dirname "$0")" && pwd)

rm -rf "$work"
"$here/build_project.sh" "$chip" "$sample" "$work/build" "-DDEVICE_HEADER=<iom${chip#atmega}v.h>"

[ $# -gt 0 ] || exit 0
[ "$1" = "--" ] || { echo "sample_case.sh: expected -- before the run" >&2; exit 2; }
shift
hz=$1 cycles=$2
shift 2
exec "$here/check_run.sh" "$runner" "$work/build/firmware.elf" "$chip" "$hz" "$cycles" "$work/run" "$@"
