# Sourced by the whole-process CPU scripts, which share their arguments:
#   <agent_cpu_probe> <chars folder> [seconds] [character]
# measure <command...> runs the command, waits $warmup s, then prints the
# percent of one core it used over $secs s, from /proc/<pid>/stat
# (utime+stime).
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
