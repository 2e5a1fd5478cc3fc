#!/usr/bin/env bash
# Whole-process CPU of reader sitting idle with "Auto Read Clipboard" ticked,
# from /proc/<pid>/stat (utime + stime) over SECONDS, next to an idle minimal
# Qt window measured in the same run on the same virtual screen:
#   - no character, before any copy (the 1-second poll runs)   target <= 0.3 %
#   - no character, after one copy (notifications seen, no poll) target <= 0.3 %
#   - Merlin shown and idling, after one copy                    (for comparison)
# Run under Xvfb, on a Release build:
#   xvfb-run -a -s "-screen 0 1280x800x24" bench/reader/cpu.sh build/release [SECONDS]
set -euo pipefail
build=$(cd "$1" && pwd)
secs=${2:-60}
command -v xclip > /dev/null || { echo "xclip is needed" >&2; exit 2; }

here=$(cd "$(dirname "$0")" && pwd)
source "$here/readerhome.sh"
source "$here/../processcpu.sh"

# A short text copied by another program, read, and done with.
copy_once() {
  printf 'Один раз.' | xclip -selection clipboard > /dev/null 2>&1
  sleep 4
}

baseline=$(cpu_share nothing "$build/bench/bin/bench_minimalwindow")
reader_with NoCharacter
polling=$(cpu_share nothing "$build/app/reader")
notified=$(cpu_share copy_once "$build/app/reader")
reader_with Merlin
merlin=$(cpu_share copy_once "$build/app/reader")

echo "CPU over ${secs} s, percent of one core (utime+stime), auto-read on:"
echo "  minimal Qt window, idle:               ${baseline} %"
echo "  reader, no character, polling:         ${polling} %  (target <= 0.3)"
echo "  reader, no character, after a copy:    ${notified} %  (target <= 0.3)"
echo "  reader, Merlin idling, after a copy:   ${merlin} %"
awk -v p="$polling" -v n="$notified" \
  'BEGIN { ok = p <= 0.3 && n <= 0.3; print ok ? "within target" : "ABOVE target"; exit !ok }'
