#!/usr/bin/env bash
# Runs each libFuzzer target of a fuzz build for a bounded time on its seed corpus.
set -euo pipefail
build=${1:-build-fuzz}
seconds=${2:-30}
root=$(cd "$(dirname "$0")/.." && pwd)
status=0
# Leaks inside system libraries are left out as in the sanitizer test run.
export LSAN_OPTIONS=suppressions=$root/tools/lsan.supp
while IFS= read -r exe; do
  name=$(basename "$exe")
  seeds=$root/fuzz/corpus/$name
  work=$build/fuzz-work/$name
  mkdir -p "$work"
  echo "== $name for ${seconds}s"
  args=(-max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 -print_final_stats=1)
  if [[ -d $seeds ]]; then
    "$exe" "${args[@]}" "$work" "$seeds" || status=1
  else
    "$exe" "${args[@]}" "$work" || status=1
  fi
done < <(find "$build/fuzz" -type f -name 'fuzz_*' -perm -u+x | sort)
exit $status
