# Shared by the scripts that start and stop a test fixture's server (JACK, Xvfb): the
# server runs in the background and is known by the process id in its pid file.
# Source it; the functions exit the script on failure.

# Stops the server recorded in pidfile, if any: TERM, then KILL after 10 s.
#   qz_stop_server <pidfile> <label> [file to remove with the pid file ...]
qz_stop_server() {
  local pidfile="$1" label="$2"
  shift 2
  [ -f "$pidfile" ] || return 0
  local pid
  pid="$(cat "$pidfile")"
  rm -f "$pidfile" "$@"
  kill -TERM "$pid" 2>/dev/null || return 0
  for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || return 0
    sleep 0.1
  done
  echo "$label (pid $pid) did not stop: killing it"
  kill -KILL "$pid" 2>/dev/null || true
}

# Waits up to 30 s until `ready` (a command) succeeds for the server just started as pid;
# exits 0 then, or 1 with the server's log when it exits or stays silent (stopping it).
#   qz_await_server <pid> <pidfile> <log> <label> <ready command> [files the stop removes ...]
qz_await_server() {
  local pid="$1" pidfile="$2" log="$3" label="$4" ready="$5"
  shift 5
  for _ in $(seq 300); do
    if ! kill -0 "$pid" 2>/dev/null; then
      echo "$label exited at start:"
      cat "$log"
      rm -f "$pidfile"
      exit 1
    fi
    if "$ready"; then
      exit 0
    fi
    sleep 0.1
  done
  echo "$label did not answer within 30 s:"
  cat "$log"
  qz_stop_server "$pidfile" "$label" "$@"
  exit 1
}
