#!/bin/sh
# How fast intro-render captures the whole show, as a multiple of real time, and what the
# encoders keep of the picture. For each container: the best speed of RUNS captures of the
# default command (scale 8, with the music; a gif has none and runs at 50 fps), then the
# per-frame PSNR of the decoded video against the canvases of the same moments scaled by
# whole pixels (what a lossless capture holds), and the file's size. First the drawing alone.
# The video is decoded with bt709 tv range and nearest-neighbour chroma, so the figure is
# what the encoder kept, not what a smoothing player's chroma filter blends across blocks.
# usage: bench/capture_speed.sh INTRO_RENDER [DATA_DIR] [RUNS] [FORMATS]
#   DATA_DIR  the data folder (default ../data/ seen from INTRO_RENDER's folder)
#   RUNS      captures per container, the best is shown (default 3)
#   FORMATS   the containers to measure (default "mp4 webm gif")
set -eu
render=$(realpath "$1")
cd "$(dirname "$render")"
data=${2:-../data/}
runs=${3:-3}
formats=${4:-mp4 webm gif}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
command -v ffmpeg >/dev/null && command -v ffprobe >/dev/null || {
  echo "capture_speed: needs ffmpeg and ffprobe" >&2
  exit 2
}

# speed ARGS...: the "N x real time" intro-render reports for one run.
speed() {
  "$render" --data "$data" --progress "$@" 2>&1 | tr '\r' '\n' | sed -n 's/.*, \([0-9.]*\) x real time$/\1/p' | tail -n 1
}

# best ARGS...: the highest speed of $runs runs.
best() {
  top=0
  for _ in $(seq "$runs"); do
    top=$(awk -v a="$top" -v b="$(speed "$@")" 'BEGIN { print (b > a ? b : a) }')
  done
  echo "$top"
}

# psnr VIDEO FPS: "min MIN mean MEAN dB over N frames (E exact)" against the canvases.
psnr() {
  frames=$(ffprobe -v error -count_packets -select_streams v -show_entries stream=nb_read_packets -of csv=p=0 "$1")
  to=$(awk -v n="$frames" -v f="$2" 'BEGIN { printf "%.17g", (n - 0.5) / f }')
  "$render" --data "$data" --fps "$2" --to "$to" --raw -o "$work/canvas.raw"
  size=$(ffprobe -v error -select_streams v -show_entries stream=width -of csv=p=0 "$1")
  # Frames are paired by number, not by time stamp: a container rounds the stamps.
  ffmpeg -v error -i "$1" -f rawvideo -pix_fmt rgba -video_size 64x64 -framerate "$2" -i "$work/canvas.raw" \
    -filter_complex "[0:v]settb=1/$2,setpts=N,scale=in_color_matrix=bt709:in_range=tv:flags=neighbor+accurate_rnd+full_chroma_int,format=gbrp[a];[1:v]settb=1/$2,setpts=N,format=gbrp,zscale=w=$size:h=$size:filter=point[b];[a][b]psnr=shortest=1:stats_file=$work/psnr.log" \
    -f null -
  awk -v frames="$frames" '{ for (i = 1; i <= NF; i++) if ($i ~ /^psnr_avg:/) {
      v = substr($i, 10); n++
      if (v == "inf") { exact++; continue }
      finite++; sum += v; if (min == "" || v + 0 < min) min = v + 0 } }
    END { if (n != frames) printf "compared %d of %d frames! ", n, frames
          if (finite == 0) { printf "every frame exact (%d)", n; exit }
          printf "min %.2f mean %.2f dB over %d frames (%d exact)", min, sum / finite, n, exact + 0 }' "$work/psnr.log"
}

echo "drawing alone: $(best --fps 60 --raw -o /dev/null) x real time (best of $runs)"
for format in $formats; do
  fps=60
  [ "$format" = gif ] && fps=50
  out="$work/show.$format"
  ratio=$(best --fps "$fps" --video "$out")
  echo "$format: $ratio x real time (best of $runs), PSNR $(psnr "$out" "$fps"), $(wc -c < "$out") bytes"
done
