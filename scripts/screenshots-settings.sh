#!/bin/bash
# Screenshots of the settings dialog, its "Data File Location" box and the box that refuses an
# alert lead, each on the Wine desktop.
#   scripts/screenshots-settings.sh BUILD_TREE OUTPUT_DIR
# Builds settings_preview (which opens the dialog alone, with a sample path) and runs it through
# scripts/screenshot.sh.
set -euo pipefail
tree=$(cd "${1:?usage: screenshots-settings.sh BUILD_TREE OUTPUT_DIR}" && pwd)
out=$(mkdir -p "${2:?usage: screenshots-settings.sh BUILD_TREE OUTPUT_DIR}" && cd "$2" && pwd)
scripts=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
cmake --build "$tree" --target settings_preview -j2 >/dev/null
bash "$scripts/screenshot.sh" "$tree/bin/settings_preview.exe" "$out/settings-dialog.png"
bash "$scripts/screenshot.sh" "$tree/bin/settings_preview.exe" location "$out/data-file-location.png"
bash "$scripts/screenshot.sh" "$tree/bin/settings_preview.exe" refused "$out/alert-minutes-refused.png"
