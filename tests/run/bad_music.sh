#!/usr/bin/env bash
# A text file in place of the music ends the program before the show, with a
# message naming the file and a failure code (the show has no timing without
# its music).
set -u
exe=$1
source "$(dirname "$0")/private_tree.bash" music
ln -s "$build/data/music/goa3_3.mid" "$tree/data/music/goa3_3.mid"
echo "this is not music" > "$tree/data/music/goa3_4_master.mp3"

timeout 60 "$tree/bin/quorvane" > "$tree/out" 2> "$tree/err"
rc=$?
failures=0
[ $rc -eq 255 ] || { echo "FAIL: exit code $rc"; failures=1; }
grep -q '## ERROR: cannot play the music "../data/music/goa3_4_master.mp3"' "$tree/err" ||
    { echo "FAIL: no message naming the music"; failures=1; }
grep -q "demo start" "$tree/out" && { echo "FAIL: the show started"; failures=1; }
if [ $failures -ne 0 ]; then
    echo "--- stdout"; cat "$tree/out"; echo "--- stderr"; cat "$tree/err"
    exit 1
fi
echo "bad music: 1 passed, 0 failed"
