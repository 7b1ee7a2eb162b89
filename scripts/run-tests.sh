#!/usr/bin/env bash
# Installs dependencies, builds, and runs every test under a virtual X server
# with Mesa's software rasteriser, so no GPU or sound card is needed. The unit
# and GL tests run twice: against the program's code as built, and against
# a copy built with AddressSanitizer and UndefinedBehaviorSanitizer (labels
# unit-asan, gl-asan).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" -DQV_SANITIZED_TESTS=ON
export LIBGL_ALWAYS_SOFTWARE=1
export GALLIUM_DRIVER=llvmpipe
export SDL_AUDIODRIVER=dummy
cd "$root/build"
xvfb-run -a -s "-screen 0 1280x720x24" \
  ctest --output-on-failure --timeout 300 --parallel "$(nproc)" "$@"
