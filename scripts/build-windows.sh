#!/usr/bin/env bash
# Cross-builds the Windows programs into build-windows/ with mingw-w64: the libraries
# Debian has no Windows build of first (scripts/build-windows-deps.sh, cached), then
# everything `cmake --preset windows` offers. Needs the packages of
# `scripts/setup-deps.sh windows`.
# usage: scripts/build-windows.sh [TARGET...]   (default: every target)
set -euo pipefail
case "${1:-}" in
  -h|--help) sed -n '2,6p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
esac
cd "$(dirname "$(realpath "$0")")/.."
prefix=$(scripts/build-windows-deps.sh)
cmake --preset windows -DINTRO_WINDOWS_DEPS_PREFIX="$prefix" >/dev/null
targets=()
for target in "$@"; do targets+=(--target "$target"); done
cmake --build build-windows --parallel "$(nproc)" "${targets[@]}"
