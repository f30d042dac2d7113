#!/usr/bin/env bash
# The Linux bundle on a bare system, by hand (not part of the suite: it downloads a Debian
# root of about 150 MB and takes minutes). Makes a minimal Debian root (debootstrap
# minbase, from the Debian mirror the system's apt uses) with only the runtime libraries
# a release may take from the system (libstdc++, libgcc_s, X11, GL with Mesa's software
# renderer) plus Xvfb, unpacks ARCHIVE into it and, inside it:
#   1. starts the intro through its launcher: the first frame must show (compared with
#      intro-render's, from the screen Xvfb writes to a file) and, with no sound library
#      there, it says so and plays on the silent clock;
#   2. adds libpulse0 and PulseAudio, starts a PulseAudio with a null sink there, and
#      starts the intro again: it must play through it (its stream shows in the server).
# Run as root. The root is kept in ROOT_DIR (default build-deps/minimal-root) for the next run.
# usage: tests/minimal_root.sh ARCHIVE SCREEN_CHECK [ROOT_DIR]
#   SCREEN_CHECK  build/screen_check (from cmake --preset test)
set -euo pipefail
[ $# -ge 2 ] && [ $# -le 3 ] || { sed -n '2,14p' "$0" | sed 's/^# \{0,1\}//'; exit 2; }
root_dir=$(cd "$(dirname "$(realpath "$0")")/.." && pwd)
archive=$(realpath "$1")
check=$(realpath "$2")
chroot_dir=${3:-$root_dir/build-deps/minimal-root}
[ "$(id -u)" = 0 ] || { echo "minimal_root: run as root (debootstrap and chroot)" >&2; exit 2; }
say() { echo "minimal_root: $*" >&2; }
failures=0
fail() { echo "FAIL $*" >&2; failures=$((failures + 1)); }

command -v debootstrap >/dev/null || { say "installing debootstrap"; apt-get install -y -qq debootstrap >&2; }
mirror=$(apt-get indextargets --format '$(REPO_URI) $(RELEASE)' 'Identifier: Packages' |
         awk '$1 ~ /debian\/?$/ && $2 !~ /-/ && !found { print $1; found = 1 }')
[ -n "$mirror" ] || { say "no Debian mirror in the system's apt sources"; exit 1; }
# The C and C++ runtimes come with minbase; X11 and GL (glvnd with Mesa's software
# renderer, which Xvfb's GLX also uses) and Xvfb itself are added.
runtime=libstdc++6,libgcc-s1,libx11-6,libgl1,libglx0,libopengl0,libglx-mesa0,libgl1-mesa-dri,xvfb
if [ ! -e "$chroot_dir/.complete" ]; then
    say "debootstrap --variant=minbase bookworm from $mirror into $chroot_dir"
    rm -rf "$chroot_dir"
    debootstrap --variant=minbase --include="$runtime" bookworm "$chroot_dir" "$mirror" >"$chroot_dir.log" 2>&1 ||
        { tail -20 "$chroot_dir.log" >&2; exit 1; }
    touch "$chroot_dir/.complete"
fi

mounted=()
xvfb_pid=""
pulse_pid=""
cleanup() {
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    [ -n "$pulse_pid" ] && kill "$pulse_pid" 2>/dev/null && wait "$pulse_pid" 2>/dev/null
    local i
    for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do umount "${mounted[i]}" || true; done
}
trap cleanup EXIT
for fs in proc dev tmp; do
    case $fs in
        proc) mount -t proc proc "$chroot_dir/proc" ;;
        dev) mount --bind /dev "$chroot_dir/dev" ;;
        tmp) mount -t tmpfs tmpfs "$chroot_dir/tmp" ;;
    esac
    mounted+=("$chroot_dir/$fs")
done
# in_root COMMAND...: COMMAND inside the root with a plain environment; chroot and env
# exec it, so in the background $! is COMMAND's own process id.
plain_env=(env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root DISPLAY=:7 XDG_RUNTIME_DIR=/tmp/run)
in_root() { chroot "$chroot_dir" "${plain_env[@]}" "$@"; }

# What step 2 of an earlier run added goes, so that step 1 sees the bare root again.
if in_root dpkg-query -W pulseaudio >/dev/null 2>&1; then
    say "removing what an earlier run added"
    in_root apt-get purge -y -qq --auto-remove libpulse0 pulseaudio pulseaudio-utils >"$chroot_dir.purge.log" 2>&1
