#!/usr/bin/env bash
# Builds libSDL2 for the Linux release from Debian's own source package, into a cache.
# Debian's libSDL2 links the sound and display libraries it supports (libpulse, libasound,
# Wayland, libdrm ...) so that it cannot start where one is missing; this build loads every
# one of them at run time instead, as SDL does by default, and leaves Wayland and KMS/DRM
# out (the intro's window is X11 through Xlib). Its only needs are then libc and libm.
# The source comes from the Debian mirror the system's apt uses (scripts/fetch-debian-source.sh),
# so the system's sources list is not changed.
# usage: scripts/build-sdl2.sh CACHE_DIR
#   Prints the path of the built libSDL2-2.0.so.0; CACHE_DIR/sdl2-VERSION/ keeps the
#   source, the build and the library, and a second run reuses them.
set -euo pipefail
[ $# -eq 1 ] && [ "$1" != --help ] || { sed -n '2,11p' "$0" | sed 's/^# \{0,1\}//'; [ "${1:-}" = --help ]; exit; }
mkdir -p "$1"
cache=$(realpath "$1")

# The installed libSDL2's version: the source package of the same version is built.
version=$(dpkg-query -W -f='${source:Version}' libsdl2-2.0-0)
out=$cache/sdl2-$version
library=$out/lib/libSDL2-2.0.so.0
if [ -f "$library" ]; then
    echo "$library"
    exit 0
fi

"$(dirname "$(realpath "$0")")/fetch-debian-source.sh" libsdl2 "$version" "$cache" "$out"

echo "build-sdl2: building (a few minutes)" >&2
cmake -S "$out/source" -B "$out/build" -DCMAKE_BUILD_TYPE=Release -DSDL_SHARED=ON -DSDL_STATIC=OFF \
    -DSDL_TEST=OFF -DSDL_RPATH=OFF -DSDL_X11=ON -DSDL_X11_SHARED=ON -DSDL_WAYLAND=OFF -DSDL_KMSDRM=OFF \
    -DSDL_ALSA=ON -DSDL_ALSA_SHARED=ON -DSDL_PULSEAUDIO=ON -DSDL_PULSEAUDIO_SHARED=ON \
    -DSDL_PIPEWIRE=ON -DSDL_PIPEWIRE_SHARED=ON -DSDL_JACK=OFF -DSDL_SNDIO=OFF -DSDL_LIBSAMPLERATE=OFF \
    -DSDL_HIDAPI_LIBUSB=OFF -DSDL_VULKAN=OFF -DSDL_OPENGLES=OFF -DSDL_IBUS=OFF >"$out/configure.log" 2>&1 ||
    { tail -20 "$out/configure.log" >&2; exit 1; }
cmake --build "$out/build" --parallel "${JOBS:-2}" >"$out/build.log" 2>&1 || { tail -20 "$out/build.log" >&2; exit 1; }
mkdir -p "$out/lib"
cp -L "$out/build/libSDL2-2.0.so.0" "$library.new"
mv "$library.new" "$library"
# The licence notice travels with the library.
cp "$out/source/LICENSE.txt" "$out/lib/SDL2-LICENSE.txt"
echo "$library"
