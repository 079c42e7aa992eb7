#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the headless unit tests (no window, no firmware) with
# AddressSanitizer and UndefinedBehaviorSanitizer in build-asan and runs them;
# any sanitizer report fails the run. Extra arguments go to ctest.
# (GCC's maybe-uninitialized warning gives false alarms under the sanitizers'
# instrumentation, so it is off in this build only. -O1 with line tables only
# builds quicker and the reports still name file and line.)
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" \
  -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer -Wno-maybe-uninitialized" \
  -DTAMBERLO_HARDENING=OFF \
  -DTAMBERLO_BUILD_GUI=OFF -DTAMBERLO_BUILD_FIRMWARE_TESTS=OFF >/dev/null
cmake --build build-asan -j"$(nproc)" --target tamberlo_tests tamberlo-gen tamberlo_bench
ASAN_OPTIONS="abort_on_error=1:detect_leaks=1" UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
  ctest --test-dir build-asan --output-on-failure -j"$(nproc)" "$@"
