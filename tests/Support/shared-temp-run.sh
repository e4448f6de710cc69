#!/usr/bin/env bash
# Runs a test command twice at once in one fresh temporary folder (TMPDIR) that already
# holds a folder of the given name, as an interrupted earlier run leaves it (with a file
# and a FIFO inside): a test that picks a fixed folder name collides with both.
#   shared-temp-run.sh <leftover folder name> <command> [arguments ...]
set -euo pipefail

leftover="$1"
shift
shared="$(mktemp -d "${TMPDIR:-/tmp}/qz-shared-temp-XXXXXX")"
trap 'rm -rf "$shared"' EXIT
mkdir -p "$shared/$leftover"
echo "left over" >"$shared/$leftover/left-over.png"
mkfifo "$shared/$leftover/pipe.png"

TMPDIR="$shared" "$@" >"$shared/first.log" 2>&1 &
first=$!
TMPDIR="$shared" "$@" >"$shared/second.log" 2>&1 &
second=$!
status=0
wait "$first" || { echo "== first run failed:"; cat "$shared/first.log"; status=1; }
wait "$second" || { echo "== second run failed:"; cat "$shared/second.log"; status=1; }
[ "$status" -eq 0 ] && echo "both runs passed beside a left-over $leftover"
exit "$status"
