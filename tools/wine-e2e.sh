#!/usr/bin/env bash
# Runs the real Orvella.exe under Wine against generated game folders and drives its dialogs from another
# process (tests/wine/OrvellaDriver.cpp): the save list, a conversion, the report, a restore, the exit
# codes, and every start-up failure that a folder and the registry can produce. Takes screenshots of each
# dialog into build/screenshots/. Runs itself under xvfb-run; takes about a minute.
#
#   bash tools/wine-e2e.sh [BUILD_DIR]   BUILD_DIR holds bin/Orvella.exe, bin/orvella-gui-driver.exe and
#                                        bin/game-stub.exe (default: build/windows)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/windows}" && pwd)
bin=$build/bin
for program in Orvella.exe orvella-gui-driver.exe game-stub.exe; do
    if [ ! -f "$bin/$program" ]; then
        echo "wine-e2e: $bin/$program is missing; build the windows preset first" >&2
        exit 1
    fi
done

if [ -z "${ORVELLA_E2E_DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1024x768x24" env ORVELLA_E2E_DISPLAY=1 bash "$0" "$build"
fi

work=$build/wine-e2e
shots=$root/build/screenshots
export WINEPREFIX=$work/prefix WINEARCH=win32 WINEDEBUG=-all
# Wine's ANSI code page follows the locale; C.UTF-8 gives Windows-1252, the program's code page.
export LC_ALL=C.UTF-8

winpath() { printf 'Z:%s' "${1//\//\\}"; }

mkdir -p "$WINEPREFIX" "$shots"
rm -f "$shots"/*.png "$shots"/*.request
wineserver -p >/dev/null 2>&1 </dev/null
wine wineboot >/dev/null 2>&1 </dev/null
# Wine draws caption buttons with Marlett. The dialogs are laid out in "Microsoft Sans Serif" and
# "MS Shell Dlg", which Windows draws with Microsoft Sans Serif; Wine has neither, and its own choices
# are taller or wider, so the test prefix maps both to Wine's MS Sans Serif, whose metrics those share.
mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
cp -n /usr/share/wine/fonts/*.ttf /usr/share/wine/fonts/sserife.fon "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
substitutes='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes'
for face in 'Microsoft Sans Serif' 'MS Shell Dlg'; do
    wine reg add "$substitutes" /v "$face" /t REG_SZ /d 'MS Sans Serif' /f >/dev/null 2>&1
done
# A virtual desktop draws captions and frames, which bare Xvfb does not, and still lets exit codes through.
wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ /d Default /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /t REG_SZ /d 1024x768 /f >/dev/null 2>&1
# Without ImageMagick's import the cases still run, without screenshots.
export ORVELLA_SHOTS=
if command -v import >/dev/null; then
    ORVELLA_SHOTS=$(winpath "$shots")
else
    echo "wine-e2e: ImageMagick's import is missing; no screenshots"
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
echo "wine-e2e: all cases passed"
