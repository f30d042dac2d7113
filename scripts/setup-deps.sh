#!/usr/bin/env bash
# Installs the Debian packages the project needs, skipping those already present.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  libsdl2-dev libgl-dev libgl1-mesa-dri libmpg123-dev libstb-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libqrencode-dev libmp3lame-dev lame
  xvfb xauth xdotool x11-utils imagemagick ffmpeg zbar-tools
  libx11-dev libxfixes-dev libxdamage-dev openbox wmctrl
  clang valgrind
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "setup: installing ${missing[*]}" >&2
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
