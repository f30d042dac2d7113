#!/usr/bin/env sh
# Builds the web page into BUILD_DIR/site (index.html, page.mjs, module.mjs, intro.wasm) with clang
# for wasm32-wasi and copies the data folder beside them as site/data/.
# usage: web/build-site.sh BUILD_DIR DATA_DIR
set -eu
[ $# -eq 2 ] || { echo "usage: web/build-site.sh BUILD_DIR DATA_DIR" >&2; exit 2; }
root=$(cd "$(dirname "$0")/.." && pwd)
build=$1
data=$2
[ -d "$data" ] || { echo "build-site: no data folder at $data" >&2; exit 1; }
(cd "$root" && cmake --preset web -B "$build" -DCMAKE_COMPILE_WARNING_AS_ERROR="${WEB_WERROR:-0}") >/dev/null
cmake --build "$build" --parallel "${WEB_JOBS:-2}"
# A fresh copy, so that nothing left from an older data folder is served.
rm -rf "$build/site/data.new"
cp -R "$data" "$build/site/data.new"
rm -rf "$build/site/data"
mv "$build/site/data.new" "$build/site/data"
