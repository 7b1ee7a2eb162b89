#!/usr/bin/env bash
# Captures the reference frames listed in tests/golden/frames.txt at 320x180
# into OUT_DIR, keeping their names (show/006500ms.png, scenes/09-rose.png).
# GROUP (show or scenes) captures only the lines of that directory. Always
# drawn by Mesa's software rasteriser, so that every machine draws the same
# pictures as the one that made the references.
# usage: capture-golden.sh BUILD_DIR OUT_DIR [GROUP]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$1 out=$2 group=${3:-}
export LIBGL_ALWAYS_SOFTWARE=1 GALLIUM_DRIVER=llvmpipe SDL_AUDIODRIVER=dummy
log=$(mktemp)
trap 'rm -f "$log"' EXIT
while read -r name args; do
  [[ -z $name || $name == \#* ]] && continue
  [[ -z $group || $name == "$group"/* ]] || continue
  mkdir -p "$(dirname "$out/$name")"
  # shellcheck disable=SC2086  # the options are words
  if ! "$build/bin/quorvane-capture" --size 320x180 $args --png "$out/$name" >"$log" 2>&1; then
    echo "capture-golden: $name failed:" >&2
    tail -5 "$log" >&2
    exit 1
  fi
done <"$root/tests/golden/frames.txt"
