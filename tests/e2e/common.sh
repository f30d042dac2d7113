# Sourced by the end-to-end scripts: what they all need of the real programs.

# Under AddressSanitizer the programs end by exit() with SDL, Xlib and Mesa still set up,
# as designed; memory those libraries no longer reference shows as leaks not ours. The
# project's list of such leaks applies when the caller has not chosen one.
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$(dirname "$(realpath "${BASH_SOURCE[0]}")")/../sanitizer/lsan.supp:print_suppressions=0}

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
