#!/usr/bin/env bash
# Throughput of `KIVOS --segment` on the 1080p H.264 benchmark video, side by side with plain
# decoding (`ffmpeg -threads 2 -i FILE -f null -`) and with ffmpeg's own scene detector
# (`ffmpeg -i FILE -vf scdet -f null -`). Each command runs RUNS times, interleaved, and the
# best wall time counts, so a burst of other work on the machine does not decide the result.
#
#   KIVO_BUILD=build KIVO_FIXTURES=build/fixtures bash bench/segmenter/segment_speed.sh
set -euo pipefail
build=${KIVO_BUILD:-build}
fixtures=${KIVO_FIXTURES:-$build/fixtures}
runs=${RUNS:-5}
video=$fixtures/bench-1080p.mp4
kivos=$build/src/segmenter/KIVOS
[[ -f $video ]] || { echo "missing $video (tools/make-fixtures.sh --bench $fixtures)"; exit 1; }
[[ -x $kivos ]] || { echo "missing $kivos"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

frames=$(ffprobe -v error -select_streams v:0 -count_packets -show_entries stream=nb_read_packets \
         -of csv=p=0 "$video")

seconds() {  # wall seconds of a command
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null 2>&1
  end=$(date +%s.%N)
  echo "$end - $start" | bc -l
}

declare -A best
names=(kivos decode scdet)
for ((i = 0; i < runs; i++)); do
  for name in "${names[@]}"; do
    case $name in
      kivos)  t=$(seconds "$kivos" --segment "$video" --output "$work/out.scv" --quiet) ;;
      decode) t=$(seconds chrt --idle 0 ffmpeg -nostdin -threads 2 -i "$video" -f null -) ;;
      scdet)  t=$(seconds chrt --idle 0 ffmpeg -nostdin -i "$video" -vf scdet -f null -) ;;
    esac
    if [[ -z ${best[$name]:-} ]] || (($(echo "$t < ${best[$name]}" | bc -l))); then
      best[$name]=$t
    fi
  done
done

fps() { echo "scale=1; $frames / $1" | bc -l; }
ratio() { echo "scale=2; $2 / $1" | bc -l; }  # throughput of $1 relative to $2
echo "bench-1080p.mp4: $frames frames 1920x1080 H.264, best of $runs runs"
printf '%-44s %8s %8s %10s\n' "command" "seconds" "fps" "KIVOS x"
printf '%-44s %8.2f %8s %10s\n' "KIVOS --segment" "${best[kivos]}" "$(fps "${best[kivos]}")" "1.00"
printf '%-44s %8.2f %8s %10s\n' "ffmpeg -threads 2 -i FILE -f null -" "${best[decode]}" \
       "$(fps "${best[decode]}")" "$(ratio "${best[kivos]}" "${best[decode]}")"
printf '%-44s %8.2f %8s %10s\n' "ffmpeg -i FILE -vf scdet -f null -" "${best[scdet]}" \
       "$(fps "${best[scdet]}")" "$(ratio "${best[kivos]}" "${best[scdet]}")"
echo "(KIVOS x = KIVOS throughput / peer throughput; targets: >= 0.85 vs decode, >= 1.0 vs scdet)"
