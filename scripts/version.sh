#!/bin/sh
# Prints the version of this checkout: the git description when a release tag (vX.Y...)
# is reachable ("0.2.0", or "0.2.0-3-gabc1234" three commits on, "-dirty" with changes),
# otherwise the contents of the VERSION file beside scripts/.
# usage: scripts/version.sh
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
if described=$(git -C "$root" describe --tags --match 'v[0-9]*' --dirty 2>/dev/null); then
    echo "${described#v}"
else
    tr -d ' \n' <"$root/VERSION"
    echo
fi
