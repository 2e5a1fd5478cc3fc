#!/bin/sh
# Whole-process CPU of a character playing animations that loop on 1 ms
# frames, against a plain window shown the same way, all measured in this run.
# The looping animations are added to a copy of the character: Spin shows one
# frame again and again, Flicker alternates two different frames.
#   xvfb-run -a bench/agent/loop_cpu.sh <agent_cpu_probe> <chars folder> [seconds] [character]
# Target: each loop costs at most 5 % of one core.
set -eu
. "$(dirname "$0")/cpu_share.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
{
    cat "$chars/$character.acs"
    printf 'animation Spin\nframe 1\nlayer body 0 0\nbranch 0 100\nendanimation\n'
    printf 'animation Flicker\nframe 1\nlayer body 0 0\nframe 1\nlayer body 0 4\nbranch 0 100\nendanimation\n'
} >"$work/$character.acs"

total=$((secs + warmup + 5))
plain=$(measure "$probe" plain "$total")
spin=$(measure "$probe" character "$total" "$work" "$character" Spin)
flicker=$(measure "$probe" character "$total" "$work" "$character" Flicker)
echo "CPU over ${secs} s (percent of one core): plain window ${plain} %, ${character} looping 1 ms frames: Spin ${spin} %, Flicker ${flicker} %"
awk -v a="$spin" -v b="$flicker" 'BEGIN { exit !(a <= 5.0 && b <= 5.0) }' && echo "within the 5 % target" || { echo "ABOVE the 5 % target"; exit 1; }
