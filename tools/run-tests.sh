#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite.
# Needs no display: widget tests use the offscreen platform and the
# whole-program tests start their own Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
preset=${VELKOR_PRESET:-release}
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j "$(nproc)"
ctest --preset "$preset" -j "$(nproc)" "$@"
