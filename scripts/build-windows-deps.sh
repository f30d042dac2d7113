#!/usr/bin/env bash
# Cross-builds the libraries the Windows programs need and Debian has no Windows build of
# (libmpg123), from Debian's own source package of the version the Linux build uses, so
# that Windows decodes the same samples (fetched by scripts/fetch-debian-source.sh, which
# leaves the machine's apt configuration as it is), built once with mingw-w64 and reused
# until the Linux version changes.
# Prints the install prefix (include/, lib/) on stdout when done.
# usage: scripts/build-windows-deps.sh
#   INTRO_WINDOWS_DEPS  the cache folder (default: ~/.cache/intro-windows-deps)
set -euo pipefail
case "${1:-}" in
  -h|--help) sed -n '2,9p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
  "") ;;
  *) echo "build-windows-deps: unknown option '$1' (see --help)" >&2; exit 2 ;;
esac

cache=${INTRO_WINDOWS_DEPS:-$HOME/.cache/intro-windows-deps}
prefix=$cache/prefix
host=x86_64-w64-mingw32
say() { echo "build-windows-deps: $*" >&2; }

version=$(dpkg-query -W -f='${Version}' libmpg123-dev 2>/dev/null) ||
  { say "libmpg123-dev is not installed; run scripts/setup-deps.sh first"; exit 1; }
stamp=$prefix/mpg123.version
if [ -f "$prefix/lib/libmpg123.a" ] && [ "$(cat "$stamp" 2>/dev/null)" = "$version" ]; then
  echo "$prefix"
  exit 0
fi
command -v "$host-gcc-posix" >/dev/null ||
  { say "$host-gcc-posix is missing; run scripts/setup-deps.sh windows"; exit 1; }

work=$cache/mpg123-$version
"$(dirname "$(realpath "$0")")/fetch-debian-source.sh" mpg123 "$version" "$cache" "$work"

say "building libmpg123 for $host (about a minute)"
mkdir -p "$work/build"
(
  cd "$work/build"
  # Debian's own amd64 configuration (large-file aliases, the x86-64 decoders chosen at
  # run time), static, the library alone.
  ../source/configure --host="$host" CC="$host-gcc-posix" --prefix="$prefix" \
    --enable-static --disable-shared --enable-lfs-alias --disable-modules \
    --with-audio=dummy --enable-network=no >configure.log 2>&1 ||
    { tail -n 20 configure.log >&2; exit 1; }
  make -j"$(nproc)" src/libmpg123/libmpg123.la >make.log 2>&1 || { tail -n 20 make.log >&2; exit 1; }
  rm -rf "$prefix"
  mkdir -p "$prefix/include" "$prefix/lib" "$prefix/share/licenses"
  cp src/libmpg123/.libs/libmpg123.a "$prefix/lib/"
  cp src/libmpg123/mpg123.h ../source/src/libmpg123/fmt123.h "$prefix/include/"
  cp ../source/COPYING "$prefix/share/licenses/mpg123-COPYING"
)
echo "$version" >"$stamp"
rm -rf "$work"
say "libmpg123 $version for Windows is in $prefix"
echo "$prefix"
