#!/usr/bin/env bash
# Builds the show as a web page into build-web/site/ (index.html, page.mjs, module.mjs, intro.wasm and
# data/, the default data pack) and serves it on http://127.0.0.1:8064/ (loopback only).
# Installs the Debian packages it needs and writes data/ when it is missing or out of date,
# as run.sh does.
# usage: ./web.sh [--build-only] [--help]
set -euo pipefail
cd "$(dirname "$(realpath "$0")")"

usage="usage: ./web.sh [--build-only]
Builds the web page into build-web/site/ and serves it on http://127.0.0.1:8064/.
  --build-only  build without serving
  --help        show this text"
serve=1
for arg in "$@"; do
  case "$arg" in
    --build-only) serve=0 ;;
    --help) echo "$usage"; exit 0 ;;
    *) echo "web.sh: unknown option '$arg'" >&2; echo "$usage" >&2; exit 2 ;;
  esac
done

scripts/setup-deps.sh web
# The data pack comes from the native make-data.
cmake --preset run >/dev/null  # tests as the folder has them
cmake --build build --parallel "$(nproc)" --target make-data
build/make-data --check data || build/make-data data
WEB_JOBS=$(nproc) web/build-site.sh build-web data
echo "web: the site is in build-web/site/" >&2

if [ "$serve" -eq 1 ]; then
  echo "web: serving on http://127.0.0.1:8064/ (Ctrl+C ends)" >&2
  # Python's own server, with the types module scripts and WebAssembly need.
  exec python3 -c '
import functools, http.server
handler = http.server.SimpleHTTPRequestHandler
handler.extensions_map.update({".mjs": "text/javascript", ".wasm": "application/wasm"})
http.server.test(HandlerClass=functools.partial(handler, directory="build-web/site"),
                 port=8064, bind="127.0.0.1")'
fi
