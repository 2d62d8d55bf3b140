#!/usr/bin/env bash
# Draws the project's libraries and programs with what they link (cmake --graphviz through dot),
# for docs/libraries.svg and docs/libraries.png. Tests, benchmarks and fuzz targets are left out.
# Usage: tools/library-graph.sh [OUTPUT_DIR]   (default docs)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/docs}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cat > "$work/CMakeGraphVizOptions.cmake" <<'OPTIONS'
set(GRAPHVIZ_GRAPH_NAME "KIVO libraries")
set(GRAPHVIZ_IGNORE_TARGETS "^test_" "^bench_" "^fuzz_" "^screenshot_" "^kivo_warnings$"
    "^GTest::" "^benchmark::" "^Threads::" "::moc$" "::uic$" "::rcc$" "^Qt6::Platform" "^WrapOpenGL"
    "^OpenGL::" "^Qt6::Test$" "^Qt6::Network$" "^Wrap" "^/usr/")
set(GRAPHVIZ_GENERATE_PER_TARGET FALSE)
set(GRAPHVIZ_GENERATE_DEPENDERS FALSE)
OPTIONS
cmake -S "$root" -B "$work" -G Ninja -DKIVO_BENCH=OFF --graphviz="$work/kivo.dot" > /dev/null
# cmake adds a legend of shapes; the libraries speak for themselves.
sed '/subgraph clusterLegend/,/^}$/d' "$work/kivo.dot" > "$work/libraries.dot"
dot -Tsvg "$work/libraries.dot" -o "$out/libraries.svg"
dot -Gdpi=72 -Tpng "$work/libraries.dot" -o "$out/libraries.png"
echo "wrote $out/libraries.svg and $out/libraries.png"
