# Sourced by the reader's benchmark scripts: a fresh home for the programs
# they start, removed at exit together with the program still running ($pid),
# and reader_with CHARACTER to store auto-read on with that character.
work=$(mktemp -d)
pid=
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2> /dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
export XDG_RUNTIME_DIR="$work/runtime" XDG_CACHE_HOME="$work/cache"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME/Velkor" && chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY

reader_with() {
  printf '[Lintavo01]\nAutoRead=1\nAgent=%s\n' "$1" > "$XDG_CONFIG_HOME/Velkor/Velkor.ini"
}
