#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test (configurations in
# CMakePresets.json):
#   1. all test suites with AddressSanitizer and UndefinedBehaviorSanitizer (preset test);
#   2. the concurrency tests again with ThreadSanitizer (preset tsan);
#   3. each fuzz target for a bounded number of inputs (preset fuzz: clang, libFuzzer);
#   4. the Release build of scripts/run.sh (preset release), whose optimiser warns of what
#      -O0 does not, and one start of that program up to its first frame (it links our
#      libraries in, unlike the tests' programs).
# Warnings are errors in every step (QZ_WERROR=OFF scripts/test.sh keeps them warnings,
# for a compiler newer than the project's). Exits non-zero on any failure.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/install-deps.sh"
cd "$root"
jobs="${QZ_JOBS:-$(nproc)}"  # QZ_JOBS limits build and test parallelism
werror="-DQZ_WERROR=${QZ_WERROR:-ON}"

echo "== Tests (AddressSanitizer, UndefinedBehaviorSanitizer)"
cmake --preset test "$werror"
cmake --build --preset test -j "$jobs"
ctest --preset test -j "$jobs"

echo "== Concurrency tests (ThreadSanitizer)"
cmake --preset tsan "$werror"
cmake --build --preset tsan -j "$jobs"
ctest --preset tsan -j "$jobs"

echo "== Fuzz targets (libFuzzer, bounded runs)"
cmake --preset fuzz "$werror"
cmake --build --preset fuzz -j "$jobs"
ctest --preset fuzz -j "$jobs"

echo "== Release build (as scripts/run.sh builds it)"
cmake --preset release "$werror"
cmake --build --preset release -j "$jobs"
started="$(build/release/bench/StartupBench --benchmark_filter='^BM_EditorStart/96/' 2>&1)" || true
if [[ "$started" == *"ERROR OCCURRED"* || "$started" != *"BM_EditorStart/96/"* ]]; then
  echo "$started"
  echo "The Release program did not show its first frame" >&2
  exit 1
fi
