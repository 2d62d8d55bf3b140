#!/usr/bin/env python3
"""Checks the layers of the build.

1. No core library reaches Qt Widgets: the link graph comes from a fresh `cmake --graphviz`
   configure of the source tree, and every project library outside the window libraries
   named below must not depend on Qt6::Widgets, directly or through another library.
2. No file includes another folder's private headers (those under an `internal/` folder):
   `#include "media/grabber/internal/x.h"` is allowed only in src/media/grabber and in the
   tests and benchmarks of the same folder (tests/media/grabber, bench/media/grabber).

Usage: check-layers.py SOURCE_DIR WORK_DIR [--graph FILE.dot]
Exit 0 when the layers hold, 1 with one line per breach otherwise.
"""
import pathlib
import re
import subprocess
import sys

# The libraries that are windows. Everything else the project builds is a core library.
WINDOW_LIBRARIES = {
    "kivo_uisupport",
    "kivo_scenecontrols",
    "kivo_playback",
    "kivo_segmenter_window",
}
WINDOW_SUFFIX = "_window"
WIDGETS = {"Qt6::Widgets", "Qt6::OpenGLWidgets"}

NODE = re.compile(r'^\s*"(node\d+)"\s*\[\s*label\s*=\s*"([^"]+)"\s*,\s*shape\s*=\s*(\w+)')
EDGE = re.compile(r'^\s*"(node\d+)"\s*->\s*"(node\d+)"')


def read_graph(dot_file):
    labels, shapes, edges = {}, {}, {}
    for line in pathlib.Path(dot_file).read_text().splitlines():
        node = NODE.match(line)
        if node:
            labels[node.group(1)] = node.group(2)
            shapes[node.group(1)] = node.group(3)
            continue
        edge = EDGE.match(line)
        if edge:
            edges.setdefault(edge.group(1), set()).add(edge.group(2))
    return labels, shapes, edges


def path_to_widgets(start, labels, edges):
    """The chain of libraries from start to Qt Widgets, or None."""
    seen = {start}
    queue = [[start]]
    while queue:
        chain = queue.pop(0)
        for nxt in edges.get(chain[-1], ()):
            if nxt in seen:
                continue
            seen.add(nxt)
            if labels.get(nxt) in WIDGETS:
                return [labels[n] for n in chain + [nxt]]
            queue.append(chain + [nxt])
    return None


def is_core_library(label, shape):
    # cmake's graphviz shapes: executables are eggs, static libraries octagons, shared
    # libraries double octagons, object libraries hexagons, interface libraries pentagons.
    if shape not in ("octagon", "doubleoctagon", "hexagon", "tripleoctagon"):
        return False
    if not label.startswith("kivo_") or label == "kivo_warnings":
        return False
    return label not in WINDOW_LIBRARIES and not label.endswith(WINDOW_SUFFIX)


def link_breaches(dot_file):
    labels, shapes, edges = read_graph(dot_file)
    if not any(label.startswith("kivo_") for label in labels.values()):
        return [f"{dot_file}: no project library in the graph"]
    breaches = []
    for node, label in sorted(labels.items(), key=lambda item: item[1]):
        if not is_core_library(label, shapes[node]):
            continue
        chain = path_to_widgets(node, labels, edges)
        if chain:
            breaches.append("core library links Qt Widgets: " + " -> ".join(chain))
    return breaches


INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]*/internal/[^"]*)"')


def include_breaches(source_dir):
    breaches = []
    for top in ("src", "tests", "bench", "fuzz"):  # fuzz targets go through public headers
        for path in sorted((source_dir / top).rglob("*")):
            if path.suffix not in (".h", ".cpp") or not path.is_file():
                continue
            relative = path.relative_to(source_dir / top).as_posix()
            for number, line in enumerate(path.read_text(errors="replace").splitlines(), 1):
                found = INCLUDE.match(line)
                if not found:
                    continue
                owner = found.group(1).split("/internal/")[0]
                allowed = top != "fuzz" and (relative + "/").startswith(owner + "/")
                if not allowed:
                    breaches.append(f"{top}/{relative}:{number}: includes private {found.group(1)}")
    return breaches


def main(argv):
    if len(argv) < 3:
        print(__doc__.strip().splitlines()[-3], file=sys.stderr)
        return 2
    source_dir = pathlib.Path(argv[1]).resolve()
    work_dir = pathlib.Path(argv[2]).resolve()
    if len(argv) == 5 and argv[3] == "--graph":
        dot_file = pathlib.Path(argv[4])
    else:
        work_dir.mkdir(parents=True, exist_ok=True)
        dot_file = work_dir / "kivo.dot"
        configure = subprocess.run(
            ["cmake", "-S", str(source_dir), "-B", str(work_dir / "build"), "-G", "Ninja",
             "-DKIVO_BENCH=OFF", f"--graphviz={dot_file}"],
            capture_output=True, text=True)
        if configure.returncode != 0:
            print(configure.stdout + configure.stderr, file=sys.stderr)
            return 1
    breaches = link_breaches(dot_file) + include_breaches(source_dir)
    for breach in breaches:
        print(breach)
    if not breaches:
        print("layers hold")
    return 1 if breaches else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
