#!/usr/bin/env bash
# The player's start side by side with mpv, both on an X server without a display (Xvfb):
#
#  - cold start: from starting the program to its window mapped on the screen (KIVOP's empty
#    control panel; mpv --idle --force-window), watched with xwininfo;
#  - second start to playing: a player runs; a second start of the program names a file, and the
#    time runs until the running player plays it (KIVOP: its log line once the file is open,
#    its first picture drawn and play asked; mpv: a client started the same way, socat sending
#    loadfile over mpv's IPC socket, until mpv reports playback-restart).
#
# RUNS interleaved runs of each; medians in milliseconds.
#   KIVO_BUILD=build KIVO_FIXTURES=build/fixtures bash bench/player/start_vs_mpv.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${KIVO_BUILD:-build}
fixtures=${KIVO_FIXTURES:-$build/fixtures}
player=$(find "$build/src" -type f -name KIVOP -perm -u+x | head -n 1)
[[ -x $player ]] || { echo "missing KIVOP in $build"; exit 1; }
for tool in mpv socat xwininfo Xvfb; do
  command -v $tool >/dev/null || { echo "missing $tool"; exit 1; }
done
"$root/tools/make-fixtures.sh" "$fixtures" >/dev/null
exec python3 "$root/bench/player/start_vs_mpv.py" "$player" "$fixtures/cuts.mp4" "${RUNS:-9}"
