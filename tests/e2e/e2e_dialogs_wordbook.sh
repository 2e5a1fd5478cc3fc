# The word book editor end to end: the menu opens it; a pair typed into it
# and saved lands in dialog.ocx; deleting the only other pair (the size stays
# the same) leaves the strip playing the new pair with topic 16 while the
# editor stays open; opening it again from the menu brings the same window
# forward with its typing kept, and so does the options dialog's button.
source "$(dirname "$0")/e2elib.sh"
command -v xdotool > /dev/null || fail "xdotool missing"
command -v sqlite3 > /dev/null || fail "sqlite3 missing"

# A private copy of the program folder: the test writes its word book.
app="$E2E_HOME/app"
cp -r "$VELKOR_APP_DIR" "$app"
book="$app/dialog.ocx"
sqlite3 "$book" "DELETE FROM Word; INSERT INTO Word (English, Russian) VALUES ('a', 'я');"
english="Wonderful Wednesday morning"
russian="Замечательное утро среды"

# A first start writes the first-run settings; then the word book topic, one
# presentation of one second per language, no speech.
"$app/dialogs" &
pids+=($!)
wait_for 10 test -s "$SETTINGS_FILE" || fail "no settings written"
sleep 1
kill "${pids[-1]}"; wait "${pids[-1]}" 2> /dev/null || true
sed -i -e 's/^guage=.*/guage=16/' -e 's/^n=.*/n=1/' -e 's/^etime=.*/etime=1/' \
       -e 's/^ctime=.*/ctime=1/' -e 's/^voice=.*/voice=0/' "$SETTINGS_FILE"
grep -qx 'guage=16' "$SETTINGS_FILE" || fail "topic 16 not set"

"$app/dialogs" 2> "$E2E_HOME/stderr.txt" &
pids+=($!)
main_pid=$!
wait_for_strip 15 || fail "the strip never appeared"

