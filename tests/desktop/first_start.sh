#!/usr/bin/env bash
# Inside a virtual display: the installed program's first start shows the
# main window and no message box, and Ctrl+Q closes it.
#   first_start.sh PROGRAM TMPDIR
set -euo pipefail
program=$1
tmp=$2
"$program" >"$tmp/out.txt" 2>&1 &
pid=$!
stop() { echo "FAIL: $*" >&2; kill "$pid" 2>/dev/null; exit 1; }

# The windows of the program's title, as "id type" lines; a message box is
# a dialog, the main window a normal one.
windows() {
  for id in $(xdotool search --onlyvisible --name '^Zorvik$' 2>/dev/null); do
    echo "$id $(xprop -id "$id" _NET_WM_WINDOW_TYPE | sed 's/.*_NET_WM_WINDOW_TYPE_//')"
  done
}
# A first start on a busy machine (the test suite runs beside it) may take
# a while: a minute before it counts as no window.
main=
for _ in $(seq 1 600); do
  main=$(windows | awk '$2 == "NORMAL" { print $1; exit }')
  [ -n "$main" ] && break
  windows | grep -q DIALOG && stop "a message box at start-up"
  sleep 0.1
done
[ -n "$main" ] || stop "no main window"
sleep 1
windows | grep -q DIALOG && stop "a message box at start-up"

xdotool mousemove --window "$main" 200 200
sleep 0.3
xdotool key ctrl+q
for _ in $(seq 1 100); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$pid" 2>/dev/null && stop "Ctrl+Q did not close the window"
wait "$pid"
