#!/usr/bin/env python3
"""Writes damaged or unusual copies of the demo's data files for
tests/run/bad_inputs.sh: damage.py KIND DEST [SOURCE].

Every file is made from the generated data (SOURCE) or from a few lines of
code here, so the damage is exact and nothing binary is committed."""
import os
import random
import struct
import sys
import zlib


def read(path):
    with open(path, "rb") as f:
        return f.read()


def png_chunk(kind, payload):
    body = kind + payload
    return struct.pack(">I", len(payload)) + body + struct.pack(">I", zlib.crc32(body))


def png(width, height, bit_depth, colour_type, row_bytes, extra=b"", pixels=True):
    """A PNG of one flat colour; with pixels=False only the header is true."""
    ihdr = struct.pack(">IIBBBBB", width, height, bit_depth, colour_type, 0, 0, 0)
    rows = b"".join(b"\0" + bytes([0x80]) * row_bytes for _ in range(height)) if pixels else b"\0\0"
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", ihdr) + extra +
            png_chunk(b"IDAT", zlib.compress(rows)) + png_chunk(b"IEND", b""))


def jpeg_claiming(source, width, height):
    """The source JPEG with its frame header (SOFn) saying width x height."""
    data = bytearray(source)
    i = 2
    while i + 4 <= len(data) and data[i] == 0xFF:
        marker, length = data[i + 1], struct.unpack(">H", data[i + 2:i + 4])[0]
        if 0xC0 <= marker <= 0xCF and marker not in (0xC4, 0xC8, 0xCC):
            data[i + 5:i + 9] = struct.pack(">HH", height, width)
            return bytes(data)
        i += 2 + length
    sys.exit("damage.py: no frame header in the JPEG")


def wav(seconds=1.0, rate=44100):
    frames = int(seconds * rate)
    pcm = b"\0\0\0\0" * frames
    return (b"RIFF" + struct.pack("<I", 36 + len(pcm)) + b"WAVEfmt " +
            struct.pack("<IHHIIHH", 16, 1, 2, rate, rate * 4, 4, 16) + b"data" + struct.pack("<I", len(pcm)) + pcm)


def midi_chunks(data):
    """(offset, length) of each track chunk after the header."""
    chunks, i = [], 14
    while i + 8 <= len(data):
        length = struct.unpack(">I", data[i + 4:i + 8])[0]
        chunks.append((i, length))
        i += 8 + length
    return chunks


def midi(tracks, division=480):
    header = b"MThd" + struct.pack(">IHHH", 6, 1, len(tracks), division)
    return header + b"".join(b"MTrk" + struct.pack(">I", len(t)) + t for t in tracks)


def running_status_across_tracks():
    """Track 2 begins with data bytes that only make sense with track 1's
    last status still running: they must not become notes."""
    track1 = bytes([0x00, 0x90, 60, 100, 0x60, 60, 0, 0x00, 0xFF, 0x2F, 0x00])
    track2 = bytes([0x00, 62, 100, 0x60, 62, 0, 0x00, 0x91, 64, 100, 0x60, 0x81, 64, 0, 0x00, 0xFF, 0x2F, 0x00])
    return midi([track1, track2])


def bzobj(block, claimed_size=None):
    packed = zlib.compress(block)
    size = len(block) if claimed_size is None else claimed_size
    return struct.pack("<II", size, len(packed)) + packed


def bzobj_huge_counts():
    """A block of a few bytes whose vertex and triangle counts claim
    gigabytes of data."""
    return bzobj(struct.pack("<BIII", 0, 0x20000000, 0x20000000, 0) + b"\0" * 64)


OBJ = """# a well-formed quad with a material
mtllib quad.mtl
v 0 0 0
v 1 0 0
v 1 1 0
v 0 1 0
vt 0 0
vt 1 0
vt 1 1
vt 0 1
usemtl plain
f 1/1 2/2 3/3 4/4
"""

MTL = """newmtl plain
Kd 0.8 0.2 0.1
illum 1
"""


def make(kind, source):
    original = read(source) if source and os.path.exists(source) else b""
    rng = random.Random(1337)
    makers = {
        "empty": lambda: b"",
        "half": lambda: original[:len(original) // 2],
        "first-percent": lambda: original[:max(1, len(original) // 400)],
        "random": lambda: bytes(rng.randrange(256) for _ in range(4096)),
        "text": lambda: b"this is not the file you are looking for\n",
        "wav": lambda: wav(),
        "png-grey": lambda: png(16, 16, 8, 0, 16),
        "png-palette": lambda: png(16, 16, 8, 3, 16, png_chunk(b"PLTE", bytes(range(48)))),
        "png-16bit": lambda: png(16, 16, 16, 2, 96),
        "png-60000": lambda: png(60000, 60000, 8, 2, 0, pixels=False),
        "jpeg-60000": lambda: jpeg_claiming(original, 60000, 60000),
        "midi-smpte": lambda: original[:12] + bytes([0xE7, 40]) + original[14:],
        "midi-past-end": lambda: midi_past_end(original),
        "midi-running-status": running_status_across_tracks,
        "bzobj-huge-counts": bzobj_huge_counts,
        "bzobj-huge-size": lambda: struct.pack("<I", 0xFFFFFFF0) + original[4:],
        "obj": lambda: OBJ.encode(),
        "mtl": lambda: MTL.encode(),
        "obj-out-of-range": lambda: OBJ.replace("f 1/1 2/2 3/3 4/4", "f 1/1 2/2 99999/3 4/4\nf -100/1 2/2 3/3").encode(),
        "mtl-before-newmtl": lambda: b"Kd 1 0 0\n" + MTL.encode(),
        "crlf": lambda: original.replace(b"\n", b"\r\n"),
        "bom": lambda: b"\xef\xbb\xbf" + original,
        "long-line": lambda: b"# " + b"x" * 100000 + b"\n" + original,
        "glsl-syntax": lambda: original.replace(b"{", b"{ this is not glsl;", 1),
    }
    if kind not in makers:
        sys.exit("damage.py: unknown kind " + kind)
    return makers[kind]()


def midi_past_end(data):
    """The last track chunk claims 100000 bytes more than the file holds."""
    offset, length = midi_chunks(data)[-1]
    return data[:offset + 4] + struct.pack(">I", length + 100000) + data[offset + 8:]


def main():
    if len(sys.argv) not in (3, 4):
        sys.exit("usage: damage.py KIND DEST [SOURCE]")
    kind, dest = sys.argv[1], sys.argv[2]
    data = make(kind, sys.argv[3] if len(sys.argv) == 4 else None)
    with open(dest, "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main()
