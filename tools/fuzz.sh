#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer, UndefinedBehaviorSanitizer) and
# runs each for the given number of seconds (default 60), both at once, one per core:
# - protocol: protocol_fuzzer, arbitrary bytes to the real command reader and dispatcher,
#   from the committed corpus tests/fuzz/corpus;
# - engine: engine_fuzzer, any board, stones and small budget straight to the engine's
#   search, from the seeds in tests/fuzz/engine_corpus (layout in tests/fuzz/engine_case.h).
# A crash leaves its input in build/fuzz/TARGET and fails the run. FUZZ_JOBS=N runs each named
# target in N processes sharing one corpus (libFuzzer -jobs), for a long run of one target on
# both cores.
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

# Each target runs in its own folder build/fuzz/TARGET: its new inputs in corpus/, its output
# in fuzz.log (and fuzz-N.log per process with FUZZ_JOBS), a crash's input beside them.
run() {
  local target=$1 seeds
  case $target in
    protocol) seeds=../../../tests/fuzz/corpus ;;
    engine) seeds=../../../tests/fuzz/engine_corpus ;;
    *) echo "unknown fuzz target: $target" >&2; return 2 ;;
  esac
  local parallel=()
  [ "$jobs" -gt 1 ] && parallel=(-jobs="$jobs" -workers="$jobs")
  mkdir -p "build/fuzz/$target/corpus"
  cd "build/fuzz/$target"
  rm -f fuzz-*.log
  "../${target}_fuzzer" "${parallel[@]}" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=4096 \
    -max_len=4096 -print_final_stats=1 corpus "$seeds" > fuzz.log 2>&1
}

# Side by side; then each run's summary, or the end of its output after a failure. An
# interrupt or a stop of this script stops every fuzzer process too: each run is a subshell
# whose fuzzer is its child, and libFuzzer's -jobs workers are that fuzzer's children.
pids=()
kill_tree() {
  local child
  for child in $(pgrep -P "$1" 2>/dev/null); do kill_tree "$child"; done
  kill -TERM "$1" 2>/dev/null || true
}
stop_fuzzers() {
  trap - INT TERM HUP
  for pid in "${pids[@]}"; do kill_tree "$pid"; done
  echo "fuzz.sh: stopped; the fuzzers were stopped with it" >&2
  exit 130
}
trap stop_fuzzers INT TERM HUP
for target in "${targets[@]}"; do
  run "$target" &
  pids+=($!)
done
failed=0
for i in "${!targets[@]}"; do
  target=${targets[$i]}
  if wait "${pids[$i]}"; then
    echo "--- $target fuzzer: passed ($seconds s)"
    logs=("build/fuzz/$target/fuzz.log")
    [ "$jobs" -gt 1 ] && logs=("build/fuzz/$target"/fuzz-*.log)
    grep -hE '^(#[0-9]+[[:space:]]+DONE|stat::number_of_executed_units|stat::peak_rss_mb|engine fuzzer)' "${logs[@]}" || true
  else
    echo "--- $target fuzzer: FAILED (build/fuzz/$target/fuzz.log)"
    tail -n 60 "build/fuzz/$target/fuzz.log"
    failed=1
  fi
done
exit $failed
