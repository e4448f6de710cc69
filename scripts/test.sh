#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test (configurations in
# CMakePresets.json):
#   1. all test suites with AddressSanitizer and UndefinedBehaviorSanitizer (preset test);
#   2. the concurrency tests again with ThreadSanitizer (preset tsan);
#   3. each fuzz target for a bounded number of inputs (preset fuzz: clang, libFuzzer);
#   4. the Release build of scripts/run.sh (preset release), whose optimiser warns of what
#      -O0 does not, the user guide where that program and an installed one look for it,
#      and one start of that program up to its first frame (it links our libraries in,
#      unlike the tests' programs).
# Warnings are errors in every step (QZ_WERROR=OFF scripts/test.sh keeps them warnings,
# for a compiler newer than the project's). Exits non-zero on any failure.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/install-deps.sh"
cd "$root"
jobs="${QZ_JOBS:-$(nproc)}"  # QZ_JOBS limits build and test parallelism
werror="-DQZ_WERROR=${QZ_WERROR:-ON}"

# Runs a preset's tests. A test labelled "server" meets a real X or JACK server, which a
# loaded machine can leave too slow for it (a JACK server refusing clients for minutes);
# when only such tests failed, they run once more, with fresh servers, and must pass then.
# Any other failure, or a second one, fails the run; a pass on the second try is named.
run_tests() {
  local preset="$1"
  ctest --preset "$preset" -j "$jobs" && return 0
  local failed="build/$preset/Testing/Temporary/LastTestsFailed.log"
  [ -s "$failed" ] || return 1
  local servers name
  servers="$(ctest --preset "$preset" -N -L '^server$' | sed -n 's/^ *Test *#[0-9]*: //p')"
  while IFS=: read -r _ name; do
    grep -qxF -- "$name" <<<"$servers" || return 1
  done <"$failed"
  echo "== Tests that need a server failed; running them once more: $(cut -d: -f2 "$failed" | paste -sd' ')"
  ctest --preset "$preset" --rerun-failed || return 1
  echo "== They passed on a second run: flaky under load; the first run's output is above"
}

echo "== Tests (AddressSanitizer, UndefinedBehaviorSanitizer)"
cmake --preset test "$werror"
cmake --build --preset test -j "$jobs"
run_tests test

echo "== Concurrency tests (ThreadSanitizer)"
cmake --preset tsan "$werror"
cmake --build --preset tsan -j "$jobs"
run_tests tsan

echo "== Fuzz targets (libFuzzer, bounded runs)"
cmake --preset fuzz "$werror"
cmake --build --preset fuzz -j "$jobs"
run_tests fuzz

echo "== Release build (as scripts/run.sh builds it)"
cmake --preset release "$werror"
cmake --build --preset release -j "$jobs"
# The editor looks for its guide below its own folder and the one above (UI/UserGuide.h):
# the build folder holds it there, and so does a prefix the program is installed in, whose
# program must find its libraries too.
guide="share/doc/quorin-ztr-preset-editor/UserGuide.html"
prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT
cmake --install build/release --prefix "$prefix" >/dev/null
missing="$(ldd "$prefix/bin/quorin-ztr-preset-editor" | grep 'not found' || true)"
if [ ! -r "build/release/$guide" ] || [ ! -r "$prefix/$guide" ] || [ -n "$missing" ]; then
  echo "The user guide or a library is not where the Release program or an installed one looks:" >&2
  ls -l "build/release/$guide" "$prefix/$guide" >&2 || true
  echo "$missing" >&2
  exit 1
fi
started="$(build/release/bench/StartupBench --benchmark_filter='^BM_EditorStart/96/' 2>&1)" || true
if [[ "$started" == *"ERROR OCCURRED"* || "$started" != *"BM_EditorStart/96/"* ]]; then
  echo "$started"
  echo "The Release program did not show its first frame" >&2
  exit 1
fi
