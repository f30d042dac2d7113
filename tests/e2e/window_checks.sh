#!/usr/bin/env bash
# End-to-end checks of the intro's window on the X server in $DISPLAY (a private Xvfb,
# see with-xvfb.sh), with a window manager running as on a desktop.
# usage: window_checks.sh CASE INTRO PRESENT_PATTERN SCREEN_CHECK CURSOR_SHOWN [SLOW_WM [SWAP_COUNTER]]
#   CASE             layout | captioned | keys | killed | resized | refusals | pattern |
#                    slow_map | held
#   INTRO            the intro binary
#   PRESENT_PATTERN  shows a known canvas through the intro's own window and presenter
#   SCREEN_CHECK     compares a screenshot with the canvas that must show, pixel by pixel
#   CURSOR_SHOWN     tells whether the cursor image at the pointer is blank
#   SLOW_WM          a window manager holding map requests (slow_map only)
#   SWAP_COUNTER     preloaded into the intro, counts its buffer swaps (held only)
# ESCAPE_LIMIT_MS (default 1000): how soon after Escape the process must have ended;
# sanitizer builds need longer, their leak check runs as the process exits.
# The intro plays a 1.5 s tone from a data folder made here. Once it has played, the
# music position stops and the intro keeps showing that moment, the opening title, so
# its screenshots are compared with that frame exactly.
set -euo pipefail
# shellcheck source=/dev/null
source "$(dirname "$(realpath "$0")")/common.sh"

[ $# -ge 5 ] && [ $# -le 7 ] || { echo "usage: $0 CASE INTRO PRESENT_PATTERN SCREEN_CHECK CURSOR_SHOWN [SLOW_WM [SWAP_COUNTER]]" >&2; exit 2; }
case=$1
intro=$(realpath "$2")
pattern=$(realpath "$3")
check=$(realpath "$4")
cursor_shown=$(realpath "$5")
slow_wm=${6:+$(realpath "$6")}
swap_counter=${7:+$(realpath "$7")}
escape_limit_ms=${ESCAPE_LIMIT_MS:-1000}
here=$(dirname "$(realpath "$0")")
[ -n "${DISPLAY:-}" ] || { echo "window_checks: no DISPLAY; run it through with-xvfb.sh" >&2; exit 2; }


start_work
mkdir "$work/run" "$work/data" "$work/home"
failures=0

fail() {
    echo "FAIL $1: $2" >&2
    if [ -s "$work/stderr" ]; then sed 's/^/    stderr: /' "$work/stderr" >&2; fi
    failures=$((failures + 1))
}

# passed SINCE TEXT: "ok TEXT" when nothing failed since the count was SINCE.
passed() {
    [ "$failures" != "$1" ] || echo "ok   $2"
}

# 1.5 s of 440 Hz stereo as the music; the intro finds it as ../data/ from $work/run.
tone_mp3 1.5 "$work/data/vorb_06_mp3.mp3"

# A window manager gives captioned windows their frame and turns a close request into
# WM_DELETE_WINDOW; it also makes the decoration hints of the windows take effect.
start_window_manager() {
    HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_CACHE_HOME=$work/home/.cache \
        openbox --sm-disable >"$work/openbox.log" 2>&1 &
    pids+=($!)
    local _
    for _ in $(seq 100); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && return 0
        sleep 0.1
    done
    echo "window_checks: the window manager did not start" >&2
    cat "$work/openbox.log" >&2
    exit 1
}

# start PROGRAM [options...]: runs PROGRAM in $work/run and waits up to 10 s for its
# window to be mapped; sets $pid and $wid ($wid empty when no window appeared).
start() {
    (cd "$work/run" && exec "$@") 2>"$work/stderr" &
    pid=$!
    pids+=("$pid")
    wid=""
    local _
    for _ in $(seq 100); do
        # One search at a time: a search fails outright when a window it walks past
        # (the frame of a program that just ended) is destroyed under it.
        wid=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -n 1) || true
        [ -z "$wid" ] && alive && sleep 0.1 && continue
        break
    done
}

