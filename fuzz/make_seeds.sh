#!/usr/bin/env bash
# Seed corpora for the fuzz targets: the generated data, the damaged copies of
# the bad-input table and a few hand-written files with unusual but valid
# features.  fuzz/make_seeds.sh BUILD_DIR OUT_DIR
set -u
build=$1 out=$2
damage=$(dirname "$0")/../tests/run/damage.py
mkdir -p "$out/obj" "$out/mtl" "$out/bzobj" "$out/markers" "$out/midi" "$out/texture"
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

# Marker script: the show's own, and copies with CR-LF ends and with a
# byte-order mark.
markers=$build/data/script/markers.txt
cp "$markers" "$out/markers/"
python3 "$damage" crlf "$out/markers/crlf.txt" "$markers"
python3 "$damage" bom "$out/markers/bom.txt" "$markers"
# MIDI: the target builds its own chunks around the input, so the seeds are
# track bodies behind its four control bytes (track count, division, lie).
python3 - "$build/data/music/goa3_3.mid" "$out/midi" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read()
offset, bodies = 14, []
while offset + 8 <= len(data):
    length = struct.unpack(">I", data[offset + 4:offset + 8])[0]
    bodies.append(data[offset + 8:offset + 8 + length])
    offset += 8 + length
for i, body in enumerate(bodies[:12]):
    open(f"{sys.argv[2]}/track{i}", "wb").write(bytes([1, 1, 0xE0, 0]) + body[:4000])
open(f"{sys.argv[2]}/two-tracks-smpte", "wb").write(bytes([2, 0xE7, 40, 1]) + bodies[1][:900] + bodies[2][:900])
PY
# Pictures: the small generated ones, the damaged PNG and JPEG headers and a
# tiny picture in every other format the image library reads.
for f in checker.jpg particleglow.jpg default_white.png Mandala_slices_color_correction_redyellow.png fontlist.png; do
    cp "$build/data/textures/$f" "$out/texture/"
done
for kind in png-grey png-palette png-16bit png-60000; do python3 "$damage" $kind "$out/texture/$kind"; done
python3 "$damage" jpeg-60000 "$out/texture/jpeg-60000" "$build/data/textures/checker.jpg"
for ext in bmp tga tiff gif pcx ppm; do
    ffmpeg -loglevel error -y -f lavfi -i testsrc=size=12x9 -frames:v 1 "$out/texture/tiny.$ext"
done
ffmpeg -loglevel error -y -f lavfi -i testsrc=size=12x9 -frames:v 1 -pix_fmt rgba "$out/texture/rgba.png"
