#!/bin/bash
# Screenshots of the editor's main window under Xvfb: empty, with reminders, and mid-edit.
#   scripts/screenshots-editor.sh BUILD_TREE OUTPUT_DIR
# Runs BUILD_TREE/bin/Tessaly.exe in the tree's x11 prefix (made by scripts/wine-prefix.sh) on a
# private X screen, clicks and types with xdotool, and captures the window with ImageMagick.
# Pixel positions are the calendar's fixed cells plus Wine's frame (3, 25); the sample reminders
# are dated from today, so the shots look the same whenever they are taken.
set -euo pipefail
tree=$(cd "${1:?usage: screenshots-editor.sh BUILD_TREE OUTPUT_DIR}" && pwd)
out=$(mkdir -p "${2:?usage: screenshots-editor.sh BUILD_TREE OUTPUT_DIR}" && cd "$2" && pwd)
source "$(dirname "${BASH_SOURCE[0]}")/x11.sh"
tessaly_use_x11_prefix "$tree"

/usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/sample_data.py" editor "$out/sample.tsy"

tessaly_x11_session
work=$TESSALY_WORK

# Window-relative position of a day's cell centre: panel 0 or 1, days from today.
cell() {
    /usr/bin/python3 - "$1" <<'PY'
import datetime, sys
t = datetime.date.today(); d = t + datetime.timedelta(days=int(sys.argv[1]))
panel = (d.year * 12 + d.month) - (t.year * 12 + t.month)
first = datetime.date(d.year, d.month, 1)
slot = (first.weekday() + 1) % 7 + d.day - 1
print(3 + 220 * panel + 15 + 29 * (slot % 7) + 14, 25 + 45 + 25 * (1 + slot // 7) + 12)
PY
}

run() {
    wine "$(wine winepath -w "$tree/bin/Tessaly.exe" 2>/dev/null)" "$@" </dev/null >/dev/null 2>&1 &
    id=$(timeout 60 xdotool search --sync --onlyvisible --name "Tessaly - ver" | head -n 1)
    sleep 2
}
close() { "$TESSALY_WINESERVER" -k >/dev/null 2>&1 || true; sleep 1; tessaly_wineserver_up; }

# Empty: a data file with nothing in it.
: >"$work/empty.tsy"
run "$(wine winepath -w "$work/empty.tsy" 2>/dev/null)"
import -window "$id" "$out/empty.png"
close

# With reminders: a click on the day with two of them.
run "$(wine winepath -w "$out/sample.tsy" 2>/dev/null)"
xdotool mousemove --window "$id" $(cell 5) click 1
sleep 1
import -window "$id" "$out/with-reminders.png"

# Mid-edit: a double-click on a free day, then an appointment typed in, every two weeks.
xdotool mousemove --window "$id" $(cell 8) click --repeat 2 --delay 80 1
sleep 1
xdotool mousemove --window "$id" 143 276 click 1
sleep 0.8
xdotool key Down Down Down Down Return
sleep 0.5
xdotool type --delay 40 "Dentist check-up"
xdotool mousemove --window "$id" 232 340 click 1
xdotool type --delay 40 "9:30 am"
xdotool mousemove --window "$id" 54 373 click 1
xdotool type --delay 40 "2"
xdotool mousemove --window "$id" 30 478 click 1
sleep 0.5
xdotool mousemove --window "$id" 258 373 click 1
xdotool key ctrl+a
xdotool type --delay 40 "2"
sleep 1
import -window "$id" "$out/mid-edit.png"
close
ls "$out"/*.png
