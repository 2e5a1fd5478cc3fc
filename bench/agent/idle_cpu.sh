#!/bin/sh
# Whole-process CPU of an idle, shown character against a plain window shown
# the same way, both measured in this run.
#   xvfb-run -a bench/agent/idle_cpu.sh <agent_cpu_probe> <chars folder> [seconds] [character]
# Target: the idling character costs at most 1 % of one core.
set -eu
. "$(dirname "$0")/cpu_share.sh"

total=$((secs + warmup + 5))
plain=$(measure "$probe" plain "$total")
agent=$(measure "$probe" character "$total" "$chars" "$character")
echo "idle CPU over ${secs} s (percent of one core): plain window ${plain} %, ${character} idling ${agent} %"
awk -v a="$agent" 'BEGIN { exit !(a <= 1.0) }' && echo "within the 1 % target" || { echo "ABOVE the 1 % target"; exit 1; }
