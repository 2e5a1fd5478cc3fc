# The popup menu end to end: the pointer over the hot spot at the strip's
# right end opens the menu just below the strip, right-aligned with it; the
# about box keeps it closed until its picture is clicked; "Website" asks the
# desktop for the home page; "Exit" stores the exit values and ends at once.
source "$(dirname "$0")/e2elib.sh"
command -v xdotool > /dev/null || fail "xdotool missing"
source_dir=$(cd "$here/../.." && pwd)

"$VELKOR_APP_DIR/dialogs" &
pids+=($!)
main_pid=$!

wait_for_strip 15 || fail "the strip never appeared"
echo "strip at ${sx},${sy} ${sw}x${sh}"

# Below the strip inside and outside the menu's place.
in_x=$((sx + sw - 12)) in_y=$((sy + sh + 6))
out_x=$((sx + sw + 3))

colour_at() { probe "$1" "$2"; }
menu_open() { [ "$(colour_at "$in_x" "$in_y")" != "#000000" ]; }

menu_open && fail "something stands below the strip before the menu opens"
hover_hot_spot
wait_for 5 menu_open || { grab dialogs-menu-missing; fail "moving over the hot spot opened no menu"; }
sleep 0.3
grab dialogs-menu --probe "$in_x" "$in_y" --probe "$out_x" "$in_y" > "$E2E_HOME/probe.txt"
outside=$(sed -n 2p "$E2E_HOME/probe.txt" | awk '{print $3}')
[ "$outside" = "#000000" ] || fail "the menu reaches past the strip's right end ($outside)"
[ "$(colour_at "$in_x" $((sy + sh + 40)))" != "#000000" ] || fail "the menu is not below the strip"

# The about box: the menu stays closed while it is open.
xdotool key b
about_shown() { is_blueish "$(colour_at 640 400)"; }
wait_for 5 about_shown || { grab dialogs-about-missing; fail "no about box in the middle of the screen"; }
menu_open && fail "the menu stayed open after choosing the about box"
grab dialogs-about > /dev/null
hover_hot_spot
sleep 1
menu_open && { grab dialogs-menu-over-about; fail "the menu opened while the about box was open"; }
xdotool mousemove 640 400 click 1
about_gone() { ! about_shown; }
wait_for 5 about_gone || fail "a click on the about box's picture did not close it"
hover_hot_spot
wait_for 5 menu_open || fail "the menu did not open again after the about box closed"

# Website: the desktop is asked for the home page.
home=$(grep -o 'https://[^"]*' "$source_dir/dialogs/startup/addresses.h" | head -1)
xdotool key w
opened_home() { grep -qF "$home" "$VELKOR_E2E_OPENED" 2> /dev/null; }
wait_for 5 opened_home || fail "Website did not open $home"
kill -0 "$main_pid" || fail "dialogs ended"

# Exit writes "voice", "left" and "guagen" (sequence order, schedule saved
# on a first run) from memory, and nothing else.
sed -i -e 's/^voice=.*/voice=7/' -e 's/^left=.*/left=1234/' -e 's/^guagen=.*/guagen=99/' \
       -e 's/^n=.*/n=9/' "$SETTINGS_FILE"
hover_hot_spot
wait_for 5 menu_open || fail "the menu did not open for Exit"
exit_asked=$(date +%s%N)
xdotool key Up Return
ended() { ! kill -0 "$main_pid" 2> /dev/null; }
wait_for 10 ended || fail "Exit did not end the process"
echo "Exit ended the process in $((($(date +%s%N) - exit_asked) / 1000000)) ms"
# A clean end: in a sanitizer build a leak or a fault at exit fails it.
status=0
wait "$main_pid" || status=$?
[ "$status" -eq 0 ] || fail "dialogs ended with status $status after Exit"
grep -qx 'voice=1' "$SETTINGS_FILE" || fail "voice not written at exit"
grep -qx "left=$((sx * 15))" "$SETTINGS_FILE" || fail "left edge not written at exit ($(grep ^left= "$SETTINGS_FILE"))"
grep -qE '^guagen=1[0-9]{4}$' "$SETTINGS_FILE" || fail "sequence position not written at exit"
grep -qx 'n=9' "$SETTINGS_FILE" || fail "exit wrote more than it should"
echo "dialogs menu: ok"
