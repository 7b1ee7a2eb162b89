#!/usr/bin/env bash
# What a frame of the show costs on any GPU: captures the show in its own
# 1280x720 window size with the built quorvane-capture's profile (2 frames a
# second: about 10 minutes on two cores without a GPU), or reads a profile
# given as the argument (with the size it was captured at), and prints per
# section the pixels written per screen pixel, draw calls, primitives and
# passes per frame, then the ten most expensive frames with their layers
# (scripts/perf_report.py says how). Points and lines are sized in pixels,
# so a smaller capture overstates their share of the screen.
#   scripts/perf-report.sh [profile.csv [WxH]]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
profile=${1:-}
size=${2:-1280x720}
if [ -z "$profile" ]; then
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    profile=$work/profile.csv
    "$root/build/bin/quorvane-capture" --size "$size" --fps 2 --profile "$profile" > /dev/null
fi
/usr/bin/python3 "$root/scripts/perf_report.py" --size "$size" "$profile"
