#!/usr/bin/env bash
# Measures how the show reads on screen: captures it at 640x360, 30 fps with
# the built quorvane-capture (about 20 minutes on two cores without a GPU),
# or takes a capture of that size given as the argument, and prints per
# section the brightness, contrast, clipped share, detail and the response
# to the music, then every weak second (scripts/look_report.py says how each
# is measured).
# Needs ffmpeg and python3-numpy (apt-get install ffmpeg python3-numpy).
#   scripts/look-report.sh [show.mp4]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if ! command -v ffmpeg > /dev/null || ! /usr/bin/python3 -c 'import numpy' 2> /dev/null; then
    echo "look-report: needs ffmpeg and python3-numpy (apt-get install ffmpeg python3-numpy)" >&2
    exit 1
fi
bin=$root/build/bin
size=640x360
fps=30

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
video=${1:-}
if [ -z "$video" ]; then
    video=$work/show.mp4
    "$bin/quorvane-capture" --size "$size" --fps "$fps" --mp4 "$video"
fi
"$bin/quorvane-inspect" notes "$root/build/data/music/goa3_3.mid" > "$work/notes.txt"
ffmpeg -loglevel error -i "$video" -vf "scale=$size,fps=$fps" -f rawvideo -pix_fmt rgb24 - |
    /usr/bin/python3 "$root/scripts/look_report.py" --size "$size" --fps "$fps" --notes "$work/notes.txt"
