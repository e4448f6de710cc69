#!/usr/bin/env bash
# Installs what is missing, builds in Release (preset release of CMakePresets.json) and
# starts the program, passing on its arguments. Without a Quorin keyboard on the ALSA
# sequencer the program talks to the virtual keyboard (QZ_VIRTUAL_KEYBOARD=1), unless
# QZ_VIRTUAL_KEYBOARD is set already. QZ_JOBS limits the build's parallelism.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/install-deps.sh"

jobs="${QZ_JOBS:-$(nproc)}"
(cd "$root" && cmake --preset release && cmake --build --preset release -j "$jobs")

if [ -z "${QZ_VIRTUAL_KEYBOARD+set}" ] && ! grep -qi 'QUORIN' /proc/asound/seq/clients 2>/dev/null; then
  export QZ_VIRTUAL_KEYBOARD=1
fi
exec "$root/build/release/quorin-ztr-preset-editor" "$@"
