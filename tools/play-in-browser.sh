#!/usr/bin/env bash
# Builds the WebAssembly module and serves the page in web/ on 127.0.0.1 (port 8000, or
# PORT) with Python's http.server; open the printed address in a browser. Ctrl-C stops.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/build-web.sh
port=${PORT:-8000}
echo
echo "Open http://127.0.0.1:$port/ in a browser to play (Ctrl-C stops the server)."
exec python3 -m http.server --bind 127.0.0.1 --directory web "$port"