# Whether $pid is still running (a process that ended but is not yet reaped is not).
alive() {
    local state
    state=$(cut -d ' ' -f 3 "/proc/$pid/stat" 2>/dev/null) || return 1
    [ -n "$state" ] && [ "$state" != Z ]
}

# wait_exit SECONDS: waits up to SECONDS for $pid to end, then kills it; sets $status
# (124 when it had to be killed) and $elapsed_ms, counted from $t0 (date +%s%N).
wait_exit() {
    local deadline=$(($(date +%s%N) + $1 * 1000000000))
    while alive && [ "$(date +%s%N)" -lt "$deadline" ]; do sleep 0.005; done
    elapsed_ms=$((($(date +%s%N) - t0) / 1000000))
    if alive; then
        kill "$pid"
        wait "$pid" 2>/dev/null || true
        status=124
        return
    fi
    status=0
    wait "$pid" || status=$?
}

# press_escape NAME: Escape, typed into window $wid, must end $pid with status 0 within 5 s.
press_escape() {
    timeout 5 xdotool windowfocus --sync "$wid" || fail "$1" "the window cannot be given the focus"
    t0=$(date +%s%N)
    xdotool key Escape
    wait_exit 5
    if [ "$status" != 0 ]; then
        fail "$1" "Escape: exit status $status, expected 0"
    fi
}

# area WID: "LEFT TOP WIDTH HEIGHT" of the window's drawable area on the screen.
area() {
    xwininfo -id "$1" | awk '/Absolute upper-left X:/ { x = $NF } /Absolute upper-left Y:/ { y = $NF }
                             /^  Width:/ { w = $NF } /^  Height:/ { h = $NF } END { print x, y, w, h }'
}

# expect_picture NAME CANVAS LEFT TOP WIDTH HEIGHT: within 5 s a screenshot must show
# CANVAS in that area of the screen exactly (see screen_check); what screen_check
# measured is left in $work/measured and shown.
expect_picture() {
    local name=$1 canvas=$2 _
    shift 2
    for _ in $(seq 20); do
        import -window root -depth 8 "ppm:$work/shot.ppm"
        if "$check" "$work/shot.ppm" "$@" "$canvas" >"$work/measured" 2>&1; then
            sed 's/^/     /' "$work/measured"
            return 0
        fi
        sleep 0.25
    done
    fail "$name" "the screen does not show the $canvas canvas in $*"
    sed 's/^/    /' "$work/measured" >&2
    return 1
}

# expect_measured NAME LINE: screen_check must have measured exactly LINE.
expect_measured() {
    grep -qxF -- "$2" "$work/measured" || fail "$1" "measured otherwise than \"$2\""
}

# cursor_drawn X Y: whether a cursor shows with the pointer at screen (X, Y).
cursor_drawn() {
    xdotool mousemove "$1" "$2"
    sleep 0.1
    local status=0
    "$cursor_shown" >"$work/cursor" 2>&1 || status=$?
    sed "s/^/     at ($1,$2): /" "$work/cursor"
    [ "$status" -le 1 ] || { fail "cursor" "cannot read the cursor image"; exit 1; }
    [ "$status" = 0 ]
}

# expect_property NAME WID PROPERTY VALUE: xprop must print exactly VALUE after "= ".
expect_property() {
    local value
    value=$(xprop -id "$2" "$3" | sed -n 's/^[^=]*= //p')
    [ "$value" = "$4" ] || fail "$1" "$3 is \"$value\", expected \"$4\""
}

