#!/usr/bin/env bash
# Installs the Debian packages the project needs, skipping those already present.
# usage: scripts/setup-deps.sh [run|web|windows|test]
#   run      what building and playing need: the intro, make-data and intro-render
#   web      that and what building and serving the web page need (web.sh)
#   windows  that and what cross-building for Windows needs (scripts/build-windows.sh)
#   test     all that and the test tools (the default)
set -euo pipefail

run_packages=(
  cmake g++ make pkg-config
  libsdl2-dev libgl-dev libgl1-mesa-dri libmpg123-dev libstb-dev
  libqrencode-dev libmp3lame-dev libpulse-dev libpipewire-0.3-dev
)
test_packages=(
  libgtest-dev libgmock-dev libbenchmark-dev
  lame xvfb xauth xdotool x11-utils x11-xserver-utils imagemagick ffmpeg zbar-tools
  libx11-dev libxfixes-dev libxdamage-dev openbox wmctrl zlib1g-dev
  clang clang-format valgrind time
  pulseaudio pulseaudio-utils pipewire pipewire-pulse wireplumber dbus
  nodejs chromium
)
# mingw-w64, Wine to run what it builds, and what fetching and unpacking Debian's source
# packages takes (scripts/build-windows-deps.sh).
windows_packages=(
  g++-mingw-w64-x86-64-posix wine wine64 dpkg-dev bzip2 xz-utils
)
# clang 14 for wasm32-wasi, and Python's http.server to serve the page.
web_packages=(
  clang lld-14 wasi-libc libc++-14-dev-wasm32 libc++abi-14-dev-wasm32 libclang-rt-14-dev-wasm32
  python3
)

case "${1:-test}" in
  run) packages=("${run_packages[@]}") ;;
  web) packages=("${run_packages[@]}" "${web_packages[@]}") ;;
  windows) packages=("${run_packages[@]}" "${windows_packages[@]}") ;;
  test) packages=("${run_packages[@]}" "${web_packages[@]}" "${windows_packages[@]}"
                  "${test_packages[@]}") ;;
  -h|--help) sed -n '2,7p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
  *) echo "setup-deps: unknown set '$1' (run, web, windows or test)" >&2; exit 2 ;;
esac

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
# Some node builds bring their own npm; Debian's is a package of its own.
[ "${1:-test}" = test ] && ! command -v npm >/dev/null 2>&1 && missing+=(npm)

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}" >&2
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
fi

# playwright-core drives Debian's chromium in the web checks; it never downloads a browser.
web=$(dirname "$(realpath "$0")")/../web
if [ "${1:-test}" = test ] && [ ! -f "$web/node_modules/playwright-core/package.json" ]; then
  echo "setup: installing playwright-core into web/node_modules" >&2
  (cd "$web" && npm ci --no-audit --no-fund --loglevel=error >&2)
fi
