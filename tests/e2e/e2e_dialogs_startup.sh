# dialogs starts on an empty store: splash, then the strip at the top with the
# welcome line; the first-run values are stored; a second start changes nothing.
source "$(dirname "$0")/e2elib.sh"

"$VELKOR_APP_DIR/dialogs" &
pids+=($!)
main_pid=$!

# The splash stands in the middle of the screen for the first 1.2 s.
sleep 0.6
grab dialogs-splash --probe 640 330 > "$E2E_HOME/probe.txt"
splash=$(awk '{print $3}' "$E2E_HOME/probe.txt")
is_blueish "$splash" || fail "no splash in the middle of the screen ($splash)"

wait_for 10 test -s "$SETTINGS_FILE" || fail "no settings written"
for pair in xxx=1 agent=Merlin n=1 guage=14 rd=1 ce=0 Spdtimes=90 FontSizeNumber=12 \
            guagen=11000 left=6600 mark=1 voice=1 etime=5 ctime=3; do
  grep -qx "$pair" "$SETTINGS_FILE" || fail "first-run value $pair missing"
done
grep -q 'help.html#getting-started' "$VELKOR_E2E_OPENED" || fail "getting-started page not opened"

# After the splash: the strip at the top, left edge 6600 twips = 440 px.
sleep 2.2
grab dialogs-strip --probe 445 2 --probe 445 30 > "$E2E_HOME/probe.txt"
top=$(sed -n 1p "$E2E_HOME/probe.txt" | awk '{print $3}')
below=$(sed -n 2p "$E2E_HOME/probe.txt" | awk '{print $3}')
is_blueish "$top" || fail "no strip at the top edge ($top)"
[ "$below" = "#000000" ] || fail "strip taller than expected ($below)"
kill -0 "$main_pid" || fail "dialogs ended"

# A second start hands over to the running one and touches nothing.
before=$(sha256sum "$SETTINGS_FILE")
listing=$(ls -la "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR")
timeout 10 "$VELKOR_APP_DIR/dialogs" || fail "second start did not end by itself"
[ "$(sha256sum "$SETTINGS_FILE")" = "$before" ] || fail "second start changed the store"
[ "$(ls -la "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR")" = "$listing" ] || fail "second start touched files"
kill -0 "$main_pid" || fail "running instance ended"
echo "dialogs start-up: ok"
