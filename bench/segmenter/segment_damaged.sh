#!/usr/bin/env bash
# Scene cuts on damaged copies of the cut fixtures (tools/make-damaged-media.py: 0.01 % and 1 %
# of the bytes changed): how many of the cuts KIVOS finds on the clean file it still finds on the
# damaged one (within 2 frames), and how many extra cuts it adds, beside ffmpeg's scdet filter
# on the same damaged file. KIVOS_BEFORE may name a second KIVOS (an older build) for a column
# of its own.
#
#   KIVO_BUILD=build KIVO_FIXTURES=build/fixtures [KIVOS_BEFORE=...] bash bench/segmenter/segment_damaged.sh
set -euo pipefail
build=${KIVO_BUILD:-build}
fixtures=${KIVO_FIXTURES:-$build/fixtures}
kivos=$build/src/segmenter/KIVOS
before=${KIVOS_BEFORE:-}
[[ -x $kivos ]] || { echo "missing $kivos"; exit 1; }
[[ -d $fixtures/damaged ]] || { echo "missing $fixtures/damaged (tools/make-fixtures.sh)"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cuts_by() {  # scene starts after the first, from the CSV; a file refused is noted
  if ! "$1" --segment "$2" --output "$work/out.scv" --csv "$work/out.csv" --quiet 2>/dev/null; then
    echo "$2" >> "$work/refused.$(basename "$1")"
    return 0
  fi
  tail -n +3 "$work/out.csv" | cut -d, -f2 | tr '\n' ' '
}

scdet_cuts() {
  ffmpeg -hide_banner -nostdin -loglevel quiet -i "$1" \
         -vf "scdet,metadata=print:key=lavfi.scd.time:file=-" -f null - 2>/dev/null |
    sed -n 's/^frame:\([0-9]*\).*/\1/p' | tr '\n' ' ' || true
}

# matched "clean cuts" "found cuts" -> "found extra": clean cuts found within 2 frames, and
# found cuts that match none.
matched() {
  local -a wanted=($1) found=($2)
  local hits=0 extra=0 w f
  local -A used=()
  for w in "${wanted[@]}"; do
    for f in "${found[@]}"; do
      if [[ -z ${used[$f]:-} ]] && ((f >= w - 2 && f <= w + 2)); then used[$f]=1; hits=$((hits + 1)); break; fi
    done
  done
  for f in "${found[@]}"; do [[ -n ${used[$f]:-} ]] || extra=$((extra + 1)); done
  echo "$hits $extra"
}

# found_by COLUMN DAMAGED: the cuts the column's detector finds on the damaged file.
found_by() {
  case $1 in
    before) cuts_by "$before" "$2" ;;
    after)  cuts_by "$kivos" "$2" ;;
    scdet)  scdet_cuts "$2" ;;
  esac
}

declare -A sum
columns=(after scdet)
[[ -n $before ]] && columns=(before after scdet)
header=$(printf '%-26s %5s' "damaged file" "clean")
for c in "${columns[@]}"; do header+=$(printf ' | %-14s' "$c found+extra"); done
echo "$header"
for kind in flip0.01 flip1; do
  for file in cuts.mpg cuts.mp4 cuts.mkv cuts.mov cuts-mpeg4.avi cuts.wmv cuts-mjpeg.avi; do
    damaged=$fixtures/damaged/${file%.*}.$kind.${file##*.}
    clean=$(cuts_by "$kivos" "$fixtures/$file")
    n=$(wc -w <<<"$clean")
    sum[$kind.clean]=$(( ${sum[$kind.clean]:-0} + n ))
    line=$(printf '%-26s %5s' "$(basename "$damaged")" "$n")
    for c in "${columns[@]}"; do
      read -r hits extra < <(matched "$clean" "$(found_by "$c" "$damaged")")
      sum[$kind.$c.hits]=$(( ${sum[$kind.$c.hits]:-0} + hits ))
      sum[$kind.$c.extra]=$(( ${sum[$kind.$c.extra]:-0} + extra ))
      line+=$(printf ' | %-14s' "$hits+$extra")
    done
    echo "$line"
  done
  line=$(printf '%-26s %5s' "all at $kind" "${sum[$kind.clean]}")
  for c in "${columns[@]}"; do line+=$(printf ' | %-14s' "${sum[$kind.$c.hits]}+${sum[$kind.$c.extra]}"); done
  echo "$line"
done
echo "(found = clean-file cuts found within 2 frames; extra = cuts matching none)"

# Three cuts a file make a coarse share: each codec again over SEEDS more copies damaged at
# 0.01 %, each from a seed of its own.
seeds=${SEEDS:-8}
python3 - "$(dirname "$0")/../../tools/make-damaged-media.py" "$fixtures" "$work" "$seeds" <<'PY'
import runpy, sys
extra_seed_copy = runpy.run_path(sys.argv[1])["extra_seed_copy"]
for name in ("cuts.mpg", "cuts.mp4", "cuts.mkv", "cuts.mov", "cuts-mpeg4.avi", "cuts.wmv",
             "cuts-mjpeg.avi"):
    data = open(f"{sys.argv[2]}/{name}", "rb").read()
    stem, ext = name.rsplit(".", 1)
    for seed in range(int(sys.argv[4])):
        open(f"{sys.argv[3]}/{stem}.seed{seed}.{ext}", "wb").write(
            extra_seed_copy(data, name, seed))
PY
header=$(printf '%-26s %5s' "0.01 % over $seeds seeds" "clean")
for c in "${columns[@]}"; do header+=$(printf ' | %-14s' "$c found+extra"); done
echo
echo "$header"
for file in cuts.mpg cuts.mp4 cuts.mkv cuts.mov cuts-mpeg4.avi cuts.wmv cuts-mjpeg.avi; do
  clean=$(cuts_by "$kivos" "$fixtures/$file")
  declare -A total=()
  for ((seed = 0; seed < seeds; seed++)); do
    damaged=$work/${file%.*}.seed$seed.${file##*.}
    total[clean]=$(( ${total[clean]:-0} + $(wc -w <<<"$clean") ))
    for c in "${columns[@]}"; do
      read -r hits extra < <(matched "$clean" "$(found_by "$c" "$damaged")")
      total[$c.hits]=$(( ${total[$c.hits]:-0} + hits ))
      total[$c.extra]=$(( ${total[$c.extra]:-0} + extra ))
    done
  done
  line=$(printf '%-26s %5s' "$file" "${total[clean]}")
  for c in "${columns[@]}"; do line+=$(printf ' | %-14s' "${total[$c.hits]}+${total[$c.extra]}"); done
  echo "$line"
  unset total
done
# The copies a KIVOS refused (their cuts count as not found), with what ffmpeg decodes of them.
for list in "$work"/refused.*; do
  [[ -f $list ]] || continue
  echo "refused by ${list##*/refused.}:"
  sort -u "$list" | while read -r file; do
    pictures=$(ffmpeg -v quiet -nostdin -i "$file" -map 0:v:0 -f framecrc - 2>/dev/null | grep -vc '^#' || true)
    echo "  $(basename "$file") (ffmpeg decodes $pictures pictures of it)"
  done
done
