#!/usr/bin/env bash
# Usage: run-tests.sh BUILD...   (BUILD is windows, native, asan, tsan or fuzz)
# Runs the CTest suite of each build tree under build/, the Windows one inside
# a Wine session, and a short round of every fuzz target; goes on after a
# failing suite, and ends with one total line.
set -u
cd "$(dirname "$0")/.."

passed=0 failed=0 status=0
for build in "$@"; do
  dir=build/$build
  log=$dir/ctest.log
  echo "== tests of the $build build"
  ctest_cmd=(ctest --test-dir "$dir" --output-on-failure -j2)
  # ThreadSanitizer watches the tests where threads meet.
  [ "$build" = tsan ] && ctest_cmd+=(-R Concurrency)
  if [ "$build" = fuzz ]; then
    scripts/run-fuzzers.sh "${ZOR_FUZZ_SMOKE_SECONDS:-10}" 2>&1 | tee "$log"
  elif [ "$build" = windows ]; then
    scripts/wine-session.sh "$dir" "${ctest_cmd[@]}" 2>&1 | tee "$log"
  else
    "${ctest_cmd[@]}" 2>&1 | tee "$log"
  fi
  [ "${PIPESTATUS[0]}" -eq 0 ] || status=1
  if [ "$build" = fuzz ]; then
    counts=$(grep -E '^fuzz: [0-9]+ passed, [0-9]+ failed' "$log" | tail -n 1)
    passed=$((passed + $(sed -E 's/fuzz: ([0-9]+) passed.*/\1/' <<<"$counts")))
    failed=$((failed + $(sed -E 's/.* ([0-9]+) failed/\1/' <<<"$counts")))
    continue
  fi
  summary=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
  if [ -z "$summary" ]; then
    echo "!! the $build suite reported no result"
    status=1
    continue
  fi
  f=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$summary")
  t=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\2/' <<<"$summary")
  passed=$((passed + t - f))
  failed=$((failed + f))
done

echo "total: $passed passed, $failed failed"
exit $status
