#!/usr/bin/env bash
# Builds the release packages and checks them as a player gets them: the exact list of files of the
# Windows zip and of the Linux archive, the texts and tables shipped unchanged, and orvella-cli.exe unpacked
# from the zip converting the demo save to Italian and back under Wine.
#
#   ORVELLA_WINE_BITS   32 (default): the windows preset's zip, Orvella-<version>-win32.zip, runs under
#                       32-bit Wine; 64: its file list is checked all the same, and orvella-cli.exe of the
#                       windows64 preset's zip runs under 64-bit Wine
# The native preset's archive is checked too when that preset is configured.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
wineTool=package-test
source "$root/tools/wine-common.sh"

version=$(sed -n 's/^project(Orvella VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || wineFailed "no version in the project() line of CMakeLists.txt"
bits=${ORVELLA_WINE_BITS:-32}
case $bits in
32) presets=(windows) ;;
64) presets=(windows windows64) ;;
*) wineFailed "ORVELLA_WINE_BITS must be 32 or 64, not \"$bits\"" ;;
esac
[ ! -f build/native/CMakeCache.txt ] || presets+=(native)

failures=0
fail() {
    echo "FAIL $*"
    failures=$((failures + 1))
}

# expectFiles ARCHIVE TOP PROGRAM...: the archive holds exactly the texts, the example tables and the programs.
expectFiles() {
    local archive=$1 top=$2 listed wanted
    shift 2
    wanted=$(printf '%s\n' "$top/LEGGIMI.txt" "$top/LICENSE" "$top/Tabelle-esempio/" \
        "$top"/Tabelle-esempio/{Base,Tribunal,Bloodmoon}TopicTable.tsv "$top/Tabelle-esempio/JournalFixTable.tsv" \
        "${@/#/$top/}" | sort)
    listed=$(cmake -E tar tf "$archive" | sort)
    if [ "$listed" = "$wanted" ]; then
        echo "ok   $(basename "$archive") holds exactly: ${listed//$'\n'/ }"
    else
        fail "$(basename "$archive") holds other files than it should:"
        diff <(echo "$wanted") <(echo "$listed") | sed -n 's/^</    missing:/p; s/^>/    extra:  /p'
    fi
}

# unpack ARCHIVE FOLDER TOP: the archive unpacked into a new FOLDER; its texts and tables as the sources hold them.
unpack() {
    local source shipped
    rm -rf "$2"
    mkdir -p "$2"
    (cd "$2" && cmake -E tar xf "$1")
    for source in docs/LEGGIMI.txt LICENSE translate/data/{Base,Tribunal,Bloodmoon}TopicTable.tsv \
        translate/data/JournalFixTable.tsv; do
        shipped=$(basename "$source")
        [[ $source != *.tsv ]] || shipped=Tabelle-esempio/$shipped
        cmp -s "$source" "$2/$3/$shipped" || fail "$3/$shipped is not $source as the sources hold it"
    done
}

for preset in "${presets[@]}"; do
    echo
    echo "==== package of the $preset preset"
    rm -rf "build/$preset/packages"
    { cmake --preset "$preset" && cmake --build --preset "$preset" --target package; } >"build/$preset/package.log" 2>&1 ||
        {
            tail -n 30 "build/$preset/package.log"
            fail "cmake --build --preset $preset --target package"
            continue
        }
    case $preset in
    windows) system=win32 programs=(Orvella.exe orvella-cli.exe) ;;
    windows64) system=win64 programs=(Orvella.exe orvella-cli.exe) ;;
    native) system=linux-$(uname -m) programs=(orvella-cli) ;;
    esac
    top=Orvella-$version-$system
    archive=$root/build/$preset/packages/$top$([ "$preset" = native ] && echo .tar.gz || echo .zip)
    if [ ! -f "$archive" ]; then
        fail "the $preset preset did not write $(basename "$archive"): $(ls "build/$preset/packages" 2>/dev/null)"
        continue
    fi
    expectFiles "$archive" "$top" "${programs[@]}"
    unpacked=$root/build/$preset/package-test
    unpack "$archive" "$unpacked" "$top"

    if [ "$preset" = windows ] && [ "$bits" = 64 ]; then
        continue
    fi
    if [ "$preset" = native ]; then
        cli=("$unpacked/$top/orvella-cli")
        demo=("build/native/bin/orvella-demo")
        game=$unpacked/game
        gameArgument=$game
    else
        useWine "$bits" "$root/build/$preset/wineprefix"
        startWine
        cli=(wine "$unpacked/$top/orvella-cli.exe")
        demo=(wine "build/$preset/bin/orvella-demo.exe")
        game=$unpacked/game
        gameArgument=$(printf 'Z:%s' "${game//\//\\}")
    fi
    tables=$unpacked/$top/Tabelle-esempio
    [ "$preset" = native ] || tables=$(printf 'Z:%s' "${tables//\//\\}")
    save=$game/Saves/Demo0001.ess
    "${demo[@]}" "$gameArgument" >/dev/null </dev/null || fail "orvella-demo did not write the demo game"
    cp "$save" "$unpacked/english.ess"
    status=0
    "${cli[@]}" convert --game "$gameArgument" Demo0001.ess >"$unpacked/convert.log" 2>&1 </dev/null || status=$?
    plugin='Morrowind LRK - Versione Finale.esp'
    if [ $status -eq 0 ] && grep -q "$plugin" "$save" && cmp -s "$unpacked/english.ess" "$game/LRK Saves Backup/Demo0001.ess.bak"; then
        echo "ok   $(basename "${cli[-1]}") from the package converts the demo save to Italian, its backup the save as it was"
    else
        fail "$(basename "${cli[-1]}") from the package did not convert the demo save (exit $status):"
        sed 's/^/    /' "$unpacked/convert.log"
    fi
    status=0
    "${cli[@]}" convert --game "$gameArgument" --tables "$tables" Demo0001.ess >"$unpacked/convert.log" 2>&1 \
        </dev/null || status=$?
    if [ $status -eq 0 ] && ! grep -q "$plugin" "$save"; then
        echo "ok   and back to English with the tables of Tabelle-esempio"
    else
        fail "$(basename "${cli[-1]}") did not convert the demo save back with Tabelle-esempio (exit $status):"
        sed 's/^/    /' "$unpacked/convert.log"
    fi
    [ "$preset" = native ] || wineserver -k >/dev/null 2>&1 || true
done

echo
if [ $failures -ne 0 ]; then
    echo "package-test: $failures failure(s)"
    exit 1
fi
echo "package-test: the packages hold what they should"
