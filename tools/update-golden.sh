#!/usr/bin/env bash
# Writes the golden record of the show anew: tests/golden/frames-default.txt for the
# default data pack and tests/golden/frames-synthetic.txt for the synthetic test pack.
# Run it only when a change is meant to move pixels, and say in the commit why they moved.
# usage: tools/update-golden.sh [BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "$(realpath "$0")")/.."
build=${1:-build}
case "$build" in -h|--help) sed -n '2,5p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;; esac

cmake -S . -B "$build" >/dev/null
cmake --build "$build" --parallel "$(nproc)" --target golden-frames golden-pack make-data
packs=$(mktemp -d)
trap 'rm -rf "$packs"' EXIT
"$build"/make-data "$packs/default" >/dev/null
"$build"/golden-pack "$packs/synthetic"
"$build"/golden-frames write tests/golden/frames-default.txt "$packs/default"
"$build"/golden-frames write tests/golden/frames-synthetic.txt "$packs/synthetic"
git --no-pager diff --stat -- tests/golden/ || true
