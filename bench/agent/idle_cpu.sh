#!/bin/sh
# Whole-process CPU of an idle, shown character against a plain window shown
# the same way, both measured in this run from /proc/<pid>/stat (utime+stime).
#   xvfb-run -a bench/agent/idle_cpu.sh <agent_idle_probe> <chars folder> [seconds] [character]
# Target: the idling character costs at most 1 % of one core.
set -eu
probe=$1
chars=$2
secs=${3:-30}
character=${4:-Merlin}
warmup=5
hz=$(getconf CLK_TCK)

ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

measure() {
    "$@" &
    pid=$!
    sleep "$warmup"
    t0=$(ticks "$pid")
    sleep "$secs"
    t1=$(ticks "$pid")
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    awk -v d=$((t1 - t0)) -v hz="$hz" -v s="$secs" 'BEGIN { printf "%.3f", 100 * d / hz / s }'
}

total=$((secs + warmup + 5))
plain=$(measure "$probe" plain "$total")
agent=$(measure "$probe" character "$total" "$chars" "$character")
echo "idle CPU over ${secs} s (percent of one core): plain window ${plain} %, ${character} idling ${agent} %"
awk -v a="$agent" 'BEGIN { exit !(a <= 1.0) }' && echo "within the 1 % target" || { echo "ABOVE the 1 % target"; exit 1; }
