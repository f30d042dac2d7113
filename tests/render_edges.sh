#!/bin/sh
# intro-render at the edges of its outputs: read-only files and symbolic links, an encoder
# that stops reading, Ctrl-C while a FIFO output waits for its reader, and a PATH whose
# first "ffmpeg" is no program.
# usage: render_edges.sh INTRO_RENDER PACK_DIR WORK_DIR   (PACK_DIR made by the fixture)
set -eu
render=$(realpath "$1")
pack=$(realpath "$2")
rm -rf "$3"
mkdir -p "$3"
work=$(realpath "$3")
cd "$work"
fail() { echo "render_edges: $*" >&2; exit 1; }
no_temporaries() { if find "$work" -name '*.tmp' | grep -q .; then fail "temporary files left: $(find "$work" -name '*.tmp')"; fi; }
# ends_within SECONDS PID: waits for PID to end, up to SECONDS; its exit status in $status.
ends_within() {
  tries=0
  while kill -0 "$2" 2>/dev/null; do
    tries=$((tries + 1))
    if [ "$tries" -gt $(($1 * 10)) ]; then
      kill -KILL "$2" 2>/dev/null || true
      wait "$2" 2>/dev/null || true
      return 1
    fi
    sleep 0.1
  done
  status=0
  wait "$2" || status=$?
}

# -o onto a symbolic link writes the file it points to; the link stays, as with any tool
# that writes a file. A dangling link gets its file made.
printf 'old picture' > target.png
ln -s target.png link.png
ln -s sub/made.png dangling.png
"$render" --data "$pack" --beat 101 -o link.png 2>/dev/null || fail "writing through a link failed"
"$render" --data "$pack" --beat 101 -o dangling.png 2>/dev/null || fail "writing through a dangling link failed"
[ -L link.png ] && [ "$(readlink link.png)" = target.png ] || fail "the link was replaced"
[ -L dangling.png ] || fail "the dangling link was replaced"
"$render" --data "$pack" --beat 101 -o direct.png 2>/dev/null
cmp -s direct.png target.png || fail "the link's target does not hold the picture"
cmp -s direct.png sub/made.png || fail "the dangling link's target does not hold the picture"
# A replaced file keeps its permission bits.
chmod 640 target.png
"$render" --data "$pack" --beat 101 -o link.png 2>/dev/null
[ "$(stat -c %a target.png)" = 640 ] || fail "the replaced file has mode $(stat -c %a target.png), not 640"
no_temporaries
echo "ok   symbolic links are written through; a replaced file keeps its mode"

# As an ordinary user, a read-only file in a writable folder is refused as a direct write
# would be, and left as it was.
as_user=""
if [ "$(id -u)" != 0 ]; then
  as_user=" "
elif setpriv --reuid=nobody --regid=nogroup --clear-groups true 2>/dev/null; then
  as_user="setpriv --reuid=nobody --regid=nogroup --clear-groups"
fi
if [ -z "$as_user" ]; then
  echo "skip read-only outputs: running as root and cannot switch to the user nobody"
else
  shared=$(mktemp -d)
  chmod 777 "$shared"
  $as_user sh -c "printf 'keep me' > '$shared/ro.png' && chmod 444 '$shared/ro.png' &&
                  printf 'keep me' > '$shared/ro.raw' && chmod 444 '$shared/ro.raw'"
  for args in "--beat 101 -o ro.png" "--beat 101 --raw -o ro.raw"; do
    out=${args##* }
    status=0
    (cd "$shared" && $as_user "$render" --data "$pack" $args) 2>err || status=$?
    [ "$status" = 1 ] || { rm -rf "$shared"; fail "read-only $out: exit status $status, not 1"; }
    [ "$(tail -n 1 err)" = "intro-render: cannot write $out: Permission denied" ] ||
      { rm -rf "$shared"; fail "read-only $out: $(tail -n 1 err)"; }
    [ "$(cat "$shared/$out")" = "keep me" ] || { rm -rf "$shared"; fail "read-only $out was replaced"; }
  done
  leftovers=$(ls "$shared" | grep -c tmp || true)
  rm -rf "$shared"
  [ "$leftovers" = 0 ] || fail "temporary files left beside the read-only files"
  echo "ok   read-only outputs are refused with Permission denied"
fi

# An encoder that stops reading: SIGTERM still ends the run at once with 143, the encoder
# is stopped (even one that ignores SIGTERM) and no file is left.
mkdir stuck
cat > stuck/ffmpeg <<'SCRIPT'
#!/bin/sh
echo $$ > "$STUCK_PID"
trap '' TERM
while :; do sleep 1; done
SCRIPT
chmod +x stuck/ffmpeg
STUCK_PID=$work/stuck.pid PATH="$work/stuck:$PATH" "$render" --data "$pack" --fps 60 --no-audio --video stuck.mp4 2>err &
pid=$!
tries=0
until [ -s stuck.pid ]; do
  tries=$((tries + 1)); [ "$tries" -le 100 ] || fail "the stuck encoder never started"; sleep 0.1
done
sleep 1
kill -TERM "$pid"
ends_within 10 "$pid" || fail "SIGTERM with a blocked encoder: still running after 10 s"
[ "$status" = 143 ] || fail "SIGTERM with a blocked encoder: exit status $status, not 143"
[ "$(tail -n 1 err)" = "intro-render: interrupted; stuck.mp4 not written" ] || fail "blocked encoder: $(cat err)"
! kill -0 "$(cat stuck.pid)" 2>/dev/null || fail "the stuck encoder is still running"
[ ! -e stuck.mp4 ] || fail "stuck.mp4 was left"
no_temporaries
echo "ok   SIGTERM with an encoder that stopped reading"

# Ctrl-C while a FIFO output waits for its reader: reported as an interrupt, status 130.
mkfifo waiting.raw
"$render" --data "$pack" --beat 101 --raw -o waiting.raw 2>err &
pid=$!
sleep 1
kill -INT "$pid"
ends_within 10 "$pid" || fail "Ctrl-C while opening a FIFO: still running"
[ "$status" = 130 ] || fail "Ctrl-C while opening a FIFO: exit status $status, not 130"
[ "$(tail -n 1 err)" = "intro-render: interrupted; waiting.raw not written" ] || fail "FIFO: $(tail -n 1 err)"
[ -p waiting.raw ] || fail "the FIFO was replaced"
echo "ok   Ctrl-C while opening a FIFO"

# A folder and a file without execute permission named ffmpeg earlier on PATH are passed
# over for the real encoder further on, as the shell does.
if command -v ffmpeg >/dev/null; then
  mkdir -p shadow/ffmpeg noexec
  printf '#!/bin/sh\nexit 1\n' > noexec/ffmpeg
  chmod 644 noexec/ffmpeg
  PATH="$work/shadow:$work/noexec:$PATH" "$render" --data "$pack" --fps 4 --to 0.5 --scale 2 --no-audio \
    --video found.mp4 2>err || fail "ffmpeg further on PATH not found: $(cat err)"
  [ -s found.mp4 ] || fail "found.mp4 not written"
  echo "ok   PATH search passes over what is not a program"
else
  echo "skip PATH search: no ffmpeg"
fi
