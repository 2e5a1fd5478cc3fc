#!/usr/bin/env bash
# run-e2e.sh SCRIPT: runs one whole-program test on its own virtual screen.
# Xvfb picks a free display number itself (-displayfd), so tests running side
# by side never race for one, as xvfb-run -a's guessing did.
set -euo pipefail
dir=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset 3> "$dir/display" 2> "$dir/xvfb.log" &
xvfb=$!
trap 'kill "$xvfb" 2> /dev/null || true; wait "$xvfb" 2> /dev/null || true; rm -rf "$dir"' EXIT
for _ in $(seq 200); do
  [ -s "$dir/display" ] && break
  kill -0 "$xvfb" 2> /dev/null || { cat "$dir/xvfb.log" >&2; echo "FAIL: Xvfb did not start" >&2; exit 1; }
  sleep 0.05
done
[ -s "$dir/display" ] || { echo "FAIL: Xvfb gave no display" >&2; exit 1; }
export DISPLAY=":$(head -n 1 "$dir/display")"
unset XAUTHORITY
bash "$@"
