#!/bin/sh
# intro-render's captures through the real ffmpeg: frame-exact video against PNGs of the
# same moments, the codecs of each container, the music cut to the capture's span, video
# without sound, the failures it reports, progress, and Ctrl-C.
# usage: render_capture.sh INTRO_RENDER PACK_DIR WORK_DIR   (PACK_DIR made by the fixture)
set -eu
render=$(realpath "$1")
pack=$(realpath "$2")
rm -rf "$3"
mkdir -p "$3"
work=$(realpath "$3")
cd "$work"
fail() { echo "render_capture: $*" >&2; exit 1; }
command -v ffmpeg >/dev/null && command -v ffprobe >/dev/null || fail "needs ffmpeg and ffprobe"

# png_rgb PNG / frame_rgb VIDEO K: the picture, or frame K of the video, as raw RGB bytes.
png_rgb() { ffmpeg -v error -i "$1" -f rawvideo -pix_fmt rgb24 -; }
frame_rgb() { ffmpeg -v error -i "$1" -vf "select=eq(n\\,$2)" -frames:v 1 -f rawvideo -pix_fmt rgb24 -; }
# probe FILE STREAM ENTRIES: the values of the entries of the stream (v or a), one a line.
probe() { ffprobe -v error -select_streams "$2" -show_entries "$3" -of default=nw=1:nk=1 "$1" | tr '\n' ' '; }
frames_in() { ffprobe -v error -count_frames -select_streams v -show_entries stream=nb_read_frames -of csv=p=0 "$1"; }
# near A B TOLERANCE: |A - B| <= TOLERANCE.
near() { awk -v a="$1" -v b="$2" -v t="$3" 'BEGIN { d = a - b; exit !(d <= t && -d <= t) }'; }
no_temporaries() { if ls -A "$work" | grep -q '\.tmp$'; then fail "temporary files left: $(ls "$work")"; fi; }

# Lossless mp4 and webm: frame k is exactly the moment 80.5 + k/8 s (the warp, which moves
# in every frame, so a shift by one frame shows).
for ext in mp4 webm; do
  "$render" --data "$pack" --fps 8 --from 80.5 --to 82 --scale 2 --lossless --video "lossless.$ext" ||
    fail "lossless $ext failed"
  [ "$(frames_in "lossless.$ext")" = 12 ] || fail "lossless $ext: not 12 frames"
  for k in 0 1 5 11; do
    seconds=$(awk -v k="$k" 'BEGIN { printf "%.17g", 80.5 + k / 8 }')
    "$render" --data "$pack" --time "$seconds" --scale 2 -o "moment$k.png"
    png_rgb "moment$k.png" > want.rgb
    frame_rgb "lossless.$ext" "$k" > got.rgb
    cmp -s want.rgb got.rgb || fail "lossless $ext: frame $k is not the moment $seconds s"
  done
done
# The blocks are whole at an odd scale and above 33, where swscale's nearest neighbour drifts
# by a pixel at some block edges.
"$render" --data "$pack" --fps 8 --from 80.5 --to 80.75 --scale 35 --lossless --video big.mp4
"$render" --data "$pack" --time 80.625 --scale 35 -o big.png
png_rgb big.png > want.rgb
frame_rgb big.mp4 1 > got.rgb
cmp -s want.rgb got.rgb || fail "lossless mp4 at scale 35: frame 1 is not the moment 80.625 s"
png_rgb moment0.png > a.rgb
png_rgb moment1.png > b.rgb
if cmp -s a.rgb b.rgb; then fail "moments 0 and 1 are alike, the frame check proves nothing"; fi
echo "ok   lossless frames are the moments FROM + k/N"

# --size 1920x1080: the 16x square at (448, 28) on grey 80, the same in a PNG and in a
# lossless video; the party's mp4 is H.264 High 4:2:0 at 1080p60 with AAC of 128 kbit/s or
# more, its grey still 80 after the round trip through 4:2:0.
"$render" --data "$pack" --time 80.625 --size 1920x1080 -o framed.png
"$render" --data "$pack" --time 80.625 --scale 16 -o square.png
ffmpeg -v error -i framed.png -vf crop=1024:1024:448:28 -f rawvideo -pix_fmt rgb24 - > got.rgb
png_rgb square.png > want.rgb
cmp -s want.rgb got.rgb || fail "--size 1920x1080: the square at (448, 28) is not the scale-16 canvas"
ffmpeg -v error -i framed.png -vf drawbox=x=448:y=28:w=1024:h=1024:color=0x505050:t=fill \
  -f rawvideo -pix_fmt rgb24 - > got.rgb
