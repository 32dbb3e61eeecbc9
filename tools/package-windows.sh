#!/usr/bin/env bash
# Cross-builds the Windows engine with MinGW-w64 (build/windows) and writes the tournament
# entry: a zip with pbrain-quillmot.exe at its root and a short README.txt.
#
#   tools/package-windows.sh [ZIP]      (default build/pbrain-quillmot.zip)
#
# Needs Debian's g++-mingw-w64-x86-64-posix (tools/test-windows.sh installs it).
set -euo pipefail
cd "$(dirname "$0")/.."
zip=${1:-build/pbrain-quillmot.zip}

cmake --no-warn-unused-cli -S . -B build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release > /dev/null
cmake --build build/windows -j "$(nproc)"

# The version that ABOUT reports.
version=$(sed -n 's/.*version=\\"\([^\\]*\)\\".*/\1/p' protocol/front_end.h)
if ! [[ $version =~ ^[0-9]+(\.[0-9]+)*$ ]]; then
  echo "package-windows: cannot read the version from ABOUT_TEXT in protocol/front_end.h (read '$version')" >&2
  exit 1
fi
staging=build/windows/package
rm -rf "$staging"
mkdir -p "$staging"
cp build/windows/pbrain-quillmot.exe "$staging/"
sed 's/$/\r/' > "$staging/README.txt" <<EOF
Quillmot $version: a five-in-a-row (Gomoku) engine for tournament managers

pbrain-quillmot.exe is a 64-bit Windows console program (Windows 10 or 11, x64) that
needs nothing installed: it imports only KERNEL32.dll and msvcrt.dll. It speaks the
usual line protocol of such managers on standard input and output (START, RECTSTART,
RESTART, TURN, PLAY, BEGIN, BOARD ... DONE, TAKEBACK, INFO, ABOUT, END), takes no arguments and
reads or writes no files.

Rules: free-style only (five or more in a row wins, for both players). INFO rule is
accepted and ignored: the engine plays free-style whatever the manager asks.
Board sizes: 5 to 32 squares a side, square (START) or rectangular (RECTSTART).
Time: each move stays within INFO timeout_turn and a share of INFO time_left.
Memory: one game takes about 35 MB; INFO max_memory is accepted and ignored.
EOF

mkdir -p "$(dirname "$zip")"
rm -f "$zip"
python3 - "$zip" "$staging" <<'EOF'
import os, sys, zipfile
zip_path, staging = sys.argv[1], sys.argv[2]
with zipfile.ZipFile(zip_path, "w", zipfile.ZIP_DEFLATED) as archive:
    for name in ("pbrain-quillmot.exe", "README.txt"):
        archive.write(os.path.join(staging, name), name)
EOF
echo "wrote $zip ($(stat -c %s "$zip") bytes): pbrain-quillmot.exe ($(stat -c %s build/windows/pbrain-quillmot.exe) bytes), README.txt"
