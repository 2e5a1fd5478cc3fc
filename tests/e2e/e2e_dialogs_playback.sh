# dialogs plays its first pair after the start-up countdown: on a first run
# (English first, topic 14) the English line of 11401 rises into the strip,
# then the Russian line slides in from the right. The strip is then dragged
# with the pointer: it follows sideways and down, docks back at the top, and
# stays on the screen at both ends.
source "$(dirname "$0")/e2elib.sh"
command -v xdotool > /dev/null || fail "xdotool is not installed"

"$VELKOR_APP_DIR/dialogs" 2> "$E2E_HOME/stderr.txt" &
pids+=($!)
main_pid=$!

# First-run strip: left edge 6600 twips = 440 px, 22 line heights wide, 24 px
# high; the sentence labels end 60 px before its right end.
strip_left=440

# textbox LEFT: "count minx miny maxx" of the light text pixels in the label
# area of a strip whose left edge is LEFT.
textbox() {
  local left=$1 args=() x y
  for ((y = 1; y < 23; y += 1)); do
    for ((x = left + 1; x < left + 356; x += 2)); do args+=(--probe "$x" "$y"); done
  done
  "$tools_bin/screengrab" "${args[@]}" | awk '
    { c = substr($3, 2)
      # light: every channel at least 0xc0
      if (index("cdef", substr(c, 1, 1)) && index("cdef", substr(c, 3, 1)) && index("cdef", substr(c, 5, 1))) { n++; if (!minx || $1 < minx) minx = $1;
        if (!miny || $2 < miny) miny = $2; if ($1 > maxx) maxx = $1 } }
    END { printf "%d %d %d %d\n", n, minx, miny, maxx }'
}

# The greeting rests until about 4 s after the start; playback follows.
sleep 3.6
: > "$E2E_HOME/series.txt"
end=$((SECONDS + 11))
while [ $SECONDS -lt $end ]; do
  echo "$(date +%s.%N) $(textbox $strip_left)" >> "$E2E_HOME/series.txt"
done
grab dialogs-playback-strip --probe $((strip_left + 5)) 2 > "$E2E_HOME/probe.txt"
cp "$E2E_HOME/series.txt" "$VELKOR_ARTIFACTS/dialogs-playback-series.txt"
kill -0 "$main_pid" || fail "dialogs ended"

# English rising (text at the left, its top still low in the strip), then the
# Russian line entering from the right, then the Russian line at rest.
awk -v left=$strip_left '
  stage == 0 && $2 > 20 && $3 < left + 20 && $4 >= 12 { stage = 1; low = $4; next }
  stage == 1 && $2 > 20 && $3 < left + 20 && $4 < low { stage = 2; next }
  stage == 2 && $2 > 20 && $3 > left + 80 { stage = 3; next }
  stage == 3 && $2 > 20 && $3 < left + 20 && $4 <= 8 { stage = 4 }
  END { print stage; exit stage == 4 ? 0 : 1 }' "$E2E_HOME/series.txt" > "$E2E_HOME/stage.txt" ||
  fail "no English line rising and Russian line sliding in (stage $(cat "$E2E_HOME/stage.txt"), see dialogs-playback-series.txt)"

# Drag by the sentence line: the strip follows the pointer, down as well.
xdotool mousemove $((strip_left + 20)) 10
sleep 0.2
xdotool mousedown 1
sleep 0.1
for step in 1 2 3 4; do
  xdotool mousemove $((strip_left + 20 - 40 * step)) $((10 + 15 * step))
  sleep 0.1
done
sleep 0.2
grab dialogs-playback-dragging --probe 300 75 --probe 300 2 > "$E2E_HOME/probe.txt"
is_blueish "$(sed -n 1p "$E2E_HOME/probe.txt" | awk '{print $3}')" || fail "strip did not follow the pointer"
[ "$(sed -n 2p "$E2E_HOME/probe.txt" | awk '{print $3}')" = "#000000" ] || fail "strip stayed at the top while dragged"
xdotool mouseup 1
sleep 0.3
# Released 160 px further left: docked at the top, left edge 280.
grab dialogs-playback-dropped --probe 283 2 --probe 283 40 --probe 760 2 > "$E2E_HOME/probe.txt"
is_blueish "$(sed -n 1p "$E2E_HOME/probe.txt" | awk '{print $3}')" || fail "strip not docked at the top after the drag"
[ "$(sed -n 2p "$E2E_HOME/probe.txt" | awk '{print $3}')" = "#000000" ] || fail "strip not back at its height"
[ "$(sed -n 3p "$E2E_HOME/probe.txt" | awk '{print $3}')" = "#000000" ] || fail "strip left a trace at its old place"

# Dragged past the left edge: it stops at 0.
drag() {
  xdotool mousemove "$1" 10; sleep 0.2; xdotool mousedown 1; sleep 0.1
  xdotool mousemove "$2" 12; sleep 0.2; xdotool mouseup 1; sleep 0.3
}
drag 300 0
grab dialogs-playback-left --probe 1 2 > "$E2E_HOME/probe.txt"
is_blueish "$(awk '{print $3}' "$E2E_HOME/probe.txt")" || fail "strip not at the left edge"

# Past the right edge: the left edge stops at the screen width - 7110 twips
# (1280 - 474 = 806 px).
drag 20 1279
grab dialogs-playback-right --probe 805 2 --probe 808 2 > "$E2E_HOME/probe.txt"
[ "$(sed -n 1p "$E2E_HOME/probe.txt" | awk '{print $3}')" = "#000000" ] || fail "strip too far left after the right-edge drag"
is_blueish "$(sed -n 2p "$E2E_HOME/probe.txt" | awk '{print $3}')" || fail "strip not kept at 806 px"
kill -0 "$main_pid" || fail "dialogs ended"
echo "dialogs playback: ok"
