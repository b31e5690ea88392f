#!/bin/bash
# Sets up and runs every Tessaly test: the native tree (g++, AddressSanitizer and UBSan) and the
# Windows tree (MinGW-w64, tests run under Wine). Exits non-zero when anything fails.
#   scripts/test.sh
# Build trees: build/native and build/win. Reruns are incremental.
set -uo pipefail

TESSALY_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$TESSALY_ROOT/scripts/deps.sh"
cd "$TESSALY_ROOT"

# What the tests use, no more: benchmarks, fuzzing and screenshots install their own packages.
tessaly_need_packages cmake ninja-build g++ googletest g++-mingw-w64-x86-64-posix \
    binutils-mingw-w64-x86-64 wine wine64 fonts-liberation python3 python3-icalendar python3-dateutil ghostscript \
    poppler-utils || exit 1

jobs=2
status=0
summary=()

# Builds one tree and runs its tests; ctest's whole output goes to <tree>/ctest.log.
#   run_tree NAME BUILD_DIR [CMAKE ARGS...]
run_tree() {
    local name=$1 dir=$2
    shift 2
    local start=$SECONDS
    echo "== $name: build ($dir)"
    mkdir -p "$dir"
    if ! tessaly_configure "$dir" "$@" >"$dir/configure.log" 2>&1; then
        cat "$dir/configure.log"
        summary+=("$name: configure FAILED")
        status=1
        return
    fi
    if ! cmake --build "$dir" -j"$jobs"; then
        summary+=("$name: build FAILED")
        status=1
        return
    fi
    local built=$SECONDS
    echo "== $name: test"
    local log=$dir/ctest.log ok=1
    ctest --test-dir "$dir" -j"$jobs" --output-on-failure --no-tests=error >"$log" 2>&1 || ok=0
    if [ $ok -eq 0 ]; then
        # The failing tests' output, then the list of failures.
        grep -v -E '^ *[0-9]+/[0-9]+ Test +#[0-9]+: .* Passed' "$log" | tail -n 200
        status=1
    fi
    local line
    while IFS= read -r line; do summary+=("$name: $line"); done < <(
        grep -E 'tests passed|tests failed|Total Test time|No tests were found|\(Failed\)|\(Timeout\)|\(SEGFAULT\)|Exception|Not Run' "$log")
    summary+=("$name: build $((built - start)) s, tests $((SECONDS - built)) s")
}

mkdir -p build
run_tree native build/native -DCMAKE_BUILD_TYPE=Debug -DTESSALY_SANITIZE=ON
run_tree windows build/win -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$TESSALY_ROOT/cmake/toolchain-mingw.cmake"

echo "== summary"
printf '%s\n' "${summary[@]}"
if [ $status -ne 0 ]; then
    echo "FAILED (logs: build/native/ctest.log, build/win/ctest.log)"
fi
exit $status
