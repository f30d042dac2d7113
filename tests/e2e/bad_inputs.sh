#!/usr/bin/env bash
# The bad-input matrix for the pictures, end to end: every kind of unusable picture file,
# one picture at a time and all 42 at once, through the real intro (on the X server in
# $DISPLAY, dummy audio) and intro-render. For each case:
#   - intro-render draws every moment of the show (beats 0 to 335, every half beat) and
#     exits 0, and the intro starts and presents a frame (it is stopped then);
#   - both print exactly the expected "assets:" lines: one warning per unusable picture,
#     or the single line naming the resolved data folder when no picture loads;
#   - no sanitizer report (in the sanitizer build).
# The music's own bad inputs are in music_failures.sh.
# usage: bad_inputs.sh INTRO INTRO_RENDER SWAP_PROBE DATA_PACK
#   SWAP_PROBE  audio_swap_probe shared library: notes whether a frame was presented
#   DATA_PACK   a complete data folder (make-data); its pictures are the good ones
set -euo pipefail
# shellcheck source=/dev/null
source "$(dirname "$(realpath "$0")")/common.sh"

[ $# -eq 4 ] || { echo "usage: $0 INTRO INTRO_RENDER SWAP_PROBE DATA_PACK" >&2; exit 2; }
intro=$(realpath "$1")
render=$(realpath "$2")
probe=$(realpath "$3")
pack=$(realpath "$4")
[ -n "${DISPLAY:-}" ] || { echo "bad_inputs: no DISPLAY; run it through with-xvfb.sh" >&2; exit 2; }

work=$(mktemp -d)
trap 'chmod -R u+rwx "$work" 2>/dev/null; rm -rf "$work"' EXIT
mkdir "$work/run"
data=$work/data
failed=0
root=0
[ "$(id -u)" = 0 ] && root=1

pictures=(barf.png lonestar.png glasses.png darkhelmet.png rasberry.png)
for n in $(seq -w 1 35); do pictures+=("jtranim/jtr$n.png"); done
pictures+=(darkhelmetnomask.png lowrezqr.png)

# A 3 s tone as the music, so the intro starts quickly; the pictures decide each case.
tone_mp3 3 "$work/tone.mp3"

# A PNG signature and header claiming W x H RGBA pixels, with an empty image data chunk.
png_claiming() {
    perl -MCompress::Zlib -e '
        sub chunk { my ($type, $body) = @_; pack("N", length $body) . $type . $body . pack("N", crc32($type . $body)) }
        print "\x89PNG\r\n\x1a\n", chunk("IHDR", pack("NNCCCCC", $ARGV[0], $ARGV[1], 8, 6, 0, 0, 0)),
              chunk("IDAT", ""), chunk("IEND", "")' "$1" "$2"
}

# spoil KIND FILE: replaces the picture FILE of $data by a bad one of KIND.
spoil() {
    local file=$data/$2
    case $1 in
        missing) rm -f "$file" ;;
        empty) : >"$file" ;;
        truncated) head -c "$(($(stat -c %s "$file") / 2))" "$file" >"$work/half" && mv "$work/half" "$file" ;;
        random) perl -e 'srand(12); print map { chr(int(rand(256))) } 1 .. 4096' >"$file" ;;
        directory) rm -f "$file" && mkdir "$file" ;;
        fifo) rm -f "$file" && mkfifo "$file" ;;
        unreadable) chmod 000 "$file" ;;
        huge) png_claiming 5000 5000 >"$file" ;;
        1x1) convert -size 1x1 xc:red "PNG32:$file" ;;
        64x64) convert -size 64x64 xc:red "PNG32:$file" ;;
        32x48) convert -size 32x48 xc:red "PNG32:$file" ;;
        # A JPEG whose Huffman table lists 257 codes, more than the decoder's arrays hold.
        jpeg-overrun) printf '\377\330\377\304\001\001\001\377\340' >"$file" ;;
        *) echo "bad_inputs: no kind $1" >&2; exit 2 ;;
    esac
}

fresh_data() {
    chmod -R u+rwx "$data" 2>/dev/null || true
    rm -rf "$data"
    mkdir -p "$data/jtranim"
    local p
    for p in "${pictures[@]}"; do cp "$pack/$p" "$data/$p"; done
    cp "$work/tone.mp3" "$data/vorb_06_mp3.mp3"
}

fail() {
    echo "FAIL $1: $2" >&2
    sed 's/^/    stderr: /' "$work/stderr" >&2
    failed=1
}

# sanitizer_report: whether the last run's stderr holds a sanitizer report.
sanitizer_report() {
    grep -qE "runtime error|AddressSanitizer|LeakSanitizer|UndefinedBehaviorSanitizer" "$work/stderr"
}

