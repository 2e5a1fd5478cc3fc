#!/usr/bin/env bash
# One series of copies on the current X display (run by latency.sh):
#   copy_latency.sh BUILD COPIES CHARACTER
# Starts reader with auto-read on and a speech log, copies COPIES different
# one-sentence texts with xclip, each once the last was read, and prints per
# copy: "<ms to shown> <ms to the first word heard>".
set -euo pipefail
build=$1
copies=$2
character=$3
source "$(dirname "$0")/readerhome.sh"
reader_with "$character"
log="$work/speech.log"
export VELKOR_SPEECH_LOG="$log"
touch "$log"

now() { date +%s%3N; }
# wait_line PATTERN SECONDS: until a log line matches (awk regex).
wait_line() {
  local end=$((SECONDS + $2))
  until awk -v p="$1" '$0 ~ p { found = 1 } END { exit !found }' "$log"; do
    [ $SECONDS -lt "$end" ] || return 1
    sleep 0.01
  done
}

"$build/app/reader" 2> "$work/stderr.txt" &
pid=$!
sleep 3 # the greeting, if any, and the voice loaded
with_character=1
[ -e "$build/app/msagent/chars/$character.acs" ] || with_character=0
[ $with_character = 0 ] || wait_line "speak [0-9]+ Good" 5
sleep 2

for i in $(seq 1 "$copies"); do
  text="Проверка номер $i прошла."
  t0=$(now)
  printf "%s" "$text" | xclip -selection clipboard > /dev/null 2>&1
  wait_line "speak [0-9]+ $text\$" 10 || { echo "copy $i never read" >&2; exit 1; }
  id=$(awk -v p="speak [0-9]+ $text\$" '$0 ~ p { print $3; exit }' "$log")
  wait_line "^[0-9]+ word $id " 10 || { echo "copy $i never heard" >&2; exit 1; }
  shown=$(awk -v t="$t0" '$2 == "shown" && $1 >= t { print $1; exit }' "$log")
  heard=$(awk -v id="$id" '$2 == "word" && $3 == id { print $1; exit }' "$log")
  echo "$((shown - t0)) $((heard - t0))"
  wait_line "^[0-9]+ done $id\$" 20 || true
  sleep 0.7 # past the window in which the same copy counts once
done