# The borderless pop-up: its size from the options or the whole screen, placed at (0,0);
# the canvas square of its height centred on grey; cursor hidden over it; class "hehehe".
case_layout() {
    start_window_manager

    local since=$failures
    start "$intro" -w640 -h360
    [ -n "$wid" ] || { fail "-w640 -h360" "no window appeared"; return; }
    [ "$(area "$wid")" = "0 0 640 360" ] || fail "-w640 -h360" "drawable area $(area "$wid"), expected 0 0 640 360"
    expect_property "-w640 -h360" "$wid" WM_CLASS '"hehehe", "hehehe"'
    # No decorations asked for (flags: decorations; decorations: none), none given.
    expect_property "-w640 -h360" "$wid" _MOTIF_WM_HINTS "0x2, 0x0, 0x0, 0x0, 0x0"
    expect_property "-w640 -h360" "$wid" _NET_FRAME_EXTENTS "0, 0, 0, 0"
    if expect_picture "-w640 -h360" show:1.0 0 0 640 360; then
        expect_measured "-w640 -h360" "grey bars: left 140..140 px, right 140..140 px wide over the rows"
        expect_measured "-w640 -h360" "square: window x 140..499 (360 px wide), screen x 140..499"
    fi
    # Over the root window below it the cursor shows: the control for the check.
    cursor_drawn 320 500 || fail "cursor" "no cursor over the root window either"
    if cursor_drawn 320 180; then fail "-w640 -h360" "the cursor is visible over the window"; fi
    press_escape "-w640 -h360"
    passed "$since" "-w640 -h360: borderless at (0,0), 360 px square at x 140, grey bars, cursor hidden"

    since=$failures
    start "$intro"
    [ -n "$wid" ] || { fail "no options" "no window appeared"; return; }
    [ "$(area "$wid")" = "0 0 800 600" ] || fail "no options" "drawable area $(area "$wid"), expected the whole screen 0 0 800 600"
    expect_property "no options" "$wid" _NET_FRAME_EXTENTS "0, 0, 0, 0"
    if expect_picture "no options" show:1.0 0 0 800 600; then
        expect_measured "no options" "square: window x 100..699 (600 px wide), screen x 100..699"
    fi
    if cursor_drawn 400 300; then fail "no options" "the cursor is visible over the window"; fi
    press_escape "no options"
    passed "$since" "no options: the whole 800x600 screen, 600 px square at x 100, cursor hidden"
}

# -f1: an ordinary captioned window whose frame is placed at the position of the options,
# with the drawable size of the options and the cursor visible.
case_captioned() {
    start_window_manager
    local name="-f1 -w300 -h200 -x10 -y20" since=$failures
    start "$intro" -f1 -w300 -h200 -x10 -y20
    [ -n "$wid" ] || { fail "$name" "no window appeared"; return; }
    local left top width height l r t b
    read -r left top width height <<<"$(area "$wid")"
    IFS=', ' read -r l r t b <<<"$(xprop -id "$wid" _NET_FRAME_EXTENTS | sed -n 's/^[^=]*= //p')"
    echo "     drawable area ${width}x${height} at ($left,$top); frame extents left $l, right $r, top $t, bottom $b"
    [ "${width}x${height}" = 300x200 ] || fail "$name" "drawable size ${width}x${height}, expected 300x200"
    [ "${t:-0}" -gt "${b:-0}" ] || fail "$name" "no caption: the frame is no taller above the window (${t:-none}) than below (${b:-none})"
    [ "$((left - l)),$((top - t))" = "10,20" ] || fail "$name" "frame at ($((left - l)),$((top - t))), expected (10,20)"
    xwininfo -id "$wid" | grep -q "Override Redirect State: no" || fail "$name" "override-redirect, not managed"
    expect_property "$name" "$wid" WM_CLASS '"hehehe", "hehehe"'
    # Decorations asked for (flags: decorations; decorations: all).
    expect_property "$name" "$wid" _MOTIF_WM_HINTS "0x2, 0x0, 0x1, 0x0, 0x0"
    if expect_picture "$name" show:1.0 "$left" "$top" 300 200; then
        expect_measured "$name" "grey bars: left 50..50 px, right 50..50 px wide over the rows"
    fi
    cursor_drawn $((left + 150)) $((top + 100)) || fail "$name" "no cursor visible over the window"
    press_escape "$name"
    passed "$since" "$name: captioned frame at (10,20), 300x200 drawable, cursor visible"
}

