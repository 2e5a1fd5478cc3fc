# reader end to end: with auto-read off a copy is left alone; ticking the box
# reads new copies only, each within 1.5 s of the copy, without emptying the
# clipboard, the same text again too; a second start hands over; Exit takes the
# window away at once, waves and says goodbye, and the process ends within 3 s;
# and "Re&cite Tobrin" in the main program's menu opens the reader.
source "$(dirname "$0")/e2elib.sh"
for tool in xdotool xclip; do command -v $tool > /dev/null || fail "$tool missing"; done
export VELKOR_SPEECH_LOG="$E2E_HOME/speech.log"
log=$VELKOR_SPEECH_LOG
touch "$log"

now() { date +%s%3N; }
copy() { printf '%s' "$1" | xclip -selection clipboard > /dev/null 2>&1; }
# logged_since MS PATTERN: a log line at or after MS matching the awk regex.
logged_since() { awk -v t="$1" -v p="$2" '$1 >= t && $0 ~ p { found = 1 } END { exit !found }' "$log"; }
first_since() { awk -v t="$1" -v p="$2" '$1 >= t && $0 ~ p { print; exit }' "$log"; }
reader_window() { xdotool search --onlyvisible --name '^Reader Tobrin$' 2> /dev/null | head -1; }
reader_shown() { [ -n "$(reader_window)" ]; }
reader_gone() { [ -z "$(reader_window)" ]; }

"$VELKOR_APP_DIR/reader" 2> "$E2E_HOME/stderr.txt" &
pids+=($!)
reader_pid=$!
wait_for 10 reader_shown || fail "the reader's window never appeared"
eval "$(xdotool getwindowgeometry --shell "$(reader_window)")"
[ "$WIDTH" = 425 ] && [ "$HEIGHT" = 321 ] || fail "window is ${WIDTH}x${HEIGHT}, not 425x321"
[ $((X + WIDTH / 2 - 640)) -le 1 ] && [ $((640 - X - WIDTH / 2)) -le 1 ] || fail "not centred ($X,$Y)"
wait_for 10 grep -q ' speak [0-9]* Good ' "$log" || fail "no greeting"
wait_for 10 grep -q ' done ' "$log" || fail "greeting never finished"

# "AutoRead" unset: the box is clear and a copy is not read.
start=$(now)
copy "Этот текст не читают."
sleep 1.5
logged_since "$start" ' shown ' && fail "a copy was read with auto-read off"

# Ticking the box: stored, and what is already copied is not read.
xdotool mousemove $((X + 22)) $((Y + 248)) click 1
wait_for 5 grep -qx 'AutoRead=1' "$SETTINGS_FILE" || fail "ticking the box did not store AutoRead=1"
sleep 1.5
logged_since "$start" ' shown ' && fail "the text already copied was read"

text="Привет! This text came from the clipboard."
for round in first again; do
  start=$(now)
  copy "$text"
  shown() { logged_since "$start" ' shown '; }
  spoken() { logged_since "$start" ' speak [0-9]+ Привет!$'; }
  wait_for 5 spoken || fail "$round copy never read"
  at_shown=$(first_since "$start" ' shown ' | awk '{ print $1 }')
  speak=$(first_since "$start" ' speak [0-9]+ Привет!$')
  id=$(awk '{ print $3 }' <<< "$speak")
  heard() { logged_since "$start" " word $id "; }
  wait_for 5 heard || fail "$round copy never heard"
  at_heard=$(first_since "$start" " word $id " | awk '{ print $1 }')
  echo "$round copy: shown after $((at_shown - start)) ms, spoken (handed to the character) after" \
       "$(($(awk '{ print $1 }' <<< "$speak") - start)) ms, first word heard after $((at_heard - start)) ms"
  [ $((at_shown - start)) -le 1500 ] || fail "$round copy shown after more than 1.5 s"
  [ $(($(awk '{ print $1 }' <<< "$speak") - start)) -le 1500 ] || fail "$round copy spoken after more than 1.5 s"
  logged_since "$start" ' play [0-9]+ read$' || fail "\"read\" was not played"
  [ "$(xclip -o -selection clipboard)" = "$text" ] || fail "the clipboard no longer holds the copy"
  [ $round = first ] && grab reader-reading > /dev/null
  wait_for 10 logged_since "$start" " done $((id + 1))\$" || fail "$round reading never ended"
  sleep 0.7
done

# A second start hands over to the running reader and ends.
timeout 10 "$VELKOR_APP_DIR/reader" 2> /dev/null || fail "second start did not end by itself"
kill -0 "$reader_pid" || fail "the running reader ended"

# Exit: the window goes at once; "wave" and "bye bye!", then the process ends.
start=$(now)
xdotool mousemove $((X + 36)) $((Y + 292)) click 1
wait_for 1 reader_gone || fail "the window stayed after Exit"
logged_since "$start" ' play [0-9]+ wave$' || fail "no wave at closing"
logged_since "$start" ' speak [0-9]+ bye bye!$' || fail "no goodbye at closing"
bye=$(first_since "$start" ' speak [0-9]+ bye bye!$' | awk '{ print $3 }')
ended() { ! kill -0 "$reader_pid" 2> /dev/null; }
wait_for 4 ended || fail "the reader did not end within 3 s of closing"
took=$(($(now) - start))
grep -q " done $bye\$" "$log" || [ "$took" -ge 3000 ] || fail "ended before the goodbye was said"
echo "closing: ended after about $took ms ($(grep -c " done $bye\$" "$log") goodbye finished)"

# The main program's menu: "Re&cite Tobrin" opens the reader.
"$VELKOR_APP_DIR/dialogs" 2> /dev/null &
pids+=($!)
strip_window() { xdotool search --onlyvisible --name '^Morvane$' 2> /dev/null | head -1; }
strip_shown() { [ -n "$(strip_window)" ]; }
wait_for 15 strip_shown || fail "the strip never appeared"
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$(strip_window)")"
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2))
sleep 0.2
xdotool mousemove $((X + WIDTH - 32)) $((Y + HEIGHT - 10))
sleep 0.1
xdotool mousemove $((X + WIDTH - 28)) $((Y + HEIGHT - 10))
sleep 1
xdotool key c
wait_for 10 reader_shown || { grab reader-from-menu-missing > /dev/null; fail "the menu did not open the reader"; }
sleep 1
grab reader-from-menu > /dev/null
echo "reader: ok"
