#!/bin/bash
# Screenshots of the list window under Xvfb: a dozen current reminders, then the archive.
#   scripts/screenshots-list.sh BUILD_TREE OUTPUT_DIR
# Runs BUILD_TREE/bin/Tessaly.exe on sample data in the tree's x11 prefix on a private X screen,
# opens "&List" and "&Archive" with their keys, and captures the list window with ImageMagick.
set -euo pipefail
tree=$(cd "${1:?usage: screenshots-list.sh BUILD_TREE OUTPUT_DIR}" && pwd)
out=$(mkdir -p "${2:?usage: screenshots-list.sh BUILD_TREE OUTPUT_DIR}" && cd "$2" && pwd)
source "$(dirname "${BASH_SOURCE[0]}")/x11.sh"
tessaly_use_x11_prefix "$tree"

work=$(mktemp -d)
# Twelve reminders from two days on (two days with two each) and four archived ones.
/usr/bin/python3 - "$work/sample.tsy" <<'PY'
import datetime, struct, sys
t = datetime.date.today()
def key(days):
    d = t + datetime.timedelta(days=days)
    return d.year * 10000 + d.month * 100 + d.day
def rec(kind, desc, days, time=0, notify=0, period=1, freq=1):
    return struct.pack('<B48sihBBB', kind, desc.encode('cp1252').ljust(48, b' '), key(days),
                       time, notify, period, freq)
cur = [rec(4, 'Dentist, Dr. Hale', 2, 1430, 3), rec(1, 'Mum', 5, 1956, 7, 1, 2),
       rec(5, 'Project review', 5, 1000, 1, 2, 4), rec(3, 'Renew car insurance', 12, 0, 10),
       rec(4, 'Haircut', 14, 915, 1), rec(2, 'Wedding anniversary', 18, 2009, 14, 1, 2),
       rec(5, 'Board meeting in the large conference room on the third floor', 18, 1330, 5),
       rec(3, 'Pay the water bill', 21, 15, 2), rec(5, 'Book club', 33, 1930, 2, 1, 5),
       rec(4, 'Car service at the garage', 41, 800, 3), rec(1, 'Grandpa Joe', 52, 1931, 10, 1, 2),
       rec(3, 'Passport renewal', 60, 1200, 30)]
arc = [rec(4, 'Eye test', -20, 1100, 2), rec(5, 'Team lunch', -12, 1230, 1),
       rec(3, 'Return library books', -6, 0, 3), rec(4, 'Vet, booster for Max', -2, 1645, 4)]
open(sys.argv[1], 'wb').write(b'3.03' + struct.pack('<i', len(cur)) + b''.join(cur) +
                              struct.pack('<i', len(arc)) + b''.join(arc))
PY

cleanup() {
    "$TESSALY_WINESERVER" -k >/dev/null 2>&1 || true
    tessaly_stop_xvfb
    rm -rf "$work"
}
trap cleanup EXIT
tessaly_start_xvfb "$work"
tessaly_wineserver_up

wine "$(wine winepath -w "$tree/bin/Tessaly.exe" 2>/dev/null)" \
    "$(wine winepath -w "$work/sample.tsy" 2>/dev/null)" </dev/null >/dev/null 2>&1 &
main=$(timeout 60 xdotool search --sync --onlyvisible --name "Tessaly - ver" | head -n 1)
sleep 2
xdotool windowactivate --sync "$main" 2>/dev/null || xdotool windowfocus --sync "$main"
xdotool key --window "$main" alt+l
list=$(timeout 30 xdotool search --sync --onlyvisible --name "List of Tessaly" | head -n 1)
sleep 1.5
# A line chosen, as a user would before "&Back" or "Delete".
xdotool key Down Down Down
sleep 0.5
import -window "$list" "$out/list-current.png"
import -window root -crop 1024x640+0+0 "$out/list-current-desktop.png"
xdotool key alt+a
sleep 1
xdotool key Down
sleep 0.5
import -window "$list" "$out/list-archive.png"
ls "$out"/list-*.png
