#!/usr/bin/env bash
# Installs what is missing, builds the native, windows and sanitize presets and runs every test of each
# (the windows one under Wine), runs the worker thread test built with ThreadSanitizer (tsan preset), then
# builds the fuzz preset and runs every fuzz target for a while.
# Exits non-zero when any step failed; the steps after a failed build still run.
#
#   ORVELLA_FUZZ_SECONDS   how long each fuzz target runs (default 30)
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

if step "build native" build native; then
    step "test native" runTests native ctest --preset native -j2 || true
fi
if step "build windows" build windows; then
    step "test windows (Wine)" runTests windows xvfb-run -a bash tools/wine-ctest.sh -j2 || true
    step "Orvella.exe end to end (Wine)" bash tools/wine-e2e.sh build/windows || true
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
for preset in native windows sanitize tsan; do
    if [ -f "$logs/ctest-$preset.log" ]; then
        grep -E 'tests passed|Total Test time' "$logs/ctest-$preset.log" | sed "s/^/$preset: /" || true
    fi
done
printf '%s\n' "${results[@]}"
echo "total time: $((SECONDS - started)) s"
exit $failed
