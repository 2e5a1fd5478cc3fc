# Sourced by the agent's whole-process CPU scripts, which share their arguments:
#   <agent_cpu_probe> <chars folder> [seconds] [character]
# measure <command...> runs the command, waits $warmup s, then prints the
# percent of one core it used over $secs s (bench/processcpu.sh).
probe=$1
chars=$2
secs=${3:-30}
character=${4:-Merlin}
output=/dev/stderr
. "$(dirname "$0")/../processcpu.sh"

measure() { cpu_share nothing "$@"; }
