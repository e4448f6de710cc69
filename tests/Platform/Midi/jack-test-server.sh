#!/usr/bin/env bash
# Starts and stops the JACK server of the MIDI transport test: the dummy driver without
# real-time scheduling, so it needs no audio hardware and no root. The server is
# stopped by the process id recorded at its start; a start first ends a server of the
# same name left by an interrupted run and removes what a killed one leaves in /dev/shm
# (its socket there would make the new server think it is already running).
#   jack-test-server.sh start|stop <state folder> <server name>
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/../../Support/test-server.sh"

action="$1"
state="$2"
name="$3"
pidfile="$state/jackd.pid"
log="$state/jackd.log"
label="JACK server $name"
leftovers=("/dev/shm/jack_${name}_*" "/dev/shm/jack_sem.$(id -u)_${name}_*")

stop_server() { qz_stop_server "$pidfile" "$label" jackd "${leftovers[@]}"; }
server_answers() {
  jack_lsp -s "$name" >/dev/null 2>&1 && echo "$label runs (pid $pid)"
}

case "$action" in
start)
  mkdir -p "$state"
  stop_server # one left over from an interrupted run
  qz_stop_servers_running "$label" jackd -n "$name"
  qz_remove_leftovers "${leftovers[@]}"
  jackd -n "$name" --sync --timeout 5000 --no-realtime -d dummy -r 48000 -p 64 </dev/null >"$log" 2>&1 &
  pid=$!
  echo "$pid" >"$pidfile"
  qz_await_server "$pid" "$pidfile" "$log" "$label" jackd server_answers "${leftovers[@]}"
  ;;
stop)
  stop_server
  ;;
*)
  echo "usage: $0 start|stop <state folder> <server name>" >&2
  exit 2
  ;;
esac
