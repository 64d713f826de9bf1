#!/usr/bin/env bash
# Makes the README's picture: the main window with the demo aircraft,
# turned a little, on a virtual display managed by openbox as a desktop is,
# written to docs/zorvik.png.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

if [ "${1:-}" != --inside ]; then
  bash scripts/install-deps.sh
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build build --target zorvik zorvik-viewer zorvik-render
  exec bash tests/support/run_with_xvfb.sh --window-manager bash "$0" --inside
fi

# Inside the virtual display, with settings of its own so that no recent
# file or window size of the user's shows.
tmp=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$tmp"' EXIT
export HOME=$tmp XDG_CONFIG_HOME=$tmp/config
cp build/zorvik build/zorvik-viewer.so build/sanfran.pal build/seattle.pal "$tmp/"
printf 'Region 0\nBkgndClr 0.35 0.5 0.7\nLastOpenDir -\n' >"$tmp/zorvik.cfg"
"$tmp/zorvik" samples/demo/biplane.bin &
pid=$!

window_of() { { xdotool search --onlyvisible --name "$1" 2>/dev/null || true; } | head -1; }
main=
for _ in $(seq 1 200); do
  main=$(window_of '^Zorvik - ')
  [ -n "$main" ] && break
  sleep 0.1
done
[ -n "$main" ] || { echo "the window did not open" >&2; exit 1; }
# The demo opens without a message; a box here means something is wrong.
for box in $(xdotool search --onlyvisible --name '^Zorvik$' 2>/dev/null || true); do
  echo "a message box is open over the demo" >&2
  exit 1
done
sleep 1

# Turn the aircraft to a three-quarter view with a left drag, as a user
# would, then leave the pointer outside the view.
xdotool mousemove --window "$main" 400 330 mousedown 1
for step in $(seq 1 14); do
  xdotool mousemove --window "$main" $((400 - step * 5)) $((330 + step * 3))
  sleep 0.05
done
xdotool mouseup 1 mousemove --window "$main" 790 590
sleep 1

mkdir -p docs
# The window with the frame the window manager draws round it.
frame=$(xwininfo -id "$main" -children | sed -n 's/^ *Parent window id: \(0x[0-9a-f]*\).*/\1/p')
[ -n "$frame" ] && [ "$frame" != "$(xwininfo -root | sed -n 's/^xwininfo: Window id: \(0x[0-9a-f]*\).*/\1/p')" ] || frame=$main
import -window "$frame" "$tmp/shot.png"
# A palette of 256 colours keeps the picture small.
convert "$tmp/shot.png" -colors 256 -strip PNG8:docs/zorvik.png
echo "Wrote docs/zorvik.png"
