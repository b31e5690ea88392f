#!/bin/bash
# `tsy rollover` of a large data file timed beside a plain copy + fsync of the same file.
#   tools/tsy/bench/rollover_vs_copy.sh [REMINDERS (default 1000000)] [ROUNDS (default 5)]
# Builds tsy in the Release tree build/bench, writes a file of mostly past-due recurring
# reminders, then alternates, round by round: copy + fsync of the file (dd conv=fsync), and
# `tsy rollover` of a fresh copy in a fresh folder (so each round also makes the day's backup,
# as the first save of a day does). Prints both medians and their ratio.
set -euo pipefail

TESSALY_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)
source "$TESSALY_ROOT/scripts/deps.sh"
cd "$TESSALY_ROOT"
count=${1:-1000000}
rounds=${2:-5}

tessaly_need_packages cmake ninja-build g++ googletest libbenchmark-dev python3
tree=build/bench
tessaly_configure "$tree" -DCMAKE_BUILD_TYPE=Release -DTESSALY_BENCHMARKS=ON >/dev/null
cmake --build "$tree" --target tsy -j2 >/dev/null
tsy=$TESSALY_ROOT/$tree/tools/tsy/tsy

work=$(mktemp -d "${TMPDIR:-/var/tmp}/tessaly-rollover-XXXXXX")
trap 'rm -rf "$work"' EXIT
today=2026-12-08
# Dates from about a year back to a year ahead, four in five recurring: most entries past due.
/usr/bin/python3 - "$work/source.tsy" "$count" <<'PY'
import datetime, random, struct, sys
path, n = sys.argv[1], int(sys.argv[2])
rng = random.Random(n)
base = datetime.date(2026, 12, 8)
rows = []
for i in range(n):
    d = base + datetime.timedelta(days=rng.randint(-400, 300))
    key = d.year * 10000 + d.month * 100 + d.day
    freq = 1 if rng.random() < 0.2 else rng.randint(2, 5)
    rows.append((key, rng.randint(1, 5), freq, rng.randint(1, 6), i))
rows.sort(key=lambda r: r[0])
with open(path, 'wb') as f:
    f.write(b'3.03' + struct.pack('<i', n))
    for key, kind, freq, period, i in rows:
        desc = ('benchmark reminder %d' % i).encode('cp1252').ljust(48, b' ')
        f.write(struct.pack('<B48sihBBB', kind, desc, key, 900, 1, period, freq))
    f.write(struct.pack('<i', 0))
PY
size=$(stat -c %s "$work/source.tsy")

now_ms() { echo $(($(date +%s%N) / 1000000)); }
copies=() rolls=()
for round in $(seq "$rounds"); do
    rm -rf "$work/copy.tsy" "$work/r"
    start=$(now_ms)
    dd if="$work/source.tsy" of="$work/copy.tsy" bs=4M conv=fsync status=none
    copies+=($(($(now_ms) - start)))

    mkdir -p "$work/r"
    cp "$work/source.tsy" "$work/r/Tessaly.tsy"
    sync "$work/r/Tessaly.tsy"
    start=$(now_ms)
    "$tsy" rollover "$work/r/Tessaly.tsy" --today "$today"
    rolls+=($(($(now_ms) - start)))
done
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print a[int((NR + 1) / 2)]}'; }
copy=$(median "${copies[@]}")
roll=$(median "${rolls[@]}")
echo "reminders: $count, file: $size bytes, rounds: $rounds"
echo "copy + fsync:  ${copies[*]} ms (median $copy)"
echo "tsy rollover:  ${rolls[*]} ms (median $roll)"
awk -v r="$roll" -v c="$copy" 'BEGIN { printf "rollover / copy: %.2fx\n", r / c }'
