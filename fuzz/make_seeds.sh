#!/usr/bin/env bash
# Seed corpora for the model reader fuzz targets: the generated models, the
# damaged copies of the bad-input table and a few hand-written files with
# unusual but valid features.  fuzz/make_seeds.sh BUILD_DIR OUT_DIR
set -u
build=$1 out=$2
damage=$(dirname "$0")/../tests/run/damage.py
mkdir -p "$out/obj" "$out/mtl" "$out/bzobj"
cp "$build"/data/models/*.bzobj "$build"/data/models/title/*.bzobj "$out/bzobj/"
for kind in bzobj-huge-counts bzobj-huge-size; do
    python3 "$damage" $kind "$out/bzobj/$kind" "$build/data/models/octahedra.bzobj"
done
for kind in obj obj-out-of-range; do python3 "$damage" $kind "$out/obj/$kind"; done
for kind in mtl mtl-before-newmtl; do python3 "$damage" $kind "$out/mtl/$kind"; done
# Negative indices, all three index forms, a pentagon, groups, smoothing,
# CR-LF line ends and a material switch mid-object.
printf 'o thing\r\nmtllib m.mtl\r\nv 0 0 0\r\nv 1 0 0\r\nv 1 1 0\r\nv 0 1 0\r\nv 0.5 1.5 0\r\nvt 0 0\r\nvt 1 1\r\nvn 0 0 1\r\ng a\r\ns 1\r\nusemtl a\r\nf -5/1/1 -4/2/1 -3/2/1 -2/1/1 -1/1/1\r\nusemtl b\r\nf 1//1 2//1 3//1\r\ns off\r\nf 1 3 4\r\n' > "$out/obj/features.obj"
printf '# every field\nnewmtl a\nKa 0.1 0.1 0.1\nKd 1 0.5 0\nKs 1 1 1\nNs 96\nd 0.5\nNi 1.5\nillum 2\nmap_Ka a.png\nmap_Kd b.jpg\nmap_Ks c.png\nbump n.png\nmap_d m.png\n\nnewmtl b\nTr 0.25\n' > "$out/mtl/features.mtl"
