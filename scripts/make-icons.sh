#!/usr/bin/env bash
# Draws the installed application icons (data/icons: PNG 16 to 256 px and
# SVG) with the program's own icon code. Run it after changing the drawing
# in src/app/icons.cpp; a window test fails until the files match again.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target make_icons
mkdir -p data/icons
build/make_icons data/icons
echo "Icons written to data/icons"
