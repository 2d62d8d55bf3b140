"""Size-rate and frame-export times of the video window (see the .sh)."""
import os
import statistics
import subprocess
import sys
import tempfile

from xserver import start_display

PROBE, VIDEO = sys.argv[1], os.path.abspath(sys.argv[2])
RUNS, TIMES = int(sys.argv[3]), int(sys.argv[4])


def probe(mode, display):
    scratch = tempfile.mkdtemp()
    env = dict(os.environ, DISPLAY=display, XDG_CONFIG_HOME=scratch, XDG_RUNTIME_DIR=scratch)
    result = subprocess.run([PROBE, mode, VIDEO, str(TIMES)], env=env, capture_output=True,
                            text=True)
    if result.returncode != 0:
        raise RuntimeError(f"kivo_videownd_probe {mode} failed ({result.returncode}):\n"
                           f"{result.stderr}")
    return [float(line) for line in result.stdout.split()]


def p95(values):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(round(0.95 * (len(ordered) - 1))))]


def main():
    # Room for the window at 100% of 1080p with its frame.
    server, display = start_display("2048x1200x24")
    try:
        resizes, exports = [], []
        for _ in range(RUNS):
            resizes += probe("resize", display)
            exports += probe("export", display)
    finally:
        server.terminate()
        server.wait()
    print(f"runs: {RUNS}, {TIMES} each")
    print(f"size rate to picture (ms)   median {statistics.median(resizes):.1f} "
          f"p95 {p95(resizes):.1f}")
    print(f"native-size export (ms)     median {statistics.median(exports):.1f} "
          f"p95 {p95(exports):.1f}")


main()
