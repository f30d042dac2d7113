#!/usr/bin/env bash
# Sets up, builds and plays the intro: installs the Debian packages it needs, builds the
# intro and its tools (make-data, intro-render) into build/, writes the default data/
# folder when it is missing or out of date (files of your own there are kept), then starts
# the intro from build/ so that its "../data/" is this repository's data/ folder.
# usage: ./run.sh [-f1] [-wWIDTH] [-hHEIGHT] [-xLEFT] [-yTOP]
set -euo pipefail
cd "$(dirname "$(realpath "$0")")"

scripts/setup-deps.sh run
# Tests stay as the folder has them (off unless ./test.sh turned them on), so switching
# between the two scripts does not reconfigure the folder each time.
cmake --preset run >/dev/null
cmake --build build --parallel "$(nproc)" --target intro make-data intro-render
build/make-data --check data || build/make-data data
cd build
exec ./intro "$@"
