#!/bin/sh
# Checks that picgen is deterministic and that res/ holds what it draws:
# two runs into scratch folders must give identical bytes, equal to res/.
# usage: tools/pictures/check.sh <path-to-picgen>
set -eu
picgen=${1:?usage: check.sh <path-to-picgen>}
here=$(cd "$(dirname "$0")/../.." && pwd)
a=$(mktemp -d) b=$(mktemp -d)
trap 'rm -rf "$a" "$b"' EXIT
"$picgen" "$a"
"$picgen" "$b"
status=0
for f in "$a"/*.png; do
  name=$(basename "$f")
  cmp -s "$f" "$b/$name" || { echo "not deterministic: $name"; status=1; }
  cmp -s "$f" "$here/res/$name" || { echo "res/$name differs from what picgen draws"; status=1; }
done
[ "$status" = 0 ] && echo "pictures: deterministic, res/ up to date"
exit $status
