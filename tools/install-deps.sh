#!/usr/bin/env bash
# Installs every Debian 12 package needed to build, run and test both programs.
# Idempotent: packages already present are left alone.
set -euo pipefail

packages=(
  # build
  build-essential cmake ninja-build pkg-config git clang-format
  # libraries
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-qpa-plugins libqt6svg6
  libgl-dev libsqlite3-dev sqlite3 libespeak-ng-dev espeak-ng-data libpulse-dev libasound2-dev libxcb1-dev
  # run time
  fonts-dejavu-core xdg-utils
  # tests, end-to-end and benchmarks
  xvfb xauth xdotool xclip x11-utils openbox libbenchmark-dev clang libclang-rt-14-dev
  # a private sound server for the speech tests, and the command-line
  # synthesizer and player the speech benchmarks compare against
  pulseaudio pulseaudio-utils espeak-ng
  # the package test: metadata validators
  appstream desktop-file-utils
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
