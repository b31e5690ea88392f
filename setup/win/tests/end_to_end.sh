#!/bin/bash
# Unpacks the release zip into the Windows tree's test prefix and runs the end-to-end driver
# against it, as a new user would install it.
#   setup/win/tests/end_to_end.sh BUILD_TREE ZIP
set -euo pipefail
tree=$1
zip=$2
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
scripts=$here/../../../scripts
prefix=${TESSALY_WINEPREFIX:-$tree/wineprefix}
"$scripts/wine-prefix.sh" "$prefix" >/dev/null

release=$prefix/drive_c/tessaly-release
rm -rf "$release"
mkdir -p "$release"
(cd "$release" && cmake -E tar xf "$zip")
# What a Windows user finds in the zip: exactly these, the read-me with CR LF line ends.
found=$(cd "$release" && ls | sort | tr '\n' ' ')
expected="ReadMe.txt Tessaly.ahp Tessaly.exe TessalySetup.exe TessalyStartup.exe tsy.exe "
if [ "$found" != "$expected" ]; then
    echo "the zip holds: $found; expected: $expected" >&2
    exit 1
fi
if grep -q $'[^\r]$' "$release/ReadMe.txt"; then
    echo "ReadMe.txt has a line without CR LF" >&2
    exit 1
fi
TESSALY_RELEASE='C:\tessaly-release' exec "$scripts/wine-run.sh" \
    "$tree/bin/setup_end_to_end_driver.exe" --gtest_color=no
