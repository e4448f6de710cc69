# shellcheck shell=bash
# Shared by the scripts that start and stop a test fixture's server (JACK, Xvfb): the
# server runs in the background and is known by the process id in its pid file. A stop
# returns only once the server is gone, and only then removes the pid file and the files
# the server leaves behind when it is killed, so the next start never meets them.
# Source it; the functions exit the script on failure.

# Whether process pid is gone, its id released: a server's peers (JACK's registry) still
# count a killed server that is not yet reaped as running.
qz_process_gone() { ! kill -0 "$1" 2>/dev/null; }

# Whether process pid has ended, reaped or not (a child of this script stays a zombie
# while the script runs).
qz_process_exited() {
  qz_process_gone "$1" && return 0
  local stat
  stat="$(cat "/proc/$1/stat" 2>/dev/null)" || return 0
  stat="${stat##*) }" # the state follows the program name in parentheses
  [ "${stat:0:1}" = Z ]
}

# Whether pid runs program with each of the given arguments: the pid in a file left by
# an interrupted run may since belong to another program.
#   qz_process_runs <pid> <program> [argument ...]
qz_process_runs() {
  local pid="$1" program="$2"
  shift 2
  local -a argv=()
  mapfile -d '' -t argv 2>/dev/null <"/proc/$pid/cmdline" || return 1
  [ "${#argv[@]}" -gt 0 ] && [ "$(basename -- "${argv[0]}")" = "$program" ] || return 1
  local wanted have found
  for wanted in "$@"; do
    found=no
    for have in "${argv[@]:1}"; do
      if [ "$have" = "$wanted" ]; then
        found=yes
        break
      fi
    done
    [ "$found" = yes ] || return 1
  done
}

# Ends process pid: TERM (with CONT, should it be stopped), KILL after 10 s, then waits
# up to 10 s more until it is gone (reaped). Fails when it outlives that.
#   qz_end_process <pid> <label>
qz_end_process() {
  local pid="$1" label="$2"
  kill -TERM "$pid" 2>/dev/null || true
  kill -CONT "$pid" 2>/dev/null || true
  for _ in $(seq 100); do
    qz_process_gone "$pid" && return 0
    sleep 0.1
  done
  echo "$label (pid $pid) did not stop: killing it"
  kill -KILL "$pid" 2>/dev/null || true
  for _ in $(seq 100); do
    qz_process_gone "$pid" && return 0
    sleep 0.1
  done
  echo "$label (pid $pid) is still there 10 s after KILL"
  return 1
}

# Removes files (glob patterns, expanded now) that a killed server leaves.
qz_remove_leftovers() {
  local pattern
  for pattern in "$@"; do
    # shellcheck disable=SC2086 # the pattern is meant to be expanded
    rm -rf -- $pattern
  done
}

# Stops the server recorded in pidfile, if it is still the program it was, then removes
# the pid file and the leftovers. Exits the script when the server cannot be ended.
#   qz_stop_server <pidfile> <label> <program> [leftover pattern ...]
qz_stop_server() {
  local pidfile="$1" label="$2" program="$3"
  shift 3
  if [ -f "$pidfile" ]; then
    local pid
    pid="$(cat "$pidfile")"
    if [ -n "$pid" ] && qz_process_runs "$pid" "$program"; then
      qz_end_process "$pid" "$label" || exit 1
    fi
    rm -f "$pidfile"
  fi
  qz_remove_leftovers "$@"
}

# Ends every process of program run with all the given arguments (a server of this
# fixture's own name whose pid file is lost).
#   qz_stop_servers_running <label> <program> [argument ...]
qz_stop_servers_running() {
  local label="$1" program="$2"
  shift 2
  local pid
  for pid in $(pgrep -x -- "$program" || true); do
    if qz_process_runs "$pid" "$program" "$@"; then
      echo "$label (pid $pid) left by an earlier run: stopping it"
      qz_end_process "$pid" "$label" || exit 1
    fi
  done
}

# Waits up to 30 s until `ready` (a command) succeeds for the server just started as pid;
# exits 0 then, or 1 with the server's log when it exits or stays silent (stopping it).
#   qz_await_server <pid> <pidfile> <log> <label> <program> <ready command> [leftover pattern ...]
qz_await_server() {
  local pid="$1" pidfile="$2" log="$3" label="$4" program="$5" ready="$6"
  shift 6
  for _ in $(seq 300); do
    if qz_process_exited "$pid"; then
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
  qz_stop_server "$pidfile" "$label" "$program" "$@"
  exit 1
}
