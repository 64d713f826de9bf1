#!/usr/bin/env bash
# Builds Zorvik and runs the whole test suite: once with warnings as errors,
# then the tests outside the window again under the address and
# undefined-behaviour sanitizers, then every fuzz target for a fixed time
# (scripts/fuzz.sh, its own build directory). Window tests start their own
# virtual display, one each, so they run side by side.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/install-deps.sh
jobs=$(nproc)

cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZORVIK_WERROR=ON >/dev/null
cmake --build build-test -j "$jobs"
(cd build-test && ctest --output-on-failure -j "$jobs")

if [ "${ZORVIK_SKIP_SANITIZERS:-0}" != 1 ]; then
  cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZORVIK_WERROR=ON \
    -DZORVIK_SANITIZE=ON -DZORVIK_BENCH=OFF -DZORVIK_WINDOW_TESTS=OFF >/dev/null
  cmake --build build-asan -j "$jobs" --target zorvik zorvik-render make_samples io_tests \
    model_tests convert_tests platform_tests render_tests doc_tests cli_tests tools_tests
  (cd build-asan && ctest --output-on-failure -j "$jobs")
fi

if [ "${ZORVIK_SKIP_FUZZ:-0}" != 1 ]; then
  bash scripts/fuzz.sh "${ZORVIK_FUZZ_SECONDS:-30}"
fi
