#!/usr/bin/env bash
# Throughput of `KIVOS --segment` side by side with plain decoding (`ffmpeg -threads 2 -i FILE -f
# null -`) and with ffmpeg's own scene detector (`ffmpeg -i FILE -vf scdet -f null -`), on both
# 1080p H.264 benchmark inputs: natural footage (bench-natural-1080p.mp4, the typical case) and
# saturated test patterns (bench-1080p.mp4, the grey conversion's worst case). Every command runs
# RUNS times (at least 5), interleaved with the others, and the medians of wall time and of CPU
# time (user + system) count, so a burst of other work on the machine does not decide the result.
#
#   KIVO_BUILD=build KIVO_FIXTURES=build/fixtures bash bench/segmenter/segment_speed.sh
set -euo pipefail
build=${KIVO_BUILD:-build}
fixtures=${KIVO_FIXTURES:-$build/fixtures}
runs=${RUNS:-5}
((runs >= 5)) || runs=5
kivos=$build/src/segmenter/KIVOS
inputs=(bench-natural-1080p.mp4 bench-1080p.mp4)
[[ -x $kivos ]] || { echo "missing $kivos"; exit 1; }
for input in "${inputs[@]}"; do
  [[ -f $fixtures/$input ]] || { echo "missing $fixtures/$input (tools/make-fixtures.sh --bench $fixtures)"; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Appends "wall cpu" of one run of the command to FILE.
measure() {
  local file=$1
  shift
  /usr/bin/time -f "%e %U %S" -o "$work/time" "$@" >/dev/null 2>&1
  awk '{ printf "%s %.3f\n", $1, $2 + $3 }' "$work/time" >> "$file"
}

median() {  # median of column $2 of file $1
  sort -g -k"$2" "$1" | awk -v c="$2" '{ v[NR] = $c } END {
    if (NR % 2) print v[(NR + 1) / 2]; else printf "%.3f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

names=(kivos decode scdet)
for ((i = 0; i < runs; i++)); do
  for input in "${inputs[@]}"; do
    video=$fixtures/$input
    for name in "${names[@]}"; do
      case $name in
        kivos)  measure "$work/$input.$name" "$kivos" --segment "$video" --output "$work/out.scv" --quiet ;;
        decode) measure "$work/$input.$name" chrt --idle 0 ffmpeg -nostdin -threads 2 -i "$video" -f null - ;;
        scdet)  measure "$work/$input.$name" chrt --idle 0 ffmpeg -nostdin -i "$video" -vf scdet -f null - ;;
      esac
    done
  done
done

for input in "${inputs[@]}"; do
  video=$fixtures/$input
  frames=$(ffprobe -v error -select_streams v:0 -count_packets -show_entries stream=nb_read_packets \
           -of csv=p=0 "$video")
  declare -A wall=() cpu=()
  for name in "${names[@]}"; do
    wall[$name]=$(median "$work/$input.$name" 1)
    cpu[$name]=$(median "$work/$input.$name" 2)
  done
  echo "$input: $frames frames 1920x1080 H.264, medians of $runs interleaved runs"
  printf '%-38s %8s %8s %8s %9s %9s\n' "command" "wall s" "CPU s" "fps" "KIVOS x" "KIVOS x"
  printf '%-38s %8s %8s %8s %9s %9s\n' "" "" "" "" "(wall)" "(CPU)"
  for name in "${names[@]}"; do
    case $name in
      kivos)  label="KIVOS --segment" ;;
      decode) label="ffmpeg -threads 2 -i FILE -f null -" ;;
      scdet)  label="ffmpeg -i FILE -vf scdet -f null -" ;;
    esac
    # KIVOS x: KIVOS throughput relative to the command's (its time over KIVOS's time).
    printf '%-38s %8.2f %8.2f %8.1f %9.2f %9.2f\n' "$label" "${wall[$name]}" "${cpu[$name]}" \
           "$(echo "$frames / ${wall[$name]}" | bc -l)" \
           "$(echo "${wall[$name]} / ${wall[kivos]}" | bc -l)" \
           "$(echo "${cpu[$name]} / ${cpu[kivos]}" | bc -l)"
  done
  echo
done
echo "(targets on natural footage: KIVOS x >= 1.0 vs scdet and >= 0.9 vs decode; worst case no worse than before)"
