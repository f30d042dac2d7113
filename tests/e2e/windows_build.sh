#!/usr/bin/env bash
# Cross-builds every Windows program (scripts/build-windows.sh) and makes the fresh Wine
# prefix the Windows tests share, so that no user's Wine setup takes part.
# usage: windows_build.sh SOURCE_DIR
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: $0 SOURCE_DIR" >&2; exit 2; }
source_dir=$(realpath "$1")
"$source_dir/scripts/build-windows.sh" >/dev/null
export WINEPREFIX=$source_dir/build-windows/wine-prefix WINEDEBUG=-all
rm -rf "$WINEPREFIX"
# Its first start takes a while; the tests then start at once.
wineboot --init >/dev/null 2>&1
wineserver --wait
