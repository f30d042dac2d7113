#!/usr/bin/env bash
# The drawing library built for Windows draws every frame as the golden record says: the
# golden tool is cross-built with mingw-w64 (cmake --preset windows) and run under Wine,
# in a Wine prefix of its own, on both packs.
# usage: windows_golden.sh SOURCE_DIR DEFAULT_PACK SYNTHETIC_PACK
set -euo pipefail
[ $# -eq 3 ] || { echo "usage: $0 SOURCE_DIR DEFAULT_PACK SYNTHETIC_PACK" >&2; exit 2; }
source_dir=$(realpath "$1")
build=$source_dir/build-windows
cd "$source_dir"
cmake --preset windows >/dev/null
cmake --build "$build" --parallel "$(nproc)" --target golden-frames >/dev/null
# A prefix made here, so no user's Wine setup takes part; its first start takes a while.
export WINEPREFIX=$build/wine-prefix WINEDEBUG=-all
failed=0
for pack in "default:$2" "synthetic:$3"; do
    name=${pack%%:*}
    wine "$build/golden-frames.exe" check "tests/golden/frames-$name.txt" "${pack#*:}" || failed=1
done
exit "$failed"
