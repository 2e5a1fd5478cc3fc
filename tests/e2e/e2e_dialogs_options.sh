# The options dialog end to end, once on a bare X server and once under a
# window manager (openbox): the menu's "&Options..." opens the skinned dialog
# at its place with its title corners cut away; the menu stays shut while it
# is open; it moves by its title bar; the font size spin bar re-lays the strip
# at once; picking "Sova" switches the character; "O K" closes it and the
# settings file holds the new values. Screenshots of both pages are kept.
# (The menu cannot open while the dialog is, so a second "&Options..." is a
# unit test's matter.)
source "$(dirname "$0")/e2elib.sh"
command -v xdotool > /dev/null || fail "xdotool missing"
command -v xwininfo > /dev/null || fail "xwininfo missing"

# The dialog's design, in pixels at 15 twips a pixel (Xvfb's 96 DPI): its
# place on the 1280 x 800 screen (half the height less 3000 twips, half the
# width less 4000), its size (6135 x 4815 twips), and the controls used below,
# from the top-left corner of the page (210, 870 twips into the dialog).
want_x=373 want_y=200 want_w=409 want_h=321
page_x=14 page_y=58
font_up_x=$((page_x + 129)) font_up_y=$((page_y + 135 + 54 + 4))    # size bar's up arrow
sova_x=$((page_x + 40)) sova_y=$((page_y + 22 + 34))                # third row of the list
ok_x=$((page_x + 299 + 40)) ok_y=$((page_y + 222 + 12))             # "O K"

strip_window() { xdotool search --onlyvisible --name '^Morvane$' 2> /dev/null | head -1; }
strip_shown() { [ -n "$(strip_window)" ]; }
options_window() { xdotool search --onlyvisible --name '^Options\.\.\.$' 2> /dev/null | head -1; }
options_shown() { [ -n "$(options_window)" ]; }
options_gone() { ! options_shown; }
sova_shown() { xdotool search --onlyvisible --name '^Sova' > /dev/null 2>&1; }
# geometry WINDOW: "x y width height" as the X server has it.
geometry() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
                           /^ *Width:/ {w=$2} /^ *Height:/ {h=$2} END {print x, y, w, h}'
}
strip_height() { geometry "$(strip_window)" | awk '{print $4}'; }

open_menu() {
  eval "$(xdotool getwindowgeometry --shell "$(strip_window)")"
  xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2))
  sleep 0.2
  xdotool mousemove $((X + WIDTH - 32)) $((Y + HEIGHT - 10))
  sleep 0.1
  xdotool mousemove $((X + WIDTH - 28)) $((Y + HEIGHT - 10))
  sleep 0.5
}

open_options() {
  open_menu
  xdotool key o
  wait_for 5 options_shown || { grab "options-$wm-missing"; fail "[$wm] &Options... opened no dialog"; }
  sleep 0.5
}

# at X Y: a point of the dialog, in screen pixels.
at() { echo $((dx + $1)) $((dy + $2)); }