# same_lines NAME WHAT DIR EXPECTED: the "assets:" lines of the last run, in order, must be
# EXPECTED (lines) with DIR put in for the data folder.
same_lines() {
    local expected actual
    expected=${4//@DIR@/$3}
    actual=$(grep '^assets: ' "$work/stderr" || true)
    if [ "$actual" != "$expected" ]; then
        fail "$1" "$2 printed other \"assets:\" lines than expected:
$(printf '%s\n' "$expected" | sed 's/^/    expected: /')"
        return 1
    fi
}

# check NAME EXPECTED: both programs on the data folder as it stands.
check() {
    local name=$1 expected=$2 status=0
    local moments=$((335 * 2 + 1))
    # A folder named with --data that yields no picture at all is refused by intro-render.
    local want_status=0
    [ "$expected" = "$nothing_loads" ] && want_status=1
    rm -f "$work/frames.raw"
    "${stop_after[@]}" 120 "$render" --data "$data/" --beats 0:335:0.5 --raw -o "$work/frames.raw" \
        2>"$work/stderr" || status=$?
    if [ "$status" != "$want_status" ]; then
        fail "$name" "intro-render exit status $status, expected $want_status"
    elif [ "$want_status" = 1 ] && [ -e "$work/frames.raw" ]; then
        fail "$name" "intro-render wrote frames from a folder without pictures"
    elif [ "$want_status" = 0 ] && [ "$(stat -c %s "$work/frames.raw")" != $((moments * 16384)) ]; then
        fail "$name" "intro-render did not draw all $moments moments"
    elif sanitizer_report; then
        fail "$name" "intro-render: sanitizer report"
    else
        same_lines "$name" "intro-render" "$data" "$expected" || return 0
    fi

    cd "$work/run"
    until_presented 4 "$work/presented" "$work/stderr" "$intro" -f1 -w128 -h128
    cd - >/dev/null
    if [ -n "$ended_status" ]; then
        fail "$name" "the intro ended with status $ended_status instead of playing"
    elif [ -z "$presented_tenths" ]; then
        fail "$name" "the intro presented no frame within 4 s"
    elif sanitizer_report; then
        fail "$name" "intro: sanitizer report"
    else
        same_lines "$name" "the intro" "../data" "$expected" || return 0
        echo "ok   $name"
    fi
}

# one KIND FILE REASON: FILE alone spoiled; REASON is the end of its one warning line
# ("" for none), or a whole line starting with "assets:".
one() {
    local kind=$1 file=$2 reason=$3 expected
    if [ "$kind" = unreadable ] && [ "$root" = 1 ]; then
        echo "skip $kind $file: running as root, which reads any file"
        return
    fi
    case $reason in
        "") expected="" ;;
        assets:*) expected=$reason ;;
        *) expected="assets: cannot load @DIR@/$file: $reason" ;;
    esac
    fresh_data
    spoil "$kind" "$file"
    check "$kind $file" "$expected"
}

# all KIND EXPECTED: every picture spoiled.
all() {
    local kind=$1 expected=$2 p
    if [ "$kind" = unreadable ] && [ "$root" = 1 ]; then
        echo "skip $kind (all): running as root, which reads any file"
        return
    fi
    fresh_data
    for p in "${pictures[@]}"; do spoil "$kind" "$p"; done
    check "$kind (all 42)" "$expected"
}

nothing_loads="assets: no pictures could be loaded from $(realpath "$work")/data/; the intro looks for \"../data/\" relative to the folder it is started from"

fresh_data
check "control: every picture good" ""

one missing barf.png "No such file or directory"
one empty jtranim/jtr01.png "empty file"
one truncated lonestar.png "truncated file (outofdata)"
one random jtranim/jtr35.png "unsupported picture format (unknown image type)"
one directory rasberry.png "Is a directory"
one fifo jtranim/jtr09.png "not a regular file"
one unreadable lowrezqr.png "Permission denied"
one huge darkhelmetnomask.png "5000x5000 pixels would decode to more than 64 MiB"
one 1x1 jtranim/jtr17.png ""
one jpeg-overrun barf.png "corrupt JPEG: a Huffman table lists more than 256 codes"
# The two pictures the show reads at fixed sizes: missing, and of the wrong size.
one missing glasses.png "No such file or directory"
one truncated darkhelmet.png "truncated file (outofdata)"
one 64x64 glasses.png "assets: @DIR@/glasses.png is 64x64 pixels; the show needs at least 128x128"
one 1x1 glasses.png "assets: @DIR@/glasses.png is 1x1 pixels; the show needs at least 128x128"
one 32x48 darkhelmet.png "assets: @DIR@/darkhelmet.png is 32x48 pixels; the show needs exactly 64x64"
one 1x1 darkhelmet.png "assets: @DIR@/darkhelmet.png is 1x1 pixels; the show needs exactly 64x64"

all missing "$nothing_loads"
all empty "$nothing_loads"
all truncated "$nothing_loads"
all random "$nothing_loads"
all directory "$nothing_loads"
all fifo "$nothing_loads"
all unreadable "$nothing_loads"
all huge "$nothing_loads"
all jpeg-overrun "$nothing_loads"
all 1x1 "assets: @DIR@/glasses.png is 1x1 pixels; the show needs at least 128x128
assets: @DIR@/darkhelmet.png is 1x1 pixels; the show needs exactly 64x64"

exit "$failed"