# Escape ends at once; other keys do nothing; the window manager's close and the window's
# destruction by another client end with status 0.
case_keys() {
    start_window_manager

    start "$intro" -w640 -h360
    [ -n "$wid" ] || { fail "keys" "no window appeared"; return; }
    expect_picture "keys" show:1.0 0 0 640 360 >/dev/null || true
    timeout 5 xdotool windowfocus --sync "$wid" || fail "keys" "the window cannot be given the focus"
    # Keys that end or close things elsewhere; Alt+F4 is left out, the window manager's own.
    xdotool key a q x space Return KP_Enter Tab BackSpace Delete F1 F10 F11 Up \
        ctrl+c ctrl+q ctrl+w
    sleep 0.5
    if ! alive || ! xwininfo -id "$wid" >/dev/null 2>&1; then
        t0=$(date +%s%N)
        wait_exit 0
        fail "other keys" "the intro ended (status $status) on keys other than Escape"
        return
    fi
    echo "ok   other keys: still running"
    t0=$(date +%s%N)
    xdotool key Escape
    wait_exit 5
    echo "     Escape: exit status $status after $elapsed_ms ms"
    if [ "$status" != 0 ]; then
        fail "Escape" "exit status $status, expected 0"
    elif [ "$elapsed_ms" -gt "$escape_limit_ms" ]; then
        fail "Escape" "ended after $elapsed_ms ms, more than $escape_limit_ms ms"
    else
        echo "ok   Escape: status 0 within $escape_limit_ms ms"
    fi

    start "$intro" -f1 -w300 -h200 -x10 -y20
    [ -n "$wid" ] || { fail "close" "no window appeared"; return; }
    # shellcheck disable=SC2046  # the area is four words
    expect_picture "close" show:1.0 $(area "$wid") >/dev/null || true
    # The window manager's close: WM_DELETE_WINDOW to the intro.
    t0=$(date +%s%N)
    wmctrl -i -c "$wid"
    wait_exit 5
    echo "     window manager's close: exit status $status after $elapsed_ms ms"
    if [ "$status" != 0 ]; then fail "close" "exit status $status, expected 0"; else echo "ok   close: status 0"; fi

    start "$intro" -w640 -h360
    [ -n "$wid" ] || { fail "destroyed" "no window appeared"; return; }
    expect_picture "destroyed" show:1.0 0 0 640 360 >/dev/null || true
    # Another client destroys the window; the frame loop goes on drawing into it until
    # the intro learns of it.
    t0=$(date +%s%N)
    xdotool windowclose "$wid"
    wait_exit 5
    echo "     window destroyed by another client: exit status $status after $elapsed_ms ms"
    if [ "$status" != 0 ]; then
        fail "destroyed" "exit status $status, expected 0"
    elif grep -q "X Error" "$work/stderr"; then
        fail "destroyed" "an X error was reported"
    else
        echo "ok   destroyed: status 0"
    fi
}

# expect_layout NAME LINE LEFT TOP WIDTH HEIGHT: within 5 s screen_check must measure
# LINE in that area of the screen, whatever moment of the show is on it: the bars are
# measured up to the first pixel that is not grey 80, and the few moments with that grey
# in the canvas's edge columns (about 2 in 100) are passed over by trying again.
expect_layout() {
    local name=$1 line=$2 _
    shift 2
    for _ in $(seq 20); do
        import -window root -depth 8 "ppm:$work/shot.ppm"
        "$check" "$work/shot.ppm" "$@" show:1.0 >"$work/measured" 2>&1 || true
        grep -qxF -- "$line" "$work/measured" && { echo "     $line"; return 0; }
        sleep 0.25
    done
    fail "$name" "measured otherwise than \"$line\""
    grep -v MISMATCH "$work/measured" | sed 's/^/    /' >&2
    return 1
}

