#!/usr/bin/env bash
# Makes docs/biplane-zorvik-f3d.png for the README: the demo aircraft as
# Zorvik renders it (left) and, exported to .glb, as the independent viewer
# f3d draws it from the same camera (right). Run it again after a change to
# the exporter or the renderer to refresh the picture.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target zorvik zorvik-render

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
model=samples/demo/biplane.bin
build/zorvik export "$model" "$work/biplane.glb"
build/zorvik render "$model" "$work/zorvik.png" --size 480x360 --rot 20,-35,0 \
  --background 0.2,0.2,0.2
# The camera of the render: the fitted distance (1.5 x the largest extent,
# 12 for the demo) turned back through the rotation, eye at R^T (0, 0, 12)
# and up R^T (0, 1, 0) with R = Rx(20) Ry(-35).
tests/support/run_with_xvfb.sh f3d "$work/biplane.glb" --output="$work/f3d.png" \
  --resolution=480,360 --bg-color=0.2,0.2,0.2 \
  --camera-position=6.46783,4.10424,9.23701 --camera-focal-point=0,0,0 \
  --camera-view-up=-0.196175,0.939693,-0.280166 --camera-view-angle=45
mkdir -p docs
convert "$work/zorvik.png" "$work/f3d.png" +append -strip docs/biplane-zorvik-f3d.png
echo "Wrote docs/biplane-zorvik-f3d.png"
