#!/usr/bin/env bash
# Installs what is missing, checks that every C++ file is formatted as .clang-format says (clang-format 14),
# builds the native, windows and sanitize presets and runs every test of each,
# runs the tests whose conversions run threads built with ThreadSanitizer (tsan preset), then builds the fuzz
# preset and runs every fuzz target for a while.
# The Windows tests and the end-to-end test of Orvella.exe run under Wine on the windows preset (32-bit, the
# build that ships) where 32-bit Windows programs start (tools/wine-bits.sh tries), and on the windows64
# preset under 64-bit Wine where they do not. The release packages are built and checked as a player gets
# them (tools/package-test.sh).
# Exits non-zero when any step failed; the steps after a failed build still run.
#
#   ORVELLA_FUZZ_SECONDS   how long each fuzz target runs (default 30)
#   ORVELLA_WINE_BITS      32 or 64 runs the Wine tests on that build whatever this machine can run
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
fuzzSeconds=${ORVELLA_FUZZ_SECONDS:-30}
logs="$root/build/test-logs"
started=$SECONDS

bash tools/setup.sh
export LC_ALL=C.UTF-8
mkdir -p "$logs"
rm -f "$logs"/*.log

results=()
failed=0

# step NAME COMMAND...: runs the command, keeps its outcome and time for the summary.
step() {
    local name=$1 began=$SECONDS status=0
    shift
    echo
    echo "==== $name"
    "$@" || status=$?
    if [ $status -eq 0 ]; then
        results+=("ok      $name ($((SECONDS - began)) s)")
    else
        results+=("FAILED  $name (exit $status, $((SECONDS - began)) s)")
        failed=1
    fi
    return $status
}

build() { cmake --preset "$1" && cmake --build --preset "$1"; }

# Keeps ctest's output for the summary lines printed at the end.
runTests() {
    local preset=$1
    shift
    "$@" 2>&1 | tee "$logs/ctest-$preset.log"
}

# Every fuzz target in turn, with its seeds and its corpus in build/fuzz/tests/fuzz.
fuzzAll() {
    local status=0
    bash tools/fuzz-long.sh "$fuzzSeconds" build/fuzz >"$logs/fuzz.log" 2>&1 || status=$?
    cat "$logs/fuzz.log"
    return $status
}

# Every tracked C++ file as clang-format 14 would write it; the tables aligned by hand are fenced off with
# "clang-format off".
formatted() {
    git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format-14 --dry-run --Werror
}

step "formatting (clang-format 14)" formatted || true
if step "build native" build native; then
    step "test native" runTests native ctest --preset native -j2 || true
fi
# The Windows tests under Wine, on the build that this machine's Wine can run.
wineTests() {
    local preset=$1 bits=$2
    step "test $preset (${bits}-bit Wine)" runTests "$preset" \
        env ORVELLA_WINE_BITS="$bits" xvfb-run -a bash tools/wine-ctest.sh -j2 || true
    step "Orvella.exe end to end (build/$preset, ${bits}-bit Wine)" bash tools/wine-e2e.sh "build/$preset" || true
    step "release packages (orvella-cli.exe of build/$preset under ${bits}-bit Wine)" \
        env ORVELLA_WINE_BITS="$bits" bash tools/package-test.sh || true
}

wineBuild="none (the windows preset did not build)"
if step "build windows" build windows; then
    probe=$(bash tools/wine-bits.sh) || probe="failed"
    wineBits=${probe%% *}
    if [ "$wineBits" = 32 ]; then
        wineBuild="build/windows under 32-bit Wine; ${probe#* }"
        wineTests windows 32
    elif [ "$wineBits" = 64 ]; then
        wineBuild="build/windows64 under 64-bit Wine; ${probe#* }"
        echo
        echo "Wine: ${probe#* }; the Windows tests run on build/windows64 under 64-bit Wine"
        if step "build windows64" build windows64; then
            wineTests windows64 64
        fi
    else
        results+=("FAILED  choosing the Wine build: $probe")
        failed=1
    fi
fi
if step "build sanitize" build sanitize; then
    step "test sanitize" runTests sanitize ctest --preset sanitize -j2 || true
fi
if step "build tsan" build tsan; then
    step "test tsan" runTests tsan ctest --preset tsan || true
fi
if step "build fuzz" build fuzz; then
    step "fuzz every target (${fuzzSeconds} s each)" fuzzAll || true
fi

echo
echo "==== summary"
for preset in native windows windows64 sanitize tsan; do
    if [ -f "$logs/ctest-$preset.log" ]; then
        grep -E 'tests passed|Total Test time' "$logs/ctest-$preset.log" | sed "s/^/$preset: /" || true
    fi
done
printf '%s\n' "${results[@]}"
echo "tested under Wine: $wineBuild"
echo "total time: $((SECONDS - started)) s"
exit $failed
