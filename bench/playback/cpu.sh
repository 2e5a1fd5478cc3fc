#!/usr/bin/env bash
# Whole-process CPU of dialogs, from /proc/<pid>/stat (utime + stime), next to
# an idle minimal Qt window measured in the same run on the same virtual screen:
#   - playing, character hidden from the menu   target at most 0.5 % of one core
#   - playing, no character loaded               (for comparison)
#   - stopped (Stop picture clicked), no character   at most 0.2 %
#   - playing with the character shown          at most 2 %
#   - playing with sound (a private PulseAudio daemon's null sink),
#     character hidden from the menu              at most 1 %
#     and character shown                         (for comparison)
# Run under Xvfb, on a Release build:
#   xvfb-run -a -s "-screen 0 1280x800x24" bench/playback/cpu.sh build-release [SECONDS]
set -euo pipefail
build=$(cd "$1" && pwd)
secs=${2:-60}
warmup=6 # past the start-up countdown (about 4.1 s)
settle=1
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../processcpu.sh"
command -v xdotool > /dev/null || { echo "xdotool is needed" >&2; exit 2; }

work=$(mktemp -d)
pid=
pulse_pid=
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
  [ -n "$pulse_pid" ] && kill "$pulse_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
export XDG_RUNTIME_DIR="$work/runtime" XDG_CACHE_HOME="$work/cache"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
export PATH="$here/../../tests/e2e/fakebin:$PATH"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
ini="$XDG_CONFIG_HOME/Velkor/Velkor.ini"

# The Stop picture sits 60 px left of the strip's right end; the first-run
# strip is 418 px wide from x 440 at the default font.
click_stop() { xdotool mousemove 810 12 click 1 mousemove 640 700; }
# The menu opens from the hot spot at the strip's right end; "Hide MSAgent" is
# its second item.
hide_character() {
  xdotool mousemove 831 12
  sleep 0.5
  xdotool mousemove 745 56 click 1 mousemove 640 700
}
character() { sed -i "s/^agent=.*/agent=$1/" "$ini"; }

# A first run writes the settings; the measured runs are ordinary starts.
"$build/app/dialogs" > /dev/null 2>&1 &
pid=$!
for _ in $(seq 1 50); do [ -s "$ini" ] && break; sleep 0.1; done
sleep 1
kill "$pid"; wait "$pid" 2>/dev/null || true
pid=

baseline=$(cpu_share nothing "$build/bench/bin/bench_minimalwindow")
character NoCharacter
playing=$(cpu_share nothing "$build/app/dialogs")
stopped=$(cpu_share click_stop "$build/app/dialogs")
character Merlin
hidden=$(cpu_share hide_character "$build/app/dialogs")
shown=$(cpu_share nothing "$build/app/dialogs")

# With sound: the speech tests' private server (see docs/speech.md), found by
# the programs through PULSE_SERVER.
sound="$work/pulse"
mkdir -p "$sound/runtime" "$sound/home" && chmod 700 "$sound/runtime"
printf '%s\n' \
  "load-module module-null-sink sink_name=velkor_bench rate=22050 channels=1 format=s16le" \
  "load-module module-native-protocol-unix auth-anonymous=1 socket=$sound/runtime/native" \
  > "$sound/server.pa"
HOME="$sound/home" XDG_RUNTIME_DIR="$sound/runtime" pulseaudio -n --daemonize=no --system=no \
  --use-pid-file=no --exit-idle-time=-1 -F "$sound/server.pa" > "$sound/log" 2>&1 &
pulse_pid=$!
for _ in $(seq 1 100); do [ -S "$sound/runtime/native" ] && break; sleep 0.05; done
export PULSE_SERVER="unix:$sound/runtime/native"
hidden_sound=$(measure hide_character "$build/app/dialogs")
shown_sound=$(measure nothing "$build/app/dialogs")
unset PULSE_SERVER
kill "$pulse_pid"
wait "$pulse_pid" 2>/dev/null || true
pulse_pid=

echo "CPU over ${secs} s, percent of one core (utime+stime):"
echo "  minimal Qt window, idle:        ${baseline} %"
echo "  dialogs playing, Merlin hidden: ${hidden} %  (target <= 0.5)"
echo "  dialogs playing, no character:  ${playing} %"
echo "  dialogs stopped, no character:  ${stopped} %  (target <= 0.2)"
echo "  dialogs playing, Merlin shown:  ${shown} %  (target <= 2)"
echo "  with sound, Merlin hidden:      ${hidden_sound} %  (target <= 1)"
echo "  with sound, Merlin shown:       ${shown_sound} %"
awk -v p="$hidden" -v s="$stopped" -v c="$shown" -v a="$hidden_sound" \
  'BEGIN { ok = p <= 0.5 && s <= 0.2 && c <= 2 && a <= 1; print ok ? "all within target" : "ABOVE target"; exit !ok }'
