# package_debian.sh BUILD_DIR: builds the Debian package with CPack and checks
# what a new user gets from it:
# - Depends names the speech and sound libraries opened at run time, the
#   maintainer has a name, the description has a long part;
# - everything lies under /usr; the desktop entries and the AppStream files
#   validate, and each names an icon in the hicolor theme and a program in
#   /usr/bin; the copyright file is machine-readable; the word book is the one
#   built from its SQL;
# - as a new user (nobody, when run as root) the packaged dialogs starts,
#   keeps its word book in that user's home, writes nothing into its own
#   folder and, on this machine without a sound card, prints nothing.
set -euo pipefail
build=${1:?build folder}
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
fail() { echo "FAIL: $*" >&2; exit 1; }
for tool in cpack dpkg-deb desktop-file-validate appstreamcli sqlite3; do
  command -v "$tool" > /dev/null || fail "$tool missing (tools/install-deps.sh installs it)"
done

work=$(mktemp -d)
pid=
cleanup() {
  [ -z "$pid" ] || kill "$pid" 2> /dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
chmod 755 "$work"

cpack --config "$build/CPackConfig.cmake" -B "$work/out" > "$work/cpack.log" 2>&1 ||
  fail "cpack failed: $(tail -20 "$work/cpack.log")"
deb=$(ls "$work"/out/*.deb)
echo "package: $(basename "$deb")"

# --- Control fields -----------------------------------------------------------
field() { dpkg-deb -f "$deb" "$1"; }
depends=$(field Depends)
for package in libespeak-ng1 espeak-ng-data libpulse0 libasound2 libqt6gui6 libsqlite3-0; do
  grep -Eq "(^|, )$package( |,|$)" <<< "$depends" || fail "Depends lacks $package: $depends"
done
[[ "$(field Maintainer)" =~ ^[A-Za-z][^\<]*[A-Za-z]\ \<[^@\>]+@[^\>]+\>$ ]] ||
  fail "the maintainer has no name: $(field Maintainer)"
description_lines=$(field Description | wc -l)
[ "$description_lines" -ge 5 ] || fail "the description has no long part ($description_lines lines)"
[ "$(field Section)" = education ] || fail "section $(field Section)"

# --- Files ------------------------------------------------------------------------
dpkg-deb -c "$deb" | awk '{print $6}' > "$work/files"
outside=$(grep -Ev '^\./$|^\./usr/' "$work/files" || true)
[ -z "$outside" ] || fail "files outside /usr: $outside"
grep -q -- '-wal$\|-shm$' "$work/files" && fail "journal files in the package"
dpkg-deb -c "$deb" | awk '$2 != "root/root" {print}' | grep . && fail "files not owned by root"

root="$work/root"
dpkg-deb -x "$deb" "$root"
chmod 755 "$root"
apps="$root/usr/share/applications"
icons="$root/usr/share/icons/hicolor"
ls "$apps"/*.desktop > /dev/null || fail "no desktop entries"
for entry in "$apps"/*.desktop; do
  desktop-file-validate "$entry" || fail "$(basename "$entry") does not validate"
  icon=$(sed -n 's/^Icon=//p' "$entry")
  exec=$(sed -n 's/^Exec=//p' "$entry" | awk '{print $1}')
  [ -n "$(sed -n 's/^StartupWMClass=//p' "$entry")" ] || fail "$(basename "$entry") names no window class"
  [ -e "$root/usr/bin/$exec" ] || fail "$(basename "$entry") starts $exec, which is not in /usr/bin"
  [ -f "$icons/scalable/apps/$icon.svg" ] || fail "no scalable icon $icon"
  for side in 16 22 24 32 48 64 128 256; do
    png="$icons/${side}x${side}/apps/$icon.png"
    [ -f "$png" ] || fail "no $side px icon $icon"
    # A PNG's width and height stand big-endian at bytes 16 to 23.
    read -r w1 w2 w3 w4 h1 h2 h3 h4 < <(od -An -tu1 -j16 -N8 "$png")
    [ $(((w1 << 24) + (w2 << 16) + (w3 << 8) + w4)) -eq "$side" ] &&
      [ $(((h1 << 24) + (h2 << 16) + (h3 << 8) + h4)) -eq "$side" ] ||
      fail "$png is not $side x $side"
  done
done

metainfo="$root/usr/share/metainfo"
ls "$metainfo"/*.metainfo.xml > /dev/null || fail "no AppStream metadata"
appstreamcli validate --no-net "$metainfo"/*.metainfo.xml || fail "the AppStream metadata does not validate"
for file in "$metainfo"/*.metainfo.xml; do
  id=$(sed -n 's:.*<id>\(.*\)</id>.*:\1:p' "$file")
  [ "$(basename "$file")" = "$id.metainfo.xml" ] || fail "$(basename "$file") holds the id $id"
  launchable=$(sed -n 's:.*<launchable type="desktop-id">\(.*\)</launchable>.*:\1:p' "$file")
  [ -f "$apps/$launchable" ] || fail "$id launches $launchable, which is not installed"
  grep -q '<screenshot' "$file" || fail "$id has no screenshot"
  grep -q '<release ' "$file" || fail "$id has no release notes"
done
# Every program with a desktop entry has its metadata.
[ "$(ls "$apps" | wc -l)" -eq "$(ls "$metainfo" | wc -l)" ] || fail "desktop entries and metadata do not pair up"

copyright="$root/usr/share/doc/velkor-dialogs/copyright"
[ -f "$copyright" ] || fail "no copyright file"
head -1 "$copyright" | grep -Eq '^Format: https?://.*/copyright-format/1\.0/?$' ||
  fail "the copyright file is not machine-readable"
grep -q '^Files: \*$' "$copyright" && grep -q '^License: GPL-3.0+$' "$copyright" ||
  fail "the copyright file names no licence for the files"

app="$root/usr/lib/velkor-dialogs"
built=$(sqlite3 -bail ":memory:" ".read $source_dir/assets/wordbook/wordbook.sql" \
  "SELECT count(*) FROM Word" | tail -1)
shipped=$(sqlite3 -readonly "$app/dialog.ocx" "SELECT count(*) FROM Word")
[ "$shipped" = "$built" ] || fail "the shipped word book holds $shipped pairs, its SQL $built"

# --- Starts by a new user ------------------------------------------------------------
if [ "$(id -u)" -ne 0 ]; then
  echo "package: ok (the starts by a new user need root)"
  exit 0
fi
home="$work/home"
mkdir -p "$home/runtime"
chmod 700 "$home/runtime"
chown -R nobody:nogroup "$home"
settings="$home/config/Velkor/Velkor.ini"
book="$home/data/Velkor/dialog.ocx"
find "$app" -printf '%p %s %T@\n' | sort > "$work/before"

# as_new_user: runs the packaged dialogs as nobody with that home, for 3 s
# after CONDITION holds; fails if it ends before.
as_new_user() {
  local condition=$1
  setpriv --reuid=nobody --regid=nogroup --clear-groups \
    env -i PATH=/usr/bin:/bin DISPLAY="$DISPLAY" HOME="$home" \
    XDG_RUNTIME_DIR="$home/runtime" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" \
    "$root/usr/bin/dialogs" > "$work/dialogs.log" 2>&1 &
  pid=$!
  local end=$((SECONDS + 15))
  until $condition; do
    kill -0 "$pid" 2> /dev/null || fail "the packaged dialogs ended: $(cat "$work/dialogs.log")"
    [ $SECONDS -lt $end ] || fail "no $condition after 15 s"
    sleep 0.1
  done
  sleep 3
  kill -0 "$pid" 2> /dev/null || fail "the packaged dialogs ended: $(cat "$work/dialogs.log")"
  kill "$pid"
  wait "$pid" 2> /dev/null || true
  pid=
  [ ! -s "$work/dialogs.log" ] || fail "the packaged dialogs printed: $(cat "$work/dialogs.log")"
}
settings_written() { [ -f "$settings" ]; }
book_copied() { [ -f "$book" ]; }

# The first run, then a run on the New Words book topic, which opens the book.
as_new_user settings_written
grep -qx 'xxx=1' "$settings" || fail "the first run wrote no first-run marker"
sed -i 's/^guage=.*/guage=16/' "$settings"
as_new_user book_copied
[ "$(sqlite3 -readonly "$book" "SELECT count(*) FROM Word")" = "$built" ] ||
  fail "the user's book is not the shipped one"
find "$app" -printf '%p %s %T@\n' | sort > "$work/after"
diff "$work/before" "$work/after" > /dev/null || fail "the new user's runs wrote into the program's folder:
$(diff "$work/before" "$work/after")"
echo "package: ok"
