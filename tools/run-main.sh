#!/usr/bin/env bash
# Starts the newest program of the build: the player, else the segmentation tool, else the
# scene-file inspector on a demo file. Extra arguments go to the program.
set -euo pipefail
build=${1:-build}; shift || true
root=$(cd "$(dirname "$0")/.." && pwd)
find_exe() { find "$build/src" -type f -name "$1" -perm -u+x 2>/dev/null | head -n 1; }
demo=$build/demo
mkdir -p "$demo"

if exe=$(find_exe KIVOP) && [[ -n $exe ]]; then exec "$exe" "$@"; fi

if kivos=$(find_exe KIVOS) && [[ -n $kivos ]]; then
  if [[ $# -gt 0 || -n ${DISPLAY:-}${WAYLAND_DISPLAY:-}${QT_QPA_PLATFORM:-} ]]; then
    exec "$kivos" "$@"
  fi
  echo "No display for the KIVOS window: segmenting the demo video with KIVOS --segment instead."
  "$root/tools/make-fixtures.sh" "$build/fixtures"
  cp "$build/fixtures/cuts.mp4" "$demo/demo-video.mp4"
  "$kivos" --segment "$demo/demo-video.mp4" --output "$demo/demo-video.scv" \
           --csv "$demo/demo-video.csv"
  exec "$(find_exe kivoscv)" dump "$demo/demo-video.scv"
fi

kivoscv=$(find_exe kivoscv)
"$kivoscv" demo "$demo/demo.scv"
exec "$kivoscv" dump "${1:-$demo/demo.scv}"
