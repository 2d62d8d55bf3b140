#!/usr/bin/env bash
# The channel window on an X server without a display (Xvfb), showing the shipped channel page:
#
#  - cold: the first show to the page painted, in a player whose browser engine has not started;
#  - warm: the same for a second window once the engine runs;
#  - reshow: hiding and showing the first window again (the page is kept, nothing is loaded);
#  - the player's resident memory before and after the first show, and that of the engine's
#    processes.
# Each run is a new player process; median of RUNS runs.
#
#   KIVO_BUILD=build bash bench/player/channel_bench.sh
set -euo pipefail
build=${KIVO_BUILD:-build}
probe=$build/bench/player/kivo_channel_probe
pages=$build/src/player/shell
[[ -x $probe ]] || { echo "missing $probe (built with Qt WebEngine only)"; exit 0; }
command -v xvfb-run >/dev/null || { echo "missing xvfb-run"; exit 1; }
runs=${RUNS:-5}
lines=$(for _ in $(seq "$runs"); do
  xvfb-run -a -s "-screen 0 1280x800x24" "$probe" "$pages"
done)
python3 - "$lines" <<'PY'
import statistics, sys
rows = [list(map(float, line.split())) for line in sys.argv[1].splitlines() if line.strip()]
names = ["cold show to painted (ms)", "warm show to painted (ms)", "reshow (ms)",
         "player RSS before (MB)", "player RSS after (MB)", "engine processes RSS (MB)"]
print(f"channel window, shipped page, {len(rows)} runs (median, min-max)")
for i, name in enumerate(names):
    values = [row[i] / 1024 if i >= 3 else row[i] for row in rows]
    print(f"  {name:28s} {statistics.median(values):8.1f}   {min(values):.1f}-{max(values):.1f}")
PY
