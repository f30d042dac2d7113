#!/usr/bin/env bash
# Builds the release files into dist/ and prints what it made, with sizes:
#   intro-VERSION-linux-x86_64.tar.gz    the intro and intro-render with the libraries a
#                                        desktop may lack, the default data, a launcher
#   intro-VERSION-windows-x86_64.zip     intro.exe, its DLLs and the data, cross-built
#                                        with mingw-w64 (skipped, saying why, without it)
#   intro-VERSION-web.zip                the web site, as ./web.sh --build-only makes it
#   intro-VERSION.html                   the show as one page that plays from the disk
#   SHA256SUMS                           over the files above
# The data is always a fresh default folder written by make-data, never the checkout's data/.
# usage: scripts/release.sh [--out DIR] [--build DIR] [--only LIST]
#   --out DIR    write into DIR instead of dist/ (release files of earlier runs there are
#                removed first; nothing else in it is touched)
#   --build DIR  take intro, intro-render and make-data from this build folder, already
#                built, instead of building build-release/ (the tests use build/)
#   --only LIST  make only these, comma-separated: linux, windows, web, html
set -euo pipefail
root=$(cd "$(dirname "$(realpath "$0")")/.." && pwd)
cd "$root"

usage() { sed -n '2,17p' "$0" | sed 's/^# \{0,1\}//'; }
out=dist
build=""
only=linux,windows,web,html
while [ $# -gt 0 ]; do
    case "$1" in
        --out) out=${2:?--out needs a folder}; shift 2 ;;
        --build) build=${2:?--build needs a folder}; shift 2 ;;
        --only) only=${2:?--only needs a list}; shift 2 ;;
        --help) usage; exit 0 ;;
        *) echo "release: unknown option '$1'" >&2; usage >&2; exit 2 ;;
    esac
done
for part in ${only//,/ }; do
    case "$part" in
        linux | windows | web | html) ;;
        *) echo "release: --only: unknown part '$part' (linux, windows, web, html)" >&2; exit 2 ;;
    esac
done
wanted() { case ",$only," in *",$1,"*) return 0 ;; *) return 1 ;; esac; }
step() { echo "release: $*" >&2; }

version=$(scripts/version.sh)
if [ -n "$(git status --porcelain --untracked-files=no 2>/dev/null)" ]; then
    step "note: the checkout has uncommitted changes; the files are not those of its last commit"
fi
# Files in the archives get the time of the last commit, so that the same checkout makes
# the same archives.
stamp=$(git log -1 --format=%ct 2>/dev/null || date +%s)
if [ -z "$build" ]; then
    # A given build folder comes with its packages; otherwise install what building takes.
    scripts/setup-deps.sh release
    step "building the programs (build-release/)"
    cmake --preset release >/dev/null
    cmake --build build-release --parallel "$(nproc)" --target intro intro-render make-data
    build=build-release
fi
build=$(realpath "$build")
for program in intro intro-render make-data; do
    [ -x "$build/$program" ] || { echo "release: no $program in $build" >&2; exit 1; }
done
built_version=$("$build/intro" --version)
[ "$built_version" = "intro $version" ] ||
    { echo "release: $build/intro is '$built_version', this checkout is $version: rebuild it" >&2; exit 1; }

mkdir -p "$out"
out=$(realpath "$out")
rm -f "$out"/intro-*-linux-x86_64.tar.gz "$out"/intro-*-windows-x86_64.zip "$out"/intro-*-web.zip \
      "$out"/intro-*.html "$out/SHA256SUMS"
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
step "writing the default data"
"$build/make-data" "$stage/data" >/dev/null
rm -f "$stage/data/.version"  # make-data's own record; a folder to replace files in keeps no record

made=()
# pack_tar FOLDER NAME.tar.gz and pack_zip FOLDER NAME.zip: FOLDER (inside $stage) as one
# top folder of the archive, sorted, owned by root, dated $stamp.
pack_tar() {
    tar -C "$stage" --sort=name --owner=0 --group=0 --numeric-owner --mtime="@$stamp" -cf - "$1" |
        gzip -9n >"$out/$2"
    made+=("$2")
}
pack_zip() {
    find "$stage/$1" -exec touch -h -d "@$stamp" {} +
    (cd "$stage" && find "$1" | LC_ALL=C sort | zip -X -q -9 "$out/$2" -@)
    made+=("$2")
}

if wanted linux; then
    step "the Linux bundle"
    scripts/release-linux.sh "$build" "$stage/data" "$stage/intro-$version-linux-x86_64"
    pack_tar "intro-$version-linux-x86_64" "intro-$version-linux-x86_64.tar.gz"
fi

if wanted windows; then
    status=0
    scripts/release-windows.sh "$stage/data" "$stage/intro-$version-windows-x86_64" || status=$?
    case $status in
        0) pack_zip "intro-$version-windows-x86_64" "intro-$version-windows-x86_64.zip" ;;
        3) ;;  # skipped; the reason is printed
        *) exit "$status" ;;
    esac
fi

if wanted web || wanted html; then
    step "the web site (build-web/)"
    WEB_JOBS=$(nproc) web/build-site.sh build-web "$stage/data"
fi
if wanted web; then
    rm -rf "$stage/intro-$version-web"
    cp -R build-web/site "$stage/intro-$version-web"
    pack_zip "intro-$version-web" "intro-$version-web.zip"
fi
if wanted html; then
    step "the offline page"
    node web/offline-page.mjs build-web/site "$out/intro-$version.html"
    touch -d "@$stamp" "$out/intro-$version.html"
    made+=("intro-$version.html")
fi

(cd "$out" && sha256sum "${made[@]}" >SHA256SUMS)
made+=(SHA256SUMS)
echo "release: made in $out:"
for file in "${made[@]}"; do
    printf '  %-40s %10d bytes\n' "$file" "$(stat -c %s "$out/$file")"
done
