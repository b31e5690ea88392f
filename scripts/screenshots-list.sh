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

tessaly_x11_session
work=$TESSALY_WORK
/usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/sample_data.py" list "$work/sample.tsy"

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
