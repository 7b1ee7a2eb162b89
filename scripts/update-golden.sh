#!/usr/bin/env bash
# Accepts a new look: recaptures every reference frame of
# tests/golden/frames.txt, says which frames changed and by how much, and
# replaces tests/golden/show and tests/golden/scenes with the new pictures,
# ready to be reviewed and committed.
# usage: update-golden.sh [BUILD_DIR]   (default: build, built first)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
cmake --build "$build" --target quorvane-capture quorvane-compare quorvane_data
new=$(mktemp -d)
trap 'rm -rf "$new"' EXIT
echo "update-golden: capturing (about two minutes)"
"$root/scripts/capture-golden.sh" "$build" "$new"
echo "update-golden: against the references before:"
"$build/bin/quorvane-compare" "$root/tests/golden" "$new" || true
for group in show scenes; do
  rm -rf "${root:?}/tests/golden/$group"
  cp -r "$new/$group" "$root/tests/golden/$group"
done
echo "update-golden: tests/golden updated; review the pictures with git status and commit them"
