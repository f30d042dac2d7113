#!/usr/bin/env bash
# Cross-builds the libraries the Windows programs need and Debian has no Windows build of
# (libmpg123), from Debian's own source package of the version the Linux build uses, so
# that Windows decodes the same samples. The source is fetched with apt's source retrieval
# through a private apt state in the cache folder (the machine's apt configuration is left
# as it is), built once with mingw-w64 and reused until the Linux version changes.
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

# apt's own state for source packages: the machine's entries turned into deb-src ones.
apt_dir=$cache/apt
mkdir -p "$apt_dir/sources.list.d" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
rm -f "$apt_dir/sources.list.d/"*
: >"$apt_dir/sources.list"
if [ -f /etc/apt/sources.list ]; then
  sed -n 's/^deb[[:space:]]/deb-src /p' /etc/apt/sources.list >"$apt_dir/sources.list"
fi
for f in /etc/apt/sources.list.d/*.sources; do
  [ -f "$f" ] && sed 's/^Types:.*/Types: deb-src/' "$f" >"$apt_dir/sources.list.d/${f##*/}"
done
for f in /etc/apt/sources.list.d/*.list; do
  [ -f "$f" ] && sed -n 's/^deb[[:space:]]/deb-src /p' "$f" >"$apt_dir/sources.list.d/${f##*/}"
done
apt_options=(-o "Dir::Etc::SourceList=$apt_dir/sources.list"
  -o "Dir::Etc::SourceParts=$apt_dir/sources.list.d" -o "Dir::State::Lists=$apt_dir/lists"
  -o "Dir::Cache=$apt_dir/cache" -o "APT::Sandbox::User=$(id -un)" -qq)

work=$cache/mpg123-$version
rm -rf "$work"
mkdir -p "$work"
say "fetching Debian's source of mpg123 $version"
apt-get "${apt_options[@]}" update >&2
# apt checks every file it fetches against the signed index. Some mirrors lack the
# upstream signature (.asc) the package lists, so a failure is judged by the files below.
(cd "$work" && apt-get "${apt_options[@]}" source --download-only "mpg123=$version" >&2) ||
  say "apt-get reported a failure; checking the files it fetched"
dsc=$(ls "$work"/*.dsc 2>/dev/null | head -n 1)
[ -n "$dsc" ] || { say "no source description (.dsc) of mpg123 $version was fetched"; exit 1; }
# Every file but the signature must be there with the hash the description gives.
awk '/^Checksums-Sha256:/ { on = 1; next } /^[^ ]/ { on = 0 } on && $3 !~ /\.asc$/ { print $1 "  " $3 }' \
  "$dsc" | (cd "$work" && sha256sum --check --quiet) ||
  { say "the fetched source of mpg123 $version does not match its description"; exit 1; }
dpkg-source --no-check -x "$dsc" "$work/source" >/dev/null

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
