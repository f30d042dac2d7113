#!/usr/bin/env bash
# Lays out the Linux bundle in OUT (scripts/release.sh packs it):
#   intro          the launcher: starts bin/intro from bin/, where "../data/" is data/
#   bin/           intro and intro-render, their libraries looked up in ../lib first
#   lib/           every library they need beyond scripts/release-system-libs.txt: SDL2
#                  built by scripts/build-sdl2.sh to load the sound and display libraries at
#                  run time, the rest copied from the system
#   data/          the default data
#   README.md      how to start it, and the user part of the project's README
#   LICENSES/      the licence notices of the bundled libraries
# usage: scripts/release-linux.sh BUILD_DIR DATA_DIR OUT
set -euo pipefail
[ $# -eq 3 ] || { sed -n '2,11p' "$0" | sed 's/^# \{0,1\}//'; [ "${1:-}" = --help ]; exit; }
root=$(cd "$(dirname "$(realpath "$0")")/.." && pwd)
build=$1
data=$2
out=$3
fail() { echo "release-linux: $*" >&2; exit 1; }

system_libs=$(grep -v '^#' "$root/scripts/release-system-libs.txt")
sdl2=$("$root/scripts/build-sdl2.sh" "${INTRO_DEPS_CACHE:-$HOME/.cache/intro-linux-deps}")

rm -rf "$out"
mkdir -p "$out/bin" "$out/lib" "$out/LICENSES"
cp -R "$data" "$out/data"
for program in intro intro-render; do
    cp "$build/$program" "$out/bin/$program"
    strip --strip-debug "$out/bin/$program"
    patchelf --set-rpath '$ORIGIN/../lib' "$out/bin/$program"
done

# needed ELF: the sonames ELF names as needed.
needed() { readelf -d "$1" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'; }
is_system() { grep -qxF "$1" <<<"$system_libs"; }

# The file a library resolves to for ELF on this system: SDL2 is our own build; anything
# else as the dynamic linker finds it.
library_file() {
    if [ "$2" = libSDL2-2.0.so.0 ]; then
        echo "$sdl2"
    else
        ldd "$1" | awk -v name="$2" '$1 == name && $3 ~ /^\// && !found { print $3; found = 1 }'
    fi
}

# The licence notice of a library copied from the system: its Debian package's copyright
# file, and the common licence texts that file points to.
copy_notice() {
    local package
    package=$(dpkg -S "$(realpath "$1")" 2>/dev/null | sed -n '1s/:.*//p') || true
    [ -n "$package" ] || fail "no Debian package owns $1, so its licence is unknown"
    cp "/usr/share/doc/$package/copyright" "$out/LICENSES/$package.copyright"
    { grep -o '/usr/share/common-licenses/[A-Za-z0-9.+-]*' "/usr/share/doc/$package/copyright" || true; } |
        sort -u | while read -r text; do
            [ -f "$text" ] && cp "$text" "$out/LICENSES/$(basename "$text")"
        done
}

# Copies the libraries the bundle's ELF files need until none is missing.
queue=("$out/bin/intro" "$out/bin/intro-render")
while [ ${#queue[@]} -gt 0 ]; do
    elf=${queue[0]}
    queue=("${queue[@]:1}")
    for soname in $(needed "$elf"); do
        is_system "$soname" && continue
        [ -e "$out/lib/$soname" ] && continue
        file=$(library_file "$elf" "$soname")
        [ -n "$file" ] || fail "$(basename "$elf") needs $soname, which is not on this system"
        cp -L "$file" "$out/lib/$soname"
        chmod 644 "$out/lib/$soname"
        strip --strip-unneeded "$out/lib/$soname"
        patchelf --set-rpath '$ORIGIN' "$out/lib/$soname"
        if [ "$soname" = libSDL2-2.0.so.0 ]; then
            cp "$(dirname "$sdl2")/SDL2-LICENSE.txt" "$out/LICENSES/libsdl2.LICENSE.txt"
            cp "$(dirname "$sdl2")/../source/debian/copyright" "$out/LICENSES/libsdl2.copyright"
        else
            copy_notice "$file"
        fi
        queue+=("$out/lib/$soname")
    done
done

# The launcher: the intro finds its data as "../data/" from the folder it starts in.
cat >"$out/intro" <<'EOF'
#!/bin/sh
# Starts the intro from bin/, where "../data/" is the data/ folder beside this launcher,
# whatever folder it is started from. Options go to the intro; its exit status is kept.
here=$(dirname "$(readlink -f "$0")")
cd "$here/bin" || exit 1
exec ./intro "$@"
EOF
chmod 755 "$out/intro"

# README.md: how to start the bundle, then the README's sections for who plays the show.
{
    version=$("$out/bin/intro" --version 2>/dev/null || echo "intro")
    cat <<EOF
# $version for Linux (x86-64)

A self-running audiovisual intro: one window, one MP3 track, a two-minute show drawn in a
canvas of 64 × 64 pixels. Nothing to install: it needs only what a desktop has (the C and
C++ runtimes, X11 and OpenGL); SDL2 and the MP3 decoder are in \`lib/\`, and the sound
server's library (PipeWire or PulseAudio) is used when the system has one.

\`\`\`sh
./intro                      # full screen over every monitor; Escape ends it
./intro -f1 -w640 -h360      # a 640 × 360 window with a caption
./intro --help
bin/intro-render --data data/ --time 40.4 -o cross.png --scale 8
\`\`\`

The launcher \`./intro\` works from any folder (\`~/intro/intro\`, a link to it, …): it
starts \`bin/intro\` from \`bin/\`, whose \`../data/\` is the \`data/\` folder here. Replace
the files there to make the show your own. \`bin/intro-render\` looks for \`../data/\`
from the folder you are in, so give it \`--data\` when you start it from elsewhere.
The licences of the bundled libraries are in \`LICENSES/\`.

EOF
    awk '/^## / { keep = ($0 ~ /^## (Options|Data|Sound output|Picture against sound|Rendering without a window)/) }
         keep' "$root/README.md"
} >"$out/README.md"

# What the bundle needs of the system, checked as the tests check it.
for elf in "$out/bin/"* "$out/lib/"*.so*; do
    for soname in $(needed "$elf"); do
        is_system "$soname" || [ -e "$out/lib/$soname" ] || fail "$(basename "$elf") needs $soname, not in the bundle"
    done
done
echo "release-linux: lib/ holds $(cd "$out/lib" && echo *)" >&2
