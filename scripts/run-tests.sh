#!/usr/bin/env bash
# Every test of `make test`, each step run even when one before it failed: the sources
# against .clang-format, the CTest suite of the normal build, the core tests again under
# AddressSanitizer and UndefinedBehaviorSanitizer, and a short fuzz run of the reader (its
# output kept in build/fuzz/fuzz.log). Ends with one line for the whole run; fails when any
# test did. Usage: scripts/run-tests.sh [FUZZ_SECONDS]
set -uo pipefail
cd "$(dirname "$0")/.."
fuzz_seconds=${1:-60}
passed=0 failed=0

# one NAME COMMAND...: a step that counts as one test.
one() {
  local name=$1
  shift
  if "$@"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAILED: $name" >&2
  fi
}

# suite PRESET: builds the preset and counts each of its CTest tests (a build that fails
# counts as one failed test).
suite() {
  local preset=$1 log summary
  log=$(mktemp)
  if ! { cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset"; }; then
    failed=$((failed + 1))
    echo "FAILED: the $preset build" >&2
    rm -f "$log"
    return
  fi
  ctest --preset "$preset" 2>&1 | tee "$log"
  # "95% tests passed, 2 tests failed out of 40"
  summary=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -1)
  if [ -z "$summary" ]; then
    failed=$((failed + 1))
    echo "FAILED: the $preset tests did not run" >&2
  else
    local bad total
    bad=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$summary")
    total=$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<<"$summary")
    passed=$((passed + total - bad))
    failed=$((failed + bad))
  fi
  rm -f "$log"
}

fuzz() {
  mkdir -p build/fuzz
  if bash scripts/fuzz-reader.sh "$fuzz_seconds" >build/fuzz/fuzz.log 2>&1; then
    grep -E '^Done [0-9]+ runs' build/fuzz/fuzz.log | tail -1
  else
    tail -40 build/fuzz/fuzz.log >&2
    return 1
  fi
}

one "the sources' layout (.clang-format)" \
  clang-format --dry-run -Werror $(git ls-files '*.cpp' '*.h' 2>/dev/null ||
    find src tests tools bench -name '*.cpp' -o -name '*.h')
suite default
suite asan
one "the fuzz run of the reader" fuzz

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
