#!/usr/bin/env bash
# Runs the tests of the windows preset under Wine, in a Wine prefix of its own under build/.
# Arguments go to ctest. Run it under xvfb-run when tests open windows.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

export WINEPREFIX="$root/build/wineprefix" WINEARCH=win32 WINEDEBUG=-all
# Wine's ANSI code page follows the locale; C.UTF-8 gives Windows-1252, the program's code page.
export LC_ALL=C.UTF-8

mkdir -p "$WINEPREFIX"
# The server and the helpers that wineboot starts must not hold ctest's output open, or ctest waits on them.
wineserver -p >/dev/null 2>&1 </dev/null
wine wineboot >/dev/null 2>&1 </dev/null
# Dialogs lay out with Tahoma and draw their caption buttons with Marlett.
mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
cp -n /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true

status=0
ctest --preset windows "$@" || status=$?
wineserver -k || true
exit $status
