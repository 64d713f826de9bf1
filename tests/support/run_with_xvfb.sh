#!/usr/bin/env bash
# Runs a program inside a virtual X display of its own, whatever DISPLAY the
# caller has, so window tests neither need nor disturb a real screen. The
# server picks a free display number itself (-displayfd), so any number of
# these may start at once.
#
#   run_with_xvfb.sh [--window-manager] PROGRAM [ARGS...]
#
# With --window-manager, openbox manages the display before the program
# starts, as on a user's desktop: windows are mapped, placed and framed by
# it, and their messages arrive in the order a real desktop sends them.
set -euo pipefail
manager=
if [ "${1:-}" = --window-manager ]; then
  manager=openbox
  shift
fi
auth=$(mktemp)
fifo=$(mktemp -u)
mkfifo "$fifo"
cleanup() {
  [ -n "${wm:-}" ] && kill "$wm" 2>/dev/null && wait "$wm" 2>/dev/null
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

if [ -n "$manager" ]; then
  command -v "$manager" >/dev/null || {
    echo "run_with_xvfb.sh: $manager is not installed (bash scripts/install-deps.sh)" >&2
    exit 1
  }
  "$manager" --sm-disable >/dev/null 2>&1 &
  wm=$!
  # The manager has taken the display once it announces itself on the root
  # window; a program started before that would meet no manager at all.
  for _ in $(seq 1 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    kill -0 "$wm" 2>/dev/null || { echo "run_with_xvfb.sh: $manager did not start" >&2; exit 1; }
    sleep 0.05
  done
fi
"$@"
