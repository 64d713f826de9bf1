#!/usr/bin/env bash
# Builds Zorvik if needed and opens the demo aircraft in the viewer. With no
# display, renders it headless to a PNG instead and says where it is.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target zorvik zorvik-viewer zorvik-render

model=samples/demo/biplane.bin
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec build/zorvik "$model"
fi

mkdir -p out
png="$root/out/biplane.png"
build/zorvik render "$model" "$png" --rot 20,-35,0
echo "No display found: rendered the demo model to $png"
