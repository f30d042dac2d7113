# Shared by the end-to-end tests of the sound outputs: the intro started in the background
# from $work/run (../data holds the track), its stderr in $work/stderr.
# Needs $work, $intro and $xvfb set, and common.sh sourced.

fail() {
    echo "FAIL $1: $2" >&2
    sed 's/^/    stderr: /' "$work/stderr" >&2
    failed=1
}

# start_intro SECONDS [VAR=value...]: the intro, ended after SECONDS; its pid in $intro_pid.
start_intro() {
    local limit=$1
    shift
    (cd "$work/run" && "$xvfb" 640x480 env "$@" \
        ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0" \
        "${stop_after[@]}" "$limit" "$intro" -f1 -w320 -h240) >/dev/null 2>"$work/stderr" &
    intro_pid=$!
}

# start_intro_escape SECONDS: as start_intro, but after SECONDS Escape is typed into the
# intro's window; its exit status goes to $work/status. Escape ends the process by exit()
# while the sound server's thread still plays, which must end cleanly with status 0.
start_intro_escape() {
    (cd "$work/run" && "$xvfb" 640x480 env \
        ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0" bash -c '
        "$1" -f1 -w320 -h240 & pid=$!
        sleep "$2"
        wid=$(timeout 5 xdotool search --sync --onlyvisible --pid "$pid" 2>/dev/null | head -n 1)
        [ -n "$wid" ] && timeout 5 xdotool windowfocus --sync "$wid" && xdotool key Escape
        for ((i = 0; i < 50; i++)); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
        kill "$pid" 2>/dev/null && echo "still running 5 s after Escape" >&2
        status=0
        wait "$pid" || status=$?
        echo "$status" >"$3"' _ "$intro" "$1" "$work/status") >/dev/null 2>"$work/stderr" &
    intro_pid=$!
}

# check_played NAME WHAT: after start_intro_escape and the case's own checks, the checks
# every playing case shares: no line about the output, the tone heard on the sink's monitor
# ($loudest), and Escape ending the intro with 0. "ok   WHAT ..." when they hold.
check_played() {
    local status
    status=$(cat "$work/status" 2>/dev/null || true)
    if grep -q '^audio: no ' "$work/stderr"; then
        fail "$1" "an output line although the first choice plays"
    elif [ "$loudest" -lt 1000 ]; then
        fail "$1" "the sink's monitor heard no tone (loudest sample $loudest)"
    elif [ "$status" != 0 ]; then
        fail "$1" "Escape: exit status $status, expected 0"
    else
        echo "ok   $2 (loudest sample $loudest) and ends on Escape"
    fi
}

# check_runs_on NAME STOP...: the intro plays, then STOP takes its sound server away
# mid-show; the show must run on, on the silent clock, with one line saying so.
check_runs_on() {
    local name=$1 running=no status=0
    shift
    start_intro 5
    sleep 2.5
    "$@"
    sleep 1
    kill -0 "$intro_pid" 2>/dev/null && running=yes
    wait "$intro_pid" || status=$?
    if [ "$running" != yes ] || [ "$status" != 124 ]; then
        fail "$name" "the intro did not run on (exit status $status)"
    elif [ "$(grep -c '^audio: the sound server went away; playing on a silent clock$' "$work/stderr")" != 1 ]; then
        fail "$name" "expected one line \"audio: the sound server went away; playing on a silent clock\""
    else
        echo "ok   $name: the show runs on, on the silent clock"
    fi
}

# check_one_line NAME PATTERN [VAR=value...]: the intro, run for 4 s with the settings
# given, prints exactly one line matching PATTERN on stderr.
check_one_line() {
    local name=$1 pattern=$2
    shift 2
    start_intro 4 "$@"
    wait "$intro_pid" || true
    if [ "$(grep -c "$pattern" "$work/stderr")" != 1 ]; then
        fail "$name" "expected one line matching: $pattern"
    else
        echo "ok   $name"
    fi
}
