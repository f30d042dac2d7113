#!/bin/sh
# make-data from the command line: same bytes on a second run, the record of what it
# wrote, files of the user's left alone, the check, and failures that name the file and
# the reason.
# usage: data_pack_cli.sh MAKE_DATA PACK_DIR WORK_DIR   (PACK_DIR made by the fixture)
set -eu
make_data=$1
pack=$2
work=$3
rm -rf "$work"
mkdir -p "$work"
fail() { echo "data_pack_cli: $*" >&2; exit 1; }

listing() { (cd "$1" && find . -type f | LC_ALL=C sort | xargs sha256sum); }

# A second run into a fresh folder gives the same files with the same bytes.
"$make_data" "$work/second" 2>/dev/null || fail "second run failed"
listing "$pack" > "$work/first.sha"
listing "$work/second" > "$work/second.sha"
cmp -s "$work/first.sha" "$work/second.sha" || { diff "$work/first.sha" "$work/second.sha" >&2; fail "runs differ"; }
[ "$(wc -l < "$work/first.sha")" -eq 44 ] || fail "expected 42 pictures, the music and .version"
# No temporary files are left behind.
! find "$work/second" -name '*.tmp' | grep -q . || fail "temporary files left"
# .version records every file it wrote with its digest, as sha256sum prints it.
[ "$(head -n 1 "$work/second/.version")" = "make-data 1" ] || fail "no version on the first line"
[ "$(tail -n +2 "$work/second/.version" | wc -l)" -eq 43 ] || fail "not 43 digests in .version"
(cd "$work/second" && tail -n +2 .version | sha256sum --quiet -c -) || fail "the digests do not match the files"

# --check: current folder 0; missing, stale or empty folder 1.
"$make_data" --check "$work/second" || fail "--check rejects a fresh folder"
sed -i '1s/.*/make-data 0/' "$work/second/.version"
if "$make_data" --check "$work/second" 2>"$work/err"; then fail "--check accepts a stale version"; fi
grep -q "out of date" "$work/err" || fail "stale: $(cat "$work/err")"
mkdir "$work/empty"
if "$make_data" --check "$work/empty" 2>/dev/null; then fail "--check accepts a folder without .version"; fi
if "$make_data" --check "$work/missing" 2>"$work/err"; then fail "--check accepts a missing folder"; fi
[ "$(cat "$work/err")" = "make-data: $work/missing/: No such file or directory" ] || fail "missing: $(cat "$work/err")"
echo "ok   same bytes, the record and the version check"

# A folder the user has worked in: their files are never overwritten or deleted, whether
# the pack is current or older; make-data's own missing or older files are written again.
mine=$work/mine
cp -r "$pack" "$mine"
printf 'my own barf' > "$mine/barf.png"
printf 'my notes' > "$mine/notes.txt"
printf 'my temporary' > "$mine/glasses.png.tmp"
rm "$mine/jtranim/jtr01.png"
ln -sf ../barf.png "$mine/jtranim/jtr02.png"
rm "$mine/vorb_06_mp3.mp3"
# --check names every missing file.
if "$make_data" --check "$mine" 2>"$work/err"; then fail "--check accepts missing files"; fi
[ "$(grep -c 'is missing$' "$work/err")" = 2 ] || fail "--check: $(cat "$work/err")"
grep -q "^make-data: $mine/vorb_06_mp3.mp3 is missing$" "$work/err" || fail "--check: $(cat "$work/err")"
# An older make-data wrote lonestar.png with other bytes: it is brought up to date.
printf 'older make-data' > "$mine/lonestar.png"
old_digest=$(printf 'older make-data' | sha256sum | cut -d' ' -f1)
sed -i "1s/.*/make-data 0/; s/^[0-9a-f]*  lonestar.png\$/$old_digest  lonestar.png/" "$mine/.version"
"$make_data" "$mine" 2>"$work/err" || fail "run over the user's folder failed: $(cat "$work/err")"
[ "$(cat "$mine/barf.png")" = "my own barf" ] || fail "barf.png of the user's was overwritten"
[ "$(cat "$mine/notes.txt")" = "my notes" ] || fail "notes.txt changed"
[ "$(cat "$mine/glasses.png.tmp")" = "my temporary" ] || fail "glasses.png.tmp of the user's changed"
[ -L "$mine/jtranim/jtr02.png" ] || fail "the user's link was replaced"
for name in lonestar.png jtranim/jtr01.png vorb_06_mp3.mp3; do
  cmp -s "$pack/$name" "$mine/$name" || fail "$name was not written again"
done
grep -q "^make-data: keeping $mine/barf.png: it is not the file make-data wrote there$" "$work/err" ||
  fail "no line naming barf.png: $(cat "$work/err")"
[ "$(grep -c '^make-data: keeping' "$work/err")" = 2 ] || fail "not two files kept: $(cat "$work/err")"
"$make_data" --check "$mine" || fail "--check rejects a complete folder with the user's files"
# A second run changes nothing and says so again.
"$make_data" "$mine" 2>"$work/err"
[ "$(cat "$mine/barf.png")" = "my own barf" ] || fail "barf.png overwritten on the second run"
grep -q "nothing to write in $mine/ (make-data 1); kept 2 of yours" "$work/err" || fail "second run: $(cat "$work/err")"
# Once the user's file is gone, make-data's comes back.
rm "$mine/barf.png"
"$make_data" "$mine" 2>/dev/null
cmp -s "$pack/barf.png" "$mine/barf.png" || fail "barf.png not written again after the user removed theirs"
echo "ok   the user's files are kept, make-data's own are brought up to date"

# --help prints the usage on stdout; bad arguments print it on stderr and fail.
"$make_data" --help | grep -q '^usage: make-data OUTDIR' || fail "--help prints no usage"
"$make_data" --version | grep -qx 'make-data [0-9][0-9A-Za-z.+~-]*' || fail "--version prints no version"
if "$make_data" 2>"$work/err"; then fail "no arguments accepted"; fi
grep -q '^usage:' "$work/err" || fail "no usage after bad arguments"
if "$make_data" --bogus "$work/x" 2>"$work/err"; then fail "unknown option accepted"; fi

# An output folder that cannot be created: exit 1, message names the path and reason.
touch "$work/plainfile"
if "$make_data" "$work/plainfile/out" 2>"$work/err"; then fail "wrote under a plain file"; fi
grep -q "^make-data: cannot create folder $work/plainfile: Not a directory$" "$work/err" ||
  { cat "$work/err" >&2; fail "unexpected message"; }
echo "ok   usage and unwritable folders"
