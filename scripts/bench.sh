#!/bin/bash
# Builds the benchmarks in their own Release tree (build/bench) and runs the data-file one.
#   scripts/bench.sh [ARGS for rollover_bench...]
# The packages they need (Google Benchmark) are installed here, not by the test command.
set -euo pipefail

TESSALY_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$TESSALY_ROOT/scripts/deps.sh"
cd "$TESSALY_ROOT"

tessaly_need_packages cmake ninja-build g++ googletest libbenchmark-dev
tree=build/bench
tessaly_configure "$tree" -DCMAKE_BUILD_TYPE=Release -DTESSALY_BENCHMARKS=ON
cmake --build "$tree" --target rollover_bench -j2
"$tree/core/rollover_bench" "$@"
