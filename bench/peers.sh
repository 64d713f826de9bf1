#!/usr/bin/env bash
# Zorvik beside its peers, whole processes, side by side in one run:
#   zorvik info of the largest model  vs  assimp info of its .cob, cat of the file
#   zorvik --version (CPU)
#   zorvik render 1024x768            vs  f3d --output of a PLY of the same geometry
#   zorvik info --json over 1,000 demo models in one process vs 1,000 processes
#   the viewer's first painted frame of the demo vs a bare wxGLCanvas program
#   zorvik import --simplify of Debian's largest glTF test model, written as
#                                     LGMD  vs  assimp export of it to OBJ
# and the two in-process figures of the targets (bench_read, bench_frame).
# Prints medians and the ratios the targets are stated in.
#
# usage: bench/peers.sh [BUILD_DIR]   (default: build; configured and built
#        as needed, RelWithDebInfo)
set -euo pipefail

src="$(cd "$(dirname "$0")/.." && pwd)"
build="$(realpath -m "${1:-$src/build}")"
runs="${PEERS_RUNS:-15}"

need=(assimp-utils assimp-testmodels f3d hyperfine jq xvfb xauth libwxgtk3.2-dev g++)
missing=()
for p in "${need[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -ne 0 ]; then
  SUDO=$([ "$(id -u)" -eq 0 ] || echo sudo)
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
fi

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" -j2 --target zorvik zorvik-render zorvik-viewer zorvik-import-worker make_samples \
  bench_read bench_frame >/dev/null