# Killing the intro's X client (xdotool windowkill, xkill) destroys its window with it: the
# intro ends with status 0 and no message, as for any other destruction of the window.
case_killed() {
    start_window_manager
    local name killer printed
    for killer in "xdotool windowkill" "xkill -id"; do
        name=$killer
        start "$intro" -w640 -h360
        [ -n "$wid" ] || { fail "$name" "no window appeared"; continue; }
        expect_layout "$name" "grey bars: left 140..140 px, right 140..140 px wide over the rows" 0 0 640 360
        printed=$(stat -c %s "$work/stderr")
        t0=$(date +%s%N)
        $killer "$wid" >/dev/null
        wait_exit 5
        echo "     $name: exit status $status after $elapsed_ms ms"
        if [ "$status" != 0 ]; then
            fail "$name" "exit status $status, expected 0"
        elif [ "$(stat -c %s "$work/stderr")" != "$printed" ]; then
            fail "$name" "printed on stderr: $(tail -c +$((printed + 1)) "$work/stderr")"
        else
            echo "ok   $name: status 0, nothing printed"
        fi
    done

    # The control: when the X server itself goes away, the intro's window has not been
    # destroyed by anyone, and Xlib's report of the broken connection stands (status 1).
    name="X server gone"
    local fifo="$work/displayfd" number xvfb
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 320x240x24 -nolisten tcp -noreset 3>"$fifo" >/dev/null 2>&1 &
    xvfb=$!
    pids+=("$xvfb")
    read -r -t 20 number <"$fifo" || { fail "$name" "the second Xvfb did not start"; return; }
    DISPLAY=:$number start "$intro" -w200 -h100
    [ -n "$wid" ] || { fail "$name" "no window appeared"; return; }
    # Into the frame loop: its first frame is on that screen.
    DISPLAY=:$number expect_layout "$name" "grey bars: left 50..50 px, right 50..50 px wide over the rows" \
        0 0 200 100 || return
    t0=$(date +%s%N)
    kill "$xvfb"
    wait_exit 5
    echo "     $name: exit status $status after $elapsed_ms ms"
    if [ "$status" != 1 ]; then
        fail "$name" "exit status $status, expected 1"
    # Xlib words its report by the errno of the failed read or write.
    elif ! grep -qE "X connection to :$number broken|XIO: +fatal IO error .* on X server \":$number\"" "$work/stderr"; then
        fail "$name" "no report of the broken connection"
    else
        echo "ok   $name: status 1, \"$(grep -E "X connection|XIO" "$work/stderr")\""
    fi
}

# resize_to NAME WIDTH HEIGHT: resizes window $wid as a window manager may do to any
# window, its fixed size notwithstanding: the size hints that ask for the fixed size are
# taken away first, as such a window manager ignores them. Waits until it has the size.
resize_to() {
    xprop -id "$wid" -remove WM_NORMAL_HINTS
    xdotool windowsize "$wid" "$2" "$3"
    local _
    for _ in $(seq 50); do
        [ "$(area "$wid" | cut -d ' ' -f 3,4)" = "$2 $3" ] && return 0
        sleep 0.1
    done
    fail "$1" "the window did not take the size $2x$3 (drawable area $(area "$wid"))"
    return 1
}

# expect_resized NAME WIDTH HEIGHT LINE: the window $wid, resized, must show LINE of the
# layout (see expect_layout) in its new area.
expect_resized() {
    local left top
    resize_to "$1" "$2" "$3" || return 1
    read -r left top _ <<<"$(area "$wid")"
    expect_layout "$1 to $2x$3" "$4" "$left" "$top" "$2" "$3"
}

