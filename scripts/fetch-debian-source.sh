#!/usr/bin/env bash
# Fetches and unpacks Debian's source package of one version, for the libraries we build
# ourselves. apt's source retrieval runs through a private apt state in CACHE_DIR/apt,
# whose sources are the system's Debian mirrors as deb-src, so the machine's apt
# configuration is not changed. apt checks each file against the signed index; some
# mirrors lack the upstream signature (.asc) a package lists, so the files are then judged
# against the hashes its description gives.
# usage: scripts/fetch-debian-source.sh PACKAGE VERSION CACHE_DIR OUT_DIR
#   OUT_DIR/source is the unpacked tree (OUT_DIR is made afresh).
set -euo pipefail
[ $# -eq 4 ] || { sed -n '2,9p' "$0" | sed 's/^# \{0,1\}//'; [ "${1:-}" = --help ]; exit; }
package=$1 version=$2 out=$4
say() { echo "fetch-debian-source: $*" >&2; }
mkdir -p "$3"
apt_dir=$(realpath "$3")/apt
mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
mirrors=$(apt-get indextargets --format '$(REPO_URI) $(RELEASE)' 'Identifier: Packages' |
          sort -u | grep -E '^https?://[^ ]*debian[^ ]* ' || true)
[ -n "$mirrors" ] || { say "no Debian mirror in the system's apt sources"; exit 1; }
while read -r uri suite; do
    echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $uri $suite main"
done <<<"$mirrors" >"$apt_dir/sources.list"
apt_options=(-o "Dir::Etc::SourceList=$apt_dir/sources.list" -o Dir::Etc::SourceParts=/nonexistent
             -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache"
             -o "APT::Sandbox::User=$(id -un)" -qq)

say "fetching the source of $package $version"
apt-get "${apt_options[@]}" update >&2
rm -rf "$out"
mkdir -p "$out/fetch"
(cd "$out/fetch" && apt-get "${apt_options[@]}" source --download-only "$package=$version" >&2) ||
    say "apt-get reported a failure; checking the files it fetched"
dsc=$(ls "$out"/fetch/*.dsc 2>/dev/null | head -n 1)
[ -n "$dsc" ] || { say "no source description (.dsc) of $package $version was fetched"; exit 1; }
awk '/^Checksums-Sha256:/ { on = 1; next } /^[^ ]/ { on = 0 } on && $3 !~ /\.asc$/ { print $1 "  " $3 }' \
    "$dsc" | (cd "$out/fetch" && sha256sum --check --quiet) ||
    { say "the fetched source of $package $version does not match its description"; exit 1; }
dpkg-source --no-check -x "$dsc" "$out/source" >/dev/null
