#!/bin/bash
# Screenshots of the real notifier's alerts, driven as a user would in a Wine virtual desktop:
# a meeting saved while the notifier waits is alerted at once, Enter snoozes it, and a second
# alert is dismissed with Alt+D; the data file must read the same before and after.
#   scripts/screenshots-alerts.sh BUILD_TREE OUTPUT_DIR
# Uses the build tree's x11 prefix; its data file in Documents\Quorvane\Tessaly is replaced.
set -uo pipefail
tree=$(cd "${1:?usage: screenshots-alerts.sh BUILD_TREE OUTPUT_DIR}" && pwd)
out=$(mkdir -p "${2:?usage: screenshots-alerts.sh BUILD_TREE OUTPUT_DIR}" && cd "$2" && pwd)
scripts=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
cmake --build "$tree" --target TessalyStartup tsy -j2 >/dev/null || exit 1
source "$scripts/x11.sh"
tessaly_use_x11_prefix "$tree" || exit 1
tessaly_x11_session || exit 1

docs=$WINEPREFIX/drive_c/users/$(id -un)/Documents/Quorvane/Tessaly
mkdir -p "$docs"
rm -f "$docs"/Tessaly*.tsy
file="$(wine winepath -w "$docs" 2>/dev/null)\\Tessaly.tsy"
tsy() { wine "$(wine winepath -w "$tree/bin/tsy.exe" 2>/dev/null)" "$@" </dev/null >/dev/null 2>&1; }
today=$(date +%Y-%m-%d)
# Nothing due today, so the notifier's first round shows nothing and it waits.
tsy add "$file" --kind meeting --description "Tomorrow's review" \
    --date "$(date -d tomorrow +%Y-%m-%d)" --time "10:00 am" --notify 0
wine explorer /desktop=Tessaly,1024x768 "$(wine winepath -w "$tree/bin/TessalyStartup.exe" 2>/dev/null)" \
    </dev/null >/dev/null 2>&1 &
desk=$(timeout 60 xdotool search --sync --name 'Wine desktop' | head -n 1)
sleep 6
# Saved as the editor saves: a meeting in 10 minutes, whose alert (15 minutes before) is due.
tsy add "$file" --kind meeting --description "Budget review with Ana" --date "$today" \
    --time "$(date -d '+10 minutes' '+%-I:%M %P')" --notify 0
cp "$docs/Tessaly.tsy" "$out/saved.tsy"
sleep 4
import -window root "$out/alert.png"
xdotool windowfocus --sync "$desk"
xdotool key Return
sleep 2
import -window root "$out/alert-after-enter.png"
tsy add "$file" --kind appointment --description "Call the plumber" --date "$today" \
    --time "$(date -d '+5 minutes' '+%-I:%M %P')" --notify 0
cp "$docs/Tessaly.tsy" "$out/saved.tsy"
sleep 4
import -window root "$out/alert-second.png"
xdotool windowfocus --sync "$desk"
xdotool key alt+d
sleep 2
import -window root "$out/alert-after-alt-d.png"
if cmp -s "$out/saved.tsy" "$docs/Tessaly.tsy"; then
    echo "the data file is as saved"
else
    echo "the data file changed while alerts were answered" >&2
    exit 1
fi
rm -f "$out/saved.tsy"
ls "$out"/alert*.png