# A window resized after start-up shows the square of its new height, centred on grey,
# as a window of that size does from the start; taller than wide, the square is cropped.
case_resized() {
    start_window_manager
    local name="-w320 -h240 resized" since=$failures left top
    start "$intro" -w320 -h240
    [ -n "$wid" ] || { fail "$name" "no window appeared"; return; }
    expect_layout "$name" "grey bars: left 40..40 px, right 40..40 px wide over the rows" 0 0 320 240
    expect_resized "$name" 700 500 "grey bars: left 100..100 px, right 100..100 px wide over the rows"
    expect_resized "$name" 300 400 "grey bars: left 0..0 px, right 0..0 px wide over the rows"
    press_escape "$name"
    passed "$since" "$name to 700x500 and 300x400: the square re-fitted and centred"

    # The presenter pixel by pixel after the resize, through the same window code.
    name="pattern -w320 -h240 resized"
    since=$failures
    start "$pattern" -w320 -h240
    [ -n "$wid" ] || { fail "$name" "no window appeared"; return; }
    if resize_to "$name" 640 384; then
        read -r left top _ <<<"$(area "$wid")"
        if expect_picture "$name to 640x384" pattern "$left" "$top" 640 384; then
            expect_measured "$name to 640x384" "block widths along the middle row: 6..6 px (62 measured)"
        fi
    fi
    press_escape "$name"
    passed "$since" "$name to 640x384: 6 px blocks, exact"
}

# expect_refusal NAME LINE COMMAND...: COMMAND must end within 10 s with status 1 and
# LINE (a pattern) as the last line on stderr.
expect_refusal() {
    local name=$1 line=$2
    shift 2
    t0=$(date +%s%N)
    (cd "$work/run" && exec "$@") >/dev/null 2>"$work/stderr" &
    pid=$!
    pids+=("$pid")
    wait_exit 10
    local last
    last=$(tail -n 1 "$work/stderr")
    # shellcheck disable=SC2053  # LINE may end in a pattern
    if [ "$status" != 1 ]; then
        fail "$name" "exit status $status, expected 1"
    elif [[ "$last" != $line ]]; then
        fail "$name" "last stderr line \"$last\", expected \"$line\""
    else
        echo "ok   $name: status 1, \"$last\""
    fi
}

case_refusals() {
    expect_refusal "-w-5" "intro: -w must not be negative (got -5)" "$intro" -w-5
    expect_refusal "-h-1" "intro: -h must not be negative (got -1)" "$intro" -w300 -h-1
    # No X server to open a window on: SDL's invisible fallback drivers are no way out.
    expect_refusal "no display" "intro: cannot start the video system: ?*" \
        env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER "$intro" -w300 -h200
    # An X server without GLX: no OpenGL window; SDL's reason follows the colon.
    expect_refusal "no GLX" "intro: cannot create the window: ?*" \
        env XVFB_ARGS="-extension GLX" "$here/with-xvfb.sh" 640x480 "$intro" -w300 -h200
}

