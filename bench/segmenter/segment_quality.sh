#!/usr/bin/env bash
# Precision and recall of the scene cuts `KIVOS --segment` finds on the cut fixtures, beside
# ffmpeg's scdet filter at its default threshold. A found cut counts only at the exact first frame
# of the new scene; for the fade through black, whose new scene has no single first frame, a cut
# anywhere in the black stretch (frames 50..60) counts.
#
#   KIVO_BUILD=build KIVO_FIXTURES=build/fixtures bash bench/segmenter/segment_quality.sh
set -euo pipefail
build=${KIVO_BUILD:-build}
fixtures=${KIVO_FIXTURES:-$build/fixtures}
kivos=$build/src/segmenter/KIVOS
[[ -x $kivos ]] || { echo "missing $kivos"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# file | true cuts (first frames of new scenes; lo-hi is a range that counts as one cut)
truth=(
  "cuts.mp4|40 80 120" "cuts.mkv|40 80 120" "cuts.mpg|40 80 120" "cuts-mpeg4.avi|40 80 120"
  "cuts.wmv|40 80 120" "cuts-mjpeg.avi|40 80 120" "cuts.mov|40 80 120"
  "fade.mp4|50-60" "blackstart.mp4|30"
)

kivos_cuts() {  # scene starts after the first, from the CSV
  "$kivos" --segment "$1" --output "$work/out.scv" --csv "$work/out.csv" --quiet
  tail -n +3 "$work/out.csv" | cut -d, -f2 | tr '\n' ' '
}

scdet_cuts() {
  ffmpeg -hide_banner -nostdin -loglevel error -i "$1" \
         -vf "scdet,metadata=print:key=lavfi.scd.time:file=-" -f null - |
    sed -n 's/^frame:\([0-9]*\).*/\1/p' | tr '\n' ' '
}

# score "true cuts" "found cuts" -> "tp fp fn"
score() {
  local -a wanted=($1) found=($2)
  local tp=0 fp=0 fn=0 w f lo hi hit
  local -A used=()
  for w in "${wanted[@]}"; do
    lo=${w%-*}; hi=${w#*-}; hit=0
    for f in "${found[@]}"; do
      if [[ -z ${used[$f]:-} ]] && ((f >= lo && f <= hi)); then used[$f]=1; hit=1; break; fi
    done
    if ((hit)); then tp=$((tp + 1)); else fn=$((fn + 1)); fi
  done
  for f in "${found[@]}"; do [[ -n ${used[$f]:-} ]] || fp=$((fp + 1)); done
  echo "$tp $fp $fn"
}

ratio() { if (($2 == 0)); then echo "-"; else echo "scale=3; $1 / $2" | bc -l | sed 's/^\./0./'; fi; }

declare -A total=([ktp]=0 [kfp]=0 [kfn]=0 [stp]=0 [sfp]=0 [sfn]=0)
printf '%-16s %-10s | %-16s %-9s | %-16s %-9s\n' "fixture" "truth" "KIVOS" "tp/fp/fn" "scdet" "tp/fp/fn"
for entry in "${truth[@]}"; do
  file=${entry%%|*}; want=${entry#*|}
  k=$(kivos_cuts "$fixtures/$file"); s=$(scdet_cuts "$fixtures/$file")
  read -r ktp kfp kfn < <(score "$want" "$k")
  read -r stp sfp sfn < <(score "$want" "$s")
  for v in ktp kfp kfn stp sfp sfn; do total[$v]=$((total[$v] + ${!v})); done
  printf '%-16s %-10s | %-16s %-9s | %-16s %-9s\n' "$file" "$want" "${k:--}" "$ktp/$kfp/$kfn" \
         "${s:--}" "$stp/$sfp/$sfn"
done
echo
printf '%-22s %10s %10s\n' "" "precision" "recall"
printf '%-22s %10s %10s\n' "KIVOS --segment" \
       "$(ratio "${total[ktp]}" $((total[ktp] + total[kfp])))" \
       "$(ratio "${total[ktp]}" $((total[ktp] + total[kfn])))"
printf '%-22s %10s %10s\n' "ffmpeg scdet (t=10)" \
       "$(ratio "${total[stp]}" $((total[stp] + total[sfp])))" \
       "$(ratio "${total[stp]}" $((total[stp] + total[sfn])))"
