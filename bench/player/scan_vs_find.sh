#!/usr/bin/env bash
# The media finder's scan side by side with `find DIR -type f` over a generated tree of FILES
# empty media files in FOLDERS folders (100,000 in 5,000 by default; every file has a media
# extension, so both list the same files). RUNS interleaved runs of each after one warm-up
# each; median wall time, processor time (all threads) and peak memory (maximum resident set)
# of each program, and of `find -printf` with each file's size and date, which reads what the
# scan reads; the load average before and after. Then the same
# search in the player's media finder page on an X server without a display (Xvfb): its wall
# time, how often the page repainted meanwhile, and the longest time without a repaint.
#
#   KIVO_BUILD=build bash bench/player/scan_vs_find.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${KIVO_BUILD:-build}
probe=$(find "$build/bench" -type f -name kivo_lists_probe -perm -u+x | head -n 1)
finder=$(find "$build/bench" -type f -name kivo_finder_probe -perm -u+x | head -n 1)
[[ -x $probe ]] || { echo "missing kivo_lists_probe in $build"; exit 1; }
[[ -x $finder ]] || { echo "missing kivo_finder_probe in $build"; exit 1; }
exec python3 "$root/bench/player/scan_vs_find.py" "$probe" "${FILES:-100000}" "${FOLDERS:-5000}" \
     "${RUNS:-7}" "$finder"
