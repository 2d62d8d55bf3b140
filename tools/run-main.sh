#!/usr/bin/env bash
# Starts the player. Extra arguments go to it. Without arguments it opens the demo video
# through its scene file (made by KIVOS --segment); without a display the demo is segmented and
# its scene file shown as text.
set -euo pipefail
build=${1:-build}; shift || true
root=$(cd "$(dirname "$0")/.." && pwd)
find_exe() { find "$build/src" -type f -name "$1" -perm -u+x 2>/dev/null | head -n 1; }
has_display() { [[ -n ${DISPLAY:-}${WAYLAND_DISPLAY:-}${QT_QPA_PLATFORM:-} ]]; }
demo=$build/demo
player=$(find_exe KIVOP)

if [[ $# -gt 0 ]]; then exec "$player" "$@"; fi

if [[ ! -f $demo/demo-video.scv ]]; then
  mkdir -p "$demo"
  "$root/tools/make-fixtures.sh" "$build/fixtures" >/dev/null
  cp "$build/fixtures/cuts.mp4" "$demo/demo-video.mp4"
  "$(find_exe KIVOS)" --segment "$demo/demo-video.mp4" --output "$demo/demo-video.scv" \
                      --csv "$demo/demo-video.csv"
fi
if has_display; then exec "$player" "$demo/demo-video.scv"; fi
echo "No display for the KIVOP window: here is the demo video's scene file, made by KIVOS --segment."
exec "$(find_exe kivoscv)" dump "$demo/demo-video.scv"
