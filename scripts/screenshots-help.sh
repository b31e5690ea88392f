#!/bin/bash
# Screenshots of the help window on the built help file: the first topic, and a sub-topic after a
# search (Find text "backups", whole word).
#   scripts/screenshots-help.sh [BUILD_TREE] [OUTPUT_DIR]     (defaults: build/win, build/win/shots)
# Builds help_demo, which opens the help window on the help file that scripts/wine-prefix.sh puts
# where the editor looks for it, and takes the pictures with scripts/screenshot.sh.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
tree=${1:-$root/build/win}
out=$(mkdir -p "${2:-$tree/shots}" && cd "${2:-$tree/shots}" && pwd)
cmake --build "$tree" --target help_demo help_file -j2 >/dev/null
help='C:\ProgramData\Quorvane\Tessaly\Tessaly.ahp'
"$root/scripts/screenshot.sh" --window "Tessaly Help" "$tree/bin/help_demo.exe" "$help" \
    "$out/help-first-topic.png"
"$root/scripts/screenshot.sh" --window "Tessaly Help" --settle 4 "$tree/bin/help_demo.exe" \
    "$help" backups "$out/help-search.png"
