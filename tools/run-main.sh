#!/usr/bin/env bash
# Starts the newest program of the build: the player, else the segmentation tool, else the
# scene-file inspector on a demo file. Extra arguments go to the program.
set -euo pipefail
build=${1:-build}; shift || true
root=$(cd "$(dirname "$0")/.." && pwd)
find_exe() { find "$build/src" -type f -name "$1" -perm -u+x 2>/dev/null | head -n 1; }
if exe=$(find_exe KIVOP) && [[ -n $exe ]]; then exec "$exe" "$@"; fi
if exe=$(find_exe KIVOS) && [[ -n $exe ]]; then exec "$exe" "$@"; fi
exe=$(find_exe kivoscv)
demo=$build/demo/demo.scv
mkdir -p "$(dirname "$demo")"
"$exe" demo "$demo"
exec "$exe" dump "${1:-$demo}"
