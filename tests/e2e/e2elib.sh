# Shared set-up for the whole-program tests; sourced by each test script.
# Gives the test fresh XDG folders, a fake desktop opener, and helpers to
# grab the screen. Runs on its own Xvfb screen (see run-e2e.sh).
set -euo pipefail

: "${VELKOR_APP_DIR:?}"
: "${VELKOR_ARTIFACTS:=$PWD/artifacts}"
mkdir -p "$VELKOR_ARTIFACTS"
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
tools_bin="$VELKOR_APP_DIR/../tools/bin"

E2E_HOME=$(mktemp -d)
export HOME="$E2E_HOME/home" XDG_CONFIG_HOME="$E2E_HOME/config" XDG_DATA_HOME="$E2E_HOME/data"
export XDG_RUNTIME_DIR="$E2E_HOME/runtime" XDG_CACHE_HOME="$E2E_HOME/cache"
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR" "$XDG_CACHE_HOME"
chmod 700 "$XDG_RUNTIME_DIR"
export VELKOR_E2E_OPENED="$E2E_HOME/opened.txt"
export PATH="$here/fakebin:$PATH"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
SETTINGS_FILE="$XDG_CONFIG_HOME/Velkor/Velkor.ini"

pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  rm -rf "$E2E_HOME"
}
trap cleanup EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

# grab NAME [--probe X Y]...: keeps $VELKOR_ARTIFACTS/NAME.png, prints probes.
grab() {
  local name=$1; shift
  "$tools_bin/screengrab" "$VELKOR_ARTIFACTS/$name.png" "$@"
}

# probe X Y: the pixel's colour as #rrggbb.
probe() { "$tools_bin/screengrab" --probe "$1" "$2" | awk '{print $3}'; }

# wait_for SECONDS COMMAND...: polls until the command succeeds.
wait_for() {
  local limit=$1; shift
  local end=$((SECONDS + limit))
  until "$@"; do
    [ $SECONDS -lt $end ] || return 1
    sleep 0.1
  done
}

# The strip's window id; empty until it is shown.
strip_window() { xdotool search --onlyvisible --name '^Morvane$' 2> /dev/null | head -1; }
strip_is_shown() { [ -n "$(strip_window)" ]; }

# wait_for_strip SECONDS: waits for the strip, then sets its place and size
# in sx, sy, sw, sh (screen pixels).
wait_for_strip() {
  wait_for "$1" strip_is_shown || return 1
  sleep 0.5
  eval "$(xdotool getwindowgeometry --shell "$(strip_window)")"
  sx=$X sy=$Y sw=$WIDTH sh=$HEIGHT
}

# hover_hot_spot: moves the pointer across the strip onto the menu hot spot
# at its right end (left edge 570 twips, top 330 twips from the strip's
# bottom-right corner), which opens the popup menu.
hover_hot_spot() {
  local hot_x=$((sx + sw - 28)) hot_y=$((sy + sh - 10))
  xdotool mousemove $((sx + sw / 2)) $((sy + sh / 2))
  sleep 0.2
  xdotool mousemove $((hot_x - 4)) "$hot_y"
  sleep 0.1
  xdotool mousemove "$hot_x" "$hot_y"
}

# Blue-dominant colour test for "#rrggbb".
is_blueish() {
  local c=${1#\#}
  local r=$((16#${c:0:2})) g=$((16#${c:2:2})) b=$((16#${c:4:2}))
  [ "$b" -gt 120 ] && [ "$b" -gt "$r" ] && [ "$b" -gt "$g" ]
}
