#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite
# twice: an optimised build, then one under AddressSanitizer and
# UndefinedBehaviorSanitizer (memory faults, leaks and undefined behaviour
# the optimised run cannot see). Needs no display: widget tests use the
# offscreen platform and the whole-program tests start their own Xvfb.
#
#   tools/run-tests.sh [ctest arguments]     e.g. -R wordbook
#   VELKOR_PRESETS=release tools/run-tests.sh  only the optimised build
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
read -r -a presets <<< "${VELKOR_PRESETS:-release asan}"
jobs=$(nproc)
failed=()
for preset in "${presets[@]}"; do
  echo "=== $preset: build"
  start=$SECONDS
  cmake --preset "$preset" > /dev/null
  cmake --build --preset "$preset" -j "$jobs"
  echo "=== $preset: tests (built in $((SECONDS - start)) s)"
  start=$SECONDS
  # Both suites run even when the first fails: each finds faults the other cannot.
  if ! ctest --preset "$preset" -j "$jobs" "$@"; then
    failed+=("$preset")
  fi
  echo "=== $preset: tests took $((SECONDS - start)) s"
done
if [ "${#failed[@]}" -gt 0 ]; then
  echo "FAILED: ${failed[*]}" >&2
  exit 1
fi
echo "all suites passed: ${presets[*]}"
