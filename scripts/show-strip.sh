#!/usr/bin/env bash
# Regenerates the README's frame strip, docs/show/*.jpg: one moment of each
# part of the show, captured from the built show by quorvane-capture at
# 480x270 and written as small JPEGs (needs ffmpeg). Run after a build, from
# anywhere; on a machine without a GPU it takes a few minutes.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
capture=$root/build/bin/quorvane-capture
out=$root/docs/show
fps=5
# Demo times (ms) of the strip's frames, one per part of the show.
times=(9000 21000 31000 44000 60000 92000 124000 146000 160000 176000 189000 214000)

frames=$(mktemp -d)
trap 'rm -rf "$frames"' EXIT
# One pass over the show up to the last moment; frame k is at k x 1000 / fps ms.
"$capture" --size 480x270 --fps "$fps" --to $((times[-1] + 1)) --png "$frames"
rm -rf "$out"
mkdir -p "$out"
for t in "${times[@]}"; do
    frame=$(printf '%06d' $((t * fps / 1000)))
    ffmpeg -loglevel error -y -i "$frames/$frame.png" -q:v 6 "$out/$(printf '%06d' "$t").jpg"
done
du -ch "$out"/*.jpg | tail -1
