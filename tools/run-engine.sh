#!/usr/bin/env bash
# Builds the engine (release) and starts it, reading commands from this terminal. On a
# fresh Debian machine it first installs what the build needs (cmake, make, g++) when run
# as root, and otherwise prints the apt-get command to run. Everything the build prints
# goes to standard error, so standard output carries only the engine's replies.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/ensure-packages.sh cmake make g++ >&2
mkdir -p build
if ! cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release > build/configure.log 2>&1; then
  cat build/configure.log >&2
  exit 1
fi
grep -E "not found:" build/configure.log >&2 || true
cmake --build build/release -j "$(nproc)" --target pbrain-quillmot >&2
echo "pbrain-quillmot is reading commands (END or Ctrl-D leaves); try: START 15, then BEGIN" >&2
exec build/release/pbrain-quillmot
