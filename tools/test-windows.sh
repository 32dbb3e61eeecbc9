#!/usr/bin/env bash
# The Windows engine, built and tested here: cross-builds the tournament zip
# (tools/package-windows.sh), checks that its executable imports only DLLs that every
# Windows has, then runs it under Wine as a manager would: scripted protocol sessions
# (tools/protocol_check.py), games against the Linux build (tools/soak.py), and the
# benchmark's node-count signature, with its speed beside the Linux build's.
#
#   tools/test-windows.sh
#
# Installs the MinGW-w64 toolchain and Wine when they are missing and it runs as root;
# otherwise it names the apt-get command and fails. Wine runs headless, in its own prefix
# under build/, with one wineserver that this script starts and stops.
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS
step() { echo "--- $1 ($((SECONDS - started)) s)"; }

# 1. The toolchain and Wine, from Debian's packages.
tools/ensure-packages.sh g++-mingw-w64-x86-64-posix wine64
find_wine() {
  wine=$(command -v wine64 || true)
  [ -x /usr/lib/wine/wine64 ] && wine=/usr/lib/wine/wine64
  wineserver=$(command -v wineserver || true)
  [ -x /usr/lib/wine/wineserver64 ] && wineserver=/usr/lib/wine/wineserver64
  [ -n "$wine" ] && [ -n "$wineserver" ] && command -v x86_64-w64-mingw32-g++-posix > /dev/null
}
if ! find_wine; then
  echo "test-windows: wine64, wineserver or x86_64-w64-mingw32-g++-posix not found" >&2
  exit 1
fi

# 2. The zip, and the Linux build that plays against it and benchmarks beside it (the
# release build of tools/run-tests.sh: only these two targets are brought up to date).
step "cross build and package"
tools/package-windows.sh build/pbrain-quillmot.zip
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release > /dev/null
cmake --build build/release -j "$(nproc)" --target pbrain-quillmot quillmot-bench > /dev/null
scratch=build/windows/test
rm -rf "$scratch"
mkdir -p "$scratch"
python3 -m zipfile -e build/pbrain-quillmot.zip "$scratch"
exe=$scratch/pbrain-quillmot.exe
bench_exe=build/windows/bench/quillmot-bench.exe
size=$(stat -c %s build/pbrain-quillmot.zip)
if [ "$size" -gt $((8 << 20)) ]; then
  echo "test-windows: the zip is $size bytes, over the 8 MB limit of an entry" >&2
  exit 1
fi

# 3. Imports: system DLLs only (the C runtime, msvcrt or the UCRT, and KERNEL32); anything
# else, libstdc++ or winpthreads above all, would not be on a clean machine.
step "imports"
for file in "$exe" "$bench_exe"; do
  dlls=$(x86_64-w64-mingw32-objdump -p "$file" | sed -n 's/^\s*DLL Name: //p')
  echo "$(basename "$file") ($(stat -c %s "$file") bytes) imports: ${dlls//$'\n'/ }"
  for dll in $dlls; do
    case ${dll,,} in
      kernel32.dll | msvcrt.dll | ucrtbase.dll | api-ms-win-crt-*.dll | advapi32.dll | ntdll.dll) ;;
      *)
        echo "test-windows: $file imports $dll, which a clean Windows may lack" >&2
        exit 1
        ;;
    esac
  done
done

# 4. Wine, headless: no display, no debug output, no prompt for Mono or Gecko. The server
# is started first and kept until the end, so that no engine process starts one that
# would hold its pipes open, and the prefix is booted once.
step "Wine prefix"
export WINEPREFIX=$PWD/build/wine-prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
mkdir -p "$WINEPREFIX"
"$wineserver" -p < /dev/null > /dev/null 2>&1
trap '"$wineserver" -k > /dev/null 2>&1 || true' EXIT
"$wine" wineboot --init < /dev/null > "$scratch/wineboot.log" 2>&1 || {
  cat "$scratch/wineboot.log" >&2
  exit 1
}

# 5. The protocol, session by session, replies in CR LF.
step "protocol sessions under Wine"
python3 tools/protocol_check.py --engine "$wine $exe" --line-end crlf

# 6. Two games against the Linux build, each side moving first once. A reply may come at
# most 100 ms past the turn limit: the engine stops 150 ms before the limit, so a reply
# that late lost a quarter of a second outside the search (a stalled pipe, an unflushed
# line, a clock checked too rarely), while the way through the pipes and the scheduler of
# a busy two-core machine takes a few milliseconds.
step "games under Wine"
python3 tools/soak.py --engine-a build/release/pbrain-quillmot --engine-b "$wine $exe" \
  --games 2 --parallel 2 --turn-ms 400 --tolerance-ms 100

# 7. The benchmark's signature from the Windows executable, then both builds' speed at
# one depth, alternately, each taking its best of two runs. Wine adds next to nothing to a
# program that only computes, so Windows at under half the Linux speed means a fault (a
# debug build, a slow clock read inside the search).
step "bench under Wine"
read -r depth signature < <(grep -E '^[0-9]+ [0-9]+$' bench/signature.txt | head -n 1)
"$wine" "$bench_exe" search --depth "$depth" --expect "$signature" < /dev/null | tail -3
speed_depth=${BENCH_SPEED_DEPTH:-8}
best_linux=0
best_wine=0
for _ in 1 2; do
  linux=$(build/release/bench/quillmot-bench search --depth "$speed_depth" | sed -n 's/^nodes\/second //p')
  wine_nps=$("$wine" "$bench_exe" search --depth "$speed_depth" < /dev/null | sed -n 's/^nodes\/second //p' | tr -d '\r')
  for reading in "Linux:$linux" "Windows:$wine_nps"; do
    if ! [[ ${reading#*:} =~ ^[1-9][0-9]*$ ]]; then
      echo "test-windows: the ${reading%%:*} bench gave no nodes/second reading at depth" \
        "$speed_depth (got '${reading#*:}'), so the two speeds cannot be compared" >&2
      exit 1
    fi
  done
  if [ "$linux" -gt "$best_linux" ]; then best_linux=$linux; fi
  if [ "$wine_nps" -gt "$best_wine" ]; then best_wine=$wine_nps; fi
done
echo "nodes/second at depth $speed_depth: Linux $best_linux, Windows under Wine $best_wine" \
  "($((best_wine * 100 / best_linux))% of Linux)"
if [ $((best_wine * 2)) -lt "$best_linux" ]; then
  echo "test-windows: the Windows build is under half the Linux speed" >&2
  exit 1
fi

step "Windows tests passed"
