#!/usr/bin/env bash
# Installs what is missing, builds in Release (preset release of CMakePresets.json) and
# starts the editor, passing on its arguments:
#   - without a display (neither DISPLAY nor WAYLAND_DISPLAY set) it says so, shows how to
#     start the editor under a virtual X server, and exits with 2;
#   - when no MIDI port of a Quorin ZTR keyboard is present (as quorin-ztr-midi-ports, built
#     with the editor, finds them) it sets QZ_VIRTUAL_KEYBOARD=1, so that the editor talks to
#     its virtual keyboard, and says so; a QZ_VIRTUAL_KEYBOARD already set is kept.
# QZ_JOBS limits the build's parallelism. QZ_PREBUILT=<build folder> skips the install and
# the build and starts the programs built there (for tests).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
if [ -n "${QZ_PREBUILT:-}" ]; then
  build="$QZ_PREBUILT"
else
  "$root/scripts/install-deps.sh"
  jobs="${QZ_JOBS:-$(nproc)}"
  (cd "$root" && cmake --preset release && cmake --build --preset release -j "$jobs")
  build="$root/build/release"
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  {
    echo "No display to show the window on: neither DISPLAY nor WAYLAND_DISPLAY is set."
    echo "Start the program from a desktop session, or without one under a virtual X server:"
    echo "  xvfb-run -a -s \"-screen 0 1280x1024x24\" $0"
  } >&2
  exit 2
fi

if [ -z "${QZ_VIRTUAL_KEYBOARD+set}" ] && ! "$build/quorin-ztr-midi-ports" >/dev/null; then
  export QZ_VIRTUAL_KEYBOARD=1
  echo "No Quorin ZTR keyboard found: the editor uses its virtual keyboard (QZ_VIRTUAL_KEYBOARD=1)."
fi
exec "$build/quorin-ztr-preset-editor" "$@"
