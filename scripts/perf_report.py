#!/usr/bin/python3
"""What a frame of the show costs, section by section, from a capture profile.

Reads the CSV that `quorvane-capture --profile` writes and prints per
section the pixels written per screen pixel (median and peak), and per
frame the draw calls, primitives and render-target passes (medians), then
the whole show's mean and the ten frames that write the most pixels with
the layers that wrote them. Pixels written are the samples that passed the
depth test, counted on the GPU: the same on every driver.

With --gpu it prints instead, per section, the median and 99th-percentile
GPU time of a frame (timer queries) and whether it fits a 60 Hz frame.
"""
import argparse
import csv
import statistics
import sys

from show_sections import SECTIONS


def read_frames(path):
    frames = []
    with open(path, newline="") as f:
        for row in csv.DictReader(f):
            layers = []
            for item in filter(None, row["layers"].split(";")):
                name, values = item.rsplit("=", 1)
                ms, pixels, draws = values.split("/")
                layers.append((name, int(pixels), int(draws)))
            frames.append({
                "t": int(row["time_ms"]) / 1000.0,
                "pixels": int(row["pixels"]),
                "draws": int(row["draw_calls"]),
                "primitives": int(row["primitives"]),
                "passes": int(row["passes"]),
                "gpu_ms": float(row["gpu_ms"]),
                "layers": layers,
            })
    return frames


def section_of(t):
    for start, end, name, _ in SECTIONS:
        if start <= t < end:
            return name
    return None


FRAME_MS = 1000.0 / 60


def percentile(values, share):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(share * (len(ordered) - 1) + 0.5))]


def print_gpu_times(frames):
    if any(f["gpu_ms"] < 0 for f in frames):
        sys.exit("perf-report: the profile has no GPU times (the driver has no timer queries)")
    print(f"{'section':<26} {'frames':>6} {'median ms':>10} {'p99 ms':>8}  fits {FRAME_MS:.1f} ms")
    worst = 0.0
    for start, end, name, _ in SECTIONS:
        times = [f["gpu_ms"] for f in frames if section_of(f["t"]) == name]
        if not times:
            continue
        p99 = percentile(times, 0.99)
        worst = max(worst, p99)
        print(f"{name:<26} {len(times):>6} {statistics.median(times):>10.2f} {p99:>8.2f}  "
              f"{'yes' if p99 <= FRAME_MS else 'NO'}")
    times = [f["gpu_ms"] for f in frames]
    print(f"{'whole show':<26} {len(times):>6} {statistics.median(times):>10.2f} {percentile(times, 0.99):>8.2f}  "
          f"{'yes' if worst <= FRAME_MS else 'NO'}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("profile")
    parser.add_argument("--size", default="1280x720", help="the frame size the profile was captured at")
    parser.add_argument("--gpu", action="store_true", help="GPU frame times instead of the work")
    args = parser.parse_args()
    width, height = (int(v) for v in args.size.split("x"))
    screen = width * height
    frames = read_frames(args.profile)
    if not frames:
        sys.exit("perf-report: the profile holds no frame")
    if args.gpu:
        print_gpu_times(frames)
        return

    print(f"{'section':<26} {'frames':>6} {'x screen':>9} {'peak':>6} {'draws':>6} {'prims':>8} {'passes':>6}")
    for start, end, name, _ in SECTIONS:
        rows = [f for f in frames if section_of(f["t"]) == name]
        if not rows:
            continue
        fill = [f["pixels"] / screen for f in rows]
        print(f"{name:<26} {len(rows):>6} {statistics.median(fill):>9.1f} {max(fill):>6.1f} "
              f"{statistics.median(f['draws'] for f in rows):>6.0f} "
              f"{statistics.median(f['primitives'] for f in rows):>8.0f} "
              f"{statistics.median(f['passes'] for f in rows):>6.0f}")
    fill = [f["pixels"] / screen for f in frames]
    print(f"{'whole show':<26} {len(frames):>6} {statistics.mean(fill):>9.1f} {max(fill):>6.1f} "
          f"{statistics.mean(f['draws'] for f in frames):>6.0f} "
          f"{statistics.mean(f['primitives'] for f in frames):>8.0f} "
          f"{statistics.mean(f['passes'] for f in frames):>6.0f}   (means)")
    over = sum(1 for x in fill if x > 20)
    print(f"frames above 20x the screen: {over} of {len(frames)}")

    print("\nthe ten frames that write the most pixels:")
    for f in sorted(frames, key=lambda f: f["pixels"], reverse=True)[:10]:
        layers = ", ".join(f"{name} {pixels / screen:.1f}x/{draws}" for name, pixels, draws in
                           sorted(f["layers"], key=lambda l: l[1], reverse=True))
        print(f"  {f['t']:7.2f} s  {f['pixels'] / screen:5.1f}x  {f['draws']:4d} draws  {layers}")


if __name__ == "__main__":
    main()
