#!/usr/bin/env bash
# The video window on the 1080p H.264 benchmark video, on an X server without a display (Xvfb):
#
#  - size rate to picture: while the file plays, the size rate switches between 50% and 100%
#    TIMES times; from the command to the first picture drawn at the new size
#    (kivo_videownd_probe resize).
#  - frame export: the frame under the position saved at its native size as a BMP, TIMES times
#    (kivo_videownd_probe export).
# Median and 95th percentile in ms, RUNS runs pooled.
#
#   KIVO_BUILD=build KIVO_FIXTURES=build/fixtures bash bench/player/videownd_bench.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${KIVO_BUILD:-build}
fixtures=${KIVO_FIXTURES:-$build/fixtures}
video=$fixtures/bench-1080p.mp4
probe=$build/bench/player/kivo_videownd_probe
[[ -f $video ]] || "$root/tools/make-fixtures.sh" --bench "$fixtures"
[[ -x $probe ]] || { echo "missing $probe"; exit 1; }
for tool in Xvfb xwininfo; do command -v $tool >/dev/null || { echo "missing $tool"; exit 1; }; done
exec python3 "$root/bench/player/videownd_bench.py" "$probe" "$video" "${RUNS:-3}" "${TIMES:-20}"
