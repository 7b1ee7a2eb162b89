# Sourced by the whole-program runs that replace one data file: copies the
# program into a temporary tree of its own ($tree, removed at exit) with the
# build's shaders and every data directory linked, except those named as
# arguments, which are left for the caller to fill (data is found beside the
# executable). Needs $exe.
build=$(cd "$(dirname "$exe")/.." && pwd)
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree/bin" "$tree/data"
cp "$exe" "$tree/bin/"
ln -s "$build/src" "$tree/src"
for d in textures models music script; do
    if [[ " $* " == *" $d "* ]]; then
        mkdir -p "$tree/data/$d"
    else
        ln -s "$build/data/$d" "$tree/data/$d"
    fi
done
