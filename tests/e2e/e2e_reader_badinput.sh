# reader with auto-read on, fed what a clipboard can hold that is not a plain
# text to read: a picture only, blanks only, 5 MB of text, NUL characters and
# broken UTF-8. Nothing is read that should not be, the long text is cut to
# its first 262144 characters, the window keeps answering and the memory
# stays bounded.
source "$(dirname "$0")/e2elib.sh"
for tool in xdotool xclip; do command -v $tool > /dev/null || fail "$tool missing"; done
export VELKOR_SPEECH_LOG="$E2E_HOME/speech.log"
log=$VELKOR_SPEECH_LOG
touch "$log"
mkdir -p "$XDG_CONFIG_HOME/Velkor"
printf '[Lintavo01]\nAutoRead=1\n' > "$SETTINGS_FILE"

now() { date +%s%3N; }
logged_since() { awk -v t="$1" -v p="$2" '$1 >= t && $0 ~ p { found = 1 } END { exit !found }' "$log"; }
copy_file() { xclip -selection clipboard -t "$2" -i "$1" > /dev/null 2>&1; }
rss_kb() { awk '/^VmRSS/ { print $2 }' "/proc/$1/status"; }
reader_window() { xdotool search --onlyvisible --name '^Reader Tobrin$' 2> /dev/null | head -1; }
reader_shown() { [ -n "$(reader_window)" ]; }

"$VELKOR_APP_DIR/reader" 2> "$E2E_HOME/stderr.txt" &
pids+=($!)
pid=$!
wait_for 10 reader_shown || fail "the reader's window never appeared"
wait_for 10 grep -q ' done ' "$log" || fail "greeting never finished"
sleep 0.5
before=$(rss_kb "$pid")

# Nothing to read: a picture only, then blanks only.
"$tools_bin/screengrab" "$E2E_HOME/picture.png" > /dev/null
start=$(now)
copy_file "$E2E_HOME/picture.png" image/png
printf ' \n\t  \n' > "$E2E_HOME/blanks.txt"
sleep 0.7
copy_file "$E2E_HOME/blanks.txt" text/plain
sleep 1.5
logged_since "$start" ' (shown|speak|play) ' && fail "something was read from a picture or blanks"

# 5 MB of Cyrillic text on one line: cut, shown, read; the window still answers.
awk 'BEGIN { for (i = 0; i < 480000; i++) printf "слово " }' > "$E2E_HOME/big.txt"
start=$(now)
copy_file "$E2E_HOME/big.txt" UTF8_STRING
wait_for 10 logged_since "$start" ' shown 262144$' || fail "the 5 MB text was not shown cut to 262144"
shown_after=$(($(awk -v t="$start" '$1 >= t && / shown / { print $1; exit }' "$log") - start))
wait_for 5 logged_since "$start" ' speak [0-9]+ слово' || fail "the long text was not read"
grep -q 'cut to its first 262144' "$E2E_HOME/stderr.txt" || fail "the cut was not logged"
answer_start=$(now)
eval "$(xdotool getwindowgeometry --shell "$(reader_window)")"
xdotool mousemove $((X + 128)) $((Y + 292)) click 1 # Stop
wait_for 2 logged_since "$answer_start" ' stop$' || fail "the window did not answer Stop"
echo "5 MB copy: shown after ${shown_after} ms, Stop answered after $(($(now) - answer_start)) ms"

# NUL characters and broken UTF-8 (a lone surrogate half, a stray byte).
printf 'Один\0два.\xed\xa0\x80 Три\xff четыре.' > "$E2E_HOME/broken.txt"
sleep 0.7
start=$(now)
copy_file "$E2E_HOME/broken.txt" UTF8_STRING
wait_for 5 logged_since "$start" ' speak [0-9]+ Один' || fail "the text with NUL characters was not read"
awk -v t="$start" '$1 >= t && / speak / { print }' "$log" | head -3

kill -0 "$pid" || fail "the reader ended"
after=$(rss_kb "$pid")
echo "memory: ${before} kB before, ${after} kB after"
[ $((after - before)) -lt 150000 ] || fail "memory grew by $((after - before)) kB"
echo "reader bad input: ok"
