#!/usr/bin/env bash
# Runs the tests of a Windows preset under Wine, in a Wine prefix of its own in the preset's build folder.
# Arguments go to ctest. Run it under xvfb-run when tests open windows.
#
#   ORVELLA_WINE_BITS   32 (default): the windows preset under 32-bit Wine;
#                       64: the windows64 preset under 64-bit Wine
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
wineTool=wine-ctest
source "$root/tools/wine-common.sh"

bits=${ORVELLA_WINE_BITS:-32}
case $bits in
32) preset=windows ;;
64) preset=windows64 ;;
*) wineFailed "ORVELLA_WINE_BITS must be 32 or 64, not \"$bits\"" ;;
esac
build=$root/build/$preset
[ -f "$build/CTestTestfile.cmake" ] ||
    wineFailed "$build is not built: run cmake --preset $preset && cmake --build --preset $preset"

useWine "$bits" "$build/wineprefix"
startWine
echo "$wineTool: the $preset preset under $WINEARCH Wine ($WINELOADER)"

status=0
cd "$root"
ctest --preset "$preset" "$@" || status=$?
wineserver -k || true
exit $status
