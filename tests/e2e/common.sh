# Sourced by the end-to-end scripts: what they all need of the real programs.

# Under AddressSanitizer the programs end by exit() with SDL, Xlib and Mesa still set up,
# as designed; memory those libraries no longer reference shows as leaks not ours. The
# project's list of such leaks applies when the caller has not chosen one.
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$(dirname "$(realpath "${BASH_SOURCE[0]}")")/../sanitizer/lsan.supp:print_suppressions=0}

# The programs under test are given a time limit with "${stop_after[@]}" SECONDS PROGRAM.
# Plain timeout(1) sends SIGCONT right after its SIGTERM; that cancels the stop which
# LeakSanitizer's check at exit sends to the process it scans, and the check then waits
# for ever. In the foreground mode timeout sends no SIGCONT; -k ends what ignores SIGTERM.
stop_after=(timeout --foreground -k 30)

# tone_mp3 SECONDS OUT [LAME_OPTION...]: SECONDS of a 440 Hz stereo tone at 44.1 kHz,
# encoded as MP3 at OUT.
tone_mp3() {
    local wav
    wav=$(mktemp --suffix=.wav)
    perl -e 'my $n = int($ARGV[0] * 44100);
             my $pcm = pack("s<*", map { my $v = int(3000 * sin($_ * 6.2831853 * 440 / 44100)); ($v, $v) } 0 .. $n - 1);
             print "RIFF", pack("V", 36 + length $pcm), "WAVEfmt ", pack("VvvVVvv", 16, 1, 2, 44100, 4 * 44100, 4, 16),
                   "data", pack("V", length $pcm), $pcm' "$1" >"$wav"
    lame --quiet -m j "${@:3}" "$wav" "$2"
    rm -f "$wav"
}

# until_presented LIMIT LOG STDERR INTRO ARG...: starts the intro (from $PWD) with the
# swap probe ($probe) writing LOG at its first presented frame, and stops it with SIGTERM
# as soon as that frame is seen, so a case costs its start-up, not a fixed wait. Returns
# after at most LIMIT seconds. Sets presented_tenths (tenths of a second until the frame,
# empty when none came) and ended_status (the exit status when the intro ended by itself
# before the frame or the limit, empty while it was still playing).
until_presented() {
    local limit=$1 log=$2 stderr=$3 tenths=0 pid
    shift 3
    rm -f "$log"
    env AUDIO_SWAP_LOG="$log" LD_PRELOAD="$probe" \
        ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0" "$@" >/dev/null 2>"$stderr" &
    pid=$!
    while [ ! -e "$log" ] && kill -0 "$pid" 2>/dev/null && [ "$tenths" -lt $((limit * 10)) ]; do
        sleep 0.1
        tenths=$((tenths + 1))
    done
    presented_tenths=""
    [ -e "$log" ] && presented_tenths=$tenths
    ended_status=""
    if kill -0 "$pid" 2>/dev/null; then
        kill -TERM "$pid"
        wait "$pid" || true
    else
        ended_status=0
        wait "$pid" || ended_status=$?
    fi
}

# start_work: a fresh temporary folder in $work, removed when the script exits, after
# every process whose id the script appended to pids has been stopped.
pids=()
# stop_pids: stops every process in pids, the last started first, each waited for, and
# forgets them; also mid-script, to take a sound server away.
stop_pids() {
    local i
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        kill "${pids[i]}" 2>/dev/null || true
        wait "${pids[i]}" 2>/dev/null || true
    done
    pids=()
}
# daemon NAME COMMAND...: COMMAND in the background, logging to $work/NAME.log, stopped
# with the others.
daemon() {
    local name=$1
    shift
    "$@" >"$work/$name.log" 2>&1 &
    pids+=($!)
}
stop_and_clean() {
    stop_pids
    wait 2>/dev/null || true
    rm -rf "$work"
}
start_work() {
    work=$(mktemp -d)
    trap stop_and_clean EXIT
}

# loudest_sample SOURCE [SECONDS]: the largest sample magnitude in SECONDS (default 1) of
# the pulse protocol's SOURCE. A small latency, so that pipewire-pulse hands over the
# sound within that time.
loudest_sample() {
    timeout "${2:-1}" parec -d "$1" --format=s16le --rate=44100 --channels=2 --raw \
        --latency-msec=20 >"$work/monitor.raw" 2>/dev/null || true
    od -An -v -t d2 -w2 "$work/monitor.raw" | awk '{ v = $1 < 0 ? -$1 : $1; if (v > m) m = v } END { print m + 0 }'
}
