#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test:
#   1. all test suites with AddressSanitizer and UndefinedBehaviorSanitizer;
#   2. the concurrency tests again with ThreadSanitizer;
#   3. each fuzz target for a bounded number of inputs (clang, libFuzzer);
#   4. the Release build of scripts/run.sh, whose optimiser warns of what -O0 does not.
# Exits non-zero on any failure.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/install-deps.sh"
jobs="${QZ_JOBS:-$(nproc)}"  # QZ_JOBS limits build and test parallelism

echo "== Tests (AddressSanitizer, UndefinedBehaviorSanitizer)"
build="$root/build/test"
cmake -S "$root" -B "$build" -G Ninja \
  -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O0" \
  -DQZ_SANITIZE=ON -DQZ_BUILD_TESTS=ON -DQZ_BUILD_BENCHMARKS=OFF
cmake --build "$build" -j "$jobs"
ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1}" \
UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}" \
  ctest --test-dir "$build" --output-on-failure -j "$jobs" --timeout 300

echo "== Concurrency tests (ThreadSanitizer)"
tsan="$root/build/tsan"
cmake -S "$root" -B "$tsan" -G Ninja \
  -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O0" -DQZ_TSAN=ON -DQZ_BUILD_TESTS=ON
cmake --build "$tsan" -j "$jobs" --target concurrency_tests
TSAN_OPTIONS="${TSAN_OPTIONS:-halt_on_error=1:second_deadlock_stack=1}" \
  ctest --test-dir "$tsan" --output-on-failure -j "$jobs" --timeout 300

echo "== Fuzz targets (libFuzzer, bounded runs)"
fuzz="$root/build/fuzz"
CXX=clang++ cmake -S "$root" -B "$fuzz" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" -DQZ_FUZZ=ON
cmake --build "$fuzz" -j "$jobs" --target fuzzers
ctest --test-dir "$fuzz" --output-on-failure -j "$jobs" --timeout 300

echo "== Release build (as scripts/run.sh builds it)"
cmake -S "$root" -B "$root/build/release" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQZ_BUILD_TESTS=OFF -DQZ_BUILD_BENCHMARKS=ON
cmake --build "$root/build/release" -j "$jobs"
