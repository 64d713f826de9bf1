#!/usr/bin/env bash
# Runs a program inside a virtual X display of its own, whatever DISPLAY the
# caller has, so window tests neither need nor disturb a real screen. The
# server picks a free display number itself (-displayfd), so any number of
# these may start at once.
set -euo pipefail
auth=$(mktemp)
fifo=$(mktemp -u)
mkfifo "$fifo"
cleanup() {
  [ -n "${server:-}" ] && kill "$server" 2>/dev/null && wait "$server" 2>/dev/null
  rm -f "$auth" "$fifo"
}
trap cleanup EXIT
cookie=$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')
Xvfb -displayfd 3 -auth "$auth" -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" 2>/dev/null &
server=$!
read -r display <"$fifo"
xauth -f "$auth" add ":$display" . "$cookie" >/dev/null 2>&1
export DISPLAY=":$display" XAUTHORITY="$auth"
"$@"
