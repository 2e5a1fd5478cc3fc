#!/usr/bin/env bash
# Starts the skin gallery on a private X server, keeps its screenshot in the
# artifacts and checks that the title corners are cut out of the window shape,
# the title bar is blue and the push buttons carry their faces.
# Usage: gallery_screenshot.sh SKIN_GALLERY SKIN_PIXELPROBE
set -euo pipefail
gallery=$1
probe=$2
out=${VELKOR_ARTIFACTS:-$(mktemp -d)}
mkdir -p "$out"
shot=$out/skin-gallery.png
rm -f "$shot"

place=$(VELKOR_GALLERY_SHOT="$shot" QT_QPA_PLATFORM=xcb \
        xvfb-run -a -s "-screen 0 640x480x24" "$gallery" | grep '^window ')
read -r _ x y w h <<<"$place"
echo "gallery window at $x,$y size ${w}x$h; screenshot $shot"

pixel() { "$probe" "$shot" "$1" "$2"; }
fail() { echo "FAIL: $*" >&2; exit 1; }

desktop=$(pixel 2 2)
# The outermost corner pixels are outside the shape: the desktop shows through.
[ "$(pixel "$x" "$y")" = "$desktop" ] || fail "top-left corner $(pixel "$x" "$y") is not the desktop $desktop"
[ "$(pixel $((x + w - 1)) "$y")" = "$desktop" ] || fail "top-right corner is not the desktop"
# Just inside the curve the window is there.
[ "$(pixel $((x + 6)) "$y")" != "$desktop" ] || fail "title edge next to the corner is missing"
[ "$(pixel "$x" $((y + 6)))" != "$desktop" ] || fail "left edge below the corner is missing"
# The bottom corners stay square.
[ "$(pixel "$x" $((y + h - 1)))" != "$desktop" ] || fail "bottom-left corner was cut"

# The gallery holds the focus, so its title bar is the saturated active blue,
# not the faded inactive one.
active_blue() { # "#rrggbb"
    local c=$1 r b
    r=$((16#${c:1:2})); b=$((16#${c:5:2}))
    [ "$b" -ge 180 ] && [ "$r" -lt 80 ]
}
title=$(pixel $((x + w / 2)) $((y + 20)))
active_blue "$title" || fail "title bar middle $title is not the active blue"

# The caption: white text with its dark shadow on the blue bar.
points=()
for ((py = y + 6; py < y + 24; ++py)); do
    for ((px = x + 26; px < x + 110; ++px)); do points+=("$px" "$py"); done
done
white=0; dark=0
while read -r c; do
    r=$((16#${c:1:2})); g=$((16#${c:3:2})); b=$((16#${c:5:2}))
    if [ "$r" -ge 240 ] && [ "$g" -ge 240 ] && [ "$b" -ge 240 ]; then white=$((white + 1)); fi
    if [ "$r" -lt 50 ] && [ "$g" -lt 50 ] && [ "$b" -lt 90 ]; then dark=$((dark + 1)); fi
done < <("$probe" "$shot" "${points[@]}")
[ "$white" -ge 40 ] || fail "caption text missing ($white white pixels)"
[ "$dark" -ge 40 ] || fail "caption shadow missing ($dark dark pixels)"

# Push button faces: the first button's centre is the light face, its edge the dark rim.
face=$(pixel $((x + 24 + 10)) $((y + 76 + 5)))
rim=$(pixel $((x + 24 + 50)) $((y + 76)))
[ $((16#${face:1:2})) -ge 200 ] || fail "push button face $face is not light"
[ $((16#${rim:1:2})) -lt 100 ] || fail "push button rim $rim is not dark"
echo "corner $desktop (desktop), title $title, caption $white white / $dark shadow pixels, face $face, rim $rim"
