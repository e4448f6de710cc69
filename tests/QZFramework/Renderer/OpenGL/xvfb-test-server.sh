#!/usr/bin/env bash
# Starts and stops the X server of the OpenGL window test: Xvfb on a display number it
# picks itself (-displayfd), so it never meets another X server on this machine. The
# number is left in <state folder>/display; the server is stopped by the process id
# recorded at its start. Screen 0 (1280 x 1024) is every test's; screen 1 (2560 x 1800,
# display :N.1) holds a high-resolution window whole.
#   xvfb-test-server.sh start|stop <state folder>
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/../../../Support/test-server.sh"

action="$1"
state="$2"
pidfile="$state/xvfb.pid"
displayfile="$state/display"
log="$state/xvfb.log"

stop_server() { qz_stop_server "$pidfile" "Xvfb" Xvfb "$displayfile"; }
display_named() {
  [ -n "$(tr -d '[:space:]' <"$displayfile")" ] && echo "Xvfb runs on :$(tr -d '[:space:]' <"$displayfile") (pid $pid)"
}

case "$action" in
start)
  mkdir -p "$state"
  stop_server # one left over from an interrupted run
  : >"$displayfile"
  # -noreset: without it the server resets whenever its last client leaves, which is after
  # every test, and refuses the next test's first connection while it does. -s 0: the
  # screen saver would blank the screen that tests read back, 10 minutes into a slow run.
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -screen 1 2560x1800x24 -nolisten tcp -noreset -s 0 3>"$displayfile" </dev/null >"$log" 2>&1 &
  pid=$!
  echo "$pid" >"$pidfile"
  qz_await_server "$pid" "$pidfile" "$log" "Xvfb" Xvfb display_named "$displayfile"
  ;;
stop)
  stop_server
  ;;
*)
  echo "usage: $0 start|stop <state folder>" >&2
  exit 2
  ;;
esac
