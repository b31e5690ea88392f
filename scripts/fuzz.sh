#!/bin/bash
# Builds every fuzz target with clang and libFuzzer in a tree of its own (build/fuzz), runs each
# for SECONDS (default 60) on one core, one after the other, and prints for each its runs,
# executions per second and coverage. An input that fails is written into the target's regression
# folder in the source tree (<subsystem>/fuzz/regressions/<target>/), where the test command
# replays it from then on: commit it with the fix.
#   scripts/fuzz.sh [SECONDS [TARGET...]]
# Each target's corpus grows in build/fuzz/corpus/<target> from run to run, starting from its
# seeds; its output is in build/fuzz/logs/<target>.log. Exits non-zero when any target failed.
# The packages it needs (clang and its fuzzing runtime) are installed here, not by the test command.
set -euo pipefail

TESSALY_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$TESSALY_ROOT/scripts/deps.sh"
cd "$TESSALY_ROOT"

seconds=${1:-60}
shift || true
case $seconds in '' | *[!0-9]*)
    echo "usage: scripts/fuzz.sh [SECONDS [TARGET...]]" >&2
    exit 2
    ;;
esac

tessaly_need_packages cmake ninja-build clang libclang-rt-14-dev googletest
tree=$TESSALY_ROOT/build/fuzz
# Absolute compiler paths: what the tree's cache holds, so a rerun finds nothing changed.
tessaly_configure "$tree" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSALY_FUZZ=ON \
    -DCMAKE_C_COMPILER="$(command -v clang)" -DCMAKE_CXX_COMPILER="$(command -v clang++)"

# Building first brings the tree up to date with the source, new targets included.
cmake --build "$tree" --target "${@:-fuzz_targets}" -j2 || built=$?

# name, program, regression folder, dictionary, seed folders (;-separated): one file a target.
declare -A program regressions dict seeds
names=()
for listing in "$tree"/fuzz-targets/*; do
    [ -f "$listing" ] || continue
    IFS=$'\t' read -r name bin regress dictionary seedDirs <"$listing"
    names+=("$name")
    program[$name]=$bin
    regressions[$name]=$regress
    dict[$name]=$dictionary
    seeds[$name]=$seedDirs
done
for name in "$@"; do
    if [ -z "${program[$name]:-}" ]; then
        echo "no fuzz target $name (known: ${names[*]})" >&2
        exit 2
    fi
done
[ "${built:-0}" -eq 0 ] || exit "$built"
[ $# -eq 0 ] || names=("$@")
[ ${#names[@]} -gt 0 ] || { echo "$tree declares no fuzz targets" >&2; exit 1; }

# Files the targets write go to a scratch folder of their own, in memory where the system has
# one: a save's flush to disk then costs nothing.
scratch_parent=/tmp
[ -d /dev/shm ] && [ -w /dev/shm ] && scratch_parent=/dev/shm
scratch=$(mktemp -d "$scratch_parent/tessaly-fuzz.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

mkdir -p "$tree/logs"
failed=0
results=()
for name in "${names[@]}"; do
    corpus=$tree/corpus/$name
    log=$tree/logs/$name.log
    mkdir -p "$corpus" "${regressions[$name]}"
    IFS=';' read -r -a seedDirs <<<"${seeds[$name]}"
    options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
        -artifact_prefix="${regressions[$name]}/")
    [ -n "${dict[$name]}" ] && options+=(-dict="${dict[$name]}")
    before=$(ls "${regressions[$name]}" | wc -l)
    echo "== $name: ${seconds} s (log: $log)"
    status=ok
    # The first folder gathers new inputs; the others are read only. Paths are absolute: a
    # target may change its working folder while it runs.
    TMPDIR=$scratch "${program[$name]}" "${options[@]}" "$corpus" "${seedDirs[@]}" \
        "${regressions[$name]}" >"$log" 2>&1 || status=FAILED
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
    rss=$(sed -n 's/^stat::peak_rss_mb: *//p' "$log" | tail -1)
    coverage=$(grep -E '^#[0-9]+' "$log" | grep -o 'cov: [0-9]* ft: [0-9]*' | tail -1 || true)
    corpusSize=$(ls "$corpus" | wc -l)
    found=$(($(ls "${regressions[$name]}" | wc -l) - before))
    if [ "$status" != ok ]; then
        failed=1
        grep -E '^(==[0-9]+==ERROR|SUMMARY|fuzz target:|artifact_prefix|Test unit written)|heap at once' "$log" |
            head -n 20 || true
    fi
    results+=("$(printf '%-24s %10s %8s %7s %-20s %7s %6s %s' "$name" "${runs:-?}" "${rate:-?}" \
        "${rss:-?}" "${coverage:-?}" "$corpusSize" "$found" "$status")")
done

echo "== summary: ${seconds} s a target"
printf '%-24s %10s %8s %7s %-20s %7s %6s %s\n' target runs exec/s rss_mb coverage corpus found result
printf '%s\n' "${results[@]}"
if [ $failed -ne 0 ]; then
    echo "FAILED: the failing inputs are in the regression folders above; the logs say why"
fi
exit $failed
