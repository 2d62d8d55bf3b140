#!/usr/bin/env bash
# Opening a scene description of 1,000 scenes whose media is the 1080p H.264 benchmark video,
# side by side with opening the video alone, on an X server without a display (Xvfb): from the
# open to the video window's first picture, the two opens interleaved RUNS times in one player
# (kivo_open_probe). Medians in ms and what the description adds.
#
#   KIVO_BUILD=build KIVO_FIXTURES=build/fixtures bash bench/player/open_scv.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${KIVO_BUILD:-build}
fixtures=${KIVO_FIXTURES:-$build/fixtures}
video=$fixtures/bench-1080p.mp4
probe=$build/bench/player/kivo_open_probe
[[ -f $video ]] || "$root/tools/make-fixtures.sh" --bench "$fixtures"
[[ -x $probe ]] || { echo "missing $probe"; exit 1; }
command -v Xvfb >/dev/null || { echo "missing Xvfb"; exit 1; }
exec python3 - "$root/bench/player" "$probe" "$video" "${RUNS:-15}" "${SCENES:-1000}" <<'PY'
import os, statistics, subprocess, sys, tempfile
sys.path.insert(0, sys.argv[1])
from xserver import start_display

probe, video, runs, scenes = sys.argv[2], os.path.abspath(sys.argv[3]), sys.argv[4], sys.argv[5]
server, display = start_display("1920x1080x24")
try:
    scratch = tempfile.mkdtemp()
    env = dict(os.environ, DISPLAY=display, XDG_CONFIG_HOME=scratch, XDG_DATA_HOME=scratch,
               XDG_RUNTIME_DIR=scratch)
    result = subprocess.run([probe, video, scenes, runs], env=env, capture_output=True, text=True)
    if result.returncode != 0:
        raise SystemExit(f"kivo_open_probe failed ({result.returncode}):\n{result.stderr}")
finally:
    server.terminate()
    server.wait()
times = {"media": [], "scv": []}
for line in result.stdout.splitlines():
    label, ms = line.split()
    times[label].append(float(ms))
media, scv = statistics.median(times["media"]), statistics.median(times["scv"])
print(f"open to first picture, {os.path.basename(video)}, {runs} interleaved opens each (ms)")
print(f"  media alone                    median {media:8.1f}  min {min(times['media']):8.1f}")
print(f"  .scv with {scenes} scenes         median {scv:8.1f}  min {min(times['scv']):8.1f}")
print(f"  the description adds           {scv - media:8.1f}  (target at most 50)")
PY
