# dialogs on a desktop with a window manager (openbox), a panel reserving
# the top 30 pixels and a plain window holding the keyboard focus:
# - the strip docks below the panel (its top as the X server has it is 30)
#   at start, after a drag, and follows the panel's strut to 0 and back;
# - the plain window keeps the focus 5 s after the start, after a click on
#   the strip and after its right-click menu;
# - the strip, the character and the balloon stay out of the taskbar and the
#   pager and show on every desktop; the windows carry the program's icon and
#   the class the desktop entries name;
# - with auto-hide on, the strip folds when the pointer leaves it and unfolds
#   when the pointer touches the folded line, not when it rests on the panel.
source "$(dirname "$0")/e2elib.sh"
for tool in openbox xdotool xprop xwininfo; do
  command -v "$tool" > /dev/null || fail "$tool missing (tools/install-deps.sh installs it)"
done
standin="$tools_bin/standin"
[ -x "$standin" ] || fail "$standin not built"
source_dir=$(cd "$here/../.." && pwd)

openbox --sm-disable > "$E2E_HOME/openbox.log" 2>&1 &
pids+=($!)
wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK 2> /dev/null | grep -q 'window id'; }
wait_for 20 wm_ready || fail "openbox did not start: $(cat "$E2E_HOME/openbox.log")"

panel_top=30
"$standin" panel $panel_top > "$E2E_HOME/panel.id" &
pids+=($!)
"$standin" window > "$E2E_HOME/plain.id" &
pids+=($!)
wait_for 5 test -s "$E2E_HOME/panel.id" || fail "no panel"
wait_for 5 test -s "$E2E_HOME/plain.id" || fail "no plain window"
panel=$(cat "$E2E_HOME/panel.id") plain=$(cat "$E2E_HOME/plain.id")
# A window mapped while openbox is still starting may stay unmanaged: map it
# again until openbox takes it on.
managed() { xprop -id "$1" WM_STATE 2> /dev/null | grep -q 'window state'; }
for window in "$panel" "$plain"; do
  for _ in 1 2 3; do
    wait_for 3 managed "$window" && break
    xdotool windowunmap --sync "$window" windowmap "$window"
  done
  managed "$window" || fail "openbox does not manage $window: $(cat "$E2E_HOME/openbox.log")"
done
work_top() { xprop -root _NET_WORKAREA 2> /dev/null | sed 's/.*= *//' | cut -d, -f2 | tr -d ' '; }
work_top_is() { [ "$(work_top)" = "$1" ]; }
set_strut() {
  local last=$(($(xwininfo -root | awk '/^ *Width:/ {print $2}') - 1))
  xprop -id "$panel" -f _NET_WM_STRUT_PARTIAL 32c \
    -set _NET_WM_STRUT_PARTIAL "0,0,$1,0,0,0,0,0,0,$last,0,0"
  xprop -id "$panel" -f _NET_WM_STRUT 32c -set _NET_WM_STRUT "0,0,$1,0"
  wait_for 10 work_top_is "$1" ||
    fail "the window manager kept the work area at $(work_top), not $1;" \
      "panel: $(xprop -id "$panel" _NET_WM_STRUT_PARTIAL WM_STATE _NET_WM_WINDOW_TYPE | tr '\n' ' ')" \
      "openbox: $(cat "$E2E_HOME/openbox.log")"
}
wait_for 10 work_top_is $panel_top || fail "openbox did not take the panel's strut ($(work_top))"
xdotool windowactivate --sync "$plain"
active() { xdotool getactivewindow 2> /dev/null; }
[ "$(active)" = "$plain" ] || fail "the plain window did not take the focus"

