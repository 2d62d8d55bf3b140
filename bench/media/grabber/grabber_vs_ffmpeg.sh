#!/usr/bin/env bash
# The frame grabber side by side with the ffmpeg CLI on the 1080p H.264 benchmark video
# (bench-1080p.mp4: 500 frames, 20 s, GOP 250):
#   walk   every frame as grey pictures, against `ffmpeg -threads 2 -i FILE -f null -`
#          (whole commands, best wall time of RUNS interleaved runs); ours must reach 0.85x;
#   grab   random pictures: median and 95th percentile milliseconds per picture, against
#          `ffmpeg -ss T -i FILE -frames:v 1 -f null -` (accurate seeking) at random times;
#          ours must be at most the peer's;
#   open   a two-hour video (made here once, long-2h.mp4 in the fixture folder).
#
#   KIVO_BUILD=build KIVO_FIXTURES=build/fixtures bash bench/media/grabber/grabber_vs_ffmpeg.sh
set -euo pipefail
build=${KIVO_BUILD:-build}
fixtures=${KIVO_FIXTURES:-$build/fixtures}
runs=${RUNS:-3}
grabs=${GRABS:-40}
video=$fixtures/bench-1080p.mp4
long=$fixtures/long-2h.mp4
bench=$build/bench/media/grabber/bench_grabber
[[ -f $video ]] || { echo "missing $video (tools/make-fixtures.sh --bench $fixtures)"; exit 1; }
[[ -x $bench ]] || { echo "missing $bench"; exit 1; }
export KIVO_FIXTURES=$fixtures

if [[ ! -f $long ]]; then
  ffmpeg -hide_banner -loglevel error -nostdin -y -f lavfi -i "testsrc2=s=160x120:r=25:d=7200" \
    -c:v libx264 -preset ultrafast -g 250 "$long.tmp.mp4"
  mv "$long.tmp.mp4" "$long"
fi

seconds() {  # wall seconds of a command
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null 2>&1
  end=$(date +%s.%N)
  echo "$end - $start" | bc -l
}

# One counter of one benchmark from Google Benchmark's JSON output.
counter() {  # json name field
  awk -v name="\"name\": \"$2\"," -v field="\"$3\":" '
    index($0, name) { inside = 1 }
    inside && index($0, field) { gsub(/[ ,]/, "", $2); printf "%.3f\n", $2 + 0; exit }' FS=': ' "$1"
}

best_ours="" best_peer=""
for ((i = 0; i < runs; i++)); do
  t=$(seconds "$bench" --benchmark_filter='^WalkGreyPictures')
  [[ -z $best_ours ]] || (($(echo "$t < $best_ours" | bc -l))) && best_ours=$t
  t=$(seconds ffmpeg -nostdin -threads 2 -i "$video" -f null -)
  [[ -z $best_peer ]] || (($(echo "$t < $best_peer" | bc -l))) && best_peer=$t
done
frames=500
walk_ratio=$(echo "scale=2; $best_peer / $best_ours" | bc -l)

json=$(mktemp)
trap 'rm -f "$json"' EXIT
"$bench" --benchmark_filter='^(RandomGrab|OpenTwoHourVideo)' --benchmark_format=json >"$json" 2>/dev/null
our_median=$(counter "$json" "RandomGrab/iterations:1/real_time" median_ms)
our_p95=$(counter "$json" "RandomGrab/iterations:1/real_time" p95_ms)
open_ms=$(counter "$json" "OpenTwoHourVideo/iterations:3/real_time" real_time)

duration=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$video")
peer_times=()
for ((i = 0; i < grabs; i++)); do
  at=$(awk -v seed="$i" -v d="$duration" 'BEGIN { srand(seed + 1); printf "%.3f", rand() * (d - 0.1) }')
  t=$(seconds ffmpeg -nostdin -ss "$at" -i "$video" -frames:v 1 -f null -)
  peer_times+=("$(echo "$t * 1000" | bc -l)")
done
sorted=$(printf '%s\n' "${peer_times[@]}" | sort -g)
pick() { echo "$sorted" | awk -v f="$1" -v n="$grabs" 'NR == int(f * (n - 1) + 0.5) + 1 { print; exit }'; }
peer_median=$(pick 0.5)
peer_p95=$(pick 0.95)

echo "bench-1080p.mp4: $frames frames 1920x1080 H.264, GOP 250"
printf '%-52s %10s %10s\n' "walk every frame (best of $runs)" "seconds" "fps"
printf '%-52s %10.2f %10.1f\n' "CVideoManager::greyPictureAt 0..499" "$best_ours" \
  "$(echo "$frames / $best_ours" | bc -l)"
printf '%-52s %10.2f %10.1f\n' "ffmpeg -threads 2 -i FILE -f null -" "$best_peer" \
  "$(echo "$frames / $best_peer" | bc -l)"
printf '%-52s %10s\n' "throughput ours / ffmpeg (target >= 0.85)" "$walk_ratio"
echo
printf '%-52s %10s %10s\n' "random grab ($grabs pictures)" "median ms" "p95 ms"
printf '%-52s %10.1f %10.1f\n' "CVideoManager::pictureAt" "$our_median" "$our_p95"
printf '%-52s %10.1f %10.1f\n' "ffmpeg -ss T -i FILE -frames:v 1 -f null -" "$peer_median" "$peer_p95"
echo
printf '%-52s %10.1f\n' "open a two-hour video (180000 frames), ms" "$open_ms"

status=0
(($(echo "$walk_ratio >= 0.85" | bc -l))) || { echo "FAIL: walk below 0.85x"; status=1; }
(($(echo "$our_median <= $peer_median && $our_p95 <= $peer_p95" | bc -l))) ||
  { echo "FAIL: random grab slower than ffmpeg"; status=1; }
exit $status
