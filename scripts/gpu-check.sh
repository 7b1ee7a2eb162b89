#!/usr/bin/env bash
# Whether the show holds 60 fps on this machine's GPU: plays the whole show
# through quorvane-capture's profile (GPU timer queries, nothing encoded) at
# 1280x720 and at 1920x1080, and prints per section the median and
# 99th-percentile GPU time of a frame and whether it fits 16.7 ms. Meant for a
# machine with a real GPU; under a software renderer the times say nothing.
#   scripts/gpu-check.sh [fps]     (frames per second of the replay, default 60)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
fps=${1:-60}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if command -v glxinfo > /dev/null && glxinfo -B 2> /dev/null | grep -qi "llvmpipe\|softpipe"; then
    echo "gpu-check: this display renders in software (llvmpipe): the times below are not a GPU's" >&2
fi
for size in 1280x720 1920x1080; do
    echo "== $size, $fps fps"
    "$root/build/bin/quorvane-capture" --size "$size" --fps "$fps" --profile "$work/$size.csv" > "$work/$size.log"
    grep "^profile:" "$work/$size.log" || true
    /usr/bin/python3 "$root/scripts/perf_report.py" --gpu --size "$size" "$work/$size.csv"
done
