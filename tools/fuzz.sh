#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer, UndefinedBehaviorSanitizer) and
# runs each for the given number of seconds (default 60), both at once, one per core:
# - protocol: protocol_fuzzer, arbitrary bytes to the real command reader and dispatcher,
#   from the committed corpus tests/fuzz/corpus;
# - engine: engine_fuzzer, any board, stones and small budget straight to the engine's
#   search, from the seeds in tests/fuzz/engine_corpus (layout in tests/fuzz/engine_case.h).
# New inputs go to scratch corpora in build/fuzz; a crash leaves its input in build/fuzz and
# fails the run. FUZZ_JOBS=N runs each named target in N processes (libFuzzer -fork), for a
# long run of one target on both cores.
#
#   tools/fuzz.sh [SECONDS] [protocol] [engine]
#   FUZZ_JOBS=2 tools/fuzz.sh 1800 engine
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=60
if [[ ${1:-} =~ ^[0-9]+$ ]]; then
  seconds=$1
  shift
fi
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(protocol engine)
jobs=${FUZZ_JOBS:-1}

CXX=clang++ cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" \
  -DQUILLMOT_SANITIZE=address,undefined -DQUILLMOT_FUZZ=ON -DQUILLMOT_BENCHMARKS=OFF \
  -DQUILLMOT_TESTS=OFF > /dev/null
cmake --build build/fuzz -j "$(nproc)" --target "${targets[@]/%/_fuzzer}"

cd build/fuzz
run() {
  local target=$1 seeds
  case $target in
    protocol) seeds=../../tests/fuzz/corpus ;;
    engine) seeds=../../tests/fuzz/engine_corpus ;;
    *) echo "unknown fuzz target: $target" >&2; return 2 ;;
  esac
  local fork=()
  [ "$jobs" -gt 1 ] && fork=(-fork="$jobs" -ignore_crashes=0)
  mkdir -p "corpus-$target"
  "./${target}_fuzzer" "${fork[@]}" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=4096 \
    -max_len=4096 -print_final_stats=1 "corpus-$target" "$seeds"
}

# Side by side, each into its own log; then each log's summary, or its end after a failure.
pids=()
for target in "${targets[@]}"; do
  run "$target" > "$target.log" 2>&1 &
  pids+=($!)
done
failed=0
for i in "${!targets[@]}"; do
  target=${targets[$i]}
  if wait "${pids[$i]}"; then
    echo "--- $target fuzzer: passed ($seconds s)"
    grep -E '^(#[0-9]+ +DONE|stat::number_of_executed_units|stat::peak_rss_mb|engine fuzzer)' "$target.log" || true
  else
    echo "--- $target fuzzer: FAILED (build/fuzz/$target.log)"
    tail -n 60 "$target.log"
    failed=1
  fi
done
exit $failed
