#!/bin/bash
# Creates a private Wine prefix for Tessaly's tests and screenshots, once; later calls only put the
# build tree's help file in place and return.
#   scripts/wine-prefix.sh PREFIX [null|x11]
# null (default): the null graphics driver, so windows, dialogs and painting work with no X server.
# x11: the X11 driver, for screenshots under Xvfb or a real display (a separate prefix: see README).
# Either way the prefix has two PostScript printers on the FILE: port: "Tessaly Test Printer"
# (the default, two-sided) and "Tessaly Simplex Printer" (one-sided only); see scripts/printer.
set -euo pipefail

prefix=${1:?usage: wine-prefix.sh PREFIX [null|x11]}
graphics=${2:-null}
case "$graphics" in null | x11) ;; *) echo "wine-prefix.sh: unknown driver '$graphics'" >&2; exit 2 ;; esac

mkdir -p "$(dirname "$prefix")"
prefix=$(cd "$(dirname "$prefix")" && pwd)/$(basename "$prefix")
stamp=$prefix/.tessaly-prefix
# The printers have their own stamp, so a prefix made before them gains them on its next use.
printer_stamp=$prefix/.tessaly-printers

# The build tree's help file goes where the editor looks for it (common application data), on
# every call, so "Help" shows the help just built.
install_help() {
    local built=$(dirname "$prefix")/bin/Tessaly.ahp
    local folder=$prefix/drive_c/ProgramData/Quorvane/Tessaly
    [ -f "$built" ] && [ -f "$stamp" ] || return 0
    cmp -s "$built" "$folder/Tessaly.ahp" && return 0
    mkdir -p "$folder"
    cp "$built" "$folder/Tessaly.ahp.$$" && mv -f "$folder/Tessaly.ahp.$$" "$folder/Tessaly.ahp"
}
[ -f "$stamp" ] && [ -f "$printer_stamp" ] && { install_help; exit 0; }

# Two tests may start at once on a fresh tree: one makes the prefix, the other waits for it.
exec 9>"$prefix.lock"
flock 9
[ -f "$stamp" ] && [ -f "$printer_stamp" ] && { install_help; exit 0; }

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/wine-env.sh"
export WINEPREFIX=$prefix

# Two PostScript printers over Wine's own driver, each with a PPD of ours; jobs are written to
# the file that DOCINFO.lpszOutput names, never to a real printer.
add_printers() {
    local drivers=$prefix/drive_c/windows/system32/spool/drivers/x64/3
    local helper=$prefix/drive_c/tessaly-add-printer.exe log=$prefix/drive_c/tessaly-add-printer.log
    mkdir -p "$drivers"
    cp "$here"/printer/*.ppd "$drivers"/
    x86_64-w64-mingw32-gcc-posix -O2 -Wall -Wextra -o "$helper" "$here/printer/add-printer.c" \
        -lwinspool
    if ! { wine 'C:\tessaly-add-printer.exe' "Tessaly Test Printer" tessaly-duplex.ppd --default &&
        wine 'C:\tessaly-add-printer.exe' "Tessaly Simplex Printer" tessaly-simplex.ppd; } \
        </dev/null >"$log" 2>&1 9>&-; then
        cat "$log" >&2
        echo "wine-prefix.sh: could not add the test printers to $prefix" >&2
        exit 1
    fi
    rm -f "$helper" "$log"
    "$TESSALY_WINESERVER" -w 9>&-
    touch "$printer_stamp"
}

if [ -f "$stamp" ]; then
    add_printers
    install_help
    exit 0
fi

rm -rf "$prefix"
echo "Creating Wine prefix $prefix ($graphics driver)" >&2
wine wineboot -i </dev/null >/dev/null 2>&1 9>&-
"$TESSALY_WINESERVER" -w 9>&-

# The prefix links Desktop, Documents and the rest to the real home; tests must never write there.
for user_dir in "$prefix"/drive_c/users/*/; do
    for link in "$user_dir"* "$user_dir"AppData/Roaming/Microsoft/Windows/Templates; do
        if [ -L "$link" ]; then
            rm "$link"
            mkdir -p "$link"
        fi
    done
done

# Wine does not find Debian's Wine fonts by itself; Liberation stands in for the Windows core fonts.
fonts=$prefix/drive_c/windows/Fonts
mkdir -p "$fonts"
cp /usr/share/wine/fonts/* "$fonts"/
cp /usr/share/fonts/truetype/liberation/Liberation{Sans,Serif,Mono}-*.ttf "$fonts"/ 2>/dev/null || true

reg=$prefix/drive_c/tessaly.reg
cat >"$reg" <<REG
REGEDIT4

[HKEY_CURRENT_USER\\Software\\Wine\\Drivers]
"Graphics"="$graphics"

[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]
"Managed"="N"

[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]
"Arial"="Liberation Sans"
"Times New Roman"="Liberation Serif"
"Courier New"="Liberation Mono"
REG
wine regedit /S 'C:\tessaly.reg' </dev/null >/dev/null 2>&1 9>&-
rm -f "$reg"
"$TESSALY_WINESERVER" -w 9>&-

touch "$stamp"
add_printers
install_help
