#!/usr/bin/env bash
# Longer fuzz runs than the bounded ones of scripts/test.sh. Builds the fuzz targets with
# clang (preset fuzz of CMakePresets.json) and runs one target (or each) for 10 million
# inputs (QZ_FUZZ_RUNS) or the given time, whichever ends first, keeping what it finds.
#   scripts/fuzz.sh [target] [seconds]     e.g. scripts/fuzz.sh VariantRecordFuzz 3600
# Targets: the *Fuzz.cpp files in fuzz/. Inputs that grow coverage are kept in
# build/fuzz/fuzz/<target>-found; a crashing input is written next to it and stops the run.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/install-deps.sh"
wanted="${1:-}"
seconds="${2:-3600}"
runs="${QZ_FUZZ_RUNS:-10000000}"

fuzz="$root/build/fuzz"
(cd "$root" && cmake --preset fuzz && cmake --build --preset fuzz)

for source in "$root"/fuzz/*Fuzz.cpp; do
  target="$(basename "$source" .cpp)"
  if [ -n "$wanted" ] && [ "$wanted" != "$target" ]; then
    continue
  fi
  found="$fuzz/fuzz/$target-found"
  mkdir -p "$found"
  echo "== $target for $runs inputs or $seconds s"
  "$fuzz/fuzz/$target" -runs="$runs" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$fuzz/fuzz/$target-" "$found" "$root/fuzz/corpus/$target"
done
