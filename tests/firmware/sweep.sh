#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# sweep.sh GEN DRAW WORK SEED FIRST COUNT [JOBS]
# The configuration sweep: draws configurations FIRST .. FIRST+COUNT-1 of
# SEED with DRAW (sweep_draw), generates each with tamberlo-gen (GEN) and
# builds it with build_project.sh, JOBS at a time (default 1). A project
# that does not compile, link or fit fails the sweep unless tamberlo-gen
# warned that it will not (a warning saying "will not build" or "will not
# link"; one about a project that builds but cannot work, such as a bus
# clock above a chip's limit, excuses nothing). A settings refusal
# (tamberlo-gen: error, e.g. a baud rate the crystal cannot give) is
# counted, a crash fails. Every other configuration draws its signals' pins
# from the chip's whole pin list, pins it lacks included: a project wired to
# one that no warning names fails, whether it builds or not, and so does a
# pin that two signals share (an unwarned pin conflict). Each failure prints the seed, the configuration
# and the command that replays it alone.
#
# Thousands of configurations with another seed, from the build folder:
#   ../tests/firmware/sweep.sh ./tamberlo-gen tests/firmware/sweep_draw /tmp/sweep 12345 0 5000 2
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)

if [ "${1:-}" = "--one" ]; then
  # --one GEN WORK SEED LINE: one configuration (a tab-separated line of DRAW).
  gen=$2 work=$3 seed=$4
  IFS=$'\t' read -r -a f <<<"$5"
  n=${f[0]} chip=${f[1]} lacks=${f[2]#lacks=} shared=${f[3]#shared=}
  args=("${f[@]:4}")
  dir="$work/case$n"
  rm -rf "$dir"
  mkdir -p "$dir/exe"
  replay() {
    echo "FAIL seed=$seed case=$n chip=$chip: $1"
    echo "  replay: $here/sweep.sh $gen ${DRAW_EXE:-sweep_draw} $work $seed $n 1"
    printf '  tamberlo-gen'
    printf " '%s'" "${args[@]}"
    printf '\n'
  }
  set +e
  "$gen" --exe-dir "$dir/exe" -o "$dir/project" "${args[@]}" >"$dir/gen.log" 2>&1
  rc=$?
  set -e
  if [ $rc -eq 1 ] && grep -q '^tamberlo-gen: error:' "$dir/gen.log"; then
    echo "refused $n: $(grep -m1 '^tamberlo-gen: error:' "$dir/gen.log" | cut -c22-)"
    rm -rf "$dir"
    exit 0
  fi
  if [ $rc -ne 0 ]; then
    replay "tamberlo-gen exited with $rc"
    tail -n 20 "$dir/gen.log" | sed 's/^/  | /'
    exit 1
  fi
  warned=$(grep -c '^tamberlo-gen: warning:' "$dir/gen.log" || true)
  # A pin the chip lacks is named in a warning (the pin, or its whole port).
  for pin in ${lacks//,/ }; do
    if ! grep -q "^tamberlo-gen: warning:.*\($pin\|PORT${pin:1:1}\)" "$dir/gen.log"; then
      replay "$pin is not on $chip and no warning named it"
      grep '^tamberlo-gen: warning:' "$dir/gen.log" | sed 's/^/  | /' || true
      exit 1
    fi
  done
  # A pin two signals share is named in a warning: an unwarned conflict fails.
  for pin in ${shared//,/ }; do
    if ! grep -q "^tamberlo-gen: warning:.*$pin" "$dir/gen.log"; then
      replay "$pin carries two signals and no warning named it"
      grep '^tamberlo-gen: warning:' "$dir/gen.log" | sed 's/^/  | /' || true
      exit 1
    fi
  done
  if "$here/build_project.sh" "$chip" "$dir/project" "$dir/build" >"$dir/build.log" 2>&1; then
    [ "$warned" -gt 0 ] && echo "warned $n (builds): $(grep -m1 '^tamberlo-gen: warning:' "$dir/gen.log" | cut -c24-)"
    rm -rf "$dir"
    exit 0
  fi
  if grep -q '^tamberlo-gen: warning:.*will not \(build\|link\)' "$dir/gen.log"; then
    echo "warned $n (does not build): $(grep -m1 '^tamberlo-gen: warning:.*will not' "$dir/gen.log" | cut -c24-)"
    rm -rf "$dir"
    exit 0
  fi
  replay "the project does not build and no warning said so"
  grep '^tamberlo-gen: warning:' "$dir/gen.log" | sed 's/^/  | /' || true
  grep -v '^size ' "$dir/build.log" | head -n 30 | sed 's/^/  | /'
  exit 1
fi

[ $# -ge 6 ] || { echo "usage: sweep.sh GEN DRAW WORK SEED FIRST COUNT [JOBS]" >&2; exit 2; }
gen=$1 draw=$2 work=$3 seed=$4 first=$5 count=$6 jobs=${7:-1}
mkdir -p "$work"
"$draw" "$work/editor" "$seed" "$first" "$count" >"$work/configs.txt"
export DRAW_EXE=$draw
set +e
tr '\n' '\0' <"$work/configs.txt" |
  xargs -0 -P "$jobs" -n 1 "$here/sweep.sh" --one "$gen" "$work" "$seed" >"$work/results.txt"
set -e
cat "$work/results.txt"
failed=$(grep -c '^FAIL' "$work/results.txt" || true)
refused=$(grep -c '^refused' "$work/results.txt" || true)
warned=$(grep -c '^warned' "$work/results.txt" || true)
echo "sweep seed=$seed configurations $first..$((first + count - 1)): $count drawn," \
     "$refused refused by the editor, $warned warned, $failed failed"
[ "$failed" -eq 0 ]
