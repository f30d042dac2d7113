#!/usr/bin/env bash
# The Windows builds under Wine give the same bytes as the Linux ones: the golden tool
# draws every frame as the golden record says, on both packs; the MP3 reader decodes the
# same samples of the whole default track; intro-render writes the same raw canvases (to
# stdout and to a file in a folder with a non-ASCII name), PNGs, frame folders and sheets,
# and refuses a video it cannot make, leaving no file.
# usage: windows_tools.sh SOURCE_DIR DEFAULT_PACK SYNTHETIC_PACK LINUX_INTRO_RENDER LINUX_PCM
set -euo pipefail
[ $# -eq 5 ] || {
  echo "usage: $0 SOURCE_DIR DEFAULT_PACK SYNTHETIC_PACK LINUX_INTRO_RENDER LINUX_PCM" >&2
  exit 2
}
source_dir=$(realpath "$1")
pack=$(realpath "$2")/
linux_render=$4
linux_pcm=$5
build=$source_dir/build-windows
export WINEPREFIX=$build/wine-prefix WINEDEBUG=-all
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
fail() { echo "FAIL: $*" >&2; failed=1; }

for golden in "default:$2" "synthetic:$3"; do
  name=${golden%%:*}
  wine "$build/golden-frames.exe" check "$source_dir/tests/golden/frames-$name.txt" \
    "${golden#*:}" || fail "the golden record of the $name pack"
done

music=$(ls "$pack"*.mp3 | head -n 1)
wine "$build/web-native-pcm.exe" "$music" 10000000 >"$work/windows.pcm"
"$linux_pcm" "$music" 10000000 >"$work/linux.pcm"
[ -s "$work/linux.pcm" ] && cmp -s "$work/windows.pcm" "$work/linux.pcm" ||
  fail "decoded samples differ ($(stat -c %s "$work/windows.pcm") and $(stat -c %s "$work/linux.pcm") bytes)"

render() { wine "$build/intro-render.exe" --data "$pack" "$@"; }
moments=(--beats 0:330:0.25 --beat 1e9 --time 64.05)
"$linux_render" --data "$pack" "${moments[@]}" --raw -o "$work/linux.raw"
render "${moments[@]}" --raw -o - >"$work/stdout.raw"
cmp -s "$work/stdout.raw" "$work/linux.raw" || fail "raw canvases to stdout"
render "${moments[@]}" --raw -o "$work/Grüße 表/canvases.raw"
cmp -s "$work/Grüße 表/canvases.raw" "$work/linux.raw" || fail "raw canvases to a file"

for output in "--beat 100 --scale 4 -o picture.png" "--fps 2 --to 12 -o frames/" \
              "--beats 0:320:8 --sheet sheet.png"; do
  read -r -a args <<<"$output"
  (cd "$work" && mkdir -p linux windows &&
     cd linux && "$linux_render" --data "$pack" "${args[@]}" >/dev/null &&
     cd ../windows && render "${args[@]}" >/dev/null) || fail "intro-render $output"
done
diff -r "$work/linux" "$work/windows" >/dev/null || fail "PNG, frame folder or sheet bytes"

if render --fps 30 --video "$work/show.mp4" 2>"$work/video.err"; then
  fail "--video reported success"
fi
grep -q "Linux build" "$work/video.err" || fail "--video gave no reason: $(cat "$work/video.err")"
[ ! -e "$work/show.mp4" ] || fail "--video left a file"
exit "$failed"
