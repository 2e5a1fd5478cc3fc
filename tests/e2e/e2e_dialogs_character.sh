# The character appears beside the strip; a damaged character file leaves
# dialogs running without one.
source "$(dirname "$0")/e2elib.sh"

character_shown() { xdotool search --onlyvisible --name '^(Merlin|Rivet|Sova)' > /dev/null 2>&1; }
strip_shown() { is_blueish "$(probe 445 2)"; }

"$VELKOR_APP_DIR/dialogs" &
pids+=($!)
first=$!
wait_for 10 character_shown || fail "the character did not appear"
wait_for 10 strip_shown || fail "no strip"
grab dialogs-character > /dev/null
kill "$first"; wait "$first" 2>/dev/null || true

# A garbage file and a truncated copy of the shipped character, each in the
# learner's own character folder, which is searched first.
chars="$XDG_DATA_HOME/Velkor/msagent/chars"
mkdir -p "$chars"
head -c 20000 /dev/urandom > "$chars/Broken.acs"
head -c 3000 "$VELKOR_APP_DIR/msagent/chars/Merlin.acs" > "$chars/Merlin.acs"
for name in Broken Merlin; do
  sed -i "s/^agent=.*/agent=$name/" "$SETTINGS_FILE"
  "$VELKOR_APP_DIR/dialogs" &
  pids+=($!)
  pid=$!
  wait_for 10 strip_shown || fail "no strip with a damaged $name.acs"
  sleep 1
  kill -0 "$pid" || fail "dialogs ended with a damaged $name.acs"
  ! character_shown || fail "a character appeared from a damaged $name.acs"
  kill "$pid"; wait "$pid" 2>/dev/null || true
done
echo "dialogs character: ok"
