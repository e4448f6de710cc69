#!/usr/bin/env bash
# The JACK fixture's own test, on a server name of its own: a stop ends a server that
# cannot die at once (stopped with SIGSTOP) before the next start, and a start ends a
# server of its name whose pid file is lost, as an interrupted run leaves it. No server
# is killed here: the JACK servers of one user share a registry and a metadata store
# that a killed server can leave locked for the others.
#   jack-test-server-test.sh <state folder> <server name>
set -euo pipefail
here="$(dirname "${BASH_SOURCE[0]}")"
. "$here/../../Support/test-server.sh"
script="$here/jack-test-server.sh"

state="$1"
name="$2"
pidfile="$state/jackd.pid"

fail() {
  echo "FAILED: $*"
  "$script" stop "$state" "$name" || true
  exit 1
}
leftovers() { compgen -G "/dev/shm/jack_${name}_*" >/dev/null || compgen -G "/dev/shm/jack_sem.$(id -u)_${name}_*" >/dev/null; }
answers() { jack_lsp -s "$name" >/dev/null 2>&1; }

"$script" start "$state" "$name" || fail "the first start"

echo "== stop and start after the server was stopped with SIGSTOP"
old="$(cat "$pidfile")"
kill -STOP "$old"
"$script" stop "$state" "$name" || fail "stop of a stopped server"
qz_process_gone "$old" || fail "stop returned while server $old is still there"
[ ! -e "$pidfile" ] || fail "the pid file outlived the stop"
! leftovers || fail "the stopped server's files are still in /dev/shm"
"$script" start "$state" "$name" || fail "start after stopping a stopped server"

echo "== start beside a stale server of this name whose pid file is lost"
old="$(cat "$pidfile")"
rm -f "$pidfile"
kill -STOP "$old"
"$script" start "$state" "$name" || fail "start beside a stale server"
qz_process_gone "$old" || fail "the stale server $old is still there"
[ "$(cat "$pidfile")" != "$old" ] || fail "the pid file names the stale server"
answers || fail "the new server does not answer"

"$script" stop "$state" "$name" || fail "the last stop"
! answers || fail "the server answers after the last stop"
echo "every JACK fixture case passed"
