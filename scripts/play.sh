#!/usr/bin/env bash
# Installs dependencies, builds, and plays the demo full screen.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
exec "$root/build/bin/quorvane"
