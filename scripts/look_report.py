#!/usr/bin/python3
"""How the show reads on screen, section by section, from a capture.

Reads raw RGB frames (rgb24, WIDTHxHEIGHT, FPS) on standard input, as
ffmpeg writes them, and the note-ons of the MIDI file ("ms track note"
lines, as `quorvane-inspect notes` prints them) from the file named by
--notes. Prints one row per section and then every weak second:

  brightness  mean Rec. 709 luminance, 0-1
  contrast    standard deviation of the luminance
  clipped     share of pixels white in all three channels (>= 250)
  detail      mean absolute luminance difference between neighbours
  sync        mean picture change (luminance difference to the previous
              frame) on the first frame at or after each note of the
              section's listening tracks, divided by the mean change on
              all frames of the section: 1 is no visible response

A second is weak when its mean brightness is under 0.04 (near-black), more
than 12% of its pixels are clipped (blown out) or its contrast is under
0.04 (flat); the first and last two seconds of the show are not counted.
"""
import argparse
import sys

import numpy as np

from show_sections import SECTIONS

NEAR_BLACK = 0.04
BLOWN_OUT = 0.12
FLAT = 0.04
SKIP_S = 2.0  # seconds at each end of the show that are not judged


def read_notes(path):
    notes = {}
    with open(path) as f:
        for line in f:
            if line.startswith("#"):  # the MIDI reader's log lines
                continue
            ms, track, _ = (int(v) for v in line.split())
            notes.setdefault(track, []).append(ms)
    return notes


def frame_stats(rgb, previous_luma):
    rgb = rgb.astype(np.float32)
    luma = (0.2126 * rgb[:, :, 0] + 0.7152 * rgb[:, :, 1] + 0.0722 * rgb[:, :, 2]) / 255.0
    clipped = np.mean(np.all(rgb >= 250.0, axis=2))
    detail = 0.5 * (np.mean(np.abs(np.diff(luma, axis=0))) + np.mean(np.abs(np.diff(luma, axis=1))))
    change = 0.0 if previous_luma is None else float(np.mean(np.abs(luma - previous_luma)))
    return (float(luma.mean()), float(luma.std()), float(clipped), float(detail), change), luma


def read_frames(width, height):
    size = width * height * 3
    previous = None
    stats = []
    while True:
        data = sys.stdin.buffer.read(size)
        if len(data) < size:
            break
        row, previous = frame_stats(np.frombuffer(data, np.uint8).reshape(height, width, 3), previous)
        stats.append(row)
    return np.array(stats)


def sync_ratio(stats, fps, first, last, times_ms):
    change = stats[first:last, 4]
    if len(change) == 0 or change.mean() <= 0.0:
        return None
    frames = sorted({-(-t * fps // 1000) for t in times_ms})  # first frame at or after the note
    frames = [k for k in frames if first < k < last]
    if not frames:
        return None
    return float(stats[frames, 4].mean() / change.mean())


def weak_seconds(stats, fps):
    end_s = len(stats) / fps
    weak = []
    for s in range(int(SKIP_S), int(end_s - SKIP_S)):
        sec = stats[s * fps:(s + 1) * fps]
        brightness, contrast, clipped = sec[:, 0].mean(), sec[:, 1].mean(), sec[:, 2].mean()
        why = []
        if brightness < NEAR_BLACK:
            why.append("near-black %.3f" % brightness)
        if clipped > BLOWN_OUT:
            why.append("blown out %.1f%%" % (100 * clipped))
        if contrast < FLAT:
            why.append("flat %.3f" % contrast)
        if why:
            weak.append((s, ", ".join(why)))
    return weak


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--size", required=True, help="WIDTHxHEIGHT of the frames")
    parser.add_argument("--fps", type=int, required=True)
    parser.add_argument("--notes", required=True, help="note-on list of quorvane-inspect notes")
    args = parser.parse_args()
    width, height = (int(v) for v in args.size.split("x"))
    notes = read_notes(args.notes)
    stats = read_frames(width, height)
    if len(stats) == 0:
        sys.exit("look-report: no frames read")
    fps = args.fps

    print("| Section | Seconds | Brightness | Contrast | Clipped | Detail | Sync |")
    print("|---|---|---|---|---|---|---|")
    for start, end, name, tracks in SECTIONS:
        first, last = int(round(start * fps)), min(int(round(end * fps)), len(stats))
        if first >= last:
            continue
        sec = stats[first:last]
        times = [t for track in tracks for t in notes.get(track, [])]
        ratio = sync_ratio(stats, fps, first, last, times) if times else None
        sync = "-" if ratio is None else "%.2f (%s)" % (ratio, "+".join(str(t) for t in tracks))
        print("| %s %g-%g | %.1f | %.3f | %.3f | %.1f%% | %.4f | %s |" % (
            name, start, end, (last - first) / fps, sec[:, 0].mean(), sec[:, 1].mean(), 100 * sec[:, 2].mean(),
            sec[:, 3].mean(), sync))
    print("\nWhole show: %.1f s, brightness %.3f, contrast %.3f, clipped %.1f%%" % (
        len(stats) / fps, stats[:, 0].mean(), stats[:, 1].mean(), 100 * stats[:, 2].mean()))
    weak = weak_seconds(stats, fps)
    print("Weak seconds: %d" % len(weak))
    for s, why in weak:
        print("  %d:%02d  %s" % (s // 60, s % 60, why))


if __name__ == "__main__":
    main()
