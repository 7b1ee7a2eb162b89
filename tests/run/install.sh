#!/usr/bin/env bash
# The installed programs find their data without the build tree: installs
# into a temporary prefix, builds the Debian package and the archive and
# unpacks both into temporary roots, then from each tree runs the installed capture tool for one
# scene frame (compared with its reference picture) and the installed demo
# to its quit path, with the build and source trees hidden behind empty
# mounts. Checks the package with lintian when it is installed.
set -u
exe=$1
build=$(cd "$(dirname "$exe")/.." && pwd)
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# A private mount namespace: as root directly, otherwise as a mapped root.
if unshare --mount true 2>/dev/null; then
    hide=(unshare --mount)
elif unshare --map-root-user --mount true 2>/dev/null; then
    hide=(unshare --map-root-user --mount)
else
    echo "install: no mount namespace available here, skipped"
    exit 77
fi

cmake --install "$build" --prefix "$work/prefix" >"$work/install.log" 2>&1 ||
    { cat "$work/install.log"; fail "cmake --install"; }
(cd "$build" && cpack -G DEB -B "$work/deb") >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fail "cpack -G DEB"; }
deb=$(ls "$work"/deb/*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] && dpkg-deb -x "$deb" "$work/root" || fail "no package to unpack"
(cd "$build" && cpack -G TGZ -B "$work/tgz") >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fail "cpack -G TGZ"; }
mkdir -p "$work/archive"
tar -xzf "$work"/tgz/*.tar.gz -C "$work/archive" || fail "no archive to unpack"
if [ -n "$deb" ] && command -v lintian >/dev/null; then
    lintian --fail-on error "$deb" >"$work/lintian.log" 2>&1 || { cat "$work/lintian.log"; fail "lintian"; }
fi

# Runs inside the namespace: the build and source trees are empty there.
run_installed() {  # bin dir, output dir
    mount -t tmpfs none "$BUILD" && mount -t tmpfs none "$SOURCE" || return 2
    cd "$2" || return 2
    "$1/quorvane-capture" --size 320x180 --scene 13 --fps 10 --at 4000 \
        --set campath=0 --set scene_t=0.5 --png "$2/13-ganesh.png" >capture.log 2>&1 || return 3
    "$1/quorvane" >demo.out 2>demo.err &
    local pid=$! waited=0
    until grep -q "demo start" demo.out; do
        sleep 0.5; waited=$((waited + 1))
        [ $waited -lt 180 ] && kill -0 $pid 2>/dev/null || { kill -9 $pid 2>/dev/null; return 4; }
    done
    kill -TERM $pid
    wait $pid || return 5
    [ "$(tail -n 1 demo.out)" = "requested exit" ] || return 6
}

for bin in "$work/prefix/bin" "$work/root/usr/bin" "$work"/archive/*/bin; do
    out=$(mktemp -d "$work/run.XXXX")
    status=0
    BUILD=$build SOURCE=$root "${hide[@]}" bash -c "$(declare -f run_installed); run_installed '$bin' '$out'" ||
        status=$?
    case $status in
        0) ;;
        3) fail "$bin/quorvane-capture failed:"; tail -5 "$out/capture.log" ;;
        4|5|6) fail "$bin/quorvane did not play to its quit path (step $status):"; tail -5 "$out/demo.err" ;;
        *) fail "could not hide the build tree for $bin (status $status)" ;;
    esac
    mkdir -p "$out/reference"
    cp "$root/tests/golden/scenes/13-ganesh.png" "$out/reference/"
    mkdir -p "$out/captured" && mv "$out/13-ganesh.png" "$out/captured/" 2>/dev/null
    "$build/bin/quorvane-compare" "$out/reference" "$out/captured" >"$out/compare.log" 2>&1 ||
        { cat "$out/compare.log"; fail "the frame from $bin differs from its reference"; }
done

[ $failures -eq 0 ] && echo "install: 3 passed, 0 failed"
exit $failures
