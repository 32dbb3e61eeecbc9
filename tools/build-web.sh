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

# What the service worker (web/sw.js) keeps for offline use: the page's files, the module and
# the puzzles, and their version, a digest of their contents, so that any change to one of
# them installs a new version beside the old and then replaces it.
cd web
shopt -s nullglob
files=(index.html style.css manifest.webmanifest icons/* puzzles.json gen/quillmot.js
  gen/quillmot.wasm)
for module in *.js; do [ "$module" = sw.js ] || files+=("$module"); done
version=$(cat "${files[@]}" | sha256sum | cut -c 1-16)
list=$(printf '"%s", ' ./ "${files[@]}")
printf 'self.OFFLINE = {version: "%s", files: [%s]};\n' "$version" "${list%, }" > gen/offline.js
