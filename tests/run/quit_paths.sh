#!/usr/bin/env bash
# Plays the demo headless three times and ends it each way a viewer can:
# Escape, a held 'q', and the window's quit request (SDL turns SIGTERM into
# one). Each run must reach the frame loop, end with exit code 0, release
# the managers in order and print "requested exit" as its last line.
set -u
exe=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() { echo "FAIL ($mode): $*"; failures=$((failures + 1)); }

wait_for_line() {  # file, text, seconds
    local end=$((SECONDS + $3))
    while [ $SECONDS -lt $end ]; do
        grep -qF -- "$2" "$1" && return 0
        sleep 0.2
    done
    return 1
}

for mode in escape q term; do
    out=$work/$mode.out err=$work/$mode.err
    started=$SECONDS
    "$exe" >"$out" 2>"$err" &
    pid=$!
    if ! wait_for_line "$out" "demo start" 90; then
        fail "never reached the frame loop"; kill -9 $pid; continue
    fi
    # Five seconds of loading hold and a 1.5 s fade come before the show.
    [ $((SECONDS - started)) -ge 6 ] || fail "loading phase took only $((SECONDS - started)) s"
    sleep 1
    case $mode in
        escape) xdotool key Escape ;;
        # Held until the program sees it: a frame of the show can take longer
        # than a quick tap on a software renderer.
        q) xdotool keydown q
           for _ in $(seq 50); do kill -0 $pid 2>/dev/null || break; sleep 0.2; done
           xdotool keyup q ;;
        term) kill -TERM $pid ;;
    esac
    for _ in $(seq 100); do kill -0 $pid 2>/dev/null || break; sleep 0.2; done
    if kill -0 $pid 2>/dev/null; then fail "still running"; kill -9 $pid; fi
    wait $pid; rc=$?
    [ $rc -eq 0 ] || fail "exit code $rc"
    [ "$(tail -n 1 "$out")" = "requested exit" ] || fail "last line: $(tail -n 1 "$out")"
    grep -qx "# opened window 1280x720" "$out" || fail "no window line"
    [ "$(grep -c '^# glinfo: Vendor:\|^#         Renderer: \|^#         Version:  ' "$out")" -eq 3 ] || fail "glinfo lines"
    grep -q 'WARNING' "$err" && fail "warnings: $(grep WARNING "$err" | head -3)"
    # The exit handler's order shows in the log: render targets report last.
    grep -q "^# rtt-manager: maximum concurrently allocated RTs: " "$out" || fail "no render-target report"
    [ "$(tail -n 2 "$out" | head -n 1 | cut -c1-14)" = "# rtt-manager:" ] || fail "report not right before the end"
    if [ $failures -gt 0 ]; then
        echo "--- stdout"; cat "$out"; echo "--- stderr"; cat "$err"
    fi
done

[ $failures -eq 0 ] && echo "quit paths: 3 passed, 0 failed"
exit $failures
