#!/bin/bash
# Takes a screenshot of a Windows program running under Wine's X11 driver on a private Xvfb screen.
#   scripts/screenshot.sh [--window TITLE] [--settle SECONDS] PROGRAM.exe [ARGS...] OUTPUT.png
# By default the program runs inside a Wine virtual desktop (explorer /desktop, 1024x768), which
# draws window frames and captions with no window manager, and the whole desktop is captured.
# With --window TITLE the program runs alone and only its top-level window named TITLE is captured.
# The prefix is <build tree>/wineprefix-x11 (or TESSALY_WINEPREFIX): a copy of the test prefix's
# set-up with Graphics=x11, made on first use, so screenshots never disturb the null-driver tests.
set -euo pipefail

title=
settle=2
while [ $# -gt 0 ]; do
    case "$1" in
        --window) title=$2; shift 2 ;;
        --settle) settle=$2; shift 2 ;;
        *) break ;;
    esac
done
if [ $# -lt 2 ]; then
    echo "usage: screenshot.sh [--window TITLE] [--settle SECONDS] PROGRAM.exe [ARGS...] OUTPUT.png" >&2
    exit 2
fi
program=$1
output=${*: -1}
args=("${@:2:$#-2}")
output=$(cd "$(dirname "$output")" && pwd)/$(basename "$output")

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/wine-env.sh"
if [ -n "${TESSALY_WINEPREFIX:-}" ]; then
    prefix=$TESSALY_WINEPREFIX
else
    tree=$(tessaly_build_tree "$program") || {
        echo "screenshot.sh: $program is not inside a CMake build tree; set TESSALY_WINEPREFIX" >&2
        exit 2
    }
    prefix=$tree/wineprefix-x11
fi
"$here/wine-prefix.sh" "$prefix" x11
export WINEPREFIX=$prefix

# A private X screen; -displayfd picks a free display number and reports it when the server is ready.
work=$(mktemp -d)
xvfb_pid=
cleanup() {
    "$TESSALY_WINESERVER" -k >/dev/null 2>&1 || true
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT
Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp 5>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
[ -s "$work/display" ] || { echo "screenshot.sh: Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$(head -n 1 "$work/display")

limit=${TESSALY_WINE_TIMEOUT:-120}
tessaly_wineserver_up || true
winprog=$(wine winepath -w "$program" 2>/dev/null)
if [ -z "$title" ]; then
    wine explorer /desktop=Tessaly,1024x768 "$winprog" "${args[@]}" </dev/null >/dev/null 2>&1 &
    timeout "$limit" xdotool search --sync --name 'Wine desktop' >/dev/null
    # The program's windows live inside the desktop window, out of xdotool's sight: wait until
    # something other than the plain background shows.
    for _ in $(seq $((limit * 4))); do
        import -window root "$work/probe.png"
        [ "$(identify -format %k "$work/probe.png")" -gt 1 ] && break
        sleep 0.25
    done
    sleep "$settle"
    import -window root "$output"
else
    wine "$winprog" "${args[@]}" </dev/null >/dev/null 2>&1 &
    id=$(timeout "$limit" xdotool search --sync --onlyvisible --name "$title" | head -n 1)
    sleep "$settle"
    import -window "$id" "$output"
fi
echo "$output"