ffmpeg -v error -f lavfi -i color=c=0x505050:s=1920x1080 -frames:v 1 -f rawvideo -pix_fmt rgb24 - > want.rgb
cmp -s want.rgb got.rgb || fail "--size 1920x1080: not grey 80 around the square"
"$render" --data "$pack" --fps 8 --from 80.5 --to 80.75 --size 1920x1080 --lossless --video framed.mp4
frame_rgb framed.mp4 1 > got.rgb
png_rgb framed.png > want.rgb
cmp -s want.rgb got.rgb || fail "--size 1920x1080 lossless: frame 1 is not the framed PNG"
"$render" --data "$pack" --fps 60 --to 0.5 --size 1920x1080 --video party.mp4
[ "$(probe party.mp4 v stream=codec_name,profile,pix_fmt,width,height,r_frame_rate)" = "h264 High 1920 1080 yuv420p 60/1 " ] ||
  fail "party.mp4: $(probe party.mp4 v stream=codec_name,profile,pix_fmt,width,height,r_frame_rate)"
[ "$(probe party.mp4 a stream=codec_name)" = "aac " ] && [ "$(probe party.mp4 a stream=bit_rate | tr -d ' ')" -ge 128000 ] ||
  fail "party.mp4: sound $(probe party.mp4 a stream=codec_name,bit_rate)"
corners=$(frame_rgb party.mp4 10 | od -An -v -tu1 -w3 | awk 'NR == 1 || NR == 1920 * 1080 { printf "%s ", $0 }')
[ "$(echo $corners)" = "80 80 80 80 80 80" ] || fail "party.mp4: corners $corners, not grey 80"
echo "ok   --size centres the square on grey, in PNGs and video"

# bytes_differ A B: the largest and the mean difference of the bytes of two equal-sized files.
bytes_differ() {
  od -An -v -tu1 -w1 "$1" > a.txt
  od -An -v -tu1 -w1 "$2" > b.txt
  paste a.txt b.txt | awk '{ d = $1 - $2; if (d < 0) d = -d; if (d > m) m = d; s += d } END { printf "%d %.2f", m, s / NR }'
}

# The default encodes: codecs, frame counts and the length of the capture, 1.5 s. The mp4
# is the H.264 every player takes: High profile, 4:2:0, its index before the media data.
"$render" --data "$pack" --fps 8 --from 80.5 --to 82 --scale 2 --video clip.mp4
[ "$(probe clip.mp4 v stream=codec_name,profile,pix_fmt)" = "h264 High yuv420p " ] ||
  fail "mp4 picture: $(probe clip.mp4 v stream=codec_name,profile,pix_fmt)"
moov=$(grep -bo -a moov clip.mp4 | head -n 1 | cut -d: -f1)
mdat=$(grep -bo -a mdat clip.mp4 | head -n 1 | cut -d: -f1)
[ "$moov" -lt "$mdat" ] || fail "mp4: the index (moov at $moov) follows the media data (mdat at $mdat)"
# At an even scale the colour samples never straddle two canvas pixels: what differs from
# the moment is quantisation, under 2.2 levels on average (measured 1.85; colour averaged
# across block edges, as a bicubic or bilinear conversion does, gives 2.6 and 3.7).
frame_rgb clip.mp4 5 > got.rgb
png_rgb moment5.png > want.rgb
set -- $(bytes_differ want.rgb got.rgb)
[ "$1" -le 32 ] && awk -v m="$2" 'BEGIN { exit !(m <= 2.2) }' || fail "mp4 frame 5 differs by up to $1, $2 on average"
[ "$(probe clip.mp4 a stream=codec_name)" = "aac " ] || fail "mp4 sound: $(probe clip.mp4 a stream=codec_name)"
[ "$(frames_in clip.mp4)" = 12 ] || fail "mp4: not 12 frames"
near "$(probe clip.mp4 a stream=duration)" 1.5 0.03 || fail "mp4 sound is not 1.5 s long"
"$render" --data "$pack" --fps 8 --from 80.5 --to 82 --scale 2 --video clip.webm
[ "$(probe clip.webm v stream=codec_name)" = "vp9 " ] || fail "webm picture: $(probe clip.webm v stream=codec_name)"
[ "$(probe clip.webm a stream=codec_name)" = "opus " ] || fail "webm sound: $(probe clip.webm a stream=codec_name)"
[ "$(frames_in clip.webm)" = 12 ] || fail "webm: not 12 frames"
"$render" --data "$pack" --fps 10 --from 80.5 --to 82 --scale 2 --video clip.gif
[ "$(probe clip.gif v stream=codec_name)" = "gif " ] || fail "gif picture: $(probe clip.gif v stream=codec_name)"
[ "$(frames_in clip.gif)" = 15 ] || fail "gif: not 15 frames"
near "$(ffprobe -v error -show_entries format=duration -of csv=p=0 clip.gif)" 1.5 0.001 || fail "gif is not 1.5 s long"
# Frame 5, the moment 81 s, in at most 256 colours: near the moment, not a transparent field.
"$render" --data "$pack" --time 81 --scale 2 -o moment81.png
ffmpeg -v error -i clip.gif -i moment81.png -filter_complex "[0:v]select=eq(n\\,5),setpts=0,format=gbrp[a];[1:v]format=gbrp[b];[a][b]psnr=stats_file=psnr.log" -f null -
psnr=$(sed -n 's/.*psnr_avg:\([0-9.inf]*\).*/\1/p' psnr.log)
[ "$psnr" = inf ] || awk -v p="$psnr" 'BEGIN { exit !(p >= 35) }' || fail "gif frame 5 is only $psnr dB from the moment"
no_temporaries
echo "ok   mp4, webm and gif encodes"

