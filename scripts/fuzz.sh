#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, address and undefined-behaviour
# sanitizers) in build-fuzz, apart from the normal build, and runs each for
# a fixed time from the committed corpus and the demo content. Any finding
# fails the run; the input that caused it is printed in base64 so that the
# log alone is enough to reproduce it:
#   base64 -d > crash.bin, then build-fuzz/fuzz/<target> crash.bin
#
#   scripts/fuzz.sh [SECONDS_EACH [TARGET...]]   (default 30, all targets)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

seconds=${1:-30}
shift || true
all=(fuzz_lgmd_reader fuzz_export fuzz_palette fuzz_mip fuzz_config)
targets=("${@:-${all[@]}}")

cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZORVIK_WERROR=ON \
  -DCMAKE_CXX_COMPILER=clang++ -DZORVIK_FUZZ=ON -DZORVIK_BENCH=OFF -DZORVIK_WINDOW_TESTS=OFF \
  >/dev/null
cmake --build build-fuzz -j "$(nproc)" --target "${targets[@]}"

# Where each target starts: the builder-made corpus, plus the demo content
# (made by make_samples) for the readers it has files for.
seeds_of() {
  case "$1" in
    fuzz_lgmd_reader | fuzz_export) echo fuzz/corpus/lgmd samples/demo ;;
    fuzz_palette) echo fuzz/corpus/palette samples/palettes ;;
    fuzz_mip) echo fuzz/corpus/mip samples/demo ;;
    fuzz_config) echo fuzz/corpus/config ;;
    *) echo "no seeds for $1" >&2; return 1 ;;
  esac
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# One target's run; its verdict and, for a finding, the log and the inputs
# in base64 go to $work/<target>/report.
fuzz_one() {
  local target=$1
  # New inputs go to a scratch folder, never into the committed corpus.
  # Findings stay in build-fuzz/findings for a look after the run.
  local findings="build-fuzz/findings/$target"
  rm -rf "$findings"
  mkdir -p "$work/$target/corpus" "$findings"
  local log="$work/$target/log" report="$work/$target/report"
  # shellcheck disable=SC2046
  if build-fuzz/fuzz/"$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
      -artifact_prefix="$findings/" "$work/$target/corpus" $(seeds_of "$target") \
      >"$log" 2>&1; then
    local runs
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "$target: ${runs:-?} executions in ${seconds} s, no finding" >"$report"
    return
  fi
  {
    echo "$target: FINDING"
    tail -n 80 "$log"
    for input in "$findings"/*; do
      [ -f "$input" ] || continue
      echo "--- $(basename "$input") ($(stat -c %s "$input") bytes), base64:"
      base64 "$input"
    done
  } >"$report"
}

# Each target runs for its full time; as many run at once as there are
# cores, so the whole run takes a fraction of their sum.
for target in "${targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$(nproc)" ]; do wait -n || true; done
  fuzz_one "$target" &
done
wait
status=0
for target in "${targets[@]}"; do
  if [ -f "$work/$target/report" ]; then
    cat "$work/$target/report"
    grep -q "^$target: FINDING" "$work/$target/report" && status=1
  else
    echo "$target: did not finish"
    status=1
  fi
done
exit $status
