#!/usr/bin/env bash
# The Linux release bundle as a user gets it, on the X server in $DISPLAY (with-xvfb.sh):
# unpacked into a fresh folder whose path has a space, every library its programs need is
# in the bundle or one a desktop has; the launcher started from another folder finds the
# data, shows the frame intro-render draws for the same moment, ends on Escape with status
# 0 and passes a refusal's status 1 on; the programs tell the version the archive is named
# after. The bundle's music is swapped for a 1.5 s tone: once it has played, the intro
# holds its last moment, whose frame is that of second 1.0 (the frames of 0 to 3.2 s are
# one picture).
# usage: release_bundle.sh ARCHIVE SCREEN_CHECK
set -euo pipefail
# shellcheck source=/dev/null
source "$(dirname "$(realpath "$0")")/common.sh"
[ $# -eq 2 ] || { echo "usage: $0 ARCHIVE SCREEN_CHECK" >&2; exit 2; }
archive=$(realpath "$1")
check=$(realpath "$2")
[ -n "${DISPLAY:-}" ] || { echo "release_bundle: no DISPLAY; run it through with-xvfb.sh" >&2; exit 2; }

# What a desktop provides (libc, libm, the C++ runtime, X11, OpenGL); everything else
# must travel in the bundle.
allowed="ld-linux-x86-64.so.2 libc.so.6 libm.so.6 libstdc++.so.6 libgcc_s.so.1 libX11.so.6
         libGL.so.1 libOpenGL.so.0 libGLX.so.0"

start_work
failures=0
fail() {
    echo "FAIL $1" >&2
    failures=$((failures + 1))
}

name=$(basename "$archive" .tar.gz)
version=${name#intro-}
version=${version%-linux-x86_64}
mkdir "$work/un packed" "$work/elsewhere"
tar -C "$work/un packed" -xzf "$archive"
bundle="$work/un packed/$name"
[ -x "$bundle/intro" ] && [ -d "$bundle/data" ] || { echo "FAIL the archive has no $name/intro and data/" >&2; exit 1; }

# Every NEEDED entry of every program and library is inside or allowed; ldd finds them all,
# SDL2 and the MP3 decoder inside the bundle.
for elf in "$bundle"/bin/* "$bundle"/lib/*; do
    for soname in $(readelf -d "$elf" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'); do
        [ -e "$bundle/lib/$soname" ] && continue
        case " $(echo $allowed) " in *" $soname "*) continue ;; esac
        fail "$(basename "$elf") needs $soname, neither in the bundle nor on the allowed list"
    done
done
# (ldd's whole answer first: grep -q ending the pipe early would fail it under pipefail.)
for program in intro intro-render; do
    found=$(ldd "$bundle/bin/$program")
    if grep -q "not found" <<<"$found"; then fail "ldd bin/$program: $(grep "not found" <<<"$found")"; fi
done
found=$(ldd "$bundle/bin/intro")
for soname in libSDL2-2.0.so.0 libmpg123.so.0; do
    grep -qF "$soname => $bundle/bin/../lib/$soname" <<<"$found" ||
        fail "bin/intro does not take $soname from the bundle: $(grep -F "$soname" <<<"$found")"
done
[ "$failures" = 0 ] && echo "ok   libraries: $(cd "$bundle/lib" && echo *) inside; the rest from: $(echo $allowed)"

for program in intro intro-render; do
    [ "$("$bundle/bin/$program" --version)" = "$program $version" ] ||
        fail "bin/$program --version says '$("$bundle/bin/$program" --version)', the archive is $version"
done

# The frame of the held moment, as the bundle's intro-render draws it from the bundle's data.
tone_mp3 1.5 "$bundle/data/vorb_06_mp3.mp3"
"$bundle/bin/intro-render" --data "$bundle/data/" --time 1.0 --raw -o "$work/held.raw"

(cd "$work/elsewhere" && exec "$bundle/intro" -w640 -h360) >"$work/stdout" 2>"$work/stderr" &
pid=$!
pids+=("$pid")
shown=""
for _ in $(seq 60); do
    import -window root -depth 8 "ppm:$work/shot.ppm" 2>/dev/null || true
    if "$check" "$work/shot.ppm" 0 0 640 360 "raw:$work/held.raw" >"$work/measured" 2>&1; then
        shown=1
        break
    fi
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.25
done
if [ -n "$shown" ]; then
    echo "ok   the launcher, started from another folder, shows intro-render's frame of 1.0 s"
else
    fail "the screen does not show intro-render's frame of 1.0 s: $(tail -n 3 "$work/measured")"
    sed 's/^/    stderr: /' "$work/stderr" >&2
fi
wid=$(xdotool search --pid "$pid" 2>/dev/null | head -n 1 || true)
if [ -n "$wid" ]; then
    xdotool windowfocus --sync "$wid" key Escape 2>/dev/null || true
fi
status=0
timeout 10 tail --pid="$pid" -f /dev/null || { kill "$pid"; fail "Escape did not end the intro"; }
wait "$pid" || status=$?
[ "$status" = 0 ] || fail "exit status $status after Escape, expected 0"

status=0
(cd / && "$bundle/intro" -w-5) 2>"$work/stderr" || status=$?
[ "$status" = 1 ] || fail "a refused size: status $status through the launcher, expected 1"
[ "$failures" = 0 ] && echo "ok   Escape ends it with status 0; a refusal's status 1 comes through the launcher"
exit $((failures > 0))
