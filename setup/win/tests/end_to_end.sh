#!/bin/bash
# Unpacks the release zip into the Windows tree's test prefix and runs the end-to-end driver
# against it, as a new user would install it; then once more with the programs' vendor folder
# replaced by a symbolic link, which the installer must neither write nor delete through.
#   setup/win/tests/end_to_end.sh BUILD_TREE ZIP
set -euo pipefail
tree=$1
zip=$2
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
scripts=$here/../../../scripts
prefix=${TESSALY_WINEPREFIX:-$tree/wineprefix}
"$scripts/wine-prefix.sh" "$prefix" >/dev/null

# Beside the zip: its SHA-256 sum, which sha256sum checks as a Windows user's tool would.
(cd "$(dirname "$zip")" && sha256sum --quiet -c "$(basename "$zip").sha256")

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
# The programs ship without their debug information.
for program in "$release"/*.exe; do
    if x86_64-w64-mingw32-objdump -h "$program" | grep -q ' \.debug_'; then
        echo "$(basename "$program") carries debug information" >&2
        exit 1
    fi
done

# The link lives inside the prefix and points inside it, so nothing that might follow it can
# reach beyond the prefix. It is removed whatever happens.
vendor="$prefix/drive_c/Program Files (x86)/Quorvane"
planted=$prefix/drive_c/tessaly-planted
unplant() {
    if [ -L "$vendor" ]; then rm "$vendor"; fi
    rm -rf "$planted"
}
trap unplant EXIT
unplant

status=0
TESSALY_RELEASE='C:\tessaly-release' "$scripts/wine-run.sh" \
    "$tree/bin/setup_end_to_end_driver.exe" --gtest_color=no || status=1

rm -rf "$vendor"
mkdir -p "$planted/Tessaly"
printf planted >"$planted/Tessaly/Tessaly.exe"
ln -s "$planted" "$vendor"
TESSALY_RELEASE='C:\tessaly-release' TESSALY_PLANTED_TARGET='C:\tessaly-planted' \
    "$scripts/wine-run.sh" "$tree/bin/setup_end_to_end_driver.exe" --gtest_color=no \
    --gtest_filter='*PlantedLink*' || status=1
exit $status
