#!/usr/bin/env bash
# The control panel side by side with mpv on the 1080p H.264 benchmark video, on an X server
# without a display (Xvfb):
#
#  - key press to picture: Ctrl+Right (one frame forward) pressed STEPS times on the panel of a
#    paused file, from the key event to the next picture drawn (kivo_panel_probe step); mpv's
#    frame step (`frame-step` over its JSON IPC, mpv --pause --vo=x11) until its time-pos
#    moves. Median and 95th percentile in ms, RUNS interleaved runs pooled.
#  - processor use while playing PLAY_SECONDS: the whole player (kivo_panel_probe play) against
#    the engine alone (kivo_playback_probe play), user + system time over wall time.
#
#   KIVO_BUILD=build KIVO_FIXTURES=build/fixtures bash bench/player/panel_vs_mpv.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${KIVO_BUILD:-build}
fixtures=${KIVO_FIXTURES:-$build/fixtures}
video=$fixtures/bench-1080p.mp4
panel=$build/bench/player/kivo_panel_probe
engine=$build/bench/media/playback/kivo_playback_probe
[[ -f $video ]] || "$root/tools/make-fixtures.sh" --bench "$fixtures"
for tool in "$panel" "$engine"; do [[ -x $tool ]] || { echo "missing $tool"; exit 1; }; done
for tool in mpv Xvfb xwininfo; do command -v $tool >/dev/null || { echo "missing $tool"; exit 1; }; done
exec python3 "$root/bench/player/panel_vs_mpv.py" "$panel" "$engine" "$video" \
     "${RUNS:-3}" "${STEPS:-30}" "${PLAY_SECONDS:-10}"
