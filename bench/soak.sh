#!/usr/bin/env bash
# A long session and a memory check, not a test:
#  1. bench/soak: 1,000 cycles (or $1) of open, palette switch and look
#     switch through the document in a headless context, on the demo
#     aircraft and on the largest model make_samples builds, printing the
#     memory after the first 10 cycles and at the end (within 5 % is the
#     goal); then the same with Mesa's software rasteriser in one thread
#     (LP_NUM_THREADS=0) and without drawing at all, which tell the
#     program's own memory from what the threaded rasteriser keeps of the
#     work queued for a frame (the replay bounds that by handing frames
#     over in batches);
#  2. valgrind on `zorvik info --json --full`, `export` to every format and
#     `render` of the demo aircraft, printing the definitely lost bytes and
#     the errors of each (0 and 0 is the goal; bench/soak.supp holds the
#     reports of system libraries that are no fault of ours).
# Builds in build-soak (RelWithDebInfo) unless ZORVIK_SOAK_BUILD names
# another build directory.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
cycles=${1:-1000}
build=${ZORVIK_SOAK_BUILD:-build-soak}

command -v valgrind >/dev/null || { echo "soak: valgrind is not installed (apt-get install valgrind)" >&2; exit 1; }
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZORVIK_WINDOW_TESTS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target soak zorvik zorvik-render make_samples

echo "== soak, $cycles cycles"
"$build/bench/soak" "$cycles"
LP_NUM_THREADS=0 "$build/bench/soak" "$cycles"
"$build/bench/soak" "$cycles" --no-draw

echo "== valgrind"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/make_samples" "$work" >/dev/null
demo="$work/demo/biplane.bin"
status=0
run() {
  local name=$1
  shift
  local log="$work/$name.valgrind"
  # The program's own exit status is not the question here (the demo
  # lacks one texture on purpose); valgrind's summary is.
  valgrind --suppressions=bench/soak.supp --leak-check=full --show-leak-kinds=definite --errors-for-leak-kinds=definite \
    --log-file="$log" "$build/zorvik" "$@" >/dev/null 2>&1 || true
  local lost errors
  lost=$(sed -n 's/.*definitely lost: \([0-9,]*\) bytes.*/\1/p' "$log" | tr -d , | head -n 1)
  errors=$(sed -n 's/.*ERROR SUMMARY: \([0-9,]*\) errors.*/\1/p' "$log" | tr -d , | tail -n 1)
  printf '%-14s definitely lost: %s bytes, errors: %s\n' "$name" "${lost:-0}" "${errors:-?}"
  if [ "${lost:-0}" != 0 ] || [ "${errors:-?}" != 0 ]; then
    status=1
    sed -n '/definitely lost in/,/^==[0-9]*== $/p; /Invalid\|uninitialised\|Mismatched/,/^==[0-9]*== $/p' "$log" | head -n 80
  fi
}
run info info --json --full "$demo"
for ext in cob glb gltf obj; do
  run "export .$ext" export "$demo" "$work/out.$ext"
done
run render render "$demo" "$work/out.png" --size 160x120
exit $status