run_case() {
  wm=$1
  rm -f "$SETTINGS_FILE"
  "$VELKOR_APP_DIR/dialogs" &
  pids+=($!)
  local pid=$!
  wait_for 15 strip_shown || fail "[$wm] the strip never appeared"
  sleep 4.5 # the start-up countdown: playing starts, the menu hot spot works

  open_options
  local win
  win=$(options_window)
  read -r dx dy dw dh < <(geometry "$win")
  [ "$dx $dy $dw $dh" = "$want_x $want_y $want_w $want_h" ] ||
    { grab "options-$wm-misplaced"; fail "[$wm] dialog at $dx,$dy ${dw}x$dh, not $want_x,$want_y ${want_w}x$want_h"; }
  grab "dialogs-options-play-content-$wm" > /dev/null

  # The colour-key shape: the title's corner pixel is cut away, the one
  # beside the corner run is title bar.
  [ "$(probe "$dx" "$dy")" = "#000000" ] || fail "[$wm] the title corner is not cut ($(probe "$dx" "$dy"))"
  is_blueish "$(probe $((dx + 10)) "$dy")" || fail "[$wm] no title bar at the top edge"

  # While it is open the menu hot spot opens nothing.
  open_menu
  sleep 1
  [ "$(probe $((want_x + want_w + 20)) 40)" = "#000000" ] || fail "[$wm] the menu opened over the dialog's pause"

  # Moved by its title bar, with or without a window manager to run the move.
  # A window manager anchors its move where the pointer is when it takes
  # over, so the first steps wait for it; a few pixels either way are its
  # business.
  xdotool mousemove $(at 150 12) mousedown 1
  sleep 0.3
  for step in 1 2 3 4 5 6; do xdotool mousemove $(at $((150 + step * 10)) $((12 + step * 6))); sleep 0.05; done
  sleep 0.3
  xdotool mouseup 1
  sleep 0.5
  read -r mx my _ _ < <(geometry "$win")
  near() { local d=$(($1 - $2)); [ "${d#-}" -le 12 ]; }
  near "$mx" $((dx + 60)) && near "$my" $((dy + 36)) ||
    fail "[$wm] the title bar drag moved the dialog to $mx,$my, not near $((dx + 60)),$((dy + 36))"
  dx=$mx dy=$my

  # The settings page, by Ctrl+Tab.
  xdotool mousemove $(at 300 150) click 1
  xdotool key ctrl+Tab
  sleep 0.5
  grab "dialogs-options-settings-$wm" > /dev/null

  # The size bar's up arrow re-lays the strip at once: 30 twips a point.
  local before after
  before=$(strip_height)
  xdotool mousemove $(at $font_up_x $font_up_y) click 1
  grow() { [ "$(strip_height)" -gt "$before" ]; }
  wait_for 3 grow || { grab "options-$wm-size"; fail "[$wm] the strip stayed $before pixels high"; }
  after=$(strip_height)
  [ "$after" -eq $((before + 2)) ] || fail "[$wm] one point more made the strip $after pixels high, not $((before + 2))"

  # Sova is picked from the list, stored at once and shown.
  xdotool mousemove $(at $sova_x $sova_y) click 1
  picked() { grep -qix 'agent=Sova' "$SETTINGS_FILE"; }
  wait_for 5 picked || { grab "options-$wm-character"; fail "[$wm] Sova was not stored when picked"; }
  wait_for 10 sova_shown || fail "[$wm] Sova did not appear"

  # Back to the first page; "O K" closes and the store holds the new values.
  xdotool key ctrl+Tab
  sleep 0.3
  xdotool mousemove $(at $ok_x $ok_y) click 1
  wait_for 5 options_gone || { grab "options-$wm-open"; fail "[$wm] O K did not close the dialog"; }
  grep -qx 'FontSizeNumber=13' "$SETTINGS_FILE" || fail "[$wm] font size not stored ($(grep -i fontsize "$SETTINGS_FILE"))"
  grep -qx 'ssave=1' "$SETTINGS_FILE" || fail "[$wm] ssave not stored"
  grep -qx 'Spdtimes=90' "$SETTINGS_FILE" || fail "[$wm] speed not stored"
  kill -0 "$pid" || fail "[$wm] dialogs ended"
  kill "$pid"; wait "$pid" 2> /dev/null || true
  echo "[$wm] ok"
}

run_case bare

command -v openbox > /dev/null || fail "openbox missing (tools/install-deps.sh installs it)"
openbox --sm-disable > "$E2E_HOME/openbox.log" 2>&1 &
pids+=($!)
wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK 2> /dev/null | grep -q 'window id'; }
wait_for 20 wm_ready || fail "openbox did not start: $(cat "$E2E_HOME/openbox.log")"
run_case openbox
echo "dialogs options: ok"