# most_text SECONDS: the most light text pixels (on a 2-pixel grid) seen at
# once in the strip's sentence area over that many seconds. One letter per
# line gives a handful; a sentence gives many.
most_text() {
  local end=$((SECONDS + $1)) args=() x y best=0 n
  for ((y = sy + 1; y < sy + sh - 1; y += 2)); do
    for ((x = sx + 1; x < sx + sw - 60; x += 2)); do args+=(--probe "$x" "$y"); done
  done
  while [ $SECONDS -lt $end ]; do
    n=$("$tools_bin/screengrab" "${args[@]}" | awk '
      { c = substr($3, 2)
        if (index("cdef", substr(c, 1, 1)) && index("cdef", substr(c, 3, 1)) && index("cdef", substr(c, 5, 1))) n++ }
      END { print n + 0 }')
    [ "$n" -gt "$best" ] && best=$n
  done
  echo "$best"
}

# After the greeting only the one-letter pair plays.
sleep 5
narrow=$(most_text 4)
echo "text pixels before the edit: $narrow"
[ "$narrow" -gt 0 ] || { grab dialogs-wordbook-before; fail "the strip shows nothing"; }
[ "$narrow" -lt 20 ] || { grab dialogs-wordbook-before; fail "the strip shows more than the one-letter pair ($narrow)"; }

# "&New Dialogs Manager" from the menu.
open_editor() {
  hover_hot_spot
  sleep 0.6
  xdotool key n
}
editor_windows() { xdotool search --onlyvisible --name '^New Dialogs Manager$' 2> /dev/null; }
editor_shown() { [ -n "$(editor_windows)" ]; }
open_editor
wait_for 5 editor_shown || { grab dialogs-wordbook-no-editor; fail "the menu did not open the editor"; }
editor=$(editor_windows | head -1)
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$editor")"
ex=$X ey=$Y
echo "editor at $ex,$ey ${WIDTH}x$HEIGHT"
[ "$WIDTH" = 345 ] && [ "$HEIGHT" = 465 ] || fail "editor is ${WIDTH}x$HEIGHT, not 345x465"

# Add Record, then type the pair: Tab to the Russian box, Enter saves.
click_at() { xdotool mousemove $((ex + $1)) $((ey + $2)) click 1; sleep 0.3; }
click_at 164 124
xdotool windowfocus "$editor" 2> /dev/null || true
click_at 100 57
xdotool type --delay 30 "$english"
xdotool key Tab
xdotool type --delay 30 "$russian"
xdotool key Return
stored() {
  [ "$(sqlite3 "$book" "SELECT count(*) FROM Word WHERE English = '$english' AND Russian = '$russian'")" = 1 ]
}
wait_for 5 stored || { grab dialogs-wordbook-not-saved; fail "the typed pair is not in dialog.ocx: $(sqlite3 "$book" 'SELECT English, Russian FROM Word')"; }

# The saved editor selects the first entry, the one-letter pair: Delete
# Record removes it, so the book keeps its size of one.
click_at 272 124
only_new() { [ "$(sqlite3 "$book" "SELECT group_concat(English) FROM Word")" = "$english" ]; }
wait_for 5 only_new || fail "the one-letter pair was not deleted: $(sqlite3 "$book" 'SELECT English FROM Word')"

wide=$(most_text 10)
echo "text pixels after the edit: $wide"
[ "$wide" -gt 60 ] || { grab dialogs-wordbook-strip; fail "the strip does not play the new pair ($wide)"; }
editor_shown || fail "the editor closed"
grab dialogs-wordbook > /dev/null

# English box text extent: the rightmost dark pixel right of its left edge.
typed_extent() {
  local args=() x y
  for ((y = ey + 52; y < ey + 64; y += 1)); do
    for ((x = ex + 18; x < ex + 326; x += 2)); do args+=(--probe "$x" "$y"); done
  done
  "$tools_bin/screengrab" "${args[@]}" | awk -v left="$ex" '
    { c = substr($3, 2); r = ("0x" substr(c, 1, 2)) + 0
      if (index("0123456", substr(c, 1, 1)) && index("0123456", substr(c, 3, 1)) && $1 - left > m) m = $1 - left }
    END { print m + 0 }'
}
# Typing kept in the open window survives a second opening from the menu.
click_at 100 57
xdotool key ctrl+a
xdotool type --delay 30 "kept"
sleep 0.3
[ "$(typed_extent)" -lt 70 ] || fail "the English box did not take the typing ($(typed_extent))"
open_editor
sleep 1
[ "$(editor_windows | wc -l)" = 1 ] || fail "a second editor window opened"
[ "$(editor_windows)" = "$editor" ] || fail "the second opening made a new window"
extent=$(typed_extent)
[ "$extent" -lt 70 ] || { grab dialogs-wordbook-reopened; fail "the second opening lost the typing (text to $extent px)"; }
grab dialogs-wordbook-reopened > /dev/null

# The options dialog's "New Dialogs Manager" brings the same window forward.
# The button sits at the page's bottom left (210 + 0, 870 + 3330 twips).
options_windows() { xdotool search --onlyvisible --name '^Options\.\.\.$' 2> /dev/null; }
hover_hot_spot
sleep 0.6
xdotool key o
options_shown() { [ -n "$(options_windows)" ]; }
wait_for 5 options_shown || { grab dialogs-wordbook-no-options; fail "the menu opened no options dialog"; }
options=$(options_windows | head -1)
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$options")"
# A spot where the options dialog now covers the editor's list: the editor
# coming forward shows its list there again.
spot_x=$((ex + 100)) spot_y=$((ey + 250))
covered=$(probe $spot_x $spot_y)
xdotool mousemove $((X + 14 + 70)) $((Y + 58 + 222 + 12)) click 1
forward() { [ "$(probe $spot_x $spot_y)" != "$covered" ]; }
wait_for 3 forward || { grab dialogs-wordbook-not-forward; fail "the options dialog's button did not bring the editor forward"; }
[ "$(editor_windows | wc -l)" = 1 ] || fail "the options dialog opened a second editor window"
[ "$(editor_windows)" = "$editor" ] || fail "the options dialog's opening made a new window"
[ "$(typed_extent)" -lt 70 ] || fail "the options dialog's opening lost the typing"
kill -0 "$main_pid" || fail "dialogs ended"
echo "dialogs word book: ok"
