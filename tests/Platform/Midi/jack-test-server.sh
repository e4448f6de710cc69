#!/usr/bin/env bash
# Starts and stops the JACK server of the MIDI transport test: the dummy driver without
# real-time scheduling, so it needs no audio hardware and no root. The server is
# stopped by the process id recorded at its start.
#   jack-test-server.sh start|stop <state folder> <server name>
set -euo pipefail

action="$1"
state="$2"
name="$3"
pidfile="$state/jackd.pid"
log="$state/jackd.log"

stop_server() {
  [ -f "$pidfile" ] || return 0
  local pid
  pid="$(cat "$pidfile")"
  rm -f "$pidfile"
  kill -TERM "$pid" 2>/dev/null || return 0
  for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || return 0
    sleep 0.1
  done
  echo "JACK server $name (pid $pid) did not stop: killing it"
  kill -KILL "$pid" 2>/dev/null || true
}

case "$action" in
start)
  mkdir -p "$state"
  stop_server # one left over from an interrupted run
  jackd -n "$name" --sync --timeout 5000 --no-realtime -d dummy -r 48000 -p 64 </dev/null >"$log" 2>&1 &
  pid=$!
  echo "$pid" >"$pidfile"
  for _ in $(seq 300); do
    if ! kill -0 "$pid" 2>/dev/null; then
      echo "JACK server $name exited at start:"
      cat "$log"
      rm -f "$pidfile"
      exit 1
    fi
    if jack_lsp -s "$name" >/dev/null 2>&1; then
      echo "JACK server $name runs (pid $pid)"
      exit 0
    fi
    sleep 0.1
  done
  echo "JACK server $name did not answer within 30 s:"
  cat "$log"
  stop_server
  exit 1
  ;;
stop)
  stop_server
  ;;
*)
  echo "usage: $0 start|stop <state folder> <server name>" >&2
  exit 2
  ;;
esac