# At the default scale every frame of an mp4 lies within 45 dB of the lossless capture of
# the same moments, and of a webm within 40 (measured 49 and 43 here), decoded with
# nearest-neighbour chroma so no player's blending across blocks counts against them.
min_psnr() {
  ffmpeg -v error -i "$1" -i "$2" -filter_complex "[0:v]settb=1,setpts=N,scale=in_color_matrix=bt709:in_range=tv:flags=neighbor+accurate_rnd+full_chroma_int,format=gbrp[a];[1:v]settb=1,setpts=N,format=gbrp[b];[a][b]psnr=stats_file=psnr.log" -f null -
  awk '{ v = substr($6, 10); if (v == "inf") v = 99; if (NR == 1 || v + 0 < m) m = v + 0 } END { print m }' psnr.log
}
for case in "mp4 45" "webm 40"; do
  set -- $case
  "$render" --data "$pack" --fps 8 --from 80.5 --to 82 --lossless --video "exact.$1"
  "$render" --data "$pack" --fps 8 --from 80.5 --to 82 --video "lossy.$1"
  psnr=$(min_psnr "lossy.$1" "exact.$1")
  awk -v p="$psnr" -v b="$2" 'BEGIN { exit !(p >= b) }' || fail "$1: a frame is only $psnr dB from the lossless capture"
done
echo "ok   the lossy encodes keep the picture"

# The music is cut to the capture: a click at 1.0 s of the track is heard at 1.0 - FROM s
# of the video, within 2 ms (a frame at 60 fps lasts 16.7 ms), for a start before the
# music too.
mkdir click
cp "$pack/barf.png" click/
ffmpeg -v error -f lavfi -i "aevalsrc='if(between(n,44100,46304),0.8*sin(2*PI*1000*t),0)':s=44100:d=3" \
  -ac 2 -c:a libmp3lame -b:a 192k click/vorb_06_mp3.mp3
for case in "0.5 0.5" "-0.25 1.25" "0 1"; do
  set -- $case
  "$render" --data click --fps 60 --from "$1" --to 2.5 --scale 2 --video click.mp4 2>/dev/null
  onset=$(ffmpeg -i click.mp4 -af silencedetect=n=-40dB:d=0.05 -f null - 2>&1 |
          sed -n 's/.*silence_end: \([0-9.]*\).*/\1/p' | head -n 1)
  near "$onset" "$2" 0.002 || fail "from $1 s: the click is heard at $onset s, not $2 s"
done
echo "ok   the music is cut to the capture's span"

# Without --to a video with sound runs to the end of the track (136 s), not to the end of
# the show (130.8 s); without sound, to the end of the show.
"$render" --data "$pack" --fps 1 --scale 2 --video whole.mp4
[ "$(frames_in whole.mp4)" = 136 ] || fail "whole show: $(frames_in whole.mp4) frames, not 136"
near "$(probe whole.mp4 a stream=duration)" 136 0.03 || fail "whole show: the sound is not 136 s long"
"$render" --data "$pack" --fps 1 --scale 2 --no-audio --video whole-silent.mp4
[ "$(frames_in whole-silent.mp4)" = 131 ] || fail "whole silent show: not 131 frames"
echo "ok   a video runs to the end of its music"

# Without sound: no audio stream, and no music needed.
mkdir nomusic
cp "$pack/barf.png" nomusic/
"$render" --data nomusic --fps 8 --to 1 --scale 2 --no-audio --video silent.mp4 2>/dev/null
[ "$(probe silent.mp4 a stream=codec_name)" = "" ] || fail "--no-audio left a sound track"

# expect_failure STATUS MESSAGE OUTPUT ARGS...: the run ends with STATUS, its last stderr
# line is MESSAGE, and OUTPUT does not exist.
expect_failure() {
  want_status=$1 message=$2 output=$3
  shift 3
  status=0
  "$@" 2>err || status=$?
  [ "$status" = "$want_status" ] || fail "$*: exit status $status, not $want_status"
  [ "$(tail -n 1 err)" = "$message" ] || fail "$*: last line '$(tail -n 1 err)', not '$message'"
  [ ! -e "$output" ] || fail "$*: $output was written"
  no_temporaries
}
expect_failure 1 "intro-render: cannot read the music nomusic/vorb_06_mp3.mp3: No such file or directory (--no-audio encodes the picture alone)" \
  x.mp4 "$render" --data nomusic --fps 8 --to 1 --video x.mp4
