#!/bin/sh
# The final picture's QR code reads back as the show's hashtag and date.
# usage: data_pack_qr.sh ZBARIMG PICTURE
set -eu
expected='#quarkfest 2016-11-05'
got=$("$1" --raw -q "$2")
if [ "$got" != "$expected" ]; then
  echo "data_pack_qr: $2 reads as '$got', expected '$expected'" >&2
  exit 1
fi
