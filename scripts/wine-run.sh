#!/bin/bash
# Runs one Windows program under Wine in its build tree's private prefix, under a time limit.
#   scripts/wine-run.sh PROGRAM.exe [ARGS...]
# This is the CMAKE_CROSSCOMPILING_EMULATOR of the Windows tree, so ctest runs every test through it.
# The prefix is <build tree>/wineprefix (the tree is found from the program's path) unless
# TESSALY_WINEPREFIX names one; TESSALY_WINE_TIMEOUT (seconds, default 300) bounds the run, so a
# forgotten modal box cannot hang CI.
set -euo pipefail

program=${1:?usage: wine-run.sh PROGRAM.exe [ARGS...]}
shift
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/wine-env.sh"

if [ -n "${TESSALY_WINEPREFIX:-}" ]; then
    prefix=$TESSALY_WINEPREFIX
else
    tree=$(tessaly_build_tree "$program") || {
        echo "wine-run.sh: $program is not inside a CMake build tree; set TESSALY_WINEPREFIX" >&2
        exit 2
    }
    prefix=$tree/wineprefix
fi

"$here/wine-prefix.sh" "$prefix"
export WINEPREFIX=$prefix

# Wine's helper processes (services.exe and the rest) live as long as the wineserver and keep the
# output of the program that started them; ctest would wait for them. So whoever starts the server
# first starts the helpers too, with their output on /dev/null; the others wait for that.
exec 9>"$prefix.lock"
flock 9
if tessaly_wineserver_up 9>&-; then
    wine cmd /c exit </dev/null >/dev/null 2>&1 9>&- || true
fi
exec 9>&-

exec timeout -k 5 "${TESSALY_WINE_TIMEOUT:-300}" wine "$program" "$@"
