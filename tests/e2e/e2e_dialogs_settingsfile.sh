# Whatever stands in the settings file's place (a named pipe, a device
# directly or behind a link, a folder, a link to a file not there yet),
# dialogs shows its splash and its strip within 3 s, tells the learner once,
# leaves the thing as it was, and a second start still hands over. A link to
# a file stays a link and the file gets the first-run values.
# On a busy machine a plain start alone can take longer: each case is then
# allowed twice what a plain start just before it took.
source "$(dirname "$0")/e2elib.sh"
command -v xdotool > /dev/null || fail "xdotool missing"

settings_dir=$(dirname "$SETTINGS_FILE")
dotfiles="$E2E_HOME/dotfiles"

windows_named() { xdotool search --onlyvisible --name "^$1\$" 2> /dev/null; }
# The strip and the message box are both titled Morvane: the strip lies along
# the top edge, the message in the middle of the screen.
tops() { for w in $(windows_named Morvane); do xdotool getwindowgeometry --shell "$w" | sed -n 's/^Y=//p'; done; }
strip_shown() { tops | grep -qx 0; }
message_count() { tops | grep -cvx 0 || true; }
message_shown() { [ "$(message_count)" -ge 1 ]; }
splash_or_strip() { [ -n "$(windows_named Version)" ] || strip_shown; }
kind() { stat -c %F "$SETTINGS_FILE" 2> /dev/null || echo missing; }

# launch NAME: starts dialogs, waits for its first window and its strip (at
# most 10 s: a start that blocks never shows them) and sets pid and elapsed.
launch() {
  local name=$1 started
  started=$(date +%s%N)
  "$VELKOR_APP_DIR/dialogs" > "$VELKOR_ARTIFACTS/settingsfile-$name.log" 2>&1 &
  pid=$!
  pids+=("$pid")
  wait_for 10 splash_or_strip || { grab "settingsfile-$name"; fail "$name: no window"; }
  wait_for 10 strip_shown || { grab "settingsfile-$name"; fail "$name: no strip"; }
  elapsed=$((($(date +%s%N) - started) / 1000000))
}

stop() {
  kill "$pid"
  wait "$pid" 2> /dev/null || true
}

# start CASE MESSAGES: runs dialogs on the prepared file and checks it.
start() {
  local name=$1 messages=$2 before plain limit
  before=$(kind)
  # A plain start on an empty settings folder, for the time allowed.
  mv "$settings_dir" "$E2E_HOME/prepared"
  mkdir -p "$settings_dir"
  launch "$name-plain"
  stop
  plain=$elapsed
  rm -rf "$settings_dir"
  mv "$E2E_HOME/prepared" "$settings_dir"
  limit=$((2 * plain > 3000 ? 2 * plain : 3000))

  launch "$name"
  [ "$elapsed" -le "$limit" ] || fail "$name: the strip took $elapsed ms (a plain start $plain ms)"
  if [ "$messages" = 1 ]; then
    wait_for 2 message_shown || { grab "settingsfile-$name"; fail "$name: the learner was not told"; }
  fi
  sleep 0.5
  [ "$(message_count)" -eq "$messages" ] || fail "$name: $(message_count) messages"
  # The first start holds the single-instance lock: a second one must still hand over.
  timeout 10 "$VELKOR_APP_DIR/dialogs" || fail "$name: a second start did not end by itself"
  kill -0 "$pid" || fail "$name: dialogs ended"
  stop
  [ "$(kind)" = "$before" ] || fail "$name: the settings file went from $before to $(kind)"
  echo "$name: strip after $elapsed ms (a plain start $plain ms)"
}

fresh() {
  rm -rf "$settings_dir" "$dotfiles"
  mkdir -p "$settings_dir" "$dotfiles"
}

fresh && mkfifo "$SETTINGS_FILE" && start pipe 1
fresh && mkdir "$SETTINGS_FILE" && start folder 1
fresh && ln -s /dev/zero "$SETTINGS_FILE" && start link-to-device 1
if [ "$(id -u)" -eq 0 ]; then
  fresh && mknod "$SETTINGS_FILE" c 1 5 && start device 1
fi

# A link to a file not there yet: the first run creates the file it points at.
fresh && ln -s "$dotfiles/Velkor.ini" "$SETTINGS_FILE" && start link-to-nothing 0
[ -f "$dotfiles/Velkor.ini" ] || fail "link-to-nothing: no file where the link points"
grep -qx 'xxx=1' "$dotfiles/Velkor.ini" || fail "link-to-nothing: no first-run values"

# A link to a learner's file that lost most of its values: read through the
# link, the missing values put back into the file, the link kept.
fresh && printf '[Lintavo01]\nxxx=1\nFontSizeNumber=20\n' > "$dotfiles/Velkor.ini"
ln -s "../../dotfiles/Velkor.ini" "$SETTINGS_FILE"
start link-to-file 0
[ "$(readlink "$SETTINGS_FILE")" = "../../dotfiles/Velkor.ini" ] || fail "link-to-file: the link changed"
grep -qx 'FontSizeNumber=20' "$dotfiles/Velkor.ini" || fail "link-to-file: the learner's value was lost"
grep -qx 'agent=Merlin' "$dotfiles/Velkor.ini" || fail "link-to-file: the file got no first-run values"
echo "dialogs with a hostile settings file: ok"
