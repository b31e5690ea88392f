#!/bin/bash
# `tsy import` of a calendar whose one event has a 20 MB title folded into 75-octet lines, timed
# beside Debian's python3-icalendar parsing the same file.
#   tools/tsy/bench/import_vs_icalendar.sh [MEGABYTES (default 20)] [ROUNDS (default 5)]
# Builds tsy in the Release tree build/bench, writes the file, then alternates, round by round:
# python3-icalendar reading the file and walking its events, and `tsy import --dry-run` of it.
# Prints both medians, their ratio and each one's peak memory.
set -euo pipefail

TESSALY_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)
source "$TESSALY_ROOT/scripts/deps.sh"
cd "$TESSALY_ROOT"
megabytes=${1:-20}
rounds=${2:-5}

tessaly_need_packages cmake ninja-build g++ googletest libbenchmark-dev python3 python3-icalendar time
tree=build/bench
tessaly_configure "$tree" -DCMAKE_BUILD_TYPE=Release -DTESSALY_BENCHMARKS=ON >/dev/null
cmake --build "$tree" --target tsy -j2 >/dev/null
tsy=$TESSALY_ROOT/$tree/tools/tsy/tsy

work=$(mktemp -d "${TMPDIR:-/var/tmp}/tessaly-import-XXXXXX")
trap 'rm -rf "$work"' EXIT
/usr/bin/python3 - "$work/big.ics" "$megabytes" <<'PY'
import sys
path, size = sys.argv[1], int(sys.argv[2]) * 1000 * 1000
words = "Long title with many words and some more, "
line = "SUMMARY:" + (words * (size // len(words) + 1))[:size]
with open(path, "w", newline="") as f:
    f.write("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//bench//EN\r\nBEGIN:VEVENT\r\n")
    f.write("UID:big@bench\r\nDTSTAMP:20261201T000000Z\r\nDTSTART;VALUE=DATE:20270105\r\n")
    f.write(line[:75] + "\r\n")
    for i in range(75, len(line), 74):
        f.write(" " + line[i:i + 74] + "\r\n")
    f.write("END:VEVENT\r\nEND:VCALENDAR\r\n")
PY
size=$(stat -c %s "$work/big.ics")
cat >"$work/parse.py" <<'PY'
import sys
import icalendar
cal = icalendar.Calendar.from_ical(open(sys.argv[1], "rb").read())
print(sum(len(str(e.get("summary"))) for e in cal.walk("VEVENT")), file=sys.stderr)
PY

now_ms() { echo $(($(date +%s%N) / 1000000)); }
peak_kb() { awk '/Maximum resident/ {print $6}' "$1"; }
readers=() imports=() reader_kb=0 import_kb=0
for round in $(seq "$rounds"); do
    start=$(now_ms)
    /usr/bin/time -v /usr/bin/python3 "$work/parse.py" "$work/big.ics" 2>"$work/reader.txt"
    readers+=($(($(now_ms) - start)))
    reader_kb=$(peak_kb "$work/reader.txt")

    start=$(now_ms)
    /usr/bin/time -v "$tsy" import "$work/data.tsy" "$work/big.ics" --dry-run --today 2026-12-08 \
        >/dev/null 2>"$work/import.txt"
    imports+=($(($(now_ms) - start)))
    import_kb=$(peak_kb "$work/import.txt")
done
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print a[int((NR + 1) / 2)]}'; }
reader=$(median "${readers[@]}")
import=$(median "${imports[@]}")
echo "file: $size bytes (one folded line), rounds: $rounds"
echo "python3-icalendar: ${readers[*]} ms (median $reader), peak $((reader_kb / 1024)) MB"
echo "tsy import:        ${imports[*]} ms (median $import), peak $((import_kb / 1024)) MB"
awk -v t="$import" -v r="$reader" 'BEGIN { printf "tsy / icalendar: %.3fx\n", t / r }'
