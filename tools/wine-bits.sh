#!/usr/bin/env bash
# Chooses the Wine that runs the Windows tests here and prints one line: "32" or "64", then why.
# 32-bit Wine is chosen where 32-bit Windows programs start: its server and its loader are run once, each
# bounded to a few seconds, which a kernel without 32-bit support refuses with "Exec format error".
#
#   ORVELLA_WINE_BITS   32 or 64 forces that Wine and skips the probe
#   ORVELLA_WINE32_DIR  the folder of 32-bit Wine's programs (default /usr/lib/wine), to try the fallback
set -euo pipefail

case ${ORVELLA_WINE_BITS:-} in
32 | 64)
    echo "$ORVELLA_WINE_BITS forced by ORVELLA_WINE_BITS=$ORVELLA_WINE_BITS"
    exit 0
    ;;
"") ;;
*)
    echo "wine-bits: ORVELLA_WINE_BITS must be 32 or 64, not \"$ORVELLA_WINE_BITS\"" >&2
    exit 2
    ;;
esac

folder=${ORVELLA_WINE32_DIR:-/usr/lib/wine}
for program in "$folder/wineserver32" "$folder/wine"; do
    if [ ! -x "$program" ]; then
        echo "64 32-bit Wine is not installed: $program is missing (package wine32:i386)"
        exit 0
    fi
    status=0
    # Through bash, whose exec names "Exec format error", where a plain exec would hand the file to sh.
    # shellcheck disable=SC2016
    said=$(timeout 5 bash -c 'exec "$0" --version' "$program" 2>&1 </dev/null) || status=$?
    if [ $status -eq 124 ]; then
        echo "64 32-bit Windows programs cannot start here: $program --version did not end within 5 s"
        exit 0
    elif [ $status -ne 0 ]; then
        said=${said#"$program: line 1: "}
        echo "64 32-bit Windows programs cannot start here: $program --version failed (exit $status):" \
            "$(printf '%s' "$said" | head -n 1)"
        exit 0
    fi
done
echo "32 32-bit Windows programs start here ($folder/wineserver32 and $folder/wine ran)"
