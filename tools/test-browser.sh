#!/usr/bin/env bash
# The web page in a real browser: builds the WebAssembly module and the native
# quillmot-bench, then runs web/tests/browser_test.py with headless Chromium through
# Selenium (Debian packages chromium, chromium-driver, python3-selenium). It plays a
# whole game by clicking, checks take back and new game, saves screenshots under
# build/browser/, and compares the module's fixed-depth searches with the native ones.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/ensure-packages.sh chromium chromium-driver python3-selenium
tools/build-web.sh
if [ ! -f build/release/CMakeCache.txt ]; then
  cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release > /dev/null
fi
cmake --build build/release -j 2 --target quillmot-bench
# Selenium is installed for Debian's own python, not for another one first on PATH.
/usr/bin/python3 web/tests/browser_test.py --bench build/release/bench/quillmot-bench --out build/browser "$@"
