#!/usr/bin/env bash
# Starts and stops the X server of the OpenGL window test: Xvfb on a display number it
# picks itself (-displayfd), so it never meets another X server on this machine. The
# number is left in <state folder>/display; the server is stopped by the process id
# recorded at its start.
#   xvfb-test-server.sh start|stop <state folder>
set -euo pipefail

action="$1"
state="$2"
pidfile="$state/xvfb.pid"
displayfile="$state/display"
log="$state/xvfb.log"

stop_server() {
  [ -f "$pidfile" ] || return 0
  local pid
  pid="$(cat "$pidfile")"
  rm -f "$pidfile" "$displayfile"
  kill -TERM "$pid" 2>/dev/null || return 0
  for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || return 0
    sleep 0.1
  done
  echo "Xvfb (pid $pid) did not stop: killing it"
  kill -KILL "$pid" 2>/dev/null || true
}

case "$action" in
start)
  mkdir -p "$state"
  stop_server # one left over from an interrupted run
  : >"$displayfile"
  Xvfb -displayfd 3 -screen 0 320x240x24 -nolisten tcp 3>"$displayfile" </dev/null >"$log" 2>&1 &
  pid=$!
  echo "$pid" >"$pidfile"
  for _ in $(seq 300); do
    if ! kill -0 "$pid" 2>/dev/null; then
      echo "Xvfb exited at start:"
      cat "$log"
      rm -f "$pidfile"
      exit 1
    fi
    if [ -n "$(tr -d '[:space:]' <"$displayfile")" ]; then
      echo "Xvfb runs on :$(tr -d '[:space:]' <"$displayfile") (pid $pid)"
      exit 0
    fi
    sleep 0.1
  done
  echo "Xvfb did not name its display within 30 s:"
  cat "$log"
  stop_server
  exit 1
  ;;
stop)
  stop_server
  ;;
*)
  echo "usage: $0 start|stop <state folder>" >&2
  exit 2
  ;;
esac
