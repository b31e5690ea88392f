#!/bin/bash
# Prints a help topic on the test printer and renders each page as a PNG, to look at.
#   editor/print/bench/help-printout.sh BUILD_TREE OUTPUT_DIR [TOPIC]
# Builds print_help_topic in the (Windows) BUILD_TREE, prints TOPIC (from 1; default: the longest;
# 0: the whole help, one topic after the other) of BUILD_TREE/bin/Tessaly.ahp into OUTPUT_DIR/help-topic.ps and renders help-page-N.png at
# 100 dpi with Ghostscript.
set -euo pipefail
tree=$(cd "${1:?usage: help-printout.sh BUILD_TREE OUTPUT_DIR [TOPIC]}" && pwd)
out=$(mkdir -p "${2:?usage: help-printout.sh BUILD_TREE OUTPUT_DIR [TOPIC]}" && cd "$2" && pwd)
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../../scripts" && pwd)

cmake --build "$tree" --target print_help_topic help_file -j2 >/dev/null
# The Windows program sees the Linux root as drive Z:.
windows() { echo "Z:${1//\//\\}"; }
rm -f "$out"/help-topic.ps "$out"/help-page-*.png
"$here/wine-run.sh" "$tree/bin/print_help_topic.exe" "$(windows "$tree/bin/Tessaly.ahp")" \
    "$(windows "$out/help-topic.ps")" ${3:+"$3"}
gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=png16m -dTextAlphaBits=4 -dGraphicsAlphaBits=4 -r100 \
    -sOutputFile="$out/help-page-%d.png" "$out/help-topic.ps"
ls "$out"/help-page-*.png
