#!/usr/bin/env bash
# AddressSanitizer + UndefinedBehaviorSanitizer (with LeakSanitizer at exit)
# build in build-asan/, then the unit and GL tests and one whole-show run of
# quorvane-capture under it; a second whole-show run, of the plain build in
# build/, checks that the resident size stays flat.
#
#   scripts/sanitize.sh [unit] [gl] [show]    (default: all three)
#
# Any sanitizer report fails the step that printed it. Leaks inside the GL
# driver, SDL and libdbus are suppressed in scripts/lsan.supp (each entry says
# why); everything else counts. JOBS (default 2) sets the build's parallelism,
# SHOW_SIZE / SHOW_FPS the whole-show run (default 320x180 at 10 fps).
set -u -o pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$root/build-asan
steps=("$@")
[ ${#steps[@]} -gt 0 ] || steps=(unit gl show)
# -O1 -g1: about half the compile time of RelWithDebInfo on two cores, with
# line numbers in every report.
flags="-O1 -g1 -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export LSAN_OPTIONS=suppressions=$root/scripts/lsan.supp:print_suppressions=0
export LIBGL_ALWAYS_SOFTWARE=1 GALLIUM_DRIVER=llvmpipe SDL_AUDIODRIVER=dummy

failures=0
say() { echo "sanitize: $*"; }

build() {
    local t0=$SECONDS
    cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Sanitize \
        -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_C_FLAGS="$flags" > "$dir/configure.log" 2>&1 ||
        { cat "$dir/configure.log"; exit 1; }
    # Only what the chosen steps run (the unit tests need the tools too).
    local targets=() step
    for step in "${steps[@]}"; do
        case $step in
            unit) targets+=(quorvane_unit_tests) ;;
            gl) targets+=(quorvane_gl_tests) ;;
            show) targets+=(quorvane-capture) ;;
        esac
    done
    cmake --build "$dir" --parallel "${JOBS:-2}" --target "${targets[@]}" || exit 1
    say "build: $((SECONDS - t0)) s"
}

# ctest LABEL: the label's tests under a virtual X server; a sanitizer report
# makes the test fail (the test binary exits non-zero).
run_tests() {
    local t0=$SECONDS
    (cd "$dir" && xvfb-run -a -s "-screen 0 1280x720x24" \
        ctest -L "$1" --output-on-failure --timeout 600 --parallel "${JOBS:-2}") || failures=$((failures + 1))
    say "$1 tests: $((SECONDS - t0)) s"
}

kib() { awk '/^VmRSS:/ {print $2}' "/proc/$1/status" 2>/dev/null; }

# run_show BUILD NAME: the whole show through BUILD's capture tool, writing
# one sheet; the resident size is sampled five times a second. "Start" is
# the first sample after loading (the MIDI file is read last), growth is what
# the end adds to the size one minute after that (or half-way, for a shorter
# run). Only the plain build's growth is checked: ASan holds freed blocks in
# a quarantine of up to 256 MB, so its resident size swings by tens of MB.
run_show() {
    local build=$1 name=$2 out=$dir/show-$2 t0=$SECONDS
    mkdir -p "$out"
    # No X server: the tool renders through EGL off-screen, and $! is the
    # tool itself, whose size is sampled.
    env -u DISPLAY "$build/bin/quorvane-capture" --size "${SHOW_SIZE:-320x180}" \
        --fps "${SHOW_FPS:-10}" --sheet "$out/sheet.png" > "$out/log" 2>&1 &
    local pid=$!
    : > "$out/rss"
    local loaded=0 kb
    while kb=$(kib "$pid") && [ -n "$kb" ]; do
        [ $loaded = 0 ] && grep -q "Reading tracks" "$out/log" && loaded=1
        echo "$(date +%s.%N) $kb $loaded" >> "$out/rss"
        sleep 0.2
    done
    wait "$pid"
    local rc=$?
    if [ $rc -ne 0 ] || grep -q "runtime error:\|AddressSanitizer\|LeakSanitizer" "$out/log"; then
        say "whole show ($name): exit code $rc"; tail -n 40 "$out/log"; failures=$((failures + 1))
    fi
    say "whole show ($name): $((SECONDS - t0)) s; $(grep -a 'frames in' "$out/log")"
    awk -v check=$([ "$name" = plain ] && echo 1 || echo 0) -v name="$name" '
        BEGIN { n = 0 }
        $3 == 1 { t[n] = $1; r[n] = $2; n++ }
        END {
            if (n < 2) { print "sanitize: resident size: the show ended while loading (" NR " samples); no growth to measure"; exit }
            ref = int(n / 2)
            for (i = 0; i < n; i++) if (t[i] - t[0] >= 60) { ref = i; break }
            peak = 0
            for (i = 0; i < n; i++) if (r[i] > peak) peak = r[i]
            growth = r[n - 1] - r[ref]
            printf "sanitize: resident size (" name ") after loading: start %.1f MB, peak %.1f MB, end %.1f MB; growth after %.0f s: %.1f MB (%d samples over %.0f s)\n",
                r[0] / 1024, peak / 1024, r[n - 1] / 1024, t[ref] - t[0], growth / 1024, n, t[n - 1] - t[0]
            if (check && growth > 5 * 1024) { print "sanitize: FAIL: more than 5 MB growth"; exit 1 }
        }' "$out/rss" || failures=$((failures + 1))
}

for step in "${steps[@]}"; do
    case $step in unit | gl | show) ;; *) echo "usage: scripts/sanitize.sh [unit] [gl] [show]"; exit 2 ;; esac
done
mkdir -p "$dir"
build
for step in "${steps[@]}"; do
    case $step in
        unit | gl) run_tests "$step" ;;
        show)
            run_show "$dir" sanitized
            if [ -x "$root/build/bin/quorvane-capture" ]; then
                run_show "$root/build" plain
            else
                say "no plain build in build/: memory growth not measured"
            fi ;;
    esac
done
[ $failures -eq 0 ] && say "clean" || say "$failures step(s) failed"
exit $((failures > 0))
