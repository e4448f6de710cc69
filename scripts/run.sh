#!/usr/bin/env bash
# Installs what is missing, builds in Release (preset release of CMakePresets.json) and
# starts the program.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/install-deps.sh"

build="$root/build/release"
(cd "$root" && cmake --preset release && cmake --build --preset release)

program="$build/QuorinPresetEditor"
if [ ! -x "$program" ]; then
  echo "Built the framework libraries and benchmarks in $build."
  echo "The editor application itself is not built yet, so there is nothing to start."
  exit 0
fi
exec "$program" "$@"
