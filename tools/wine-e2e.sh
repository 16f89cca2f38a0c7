#!/usr/bin/env bash
# Runs the real Orvella.exe under Wine against generated game folders and drives its dialogs from another
# process (tests/wine/OrvellaDriver.cpp): the save list, a conversion, the report, a restore, the exit
# codes, and every start-up failure that a folder and the registry can produce. Takes screenshots of each
# dialog into build/screenshots/. Runs itself under xvfb-run; takes about a minute.
#
#   bash tools/wine-e2e.sh [--docs] [BUILD_DIR]
#
# BUILD_DIR holds bin/Orvella.exe, bin/orvella-gui-driver.exe and bin/game-stub.exe; it defaults to
# build/windows, or build/windows64 when ORVELLA_WINE_BITS is 64. The bits of its Orvella.exe choose 32- or
# 64-bit Wine. --docs also copies the screenshots of the main dialog and of the progress dialog into docs/,
# cut down to the dialogs, when every case passed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
wineTool=wine-e2e
source "$root/tools/wine-common.sh"

docs=
if [ "${1:-}" = --docs ]; then
    docs=--docs
    shift
fi
defaultBuild=$root/build/windows
[ "${ORVELLA_WINE_BITS:-32}" != 64 ] || defaultBuild=$root/build/windows64
build=$(cd "${1:-$defaultBuild}" && pwd)
bin=$build/bin
for program in Orvella.exe orvella-gui-driver.exe game-stub.exe; do
    [ -f "$bin/$program" ] || wineFailed "$bin/$program is missing; build the windows or windows64 preset first"
done

if [ -z "${ORVELLA_E2E_DISPLAY:-}" ]; then
    command -v xvfb-run >/dev/null || wineFailed "xvfb-run is missing: install xvfb (bash tools/setup.sh)"
    exec xvfb-run -a -s "-screen 0 1024x768x24" env ORVELLA_E2E_DISPLAY=1 bash "$0" $docs "$build"
fi

work=$build/wine-e2e
shots=$root/build/screenshots
bits=$(exeBits "$bin/Orvella.exe")
useWine "$bits" "$work/prefix"
echo "$wineTool: $bin under $WINEARCH Wine ($WINELOADER)"

winpath() { printf 'Z:%s' "${1//\//\\}"; }

# wineSetting ARGS...: a reg command that prepares the prefix; its failure stops the script with its output.
wineSetting() {
    local log=$work/setting.log
    wine reg "$@" >"$log" 2>&1 </dev/null || wineFailedWithLog "wine reg $* failed" "$log"
}

mkdir -p "$shots"
rm -f "$shots"/*.png "$shots"/*.request
startWine
# Wine draws caption buttons with Marlett. The dialogs are laid out in "Microsoft Sans Serif" and
# "MS Shell Dlg", which Windows draws with Microsoft Sans Serif; Wine has neither, and its own choices
# are taller or wider, so the test prefix maps both to Wine's MS Sans Serif, whose metrics those share.
substitutes='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes'
for face in 'Microsoft Sans Serif' 'MS Shell Dlg'; do
    wineSetting add "$substitutes" /v "$face" /t REG_SZ /d 'MS Sans Serif' /f
done
# A virtual desktop draws captions and frames, which bare Xvfb does not, and still lets exit codes through.
wineSetting add 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ /d Default /f
wineSetting add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /t REG_SZ /d 1024x768 /f
# Without ImageMagick's import the cases still run, without screenshots.
export ORVELLA_SHOTS=
if command -v import >/dev/null; then
    ORVELLA_SHOTS=$(winpath "$shots")
else
    echo "wine-e2e: ImageMagick's import is missing; no screenshots"
    [ -z "$docs" ] || wineFailed "--docs needs ImageMagick's import: install imagemagick (bash tools/setup.sh)"
fi

# The driver asks for a screenshot with a request file and waits until the file is gone.
watchScreenshots() {
    while :; do
        for request in "$shots"/*.request; do
            [ -e "$request" ] || continue
            import -window root "${request%.request}.png"
            rm -f "$request"
        done
        sleep 0.2
    done
}
watchScreenshots &
watcher=$!
trap 'kill $watcher 2>/dev/null || true; wineserver -k >/dev/null 2>&1 || true' EXIT

failures=0
testCase=
fail() {
    echo "FAIL $testCase: $*"
    failures=$((failures + 1))
}
begin() {
    testCase=$1
    echo
    echo "==== $testCase"
}
driver() { wine "$bin/orvella-gui-driver.exe" "$@" </dev/null || fail "driver $1"; }
startProgram() {
    wine "${1:-$bin/Orvella.exe}" >/dev/null 2>&1 </dev/null &
    program=$!
}
# Waits up to 20 s for the program to end and checks its exit code.
expectExit() {
    local expected=$1 status=0 waited=0
    while kill -0 "$program" 2>/dev/null && [ $waited -lt 200 ]; do
        sleep 0.1
        waited=$((waited + 1))
    done
    if kill -0 "$program" 2>/dev/null; then
        fail "Orvella.exe did not end"
        wine taskkill /F /IM Orvella.exe >/dev/null 2>&1 || true
        wait "$program" || true
        return
    fi
    wait "$program" || status=$?
    if [ $status -eq "$expected" ]; then
        echo "ok   exit code $status"
    else
        fail "exit code $status, wanted $expected"
    fi
}
registryKey='HKLM\SOFTWARE\Bethesda Softworks\Morrowind'
setGame() { wine reg add "$registryKey" /v 'Installed Path' /t REG_SZ /d "$(winpath "$1")" /f >/dev/null 2>&1; }
clearGame() { wine reg delete "$registryKey" /v 'Installed Path' /f >/dev/null 2>&1 || true; }
registeredGame() { wine reg query "$registryKey" /v 'Installed Path' 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ *//p'; }
# prepare FOLDER [MINOR]: a fresh test game, whose executable claims version 1.MINOR.
prepare() {
    rm -rf "$1"
    driver prepare "$(winpath "$1")" "${2:-6}" >/dev/null
}
# startupFailure NAME TEXT: the program started on the registered game shows TEXT and ends with 1.
startupFailure() {
    startProgram
    driver message "$1" "$2"
    expectExit 1
}

