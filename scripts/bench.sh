#!/usr/bin/env bash
# Builds the optimised native preset and runs every benchmark. The corpora are generated in
# build/bench-corpus/ on the first run (about 1 GB of disk).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset native-release >/dev/null
cmake --build --preset native-release
for bench in build/native-release/*_bench; do
    echo "== $(basename "$bench")"
    "$bench"
done
echo "== statusline"
bash bench/statusline_bench.sh build/native-release/tidewell