# The presenter pixel by pixel: present_pattern's canvas, with its (0,0) at the top-left
# of the square, sharp blocks and the channels in R, G, B order, at a whole scale (6),
# at fractional ones, and in a window taller than wide, which crops the square.
case_pattern() {
    start_window_manager
    # options|a line screen_check must measure
    local cases=(
        "-w640 -h384|block widths along the middle row: 6..6 px (62 measured)"
        "-w640 -h360|block widths along the middle row: 5..6 px (62 measured)"
        "-w300 -h400|grey bars: left 0..0 px, right 0..0 px wide over the rows"
        "|block widths along the middle row: 16..17 px (62 measured)"
    )
    local entry options expected since
    for entry in "${cases[@]}"; do
        since=$failures
        options=${entry%%|*}
        expected=${entry#*|}
        # shellcheck disable=SC2086  # the options are separate words
        start "$pattern" $options
        [ -n "$wid" ] || { fail "pattern $options" "no window appeared"; continue; }
        echo "     pattern ${options:-(no options)}:"
        # shellcheck disable=SC2046  # the area is four words
        if expect_picture "pattern $options" pattern $(area "$wid"); then
            expect_measured "pattern $options" "$expected"
        fi
        press_escape "pattern $options"
        passed "$since" "pattern ${options:-(no options)}"
    done
}

# A window manager that takes its time to map the window does not hold start-up: the
# pictures and the music load while the map is pending (the data folder holds no
# pictures, so their loading says so on stderr), and the first frame shows once mapped.
case_slow_map() {
    local hold_ms=4000 since=$failures _
    "$slow_wm" "$hold_ms" >"$work/wm.log" 2>&1 &
    pids+=($!)
    for _ in $(seq 100); do
        grep -qx ready "$work/wm.log" && break
        sleep 0.1
    done
    grep -qx ready "$work/wm.log" || { fail "slow map" "slow_wm did not start: $(cat "$work/wm.log")"; return; }

    (cd "$work/run" && exec "$intro" -w640 -h360) 2>"$work/stderr" &
    pid=$!
    pids+=("$pid")
    for _ in $(seq 100); do
        grep -qx request "$work/wm.log" && break
        sleep 0.1
    done
    grep -qx request "$work/wm.log" || { fail "slow map" "no map request came"; return; }
    for _ in $(seq 30); do
        grep -q "^assets: no pictures could be loaded" "$work/stderr" && break
        sleep 0.1
    done
    if ! grep -q "^assets: no pictures could be loaded" "$work/stderr"; then
        fail "slow map" "the pictures were not loaded while the map was held"
    elif grep -qx mapped "$work/wm.log"; then
        fail "slow map" "the window was mapped before the pictures were loaded"
    fi
    for _ in $(seq 100); do
        wid=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -n 1) || true
        [ -n "$wid" ] && break
        sleep 0.1
    done
    [ -n "$wid" ] || { fail "slow map" "no window appeared"; return; }
    expect_picture "slow map" show:1.0 0 0 640 360 || true
    press_escape "slow map"
    passed "$since" "slow map: pictures and music load while the map is pending; then the show"
}

# A picture that holds still is presented once and stays on screen with no further swaps;
# painted over and uncovered (an expose), or resized, it is drawn anew. Without pictures
# the show holds one picture from 6.4 s to 14.4 s (the silent clock runs on after the
# tone), with a second's margin on either side of what is checked here.
case_held() {
    start_window_manager
    local name="held picture" since=$failures before after
    swaps() { cat "$work/swaps" 2>/dev/null || echo 0; }
    start env SOAK_SWAP_COUNT="$work/swaps" LD_PRELOAD="$swap_counter" "$intro" -w320 -h240
    [ -n "$wid" ] || { fail "$name" "no window appeared"; return; }
    sleep 7.5
    before=$(swaps)
    sleep 2
    after=$(swaps)
    [ "$after" = "$before" ] || fail "$name" "$((after - before)) frames presented in 2 s of a held picture"
    expect_picture "$name" show:10.0 0 0 320 240 || true
    # xrefresh maps a red window over the whole screen and takes it away again: the X
    # server paints nothing into the intro's window, so only a redraw puts the picture back.
    xrefresh -solid red
    expect_picture "$name, exposed" show:10.0 0 0 320 240 || true
    [ "$(swaps)" -gt "$after" ] || fail "$name, exposed" "no frame presented after the expose"
    expect_resized "$name" 400 300 "grey bars: left 50..50 px, right 50..50 px wide over the rows"
    press_escape "$name"
    passed "$since" "$name: no frame presented in 2 s while it holds; an expose and a resize draw it anew"
}

"case_$case"
[ "$failures" = 0 ]