mkdir garbage
cp "$pack/barf.png" garbage/
echo "not an mp3" > garbage/vorb_06_mp3.mp3
expect_failure 1 "intro-render: cannot read the music garbage/vorb_06_mp3.mp3: no MP3 audio in it (--no-audio encodes the picture alone)" \
  x.mp4 "$render" --data garbage --fps 8 --to 1 --video x.mp4
# The intro's own reader: what it refuses by name, intro-render names too.
mkdir aac
cp "$pack/barf.png" aac/
ffmpeg -loglevel error -y -f lavfi -i sine=frequency=440:duration=2 -c:a aac -f adts aac/vorb_06_mp3.mp3
expect_failure 1 "intro-render: cannot read the music aac/vorb_06_mp3.mp3: no MP3 audio in it: this is AAC audio (ADTS) (--no-audio encodes the picture alone)" \
  x.mp4 "$render" --data aac --fps 8 --to 1 --video x.mp4
mkdir piped
cp "$pack/barf.png" piped/
mkfifo piped/vorb_06_mp3.mp3
expect_failure 1 "intro-render: cannot read the music piped/vorb_06_mp3.mp3: not a regular file (--no-audio encodes the picture alone)" \
  x.mp4 timeout 20 "$render" --data piped --fps 8 --to 1 --video x.mp4
expect_failure 1 "intro-render: cannot encode x.mp4: ffmpeg is not on PATH (Debian package ffmpeg)" \
  x.mp4 env PATH="$work/nomusic" "$render" --data "$pack" --fps 8 --to 1 --video x.mp4
echo "a plain file" > blocker
expect_failure 1 "intro-render: cannot create folder blocker: Not a directory" \
  blocker/x.mp4 "$render" --data "$pack" --fps 8 --to 1 --video blocker/x.mp4
echo "ok   missing, broken or piped music, no ffmpeg and unwritable output"

# Progress: quiet when stderr is not a terminal, a summary with --progress.
"$render" --data "$pack" --fps 8 --to 1 --scale 2 --video new/folder/quiet.mp4 2>err
[ -s new/folder/quiet.mp4 ] || fail "the folders of the video were not made"
[ ! -s err ] || fail "progress printed without --progress: $(cat err)"
"$render" --data "$pack" --fps 8 --to 1 --scale 2 --video loud.mp4 --progress 2>err
grep -q '^intro-render: 8 frames to loud.mp4 in [0-9.]* s, [0-9.]* frames/s, [0-9.]* x real time$' err ||
  fail "no summary with --progress: $(cat err)"
echo "ok   progress"

# wait_for FILE: up to 20 s for FILE to appear.
wait_for() {
  tries=0
  while [ ! -e "$1" ]; do
    tries=$((tries + 1))
    [ "$tries" -le 200 ] || fail "$1 never appeared"
    sleep 0.1
  done
}
# Ctrl-C during a long video: status 130, nothing under the final name, no temporary file.
"$render" --data "$pack" --fps 60 --video long.mp4 2>err &
pid=$!
wait_for "long.mp4.$pid.tmp"
sleep 0.5
kill -INT "$pid"
status=0
wait "$pid" || status=$?
[ "$status" = 130 ] || fail "interrupted video: exit status $status, not 130"
[ "$(tail -n 1 err)" = "intro-render: interrupted; long.mp4 not written" ] || fail "interrupted video: $(cat err)"
[ ! -e long.mp4 ] || fail "interrupted video left long.mp4"
no_temporaries
# ... and during a PNG sequence: the frames written are whole, the one in progress is gone.
"$render" --data "$pack" --fps 60 --scale 16 -o seq/ 2>err &
pid=$!
wait_for seq/frame_00001.png
kill -INT "$pid"
status=0
wait "$pid" || status=$?
[ "$status" = 130 ] || fail "interrupted sequence: exit status $status, not 130"
grep -q '^intro-render: interrupted; seq/ holds the first [0-9]* of 7848 frames$' err || fail "interrupted sequence: $(cat err)"
if ls seq | grep -v '^frame_[0-9]\{5\}\.png$'; then fail "interrupted sequence left other files"; fi
last=$(ls seq | tail -n 1)
[ "$(ffprobe -v error -show_entries stream=width -of csv=p=0 "seq/$last")" = 1024 ] || fail "seq/$last is not whole"
echo "ok   Ctrl-C"
