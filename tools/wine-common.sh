# shellcheck shell=bash
# Sourced by wine-ctest.sh and wine-e2e.sh: picks the Wine loader for a build's bits and starts Wine in a
# prefix of its own. When Wine cannot start, it prints what failed with Wine's own output and ends the
# calling script with 1, so that no Wine failure goes by without a word.
#
#   wineTool=NAME                  how messages name the calling script
#   exeBits FILE                   prints 32 or 64, the bits of a Windows executable
#   useWine BITS PREFIX            sets WINEPREFIX, WINEARCH and WINELOADER for 32- or 64-bit Wine
#   startWine                      starts the server and boots the prefix
#   wine ARGS...                   runs the chosen loader

wineTool=${wineTool:-wine}

wineFailed() {
    echo "$wineTool: $*" >&2
    exit 1
}

# wineFailedWithLog WHAT LOG: the step WHAT failed; shows the end of what Wine wrote while doing it.
wineFailedWithLog() {
    echo "$wineTool: $1; Wine said:" >&2
    if [ -s "$2" ]; then
        tail -n 30 "$2" | sed 's/^/    /' >&2
    else
        echo "    (nothing)" >&2
    fi
    exit 1
}

# The machine field of the PE header: 0x14c for i386, 0x8664 for x86-64.
exeBits() {
    local header machine
    header=$(od -An -t u4 -j 60 -N 4 "$1" | tr -d ' ')
    machine=$(od -An -t x2 -j $((header + 4)) -N 2 "$1" | tr -d ' ')
    case $machine in
    014c) echo 32 ;;
    8664) echo 64 ;;
    *) wineFailed "$1 is not a 32- or 64-bit Windows executable (machine $machine)" ;;
    esac
}

# Debian's wine wrapper starts the 32-bit loader whenever it is installed, even where it cannot run, so the
# loader is chosen here; Wine starts a program's child processes with WINELOADER.
useWine() {
    case $1 in
    32)
        WINELOADER=/usr/lib/wine/wine
        WINEARCH=win32
        winePackage=wine32:i386
        ;;
    64)
        WINELOADER=/usr/lib/wine/wine64
        WINEARCH=win64
        winePackage=wine64
        ;;
    *) wineFailed "Wine bits must be 32 or 64, not \"$1\"" ;;
    esac
    WINEPREFIX=$2
    export WINELOADER WINEARCH WINEPREFIX
    export WINEDEBUG=${WINEDEBUG:--all}
    # Wine's ANSI code page follows the locale; C.UTF-8 gives Windows-1252, the program's code page.
    export LC_ALL=C.UTF-8
}

wine() { "$WINELOADER" "$@"; }

# The server and the helpers that wineboot starts outlive this call: their output goes to a file, never to a
# pipe that a caller (ctest, a command substitution) would wait on.
startWine() {
    local log=$WINEPREFIX.log status=0
    [ -x "$WINELOADER" ] || wineFailed "$WINELOADER is missing: install $winePackage (bash tools/setup.sh)"
    command -v wineserver >/dev/null || wineFailed "wineserver is missing: install wine (bash tools/setup.sh)"
    mkdir -p "$WINEPREFIX"
    wineserver -p >"$log" 2>&1 </dev/null || status=$?
    [ $status -eq 0 ] || wineFailedWithLog "the Wine server did not start (wineserver -p, exit $status)" "$log"
    # Errors stay visible while the prefix boots: a missing DLL or package shows only there.
    WINEDEBUG=-all,err+module timeout 300 "$WINELOADER" wineboot >"$log" 2>&1 </dev/null || status=$?
    if [ $status -ne 0 ] || [ ! -d "$WINEPREFIX/drive_c/windows/system32" ]; then
        wineserver -k >/dev/null 2>&1 || true
        wineFailedWithLog "$WINEARCH Wine did not boot $WINEPREFIX ($WINELOADER wineboot, exit $status)" "$log"
    fi
    # Dialogs lay out with Tahoma and draw their caption buttons with Marlett.
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    cp -n /usr/share/wine/fonts/*.ttf /usr/share/wine/fonts/sserife.fon "$WINEPREFIX/drive_c/windows/Fonts/" \
        2>/dev/null || true
}
