"""Basic tree and scene clicks of the player against the ffmpeg command (see the .sh)."""
import os
import statistics
import subprocess
import sys
import tempfile
import time

from xserver import start_display

PROBE, VIDEO = sys.argv[1], os.path.abspath(sys.argv[2])
RUNS, CLICKS = int(sys.argv[3]), int(sys.argv[4])
SCENES = 30


def environment(display):
    scratch = tempfile.mkdtemp()
    return dict(os.environ, DISPLAY=display, XDG_CONFIG_HOME=scratch, XDG_RUNTIME_DIR=scratch,
                XDG_DATA_HOME=scratch)


def probe(display, mode, *extra):
    result = subprocess.run([PROBE, mode, VIDEO, *extra], env=environment(display),
                            capture_output=True, text=True)
    if result.returncode != 0:
        raise RuntimeError(f"kivo_scenes_probe failed ({result.returncode}):\n{result.stderr}")
    return [float(line) for line in result.stdout.split()]


def duration():
    result = subprocess.run(["ffprobe", "-v", "error", "-show_entries", "format=duration",
                             "-of", "csv=p=0", VIDEO], capture_output=True, text=True,
                            check=True)
    return float(result.stdout)


def ffmpeg_frames(end):
    started = time.monotonic()
    for k in range(SCENES):
        subprocess.run(["ffmpeg", "-loglevel", "error", "-ss", f"{k * end / SCENES:.3f}", "-i",
                        VIDEO, "-frames:v", "1", "-f", "null", "-"], check=True)
    return (time.monotonic() - started) * 1000


def p95(values):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(round(0.95 * (len(ordered) - 1))))]


def main():
    end = duration()
    server, display = start_display("1920x1080x24")
    try:
        ours, peer, clicks = [], [], []
        for _ in range(RUNS):
            ours += probe(display, "basictree")
            peer.append(ffmpeg_frames(end))
            clicks += probe(display, "click", str(CLICKS))
    finally:
        server.terminate()
        server.wait()
    print(f"runs: {RUNS} interleaved; {SCENES} scenes over {end:.0f} s")
    print(f"basic tree with thumbnails (ms)  KIVOP median {statistics.median(ours):.0f}   "
          f"ffmpeg -ss x{SCENES} median {statistics.median(peer):.0f}")
    print(f"click on a scene to its picture (ms)  median {statistics.median(clicks):.1f} "
          f"p95 {p95(clicks):.1f}")


main()
