# Sourced by the Wine scripts: the environment every Tessaly Wine process runs in.
# Quiet Wine, no Mono/Gecko install prompts, and no menu entries written into the real home.
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEARCH=win64
# Debian's /usr/bin/wineserver forces -p0; the real binary honours our own -p.
if [ -x /usr/lib/wine/wineserver64 ]; then
    TESSALY_WINESERVER=/usr/lib/wine/wineserver64
else
    TESSALY_WINESERVER=wineserver
fi
# Seconds a persistent wineserver outlives its last client, so consecutive tests start warm.
TESSALY_WINESERVER_LINGER=${TESSALY_WINESERVER_LINGER:-30}

# Starts a persistent wineserver for $WINEPREFIX detached from our output, so that ctest, which
# waits for every holder of a test's stdout, never waits for it. Fails when one is running already.
tessaly_wineserver_up() {
    "$TESSALY_WINESERVER" -p"$TESSALY_WINESERVER_LINGER" </dev/null >/dev/null 2>&1
}

# The build tree holding PROGRAM: the nearest folder above it with a CMakeCache.txt (empty if none).
#   tessaly_build_tree PROGRAM
tessaly_build_tree() {
    local dir
    dir=$(cd "$(dirname "$1")" && pwd)
    while [ "$dir" != / ] && [ ! -f "$dir/CMakeCache.txt" ]; do dir=$(dirname "$dir"); done
    [ "$dir" != / ] && echo "$dir"
}