work="$(mktemp -d)"
xvfb_pid=""
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# The program with its modules and palettes in a folder of its own, with a
# configuration, so the window starts without a message box.
mkdir -p "$work/bin"
cp "$build/zorvik" "$build"/zorvik-*.so "$build/zorvik-import-worker" "$build"/*.pal "$work/bin/"
printf 'Region 0\nBkgndClr 0 0 0\nLastOpenDir -\n' >"$work/bin/zorvik.cfg"
zorvik="$work/bin/zorvik"

# The content: the demo, the largest legal model, its .cob and a PLY of it.
"$build/make_samples" "$work" >/dev/null
# The demo leaves the pilot's texture out to show the missing-texture
# message; the start is timed without a message box in the way.
cp "$work/demo/fabric.mip" "$work/demo/pilot.mip"
"$build/make_samples" --large "$work" >/dev/null
"$zorvik" export "$work/large.bin" "$work/large.cob" >/dev/null
assimp export "$work/large.cob" "$work/large.ply" >/dev/null
mkdir -p "$work/many"
for i in $(seq -w 1 1000); do cp "$work/demo/biplane.bin" "$work/many/m$i.bin"; done

# The yardstick programs.
wxflags=$(wx-config --cxxflags gl,core,base)
wxlibs=$(wx-config --libs gl,core,base)
# shellcheck disable=SC2086
g++ -O2 -std=c++20 $wxflags "$src/bench/peers/bare_glcanvas.cpp" -o "$work/bare_glcanvas" \
  $wxlibs -lGL
g++ -O2 -std=c++20 -shared -fPIC "$src/bench/peers/first_frame_probe.cpp" \
  -o "$work/first_frame_probe.so" -ldl -lGL -lX11

# A virtual display of our own for the window programs and f3d.
display=":$((90 + RANDOM % 400))"
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
sleep 1
export DISPLAY="$display"

json="$work/json"
mkdir -p "$json"
# hyperfine NAME RUNS COMMAND...: one JSON per measurement.
measure() {
  local name="$1" n="$2"
  shift 2
  # A command that fails (a form this build does not have) gives no figure.
  hyperfine -N --style none --warmup 2 --runs "$n" --export-json "$json/$name.json" "$@" \
    >/dev/null 2>"$json/$name.err" || rm -f "$json/$name.json"
}
median_ms() { [ -f "$json/$1.json" ] && jq '.results[0].median * 1000' "$json/$1.json" || echo nan; }
cpu_ms() {
  [ -f "$json/$1.json" ] && jq '(.results[0].user + .results[0].system) * 1000' "$json/$1.json" ||
    echo nan
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (a == "nan" || b == "nan") print "n/a"; else printf "%.3f", a / b }'; }
fmt() { awk -v v="$1" 'BEGIN { if (v == "nan" || v == "") print "n/a"; else printf "%.1f", v }'; }

measure version "$runs" "$zorvik --version"
measure info "$runs" "$zorvik info $work/large.bin"
measure assimp "$runs" "assimp info $work/large.cob"
measure cat "$runs" "cat $work/large.bin"
measure render "$runs" "$zorvik render --size 1024x768 $work/large.bin $work/z.png"
measure f3d "$runs" "f3d --resolution=1024,768 --output=$work/f.png $work/large.ply"
# 73,562 vertices in 59 meshes, 84,657 once each node's copy is counted:
# over the format's limits, so the import reduces it as well.
engine=/usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb
measure import "$runs" "$zorvik import $engine $work/engine.bin --simplify"
measure assimp_obj "$runs" "assimp export $engine $work/engine.obj"
measure batch 3 "$zorvik info --json $(echo "$work"/many/*.bin)"
printf '%s\n' "$work"/many/*.bin >"$work/many.txt"
measure separate 3 "bash -c 'while read -r f; do $zorvik info --json \"\$f\"; done <$work/many.txt >/dev/null'"
# The two window programs take turns, run by run, so that a change in the
# machine's load weighs on both alike.
alternate() {
  local runs_each="$1" a="$2" b="$3"
  local i start end
  : >"$json/$a.times"
  : >"$json/$b.times"
  for i in $(seq 1 $((runs_each + 2))); do
    for name in "$a" "$b"; do
      local -n cmd="cmd_$name"
      start=$(date +%s%N)
      timeout 60 "${cmd[@]}" >/dev/null 2>&1 || true
      end=$(date +%s%N)
      # The first two rounds warm the caches.
      [ "$i" -gt 2 ] && echo "$(((end - start) / 1000))" >>"$json/$name.times"
    done
  done
  for name in "$a" "$b"; do
    sort -n "$json/$name.times" | awk '{ v[NR] = $1 } END {
      m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
      printf "{\"results\":[{\"median\":%f}]}\n", m / 1e6 }' >"$json/$name.json"
  done
}
cmd_viewer=(env LD_PRELOAD="$work/first_frame_probe.so" FIRST_FRAME_NEEDS_PICTURE=1 "$zorvik"
  "$work/demo/biplane.bin")
cmd_bare=(env LD_PRELOAD="$work/first_frame_probe.so" "$work/bare_glcanvas")
alternate "$runs" viewer bare

# In-process figures: medians of five repetitions.
bench_median_ms() {
  "$build/bench/$1" --benchmark_filter="^$2(/|\$)" --benchmark_repetitions=5 \
    --benchmark_report_aggregates_only=true --benchmark_format=json 2>/dev/null |
    jq '[.benchmarks[] | select(.aggregate_name == "median")][0]
        | .real_time * (if .time_unit == "ms" then 1 elif .time_unit == "us" then 0.001
                        elif .time_unit == "ns" then 0.000001 else 1000 end)'
}
read_ms=$(bench_median_ms bench_read BM_ReadLargestModel)
frame_ms=$(bench_median_ms bench_frame BM_FrameLargestModel)

info=$(median_ms info)
batch=$(median_ms batch)
separate=$(median_ms separate)
viewer=$(median_ms viewer)
bare=$(median_ms bare)
cat <<EOF
Process medians (ms), $runs runs each (batch: 3)
  zorvik --version           $(fmt "$(median_ms version)")  (CPU $(fmt "$(cpu_ms version)") ms)
  zorvik info largest        $(fmt "$info")
  assimp info largest.cob    $(fmt "$(median_ms assimp)")
  cat largest.bin            $(fmt "$(median_ms cat)")
  zorvik render 1024x768     $(fmt "$(median_ms render)")
  f3d --output 1024x768 PLY  $(fmt "$(median_ms f3d)")
  info --json 1,000 demos, one process   $(fmt "$batch")
  info --json 1,000 demos, 1,000 procs   $(fmt "$separate")
  viewer, first frame of the demo        $(fmt "$viewer")
  bare wxGLCanvas, first frame           $(fmt "$bare")
  zorvik import --simplify engine.glb    $(fmt "$(median_ms import)")
  assimp export engine.glb to OBJ        $(fmt "$(median_ms assimp_obj)")
In process (ms, median of 5)
  bench_read largest         $(fmt "$read_ms")
  bench_frame largest        $(fmt "$frame_ms")
Targets
  info / assimp info         $(ratio "$info" "$(median_ms assimp)")   (at most 0.1)
  info / cat                 $(ratio "$info" "$(median_ms cat)")   (at most 3)
  --version CPU ms           $(fmt "$(cpu_ms version)")   (at most 3)
  bench_read ms              $(fmt "$read_ms")   (at most 2)
  render / f3d               $(ratio "$(median_ms render)" "$(median_ms f3d)")   (at most 0.25)
  batch speed-up             $(ratio "$separate" "$batch")   (at least 20)
  viewer / bare first frame  $(ratio "$viewer" "$bare")   (at most 1.5)
  import / assimp export     $(ratio "$(median_ms import)" "$(median_ms assimp_obj)")   (at most 1)
  textured frame ms          $(fmt "$frame_ms")   (at most 33)
EOF
