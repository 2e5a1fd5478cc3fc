# Sourced by the whole-process CPU benchmarks: the share of one core a program
# takes in a given state, from /proc/<pid>/stat (utime + stime).
# Set before calling, or take the defaults:
#   secs (60)      seconds measured
#   warmup (5)     seconds from the start to the action
#   settle (0)     seconds from the action to the measuring
#   output (/dev/null)  where the program's output goes
# cpu_share ACTION COMMAND...: starts COMMAND, waits $warmup s, runs ACTION (a
# command or function; "nothing" for none), waits $settle s, prints the
# percent of one core COMMAND used over the next $secs s and ends it. $pid
# names it meanwhile, so an exit trap can end it.
secs=${secs:-60}
warmup=${warmup:-5}
settle=${settle:-0}
output=${output:-/dev/null}
hz=$(getconf CLK_TCK)
pid=

ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
nothing() { :; }

cpu_share() {
  local action=$1 t0 t1
  shift
  "$@" > "$output" 2>&1 &
  pid=$!
  sleep "$warmup"
  $action
  sleep "$settle"
  t0=$(ticks "$pid")
  sleep "$secs"
  t1=$(ticks "$pid")
  kill "$pid" 2> /dev/null || true
  wait "$pid" 2> /dev/null || true
  pid=
  awk -v d=$((t1 - t0)) -v hz="$hz" -v s="$secs" 'BEGIN { printf "%.3f", 100 * d / hz / s }'
}
