#!/usr/bin/env bash
# Builds the engine's WebAssembly module with Emscripten (Debian package emscripten) and
# puts it beside the page: web/gen/quillmot.js and web/gen/quillmot.wasm.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/ensure-packages.sh emscripten cmake make
# Debian's emscripten runs its JavaScript optimiser with the system node, which finds
# the acorn module only here.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
if [ ! -f build/wasm/CMakeCache.txt ]; then
  emcmake cmake -S . -B build/wasm -DCMAKE_BUILD_TYPE=Release > /dev/null
fi
cmake --build build/wasm -j 2 --target quillmot_wasm
mkdir -p web/gen
cp build/wasm/web/quillmot.js build/wasm/web/quillmot.wasm web/gen/
