#!/usr/bin/env bash
# Writes docs/preview.webp, the moving picture at the top of the README: five
# short cuts from the strongest moments of the built show (about 8 s in all,
# 480x270, 15 fps), looping. One capture run draws the show up to the last
# cut and keeps only the frames of the cuts; ffmpeg joins them into an
# animated WebP, lowering its quality until it fits in 3 MB.
# usage: scripts/preview.sh [BUILD_DIR] [OUT.webp]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
out=${2:-$root/docs/preview.webp}
fps=15
cut_ms=1600
max_bytes=$((3 * 1024 * 1024))
# The title card, the flower field, the mandala drop, the statue, the second
# rose over the 3D kaleidoscope.
cuts=(21000 31000 44000 124000 160000)

command -v ffmpeg >/dev/null || { echo "preview: needs ffmpeg (apt-get install ffmpeg)" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The moments of every cut, on the capture's frame grid.
moments=()
for start in "${cuts[@]}"; do
  for ((j = 0; j < cut_ms * fps / 1000; ++j)); do
    moments+=($((start + (j * 1000 + fps / 2) / fps)))
  done
done
list=$(IFS=,; echo "${moments[*]}")

export LIBGL_ALWAYS_SOFTWARE=${LIBGL_ALWAYS_SOFTWARE:-1} SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
echo "preview: capturing ${#moments[@]} frames (the show is drawn up to $((${cuts[-1]} / 1000 + 2)) s)"
"$build/bin/quorvane-capture" --size 480x270 --fps "$fps" --at "$list" --png "$work/frames" >"$work/capture.log" 2>&1 ||
  { tail -5 "$work/capture.log" >&2; exit 1; }

# Numbered in show order, which is also the order of the cuts.
n=0
for ms in "${moments[@]}"; do
  ln -s "$work/frames/$(printf '%06d' "$ms")ms.png" "$work/$(printf '%04d' $n).png"
  n=$((n + 1))
done

for quality in 75 65 55 45 35; do
  ffmpeg -loglevel error -y -framerate "$fps" -i "$work/%04d.png" -c:v libwebp_anim -lossless 0 \
    -quality "$quality" -compression_level 6 -loop 0 "$work/preview.webp"
  size=$(stat -c %s "$work/preview.webp")
  if [ "$size" -le "$max_bytes" ]; then
    mkdir -p "$(dirname "$out")"
    mv "$work/preview.webp" "$out"
    echo "preview: $out, $((size / 1024)) kB at quality $quality"
    exit 0
  fi
done
echo "preview: even at the lowest quality the loop is $((size / 1024)) kB, over 3 MB" >&2
exit 1
