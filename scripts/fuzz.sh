#!/bin/bash
# Builds the fuzzer with clang in its own tree (build/fuzz) and runs it for SECONDS (default 60).
#   scripts/fuzz.sh [SECONDS]
# The packages it needs (clang and its fuzzing runtime) are installed here, not by the test command.
set -euo pipefail

TESSALY_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$TESSALY_ROOT/scripts/deps.sh"
cd "$TESSALY_ROOT"

tessaly_need_packages cmake ninja-build clang libclang-rt-14-dev googletest
tree=build/fuzz
tessaly_configure "$tree" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSALY_FUZZ=ON \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
cmake --build "$tree" --target load_rollover_fuzz -j2
mkdir -p "$tree/corpus"
"$tree/core/load_rollover_fuzz" -max_total_time="${1:-60}" "$tree/corpus"
