#!/usr/bin/env bash
# What a frame of the show costs on any GPU: captures the show at 640x360
# with the built quorvane-capture's profile (10 fps: about 8 minutes on two
# cores without a GPU), or reads a profile given as the argument, and prints
# per section the pixels written per screen pixel, draw calls, primitives and
# passes per frame, then the ten most expensive frames with their layers
# (scripts/perf_report.py says how).
#   scripts/perf-report.sh [profile.csv [WxH]]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
profile=${1:-}
size=${2:-640x360}
if [ -z "$profile" ]; then
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    profile=$work/profile.csv
    "$root/build/bin/quorvane-capture" --size "$size" --fps 10 --profile "$profile" > /dev/null
fi
/usr/bin/python3 "$root/scripts/perf_report.py" --size "$size" "$profile"