fi
extra=$(in_root dpkg-query -W -f='${Package}\n' | grep -E '^lib(sdl2|mpg123|pulse|pipewire|asound)' || true)
[ -z "$extra" ] || { say "the bare root has $(echo $extra), which a release may not need"; exit 1; }
say "the bare root has no SDL2, libmpg123, libpulse, libpipewire or libasound"

rm -rf "$chroot_dir/opt/intro"
mkdir -p "$chroot_dir/opt/intro" "$chroot_dir/tmp/fb" "$chroot_dir/tmp/run"
tar -C "$chroot_dir/opt/intro" -xzf "$archive"
bundle=$(ls -d "$chroot_dir"/opt/intro/intro-*-linux-x86_64)
inside=${bundle#"$chroot_dir"}
"$bundle/bin/intro-render" --data "$bundle/data/" --time 1.0 --raw -o "$chroot_dir/tmp/first.raw"

(exec chroot "$chroot_dir" "${plain_env[@]}" Xvfb :7 -screen 0 800x600x24 -fbdir /tmp/fb -nolisten tcp -noreset) >"$chroot_dir/tmp/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -e "$chroot_dir/tmp/fb/Xvfb_screen0" ] && break; sleep 0.1; done
sleep 0.5

# run_intro STEP [keep]: the intro through its launcher from /, until the first frame has
# shown (the frames of 0 to 3.2 s are one picture) or for 10 s; then stopped, unless
# "keep": then $intro_pid is left running.
run_intro() {
    (exec chroot "$chroot_dir" "${plain_env[@]}" sh -c "cd / && exec $inside/intro -w640 -h360") \
        >"$chroot_dir/tmp/intro.out" 2>"$chroot_dir/tmp/intro.err" &
    local pid=$! shown=""
    intro_pid=$pid
    for _ in $(seq 100); do
        convert "xwd:$chroot_dir/tmp/fb/Xvfb_screen0" -depth 8 "ppm:$chroot_dir/tmp/shot.ppm" 2>/dev/null &&
            "$check" "$chroot_dir/tmp/shot.ppm" 0 0 640 360 "raw:$chroot_dir/tmp/first.raw" >"$chroot_dir/tmp/measured" 2>&1 &&
            { shown=1; break; }
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if [ -n "$shown" ]; then echo "ok   $1: the first frame shows"; else fail "$1: the first frame did not show"; fi
    [ "${2:-}" = keep ] && return 0
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    sed "s/^/     $1: stderr: /" "$chroot_dir/tmp/intro.err"
}

run_intro "bare root"
grep -q "silent" "$chroot_dir/tmp/intro.err" || fail "bare root: no word of the silent clock on stderr"

say "adding libpulse0 and pulseaudio to the root"
in_root apt-get install -y -qq --no-install-recommends libpulse0 pulseaudio pulseaudio-utils >"$chroot_dir/tmp/apt.log" 2>&1 ||
    { tail -5 "$chroot_dir/tmp/apt.log" >&2; exit 1; }
(exec chroot "$chroot_dir" "${plain_env[@]}" pulseaudio --daemonize=no --exit-idle-time=-1 --disallow-exit -n \
    --load=module-native-protocol-unix --load="module-null-sink sink_name=null") \
    >"$chroot_dir/tmp/pulse.log" 2>&1 &
pulse_pid=$!
for _ in $(seq 50); do in_root pactl info >/dev/null 2>&1 && break; sleep 0.2; done
in_root pactl info >/dev/null 2>&1 || { fail "PulseAudio did not start: $(tail -3 "$chroot_dir/tmp/pulse.log")"; exit 1; }
run_intro "with PulseAudio" keep
sleep 2
streams=$(in_root pactl list sink-inputs short 2>/dev/null | wc -l)
[ "$streams" -ge 1 ] && echo "ok   with PulseAudio: the intro's stream plays on the server's null sink" ||
    fail "with PulseAudio: no stream on the server"
kill "$intro_pid" 2>/dev/null || true
wait "$intro_pid" 2>/dev/null || true
sed 's/^/     with PulseAudio: stderr: /' "$chroot_dir/tmp/intro.err"
exit $((failures > 0))
