#!/usr/bin/env python3
"""The include graph of src/ by unit (a header and its source are one unit):
prints every loop, that is every group of units that reach each other
through their includes, largest first, and the edges inside each."""
import os
import re
import sys

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "src")
INCLUDE = re.compile(r'^\s*#include "([^"]+)"', re.M)


def units():
    edges = {}
    for folder, _, files in os.walk(ROOT):
        for name in files:
            if not name.endswith((".h", ".cpp")):
                continue
            path = os.path.join(folder, name)
            unit = os.path.splitext(os.path.relpath(path, ROOT))[0]
            text = open(path, encoding="utf-8").read()
            targets = edges.setdefault(unit, set())
            for inc in INCLUDE.findall(text):
                for base in (ROOT, folder):
                    if os.path.exists(os.path.join(base, inc)):
                        target = os.path.splitext(os.path.relpath(os.path.join(base, inc), ROOT))[0]
                        if target != unit:
                            targets.add(os.path.normpath(target))
                        break
    return edges


def loops(edges):
    """Strongly connected components (Tarjan), those of more than one unit."""
    index, low, stack, on, found = {}, {}, [], set(), []
    sys.setrecursionlimit(10000)

    def visit(v):
        index[v] = low[v] = len(index)
        stack.append(v)
        on.add(v)
        for w in edges.get(v, ()):
            if w not in index:
                visit(w)
                low[v] = min(low[v], low[w])
            elif w in on:
                low[v] = min(low[v], index[w])
        if low[v] == index[v]:
            group = set()
            while True:
                w = stack.pop()
                on.discard(w)
                group.add(w)
                if w == v:
                    break
            if len(group) > 1:
                found.append(group)

    for v in list(edges):
        if v not in index:
            visit(v)
    return sorted(found, key=len, reverse=True)


def main():
    edges = units()
    groups = loops(edges)
    print(f"{len(edges)} units, {len(groups)} loops")
    for group in groups:
        print(f"\nloop of {len(group)}: " + ", ".join(sorted(group)))
        for v in sorted(group):
            inside = sorted(w for w in edges[v] if w in group)
            print(f"  {v} -> {', '.join(inside)}")


if __name__ == "__main__":
    main()
