#!/usr/bin/env bash
# Builds Zorvik and runs the whole test suite: once with warnings as errors,
# then the Debian package from a Release build of only what ships, checked
# by lintian and appstreamcli, then the tests outside the window again under the address and
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

# The package as Debian would judge it: no lintian error or warning, valid
# AppStream metadata. Only what ships is built, so this also shows that a
# build without the tests' libraries works. It is built while the tests
# run, at a lower priority: the window tests spend much of their time
# waiting for the display, and the processor is free then.
package() {
  cmake -S . -B build-deb -G Ninja -DCMAKE_BUILD_TYPE=Release -DZORVIK_WERROR=ON \
    -DZORVIK_TESTS=OFF >/dev/null
  nice -n 10 cmake --build build-deb -j "$jobs"
  rm -rf build-deb/package
  (cd build-deb && cpack -G DEB -B package >/dev/null)
  lintian --fail-on error,warning build-deb/package/zorvik_*.deb
  appstreamcli validate --no-net build-deb/generated/org.zorvik.Zorvik.metainfo.xml
  echo "package: lintian and appstreamcli passed"
}
package_log=$(mktemp)
trap 'rm -f "$package_log"' EXIT
(set -e; package) >"$package_log" 2>&1 &
package_pid=$!
tests=0
(cd build-test && ctest --output-on-failure -j "$jobs") || tests=$?
packaged=0
wait "$package_pid" || packaged=$?
cat "$package_log"
[ "$tests" -eq 0 ] || exit "$tests"
[ "$packaged" -eq 0 ] || exit "$packaged"

if [ "${ZORVIK_SKIP_SANITIZERS:-0}" != 1 ]; then
  cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZORVIK_WERROR=ON \
    -DZORVIK_SANITIZE=ON -DZORVIK_BENCH=OFF -DZORVIK_WINDOW_TESTS=OFF >/dev/null
  cmake --build build-asan -j "$jobs" --target zorvik zorvik-render zorvik-import-worker make_samples io_tests \
    model_tests convert_tests platform_tests render_tests doc_tests cli_tests tools_tests
  (cd build-asan && ctest --output-on-failure -j "$jobs")
fi

if [ "${ZORVIK_SKIP_FUZZ:-0}" != 1 ]; then
  bash scripts/fuzz.sh "${ZORVIK_FUZZ_SECONDS:-30}"
fi
