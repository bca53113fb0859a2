#!/usr/bin/env bash
# Runs a test program under an X server of its own: Xvfb on a display number it picks
# itself (-displayfd, so parallel runs cannot collide), reachable only through its local
# socket, stopped when the program ends. -noreset: a server that resets when its last
# client leaves refuses the next connections for a moment. The program finds the server's
# process id in TOLVAN_XSERVER_PID. Exits 77 (skipped) when Xvfb is not installed.
# TOLVAN_XVFB_OPTIONS adds server options, e.g. "-extension MIT-SHM" for a server without
# shared memory.
set -u
if ! command -v Xvfb >/dev/null 2>&1; then
  echo "SKIPPED: Xvfb is not installed, so the X11 tests cannot run (install xvfb)"
  exit 77
fi
display_file=$(mktemp)
# shellcheck disable=SC2086 # the options are words
Xvfb -displayfd 3 -nolisten tcp -noreset -screen 0 1280x800x24 ${TOLVAN_XVFB_OPTIONS:-} 3>"$display_file" 2>/dev/null &
server=$!
for _ in $(seq 1 100); do
  [ -s "$display_file" ] && break
  sleep 0.1
done
number=$(tr -d '[:space:]' <"$display_file")
rm -f "$display_file"
if [ -z "$number" ]; then
  kill "$server" 2>/dev/null
  echo "Xvfb did not start"
  exit 1
fi
TOLVAN_XSERVER_PID=$server DISPLAY=":$number" "$@"
status=$?
kill "$server" 2>/dev/null
wait "$server" 2>/dev/null
exit $status
