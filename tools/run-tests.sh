#!/usr/bin/env bash
# Checks the formatting (tools/check-format.sh), then builds and runs every test: the
# release build and the page's unit tests (node --test in web/), then the whole suite again
# under AddressSanitizer with UndefinedBehaviorSanitizer and under ThreadSanitizer (each
# build also checks the benchmark's node-count signature), then a minute of the protocol
# fuzzer and of the engine fuzzer side by side (tools/fuzz.sh). After the release build: a lateness
# report of the search (times reported, never asserted; a search that answers no empty
# square fails), the Windows build under Wine (tools/test-windows.sh) and the web page in
# headless Chromium with the engine as WebAssembly (tools/test-browser.sh).
#
#   tools/run-tests.sh           every stage, as CI runs it
#   tools/run-tests.sh --quick   the formatting, the release build, its tests and the page's
#                                unit tests only, for working
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
quick=0
case ${1:-} in
  --quick) quick=1 ;;
  "") ;;
  *) echo "usage: tools/run-tests.sh [--quick]" >&2; exit 2 ;;
esac

build_and_test() {
  local dir=$1
  shift
  echo "=== $dir"
  cmake -S . -B "$dir" "$@" > /dev/null
  cmake --build "$dir" -j "$jobs"
  ctest --test-dir "$dir" --output-on-failure -j "$jobs"
}

# What the builds, the tests and the fuzzer need (the Windows and browser stages install
# their own): installed when run as root, else the apt-get command is printed.
tools/ensure-packages.sh cmake make g++ libgtest-dev libgmock-dev libbenchmark-dev clang \
  libclang-rt-14-dev python3 procps clang-format nodejs
tools/check-layers.sh
echo "=== format"
tools/check-format.sh
build_and_test build/release -DCMAKE_BUILD_TYPE=Release
echo "=== page unit tests"
(cd web && node --test)
if [ "$quick" = 1 ]; then
  echo "release tests passed (quick: the lateness report, Windows, browser, sanitizer and fuzzing stages skipped)"
  exit 0
fi
echo "=== lateness (report only)"
build/release/bench/quillmot-bench lateness --budgets 50,200,500
echo "=== windows"
tools/test-windows.sh
echo "=== browser"
tools/test-browser.sh
build_and_test build/asan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" \
  -DQUILLMOT_SANITIZE=address,undefined -DQUILLMOT_BENCHMARKS=OFF
build_and_test build/tsan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" \
  -DQUILLMOT_SANITIZE=thread -DQUILLMOT_BENCHMARKS=OFF
echo "=== fuzzers"
tools/fuzz.sh "${FUZZ_SECONDS:-60}"
echo "all tests passed"
