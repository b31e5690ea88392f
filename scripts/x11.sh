# Sourced by the scripts that show Windows programs on an X screen (the screenshot scripts): the
# packages they need, a build tree's x11 prefix, and a private Xvfb screen.
#   source scripts/x11.sh
#   tessaly_use_x11_prefix BUILD_TREE_OR_PROGRAM   # sets WINEPREFIX (TESSALY_WINEPREFIX wins)
#   tessaly_start_xvfb WORK_DIR                    # sets DISPLAY; call tessaly_stop_xvfb on exit
#   tessaly_x11_session                            # both, with a work folder, ended on exit
TESSALY_ROOT=${TESSALY_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
source "$TESSALY_ROOT/scripts/deps.sh"
source "$TESSALY_ROOT/scripts/wine-env.sh"
TESSALY_XVFB_PID=

# Screenshots need an X server, a window finder and a capture tool; the tests need none of them.
tessaly_need_packages xvfb imagemagick xdotool || exit 1

# The x11 prefix of the build tree that is (or holds) the argument: <tree>/wineprefix-x11, made
# on first use by wine-prefix.sh, or TESSALY_WINEPREFIX when that is set.
tessaly_use_x11_prefix() {
    local prefix tree
    if [ -n "${TESSALY_WINEPREFIX:-}" ]; then
        prefix=$TESSALY_WINEPREFIX
    else
        if [ -d "$1" ] && [ -f "$1/CMakeCache.txt" ]; then
            tree=$(cd "$1" && pwd)
        else
            tree=$(tessaly_build_tree "$1") || tree=
        fi
        if [ -z "$tree" ]; then
            echo "$1 is not inside a CMake build tree; set TESSALY_WINEPREFIX" >&2
            return 2
        fi
        prefix=$tree/wineprefix-x11
    fi
    "$TESSALY_ROOT/scripts/wine-prefix.sh" "$prefix" x11 || return 1
    export WINEPREFIX=$prefix
}

# A private 1024x768 screen: -displayfd picks a free display number and reports it into
# WORK_DIR/display once the server is ready.
tessaly_start_xvfb() {
    Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp 5>"$1/display" >/dev/null 2>&1 &
    TESSALY_XVFB_PID=$!
    local i
    for i in $(seq 100); do
        [ -s "$1/display" ] && break
        sleep 0.1
    done
    if [ ! -s "$1/display" ]; then
        echo "Xvfb did not start" >&2
        return 1
    fi
    export DISPLAY=:$(head -n 1 "$1/display")
}

tessaly_stop_xvfb() {
    if [ -n "$TESSALY_XVFB_PID" ]; then kill "$TESSALY_XVFB_PID" 2>/dev/null || true; fi
    TESSALY_XVFB_PID=
}

# For the rest of the script: a work folder TESSALY_WORK, a private screen and the Wine server
# (one may be running already), all ended when the script exits. A script with more to undo
# defines tessaly_on_exit; it runs once Wine and the screen are gone.
tessaly_x11_session() {
    TESSALY_WORK=$(mktemp -d)
    trap tessaly_end_x11_session EXIT
    tessaly_start_xvfb "$TESSALY_WORK" || return 1
    tessaly_wineserver_up || true
}

tessaly_end_x11_session() {
    "$TESSALY_WINESERVER" -k >/dev/null 2>&1 || true
    tessaly_stop_xvfb
    if declare -F tessaly_on_exit >/dev/null; then tessaly_on_exit; fi
    rm -rf "$TESSALY_WORK"
}