game=$work/game

begin "end to end"
prepare "$game"
setGame "$game"
startProgram
driver end-to-end "$(winpath "$game")"
expectExit 2

begin "OK closes the main dialog with 1"
startProgram
driver close ok
expectExit 1

begin "no Data Files"
prepare "$work/no-data"
rm -r "$work/no-data/Data Files"
setGame "$work/no-data"
startupFailure startup-no-data-files "Directory dei Dati di Morrowind non trovata."
[ "$(registeredGame)" = "$(winpath "$work/no-data")" ] || fail "the registry value changed"

begin "no Saves"
prepare "$work/no-saves"
rm -r "$work/no-saves/Saves"
setGame "$work/no-saves"
startupFailure startup-no-saves "Directory dei Salvataggi di Morrowind non trovata."

begin "no Morrowind.esm"
prepare "$work/no-master"
rm "$work/no-master/Data Files/Morrowind.esm"
setGame "$work/no-master"
startupFailure startup-no-master 'Impossibile trovare il file "Morrowind.esm".'

begin "no translation plugin"
prepare "$work/no-plugin"
rm "$work/no-plugin/Data Files/Morrowind LRK - Versione Finale.esp"
setGame "$work/no-plugin"
startupFailure startup-no-plugin "Impossibile proseguire senza il plugin di traduzione di Morrowind base."

begin "game older than 1.2"
prepare "$work/old-game" 1
setGame "$work/old-game"
startupFailure startup-old-game "Aggiornare Morrowind almeno alla versione 1.2."

begin "folder picker cancelled"
clearGame
startProgram
driver pick-folder folder-picker -
driver message startup-no-folder "Impossibile proseguire senza la selezione della directory."
expectExit 1

begin "picked folder without the game"
mkdir -p "$work/not-a-game"
startProgram
driver pick-folder picker-not-a-game "$(winpath "$work/not-a-game")"
driver message startup-not-a-game "Impossibile trovare i files di Morrowind nella directory specificata."
expectExit 1
[ -z "$(registeredGame)" ] || fail "a folder without the game was stored in the registry"

begin "picked game folder"
# A folder changed since it was last read is what Wine's selection by path stumbles on; the path always
# holds one here, as it does on a fresh machine.
touch -a -d 2001-01-01 "$work"
startProgram
driver pick-folder picker-game "$(winpath "$game")"
driver close escape
expectExit 2
[ "$(registeredGame)" = "$(winpath "$game")" ] || fail "the picked folder was not stored in the registry"

begin "broken table in Tabelle"
mkdir -p "$work/tables/Tabelle"
cp "$bin/Orvella.exe" "$work/tables/"
printf 'english\n' >"$work/tables/Tabelle/BaseTopicTable.tsv"
setGame "$game"
startProgram "$work/tables/Orvella.exe"
driver message startup-broken-table 'Tabella "BaseTopicTable.tsv" non valida, riga 1*'
expectExit 1

kill $watcher 2>/dev/null || true
wineserver -k >/dev/null 2>&1 || true
echo
echo "screenshots in $shots:"
ls "$shots"
if [ $failures -ne 0 ]; then
    echo "wine-e2e: $failures failure(s)"
    exit 1
fi
if [ -n "$docs" ]; then
    # The desktop around the dialogs is one plain colour, which -trim cuts away.
    for shot in main-dialog-selected progress-dialog; do
        convert "$shots/$shot.png" -trim +repage "$root/docs/$shot.png"
    done
    echo "wine-e2e: docs/main-dialog-selected.png and docs/progress-dialog.png refreshed"
fi
echo "wine-e2e: all cases passed"
