#!/bin/sh
# Measures intro-render against real time on this machine: the whole show at 60 frames per
# second drawn alone (raw canvases thrown away), then encoded to video at scale 8 with the
# music. Each run reports its own speed as a multiple of real time.
# usage: measure-throughput.sh INTRO_RENDER [DATA_DIR]   (DATA_DIR defaults to ../data/
#        seen from INTRO_RENDER's folder, as the intro itself looks for it)
set -eu
render=$(realpath "$1")
cd "$(dirname "$render")"
data=${2:-../data/}
video=$(mktemp -d)
trap 'rm -rf "$video"' EXIT

echo "drawing alone, 3 runs:"
for run in 1 2 3; do
  "$render" --data "$data" --fps 60 --raw -o /dev/null --progress 2>&1 | tail -n 1
done
echo "video, 60 fps, scale 8, with the music:"
"$render" --data "$data" --fps 60 --video "$video/show.mp4" --progress 2>&1 | tr '\r' '\n' | tail -n 1
