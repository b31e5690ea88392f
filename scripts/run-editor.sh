#!/bin/bash
# Sets up, builds the Windows tree and starts the Tessaly editor under Wine.
#   scripts/run-editor.sh [ARGS for Tessaly.exe...]
# Uses the X display in $DISPLAY when there is one, else a private Xvfb screen (take pictures of it
# with scripts/screenshot.sh). The editor runs in build/win/wineprefix-x11, whose Documents folder
# is a real folder inside the prefix, not your home.
set -euo pipefail

TESSALY_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$TESSALY_ROOT/scripts/deps.sh"
source "$TESSALY_ROOT/scripts/wine-env.sh"
cd "$TESSALY_ROOT"

tessaly_need_packages cmake ninja-build g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 \
    googletest wine wine64 fonts-liberation xvfb xdotool python3

tree=build/win
tessaly_configure "$tree" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$TESSALY_ROOT/cmake/toolchain-mingw.cmake"
cmake --build "$tree" -j2

export WINEPREFIX=$TESSALY_ROOT/$tree/wineprefix-x11
"$TESSALY_ROOT/scripts/wine-prefix.sh" "$WINEPREFIX" x11
editor=$TESSALY_ROOT/$tree/bin/Tessaly.exe

if [ -n "${DISPLAY:-}" ] && xdotool getdisplaygeometry >/dev/null 2>&1; then
    echo "Starting Tessaly on $DISPLAY" >&2
    exec wine "$editor" "$@"
fi
echo "No X display: starting Tessaly on a private Xvfb screen (Ctrl-C ends it)" >&2
exec xvfb-run -a -s "-screen 0 1024x768x24" wine "$editor" "$@"
