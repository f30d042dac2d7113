#!/usr/bin/env bash
# Sets up, builds and plays the intro: installs the Debian packages it needs, builds into
# build/, writes the default data/ folder when it is missing or out of date, then starts
# the intro from build/ so that its "../data/" is this repository's data/ folder.
# usage: ./run.sh [-f1] [-wWIDTH] [-hHEIGHT] [-xLEFT] [-yTOP]
set -euo pipefail
cd "$(dirname "$(realpath "$0")")"

scripts/setup-deps.sh run
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DINTRO_TESTS=OFF >/dev/null
cmake --build build --parallel "$(nproc)" --target intro make-data
build/make-data --check data || build/make-data data
cd build
exec ./intro "$@"