# geometry WINDOW: "x y width height" as the X server has it.
geometry() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
                           /^ *Width:/ {w=$2} /^ *Height:/ {h=$2} END {print x, y, w, h}'
}
# named PATTERN: the first shown window of dialogs whose whole title matches.
named() {
  local w
  for w in $(xdotool search --onlyvisible --pid "$pid" 2> /dev/null); do
    xdotool getwindowname "$w" 2> /dev/null | grep -Eqx "$1" && { echo "$w"; return; }
  done
}
strip_window() { named 'Morvane'; }
strip_shown() { [ -n "$(strip_window)" ]; }
strip_top() { geometry "$strip" | awk '{print $2}'; }
strip_height() { geometry "$strip" | awk '{print $4}'; }
top_is() { [ "$(strip_top)" = "$1" ]; }
height_is() { [ "$(strip_height)" = "$1" ]; }

# beside_the_desktop WINDOW NAME: skip-taskbar, skip-pager and sticky (the
# state, or every desktop, which is how openbox keeps it).
beside_the_desktop() {
  local props
  props=$(xprop -id "$1" _NET_WM_STATE _NET_WM_DESKTOP)
  grep -q _NET_WM_STATE_SKIP_TASKBAR <<< "$props" || fail "$2 is in the taskbar: $props"
  grep -q _NET_WM_STATE_SKIP_PAGER <<< "$props" || fail "$2 is in the pager: $props"
  grep -Eq '_NET_WM_STATE_STICKY|_NET_WM_DESKTOP\(CARDINAL\) = 4294967295' <<< "$props" ||
    fail "$2 is on one desktop only: $props"
  xprop -id "$1" WM_HINTS | grep -q 'accepts input or input focus: False' || fail "$2 accepts the focus"
}

# since_start SECONDS: waits until that long after dialogs started.
since_start() {
  local left=$(($1 - (SECONDS - started)))
  [ "$left" -le 0 ] || sleep "$left"
}

start_dialogs() {
  "$VELKOR_APP_DIR/dialogs" &
  pids+=($!)
  pid=$!
  started=$SECONDS
  wait_for 15 strip_shown || fail "the strip never appeared"
  strip=$(strip_window)
}

# --- At start --------------------------------------------------------------
start_dialogs
since_start 5
[ "$(active)" = "$plain" ] || fail "5 s after the start the focus is on $(active), not the plain window"
wait_for 3 top_is $panel_top || fail "the strip's top is $(strip_top), not below the panel"
read -r sx sy sw sh < <(geometry "$strip")
echo "strip at $sx,$sy ${sw}x$sh"
grab dialogs-desktop-start > /dev/null

beside_the_desktop "$strip" "the strip"
character=$(named 'Merlin.*')
[ -n "$character" ] || fail "no character window"
beside_the_desktop "$character" "the character"
class=$(xprop -id "$strip" WM_CLASS | sed 's/.*", "//; s/"$//')
wanted=$(sed -n 's/^StartupWMClass=//p' "$source_dir/packaging/dialogs.desktop")
[ "$class" = "$wanted" ] || fail "the windows' class is '$class', the desktop entry names '$wanted'"
# icon_sizes WINDOW: the sizes of its _NET_WM_ICON, read whole.
icon_sizes() { xprop -id "$1" _NET_WM_ICON | grep -o 'Icon ([0-9]* x [0-9]*)' | tr '\n' ' '; }
grep -q 'Icon (16 x 16)' <<< "$(icon_sizes "$strip")" || fail "the strip has no icon"

# The balloon comes with the first spoken line.
balloon_shown() { [ -n "$(named 'Balloon.*')" ]; }
wait_for 20 balloon_shown || fail "no balloon within 20 s"
beside_the_desktop "$(named 'Balloon.*')" "the balloon"
[ "$(active)" = "$plain" ] || fail "the focus went to $(active) while the character spoke"

# --- A click, the right-click menu, a drag -------------------------------------
xdotool mousemove $((sx + 60)) $((sy + 12)) click 1
sleep 0.5
[ "$(active)" = "$plain" ] || fail "a click on the strip took the focus ($(active))"
top_is $panel_top || fail "a click moved the strip to $(strip_top)"

