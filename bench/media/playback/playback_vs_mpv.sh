#!/usr/bin/env bash
# The playback engine side by side with the mpv command-line player on the 1080p benchmark video,
# both drawing into a 960x540 window on an X server without a display (Xvfb):
#
#  - open to first picture: the engine opens the file OPENS times in one process (the probe
#    times open() until libmpv has drawn the first picture into the widget); mpv plays the file
#    OPENS times as one playlist and is timed from its own log, from "[file] Opening" to "first
#    video frame after restart shown". The first open of a process is reported apart (cold: the
#    decoder and renderer start up); the median of the others is the steady value (warm).
#  - processor use while playing PLAY_SECONDS at normal speed: user + system time of the whole
#    process divided by its wall time, median of RUNS interleaved runs.
#
# Pairs: what each picks by itself; the engine's software renderer against mpv --vo=x11 (both
# scale and convert on the processor); the engine's OpenGL renderer forced on Mesa's llvmpipe
# against mpv --vo=gpu --gpu-sw (the same software OpenGL). mpv is installed when missing.
#
#   KIVO_BUILD=build KIVO_FIXTURES=build/fixtures bash bench/media/playback/playback_vs_mpv.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/../../.." && pwd)
build=${KIVO_BUILD:-build}
fixtures=${KIVO_FIXTURES:-$build/fixtures}
runs=${RUNS:-3}
opens=${OPENS:-8}
play_seconds=${PLAY_SECONDS:-15}
video=$fixtures/bench-1080p.mp4
probe=$build/bench/media/playback/kivo_playback_probe
[[ -f $video ]] || "$root/tools/make-fixtures.sh" --bench "$fixtures"
[[ -x $probe ]] || { echo "missing $probe (build the kivo_playback_probe target)"; exit 1; }
command -v xvfb-run >/dev/null || { echo "missing xvfb-run"; exit 1; }
if ! command -v mpv >/dev/null; then
  echo "installing the mpv package, the peer of this benchmark"
  if [[ $(id -u) == 0 ]]; then
    apt-get install -y mpv >/dev/null
  else
    sudo apt-get install -y mpv >/dev/null
  fi
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
display() { xvfb-run -a -s "-screen 0 1280x800x24" "$@"; }

# Runs a command and prints its processor use in percent of one core.
cat > "$work/cpu.py" <<'PY'
import os, subprocess, sys, time
start = time.monotonic()
child = subprocess.Popen(sys.argv[1:], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
_, status, usage = os.wait4(child.pid, 0)
wall = time.monotonic() - start
if status != 0:
    sys.exit("failed: " + " ".join(sys.argv[1:]))
print("%.1f" % (100 * (usage.ru_utime + usage.ru_stime) / wall))
PY

# Open-to-picture times of mpv's playlist log, in ms, one per line.
cat > "$work/mpvlog.py" <<'PY'
import re, sys
opened = None
for line in open(sys.argv[1], errors="replace"):
    stamp = re.match(r"\[\s*([\d.]+)\]", line)
    if not stamp:
        continue
    if "[file] Opening " in line:
        opened = float(stamp.group(1))
    elif "first video frame after restart shown" in line and opened is not None:
        print("%.1f" % ((float(stamp.group(1)) - opened) * 1000))
        opened = None
PY

median() { sort -n | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }

# name | engine renderer (empty: its own choice) | mpv video output options
pairs=("own choice||"
       "software|software|--vo=x11"
       "OpenGL (llvmpipe)|opengl|--vo=gpu --gpu-sw")

declare -A ours_cpu mpv_cpu ours_warm ours_cold mpv_warm mpv_cold
for ((run = 0; run < runs; run++)); do
  for i in "${!pairs[@]}"; do
    IFS='|' read -r _ renderer vo <<<"${pairs[$i]}"
    ours_cpu[$i]+="$(KIVO_VIDEO_RENDERER=$renderer display python3 "$work/cpu.py" \
                     "$probe" play "$video" "$play_seconds") "
    # shellcheck disable=SC2086  # vo holds separate options
    mpv_cpu[$i]+="$(display python3 "$work/cpu.py" mpv --no-config --ao=null $vo \
                    --geometry=960x540 --length="$play_seconds" "$video") "
  done
done
for i in "${!pairs[@]}"; do
  IFS='|' read -r _ renderer vo <<<"${pairs[$i]}"
  KIVO_VIDEO_RENDERER=$renderer display "$probe" first-frame "$video" "$opens" \
    2>/dev/null >"$work/ours.txt"
  ours_cold[$i]=$(head -n 1 "$work/ours.txt")
  ours_warm[$i]=$(tail -n +2 "$work/ours.txt" | median)
  videos=()
  for ((k = 0; k < opens; k++)); do videos+=("$video"); done
  # shellcheck disable=SC2086
  display mpv --no-config --ao=null $vo --geometry=960x540 --frames=1 \
    --log-file="$work/mpv.log" --msg-level=all=v "${videos[@]}" >/dev/null 2>&1 || true
  python3 "$work/mpvlog.py" "$work/mpv.log" >"$work/mpv.txt"
  mpv_cold[$i]=$(head -n 1 "$work/mpv.txt")
  mpv_warm[$i]=$(tail -n +2 "$work/mpv.txt" | median)
  rm -f "$work/mpv.log"
done

ratio() { echo "scale=2; $1 / $2" | bc -l; }
echo "bench-1080p.mp4 (1920x1080 H.264, 25 fps) in a 960x540 window on Xvfb"
echo "processor use: median of $runs runs of ${play_seconds} s; open to picture: $opens opens"
printf '%-20s %-26s %9s %9s %9s\n' "renderers" "measure" "engine" "mpv" "engine/mpv"
for i in "${!pairs[@]}"; do
  IFS='|' read -r name _ _ <<<"${pairs[$i]}"
  cpu_ours=$(tr ' ' '\n' <<<"${ours_cpu[$i]}" | grep . | median)
  cpu_mpv=$(tr ' ' '\n' <<<"${mpv_cpu[$i]}" | grep . | median)
  printf '%-20s %-26s %8.1f%% %8.1f%% %9s\n' "$name" "processor while playing" \
         "$cpu_ours" "$cpu_mpv" "$(ratio "$cpu_ours" "$cpu_mpv")"
  printf '%-20s %-26s %7.0fms %7.0fms %9s\n' "" "open to picture, warm" \
         "${ours_warm[$i]}" "${mpv_warm[$i]}" "$(ratio "${ours_warm[$i]}" "${mpv_warm[$i]}")"
  printf '%-20s %-26s %7.0fms %7.0fms %9s\n' "" "open to picture, cold" \
         "${ours_cold[$i]}" "${mpv_cold[$i]}" "$(ratio "${ours_cold[$i]}" "${mpv_cold[$i]}")"
done
echo "(target: engine/mpv <= 1.10 for the own-choice pair; cold mpv includes creating its window)"
