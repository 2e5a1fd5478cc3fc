#!/usr/bin/env bash
# Start-up time of dialogs, from process start to its splash on screen, next to
# a minimal Qt Widgets program that shows one window, in one run on one
# virtual screen. Both report the moment of their first paint.
#   bench/startup/startup.sh BUILD_DIR [RUNS]
# Run it under xvfb-run, e.g.:
#   xvfb-run -a -s "-screen 0 1280x800x24" bench/startup/startup.sh build/release 20
set -euo pipefail
build=$(cd "$1" && pwd)
runs=${2:-20}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
export PATH="$(cd "$(dirname "$0")/../../tests/e2e/fakebin" && pwd):$PATH"
export VELKOR_TRACE_FIRST_PAINT=1

# once: ms from launch to the first "painted" line of COMMAND
once() {
  local start out pid
  start=$(date +%s%N)
  "$@" > "$work/out" 2>/dev/null &
  pid=$!
  for _ in $(seq 1 200); do
    if grep -q painted "$work/out" 2>/dev/null; then break; fi
    sleep 0.01
  done
  out=$(grep -m1 painted "$work/out" | awk '{print $2}')
  kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null || true
  echo $(( (out - start) / 1000 ))
}

median() { sort -n | awk '{a[NR]=$1} END {print (NR%2 ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2)}'; }

# A first start makes the settings; the timed ones are ordinary starts.
once "$build/app/dialogs" > /dev/null
: > "$work/base"; : > "$work/text"; : > "$work/dialogs"
for _ in $(seq 1 "$runs"); do
  once "$build/bench/bin/bench_minimalwindow" >> "$work/base"
  once "$build/bench/bin/bench_minimalwindow" --text >> "$work/text"
  once "$build/app/dialogs" >> "$work/dialogs"
done
base=$(median < "$work/base")
text=$(median < "$work/text")
dialogs=$(median < "$work/dialogs")
echo "minimal Qt window:        median ${base} us to first paint ($runs runs)"
echo "minimal window with text: median ${text} us to first paint ($runs runs)"
echo "dialogs splash:           median ${dialogs} us to first paint ($runs runs)"
awk -v a="$dialogs" -v b="$text" 'BEGIN { printf "ratio to the window with text: %.2f\n", a / b }'
awk -v a="$dialogs" -v b="$base" 'BEGIN { printf "ratio: %.2f (target at most 1.50)\n", a / b; exit (a / b <= 1.5 ? 0 : 1) }'
