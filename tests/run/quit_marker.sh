#!/usr/bin/env bash
# A demo whose marker script says "quit" one second into the show ends by
# itself in the first frame past that time, through the exit handler.
# The program is copied into a tree of its own so that it finds this
# script instead of the generated one (data is found beside the executable).
set -u
exe=$1
source "$(dirname "$0")/private_tree.bash" script
printf '# ends the show early\nquit 0:00:01:000\n' > "$tree/data/script/markers.txt"

timeout 120 "$tree/bin/quorvane" > "$tree/out" 2> "$tree/err"
rc=$?
failures=0
[ $rc -eq 0 ] || { echo "FAIL: exit code $rc"; failures=1; }
grep -q "demo start" "$tree/out" || { echo "FAIL: the show never started"; failures=1; }
[ "$(tail -n 1 "$tree/out")" = "requested exit" ] || { echo "FAIL: last line $(tail -n 1 "$tree/out")"; failures=1; }
if [ $failures -ne 0 ]; then
    echo "--- stdout"; cat "$tree/out"; echo "--- stderr"; cat "$tree/err"
    exit 1
fi
echo "quit marker: 1 passed, 0 failed"
