#!/usr/bin/env bash
# The scene pages on a 10-minute 1080p H.264 video (made here once with the ffmpeg command,
# keyframes every 2 s and B-frames, as cameras and encoders commonly write them), on an X server
# without a display (Xvfb):
#
#  - basic tree: the default 30 scenes with their thumbnails, from the start to the last
#    thumbnail drawn (kivo_scenes_probe basictree), side by side with the ffmpeg command asked
#    for the same 30 frames one after another (`ffmpeg -ss T -i FILE -frames:v 1`).
#  - a click on a scene to its frame on screen (kivo_scenes_probe click): median and 95th
#    percentile in ms.
# RUNS interleaved runs, medians.
#
#   KIVO_BUILD=build KIVO_FIXTURES=build/fixtures bash bench/player/scenes_vs_ffmpeg.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${KIVO_BUILD:-build}
fixtures=${KIVO_FIXTURES:-$build/fixtures}
video=$fixtures/bench-10min-1080p.mp4
probe=$build/bench/player/kivo_scenes_probe
[[ -x $probe ]] || { echo "missing $probe"; exit 1; }
for tool in ffmpeg Xvfb xwininfo; do command -v $tool >/dev/null || { echo "missing $tool"; exit 1; }; done
if [[ ! -f $video ]]; then
    mkdir -p "$fixtures"
    ffmpeg -loglevel error -y -f lavfi -i testsrc2=size=1920x1080:rate=25 -t 600 \
        -c:v libx264 -preset veryfast -crf 23 -g 50 -bf 3 -pix_fmt yuv420p "$video.part.mp4"
    mv "$video.part.mp4" "$video"
fi
exec python3 "$root/bench/player/scenes_vs_ffmpeg.py" "$probe" "$video" "${RUNS:-3}" \
     "${CLICKS:-20}"
