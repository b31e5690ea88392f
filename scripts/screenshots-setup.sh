#!/bin/bash
# Screenshots of the installer's message boxes under Xvfb: the required files, the copying
# notice, the restart question, the report of what could not be installed, the question while
# the editor is open and a data file would replace its own, and the uninstall's question and
# closing notice.
#   scripts/screenshots-setup.sh BUILD_TREE OUTPUT_DIR
# Installs BUILD_TREE's release zip into the tree's x11 prefix (made by scripts/wine-prefix.sh),
# answers each box with xdotool and captures the next; what it installed there is removed after.
set -euo pipefail
tree=$(cd "${1:?usage: screenshots-setup.sh BUILD_TREE OUTPUT_DIR}" && pwd)
out=$(mkdir -p "${2:?usage: screenshots-setup.sh BUILD_TREE OUTPUT_DIR}" && cd "$2" && pwd)
source "$(dirname "${BASH_SOURCE[0]}")/x11.sh"
tessaly_use_x11_prefix "$tree"

uninstall() {
    find "$WINEPREFIX/drive_c" -maxdepth 6 \( -name Quorvane -o -name Tessaly.lnk \
        -o -name TessalyStart.lnk \) -not -path '*/tessaly-shots/*' -prune \
        -exec rm -rf {} + 2>/dev/null || true
}
tessaly_on_exit() {
    uninstall
    rm -rf "$WINEPREFIX/drive_c/tessaly-shots"
}
tessaly_x11_session

release=$WINEPREFIX/drive_c/tessaly-shots/release
partial=$WINEPREFIX/drive_c/tessaly-shots/partial
mkdir -p "$release" "$partial"
(cd "$release" && cmake -E tar xf "$tree/Tessaly-3.03-windows.zip")
cp "$release/TessalySetup.exe" "$partial/"
uninstall

# Starts the installer in FOLDER and waits for its first box.
start() {
    (cd "$1" && wine TessalySetup.exe </dev/null >/dev/null 2>&1 &)
}
# Captures the box named TITLE into FILE and leaves its window id in $id.
shot() {
    id=$(timeout 60 xdotool search --sync --onlyvisible --name "$1" | head -n 1)
    sleep 1.5
    import -window "$id" "$out/$2"
}
answer() {
    # A click into the box gives it the keyboard (there is no window manager to do it).
    xdotool mousemove --window "$id" 40 30 click 1
    sleep 0.3
    xdotool key "$1"
    for _ in $(seq 50); do xdotool search --onlyvisible --name "." | grep -qx "$id" || break; sleep 0.1; done
}

start "$partial"
shot "Required Files" required-files.png
answer Return

start "$release"
shot "Tessaly Setup" copying.png
answer Return
shot "Confirm Windows Restart" restart-question.png
answer n

# A file where the program folder belongs: the installer names it instead of completing.
uninstall
pf=$(find "$WINEPREFIX/drive_c" -maxdepth 1 -name 'Program Files (x86)')
echo "not a folder" >"$pf/Quorvane"
start "$release"
shot "Tessaly Setup" copying-again.png
answer Return
shot "Tessaly Setup" failure-report.png
answer Return

# The uninstall, as the installed-programs list runs it, after a good install.
rm -f "$pf/Quorvane"
start "$release"
shot "Tessaly Setup" copying-again.png
answer Return
shot "Confirm Windows Restart" restart-again.png
answer n
sleep 1

# Installed again with the editor open and a data file beside the installer: Cancel leaves the
# data file out.
(cd "$release" && wine Tessaly.exe </dev/null >/dev/null 2>&1 &)
timeout 60 xdotool search --sync --onlyvisible --name "Tessaly - ver" >/dev/null
printf '3.03\0\0\0\0\0\0\0\0' >"$release/Tessaly.tsy"
start "$release"
shot "Tessaly Setup" copying-again.png
answer Return
shot "Tessaly Setup" editor-open.png
answer Escape
shot "Confirm Windows Restart" restart-again.png
answer n
rm -f "$release/Tessaly.tsy"
sleep 1
(cd "$pf/Quorvane/Tessaly" && wine TessalySetup.exe /uninstall </dev/null >/dev/null 2>&1 &)
shot "Tessaly Setup" uninstall-question.png
answer y
for _ in $(seq 50); do
    next=$(xdotool search --onlyvisible --name "Tessaly Setup" 2>/dev/null | grep -vx "$id" | head -n 1 || true)
    [ -n "$next" ] && break
    sleep 0.1
done
shot "Tessaly Setup" uninstalled.png
answer Return
rm -f "$out/copying-again.png" "$out/restart-again.png"
ls "$out"/*.png
