#!/usr/bin/env bash
# Remote control side by side with mpv's JSON IPC, both idle on a file, COUNT requests each
# (median and 99th percentile in milliseconds):
#
#  - a command per request, process start included: `kivoctl state` against
#    `echo '{"command":["get_property","pause"]}' | socat - UNIX-CONNECT:SOCK`;
#  - the bare request on one open connection: the state request (kivo_remote_probe, C++, and the
#    same frames from Python) against get_property pause as JSON lines from Python.
#
#   KIVO_BUILD=build COUNT=1000 bash bench/player/remote_vs_mpv.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${KIVO_BUILD:-build}
fixtures=${KIVO_FIXTURES:-$build/fixtures}
player=$(find "$build/src" -type f -name kivop-player -perm -u+x | head -n 1)
ctl=$(find "$build/src" -type f -name kivoctl -perm -u+x | head -n 1)
probe=$(find "$build/bench" -type f -name kivo_remote_probe -perm -u+x | head -n 1)
for program in "$player" "$ctl" "$probe"; do
  [[ -x $program ]] || { echo "missing kivop-player, kivoctl or kivo_remote_probe in $build"; exit 1; }
done
for tool in mpv socat; do
  command -v $tool >/dev/null || { echo "missing $tool"; exit 1; }
done
"$root/tools/make-fixtures.sh" "$fixtures" >/dev/null
exec python3 "$root/bench/player/remote_vs_mpv.py" "$player" "$ctl" "$probe" \
  "$fixtures/cuts.mp4" "${COUNT:-1000}"
