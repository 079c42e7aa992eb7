#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fuzzes the readers of untrusted text (INI files, .act settings, the update
# descriptor) with libFuzzer under AddressSanitizer and UBSan.
#   scripts/fuzz.sh            20 seconds per target (what CI runs)
#   scripts/fuzz.sh 3600       an hour per target
# New inputs collect in build-fuzz/corpus/<target>; a crash, leak or
# sanitizer report stops the run, leaves the input in build-fuzz/findings/
# and fails the script. The seeds are tests/fuzz/corpus/<target>.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-20}"
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined,fuzzer-no-link -fno-sanitize-recover=undefined" \
  -DTAMBERLO_HARDENING=OFF -DTAMBERLO_BUILD_GUI=OFF -DTAMBERLO_BUILD_TESTS=OFF -DTAMBERLO_BUILD_FUZZERS=ON >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target fuzz_ini fuzz_act fuzz_descriptor >/dev/null
mkdir -p build-fuzz/findings
for target in ini act descriptor; do
  mkdir -p "build-fuzz/corpus/$target"
  log="build-fuzz/fuzz_$target.log"
  status=0
  "build-fuzz/tests/fuzz/fuzz_$target" -max_total_time="$seconds" -max_len=4096 -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="build-fuzz/findings/$target-" \
    "build-fuzz/corpus/$target" "tests/fuzz/corpus/$target" >"$log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  cover=$(grep -oE 'cov: [0-9]+ ft: [0-9]+ corp: [0-9]+' "$log" | tail -1)
  echo "fuzz_$target: ${seconds} s, ${runs:-?} runs, ${cover:-no coverage line}"
  if [ "$status" -ne 0 ]; then
    grep -E '==[0-9]+==|SUMMARY|runtime error|Test unit written' "$log" || tail -20 "$log"
    echo "fuzz_$target found a fault (see $log and build-fuzz/findings/)"
    exit 1
  fi
done