menu_x=$((sx + 80)) menu_y=$((sy + 12))
below=$((sy + sh + 20))
[ "$(probe $((menu_x + 20)) "$below")" = "#000000" ] || fail "something stands below the strip"
xdotool mousemove $menu_x $menu_y click 3
menu_open() { [ "$(probe $((menu_x + 20)) "$below")" != "#000000" ]; }
wait_for 5 menu_open || { grab dialogs-desktop-no-menu; fail "a right-click on the strip opened no menu"; }
[ "$(probe $((menu_x - 5)) "$below")" = "#000000" ] || fail "the menu does not start at the pointer"
grab dialogs-desktop-right-click > /dev/null
xdotool key Escape
menu_shut() { ! menu_open; }
wait_for 5 menu_shut || fail "Escape left the menu open"
sleep 0.3
[ "$(active)" = "$plain" ] || fail "after the menu the focus is on $(active)"

xdotool mousemove $((sx + 60)) $((sy + 12)) mousedown 1
for step in 1 2 3 4 5; do
  xdotool mousemove $((sx + 60 - step * 20)) $((sy + 12 + step * 10))
  sleep 0.05
done
xdotool mouseup 1
wait_for 3 top_is $panel_top || fail "after a drag the strip's top is $(strip_top)"
dragged_x=$(geometry "$strip" | awk '{print $1}')
[ "$dragged_x" -eq $((sx - 100)) ] || fail "the drag left the strip at x $dragged_x, not $((sx - 100))"
[ "$(active)" = "$plain" ] || fail "the drag took the focus"

# --- The panel's strut changes ---------------------------------------------
set_strut 0
wait_for 5 top_is 0 || fail "with no strut the strip stayed at $(strip_top)"
set_strut $panel_top
wait_for 5 top_is $panel_top || fail "with the strut back the strip stayed at $(strip_top)"
kill "$pid"
wait "$pid" 2> /dev/null || true

# --- Auto-hide ------------------------------------------------------------------
sed -i 's/^visi=.*/visi=1/' "$SETTINGS_FILE"
grep -qx 'visi=1' "$SETTINGS_FILE" || fail "no auto-hide setting to turn on"
xdotool mousemove 640 500
start_dialogs
since_start 5
read -r sx sy sw sh < <(geometry "$strip")
folded() { [ "$(strip_height)" -le 2 ] && top_is $panel_top; }
wait_for 3 folded || fail "the strip did not fold with the pointer away ($(geometry "$strip"))"
grab dialogs-desktop-folded > /dev/null
xdotool mousemove $((sx + 20)) $((panel_top - 1))
sleep 0.5
folded || fail "the pointer on the panel unfolded the strip ($(geometry "$strip"))"
xdotool mousemove $((sx + 20)) $panel_top
wait_for 3 height_is 24 || fail "the pointer on the folded line did not unfold it ($(geometry "$strip"))"
top_is $panel_top || fail "the unfolded strip's top is $(strip_top)"
xdotool mousemove $((sx + 20)) $((panel_top + 10))
sleep 0.5
height_is 24 || fail "the strip folded under the pointer"
xdotool mousemove 640 500
wait_for 3 folded || fail "the strip did not fold again"
[ "$(active)" = "$plain" ] || fail "auto-hide took the focus"
kill "$pid"
wait "$pid" 2> /dev/null || true

# --- The reader: its class matches its desktop entry, and it has the icon ------
if [ -x "$VELKOR_APP_DIR/reader" ]; then
  "$VELKOR_APP_DIR/reader" &
  pids+=($!)
  pid=$!
  reader_window() { xdotool search --onlyvisible --pid "$pid" 2> /dev/null | head -1; }
  reader_shown() { [ -n "$(reader_window)" ]; }
  wait_for 15 reader_shown || fail "the reader showed no window"
  class=$(xprop -id "$(reader_window)" WM_CLASS | sed 's/.*", "//; s/"$//')
  wanted=$(sed -n 's/^StartupWMClass=//p' "$source_dir/packaging/reader.desktop")
  [ "$class" = "$wanted" ] || fail "the reader's class is '$class', its desktop entry names '$wanted'"
  grep -q 'Icon (16 x 16)' <<< "$(icon_sizes "$(reader_window)")" || fail "the reader has no icon"
  kill "$pid"
fi
echo "dialogs on the desktop: ok"
