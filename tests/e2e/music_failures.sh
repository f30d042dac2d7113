#!/usr/bin/env bash
# End-to-end start-up of the intro with each kind of music file it cannot play, plus a
# good track with and without an audio device as controls.
# usage: music_failures.sh INTRO SWAP_PROBE
#   INTRO       the intro binary
#   SWAP_PROBE  audio_swap_probe shared library: preloaded, it records whether any frame
#               was presented
# A failing case must end at once with status 1, the last stderr line
# "Failed to load music: ../data/vorb_06_mp3.mp3: <reason>", and nothing presented.
set -euo pipefail
# shellcheck source=/dev/null
source "$(dirname "$(realpath "$0")")/common.sh"

[ $# -eq 2 ] || { echo "usage: $0 INTRO SWAP_PROBE" >&2; exit 2; }
[ -x "$1" ] || { echo "music_failures: no intro binary at $1" >&2; exit 1; }
[ -f "$2" ] || { echo "music_failures: no swap probe at $2" >&2; exit 1; }
intro=$(realpath "$1")
probe=$(realpath "$2")
xvfb=$(dirname "$(realpath "$0")")/with-xvfb.sh

work=$(mktemp -d)
trap 'chmod -R u+rwx "$work" 2>/dev/null; rm -rf "$work"' EXIT
mkdir "$work/run" "$work/data"
music=$work/data/vorb_06_mp3.mp3
failed=0

# run_intro SECONDS [VAR=value...]: the intro in $work/run, from where ../data is
# $work/data, killed after SECONDS if still running (status 124). Prints the status;
# stderr goes to $work/stderr, the probe's note to $work/presented.
run_intro() {
    local limit=$1
    shift
    rm -f "$work/presented"
    local status=0
    (cd "$work/run" && "$xvfb" 640x480 env "$@" AUDIO_SWAP_LOG="$work/presented" \
        LD_PRELOAD="$probe" ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0" \
        "${stop_after[@]}" "$limit" "$intro" -f1 -w320 -h240) >/dev/null 2>"$work/stderr" || status=$?
    echo "$status"
}

fail() {
    echo "FAIL $1: $2" >&2
    sed 's/^/    stderr: /' "$work/stderr" >&2
    failed=1
}

# expect_refusal NAME REASON: the music file as it stands must be refused for REASON.
expect_refusal() {
    local name=$1 reason=$2 status
    status=$(run_intro 20)
    local last expected="Failed to load music: ../data/vorb_06_mp3.mp3: $reason"
    last=$(tail -n 1 "$work/stderr")
    if [ "$status" != 1 ]; then
        fail "$name" "exit status $status, expected 1"
    elif [ "${last#"$expected"}" = "$last" ]; then
        fail "$name" "last stderr line is not \"$expected...\""
    elif [ "$(grep -c '^Failed to load music' "$work/stderr")" != 1 ]; then
        fail "$name" "not exactly one \"Failed to load music\" line"
    elif [ -e "$work/presented" ]; then
        fail "$name" "a frame was presented"
    else
        echo "ok   $name"
    fi
}

# expect_playing NAME [VAR=value...]: with a good track the intro is still running after
# 4 s and has presented frames.
expect_playing() {
    local name=$1 status
    shift
    status=$(run_intro 4 "$@")
    if [ "$status" != 124 ]; then
        fail "$name" "ended with status $status instead of running"
    elif [ ! -e "$work/presented" ]; then
        fail "$name" "no frame was presented"
    else
        echo "ok   $name"
    fi
}

rm -rf "$music"
expect_refusal "missing file" "No such file or directory"

: >"$music"
expect_refusal "empty file" "empty file"

rm -f "$music"
mkdir "$music"
expect_refusal "directory" "Is a directory"
rmdir "$music"

# A FIFO would wait for a writer; it is refused unopened.
mkfifo "$music"
expect_refusal "FIFO" "not a regular file"
rm -f "$music"

if [ "$(id -u)" != 0 ]; then
    echo "not readable" >"$music"
    chmod 000 "$music"
    expect_refusal "unreadable file" "Permission denied"
    rm -f "$music"
else
    echo "skip unreadable file: running as root, which reads any file"
fi

perl -e 'srand(7); print map { chr(int(rand(256))) } 1 .. 65536' >"$music"
expect_refusal "random bytes" "not an MP3 stream: no MPEG audio frames in its first 64 KiB"

# Only the encoder's info frame: a valid stream without a sample of audio.
tone_mp3 1 "$work/tone1.mp3"
perl -0777 -ne '/\xFF\xFB[\x90\x92]/g or die; my $first = pos() - 3; /\xFF\xFB[\x90\x92]/g or die;
                print substr($_, $first, pos() - 3 - $first)' "$work/tone1.mp3" >"$music"
expect_refusal "only an info frame" "not an MP3 stream: no decodable audio"

ffmpeg -loglevel error -y -f lavfi -i testsrc=size=64x64:rate=1 -frames:v 1 -f image2 \
    -c:v png "$music"
expect_refusal "PNG renamed" "not an MP3 stream"

# Pictures whatever their header claims: a PNG of 5000 x 5000 pixels (header only), 1 x 1.
perl -MCompress::Zlib -e '
    sub chunk { my ($type, $body) = @_; pack("N", length $body) . $type . $body . pack("N", crc32($type . $body)) }
    print "\x89PNG\r\n\x1a\n", chunk("IHDR", pack("NNCCCCC", 5000, 5000, 8, 6, 0, 0, 0)),
          chunk("IDAT", ""), chunk("IEND", "")' >"$music"
expect_refusal "PNG claiming 5000x5000 pixels" "not an MP3 stream"
convert -size 1x1 xc:red "PNG32:$music"
expect_refusal "1x1 PNG" "not an MP3 stream"

# Audio often misnamed .mp3 is refused by what it is: AAC in ADTS frames, an M4A file.
ffmpeg -loglevel error -y -f lavfi -i sine=frequency=440:duration=2 -c:a aac -f adts "$music"
expect_refusal "AAC (ADTS) renamed" "not an MP3 stream: this is AAC audio (ADTS)"
ffmpeg -loglevel error -y -f lavfi -i sine=frequency=440:duration=2 -c:a aac -f ipod "$music"
expect_refusal "M4A renamed" "not an MP3 stream: this is an MP4/M4A file"

# Controls: 5 s of 440 Hz stereo, which must play.
tone_mp3 5 "$music"
expect_playing "good track (control)"
expect_playing "good track, no audio device (control)" SDL_AUDIODRIVER=nonexistent \
    PULSE_SERVER=unix:/nonexistent/native
if [ "$(grep -c '^audio: no output device' "$work/stderr")" != 1 ]; then
    fail "no audio device" "expected exactly one \"audio: no output device\" warning"
fi

# Zeros before the first frame and junk in the middle of the track (at a frame boundary,
# about 2.5 s in), which common players skip; the other gaps, and that the whole track is
# decoded, are checked in audio_resync_test.cpp.
tone_mp3 5 "$work/clean.mp3"
# with_gap OFFSET_FRACTION GAP_PERL: the clean track with the bytes GAP_PERL makes put
# before the first frame header at or after that fraction of the file.
with_gap() {
    perl -0777 -ne 'BEGIN { ($fraction, $gap) = splice(@ARGV, 0, 2) }
        pos($_) = int(length($_) * $fraction);
        /\xFF\xFB[\x90\x92]/g or die "no frame header\n";
        my $at = pos() - 3; srand(5);
        print substr($_, 0, $at), eval($gap), substr($_, $at)' "$1" "$2" "$work/clean.mp3" >"$music"
}
with_gap 0 '"\0" x 1000'
expect_playing "1 KB of zeros before the first frame"
with_gap 0.5 'join "", map { chr(int(rand(256))) } 1 .. 8192'
expect_playing "8 KiB of junk between frames"

# A truncated track plays what it holds (about 1.7 s here), then the show runs on in
# silence.
head -c "$(($(stat -c %s "$music") / 3))" "$music" >"$work/truncated.mp3"
mv "$work/truncated.mp3" "$music"
expect_playing "truncated track"

# A resampled track whose info tag claims 4 billion frames in a few kilobytes: opening it
# must not take minutes.
tone_mp3 5 "$music" --resample 22.05
perl -0777 -pi -e 's/(Info|Xing)(.{4}).{4}/$1$2\xff\xff\xff\xff/s or die "no info tag\n"' "$music"
expect_playing "info tag claiming 4 billion frames"

exit "$failed"
