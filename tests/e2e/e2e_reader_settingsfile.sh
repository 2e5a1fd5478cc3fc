# reader with a folder where its settings file should be: the window opens,
# the learner is told once (a message box titled like the window), ticking
# "Auto Read Clipboard", which cannot be saved, tells nothing more, and the
# folder is left as it was.
source "$(dirname "$0")/e2elib.sh"
command -v xdotool > /dev/null || fail "xdotool missing"
mkdir -p "$SETTINGS_FILE"

titled() { xdotool search --onlyvisible --name '^Reader Tobrin$' 2> /dev/null || true; }
# The reader's window is 425 x 321; every other window of that title is a message.
window_of_size() {
  for w in $(titled); do
    eval "$(xdotool getwindowgeometry --shell "$w")"
    if [ "$1" = window ] && [ "$WIDTH" = 425 ] && [ "$HEIGHT" = 321 ]; then echo "$w"; fi
    if [ "$1" = message ] && { [ "$WIDTH" != 425 ] || [ "$HEIGHT" != 321 ]; }; then echo "$w"; fi
  done
}
reader_shown() { [ -n "$(window_of_size window)" ]; }
messages() { window_of_size message | wc -l; }
message_shown() { [ "$(messages)" -ge 1 ]; }

"$VELKOR_APP_DIR/reader" > "$E2E_HOME/reader.log" 2>&1 &
pid=$!
pids+=("$pid")
wait_for 10 reader_shown || { grab reader-settingsfile; fail "the reader's window never appeared"; }
wait_for 5 message_shown || { grab reader-settingsfile; fail "the learner was not told"; }
grab reader-settingsfile > /dev/null

eval "$(xdotool getwindowgeometry --shell "$(window_of_size window)")"
xdotool mousemove $((X + 22)) $((Y + 248)) click 1
sleep 1
[ "$(messages)" -eq 1 ] || fail "$(messages) messages"
kill -0 "$pid" || fail "the reader ended"
[ -d "$SETTINGS_FILE" ] || fail "the folder in the settings file's place was changed"
echo "settings file a folder: the reader opened and told the learner once"
