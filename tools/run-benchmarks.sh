#!/usr/bin/env bash
# Runs every benchmark of the build: the Google Benchmark executables (bench_*) and the
# side-by-side scripts (bench/**/*.sh, which compare with a peer program such as ffmpeg).
# Results go to BUILD/bench-results/ and to the terminal.
set -euo pipefail
build=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
export KIVO_FIXTURES=$build/fixtures
"$root/tools/make-fixtures.sh" "$KIVO_FIXTURES"
"$root/tools/make-fixtures.sh" --bench "$KIVO_FIXTURES"
out=$build/bench-results
mkdir -p "$out"
status=0
while IFS= read -r exe; do
  name=$(basename "$exe")
  echo "== $name"
  "$exe" --benchmark_out="$out/$name.json" --benchmark_out_format=json || status=1
done < <(find "$build/bench" -type f -name 'bench_*' -perm -u+x | sort)
while IFS= read -r script; do
  echo "== $(basename "$script")"
  KIVO_BUILD=$build bash "$script" | tee "$out/$(basename "$script" .sh).txt" || status=1
done < <(find "$root/bench" -type f -name '*.sh' | sort)
exit $status
