#!/usr/bin/env bash
# Builds the protocol fuzzer with clang (AddressSanitizer, UndefinedBehaviorSanitizer) and
# runs it for the given number of seconds (default 60) from the committed corpus. New
# inputs go to a scratch corpus; a crash leaves its input in build/fuzz/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
CXX=clang++ cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" \
  -DQUILLMOT_SANITIZE=address,undefined -DQUILLMOT_FUZZ=ON -DQUILLMOT_BENCHMARKS=OFF > /dev/null
cmake --build build/fuzz -j "$(nproc)" --target protocol_fuzzer
mkdir -p build/fuzz/corpus
cd build/fuzz
./protocol_fuzzer -max_total_time="$seconds" -timeout=30 -rss_limit_mb=4096 -print_final_stats=1 \
  corpus ../../tests/fuzz/corpus
