#!/usr/bin/env bash
# The look check: captures one group of the reference frames (show or
# scenes) and compares them with tests/golden/GROUP. On a change it names
# the frames, leaves the captures and reference | capture | difference
# strips under BUILD_DIR/golden, and says how to accept the new look.
# usage: check.sh BUILD_DIR GROUP
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$1 group=$2
work=$build/golden
rm -rf "$work/captured/$group" "$work/differences/$group"
"$root/scripts/capture-golden.sh" "$build" "$work/captured" "$group"
status=0
"$build/bin/quorvane-compare" "$root/tests/golden/$group" "$work/captured/$group" "$work/differences/$group" ||
  status=$?
if [ "$status" -eq 1 ]; then
  echo "the look changed: captures in $work/captured/$group, differences in $work/differences/$group"
  echo "if the new look is intended, accept it with scripts/update-golden.sh and commit the pictures"
fi
exit "$status"
