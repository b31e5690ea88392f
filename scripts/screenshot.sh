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

source "$(dirname "${BASH_SOURCE[0]}")/x11.sh"
tessaly_use_x11_prefix "$program" || exit $?

tessaly_x11_session || exit 1
work=$TESSALY_WORK

limit=${TESSALY_WINE_TIMEOUT:-120}
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
