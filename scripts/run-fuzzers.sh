#!/usr/bin/env bash
# Usage: run-fuzzers.sh SECONDS
# Runs every fuzz target of build/fuzz for SECONDS each over its corpus
# (seeded by the encoder on first use) and fails if any target finds a crash.
set -u
cd "$(dirname "$0")/.."
seconds=${1:-30}
bin=build/fuzz/bin
corpus=build/fuzz/corpus
artifacts=build/fuzz/artifacts/
targets=(expand decode_chunk installer)
for target in "${targets[@]}"; do mkdir -p "$corpus/$target"; done
mkdir -p "$artifacts"
if [ ! -e "$corpus/.seeded" ]; then
  "$bin/fuzz_make_seeds" "$corpus/expand" "$corpus/decode_chunk" "$corpus/installer" || exit 1
  touch "$corpus/.seeded"
fi

passed=0 failed=0
for target in "${targets[@]}"; do
  log=build/fuzz/$target.log
  if "$bin/fuzz_$target" "$corpus/$target" -max_total_time="$seconds" -max_len=70000 -timeout=10 \
       -rss_limit_mb=2048 -artifact_prefix="$artifacts" -print_final_stats=1 >"$log" 2>&1; then
    echo "fuzz_$target: $(grep -E '^stat::number_of_executed_units' "$log" | awk '{print $2}') runs, no failure"
    passed=$((passed + 1))
  else
    echo "fuzz_$target FAILED:"
    tail -n 40 "$log"
    failed=$((failed + 1))
  fi
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
