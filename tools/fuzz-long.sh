#!/usr/bin/env bash
# Fuzzes every libFuzzer target for SECONDS each, one after the other, each with its seeds and its own
# corpus, and prints how many inputs each ran; a running total per target is kept in
# BUILD_DIR/fuzz-executions.txt. Exits non-zero when a target found something (the input is kept in
# BUILD_DIR/tests/fuzz/findings-TARGET/).
#
#   tools/fuzz-long.sh SECONDS [BUILD_DIR [TARGET...]]
#
# TARGETs name the targets to run (all when none is named). BUILD_DIR defaults to build/fuzz, configured with the fuzz preset when it does not exist yet; it is
# brought up to date before fuzzing. One process per target: the machine's cores are shared.
set -euo pipefail
if [ $# -lt 1 ]; then
    echo "usage: tools/fuzz-long.sh SECONDS [BUILD_DIR [TARGET...]]" >&2
    exit 2
fi
seconds=$1
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=${2:-build/fuzz}
shift $(($# < 2 ? $# : 2))
chosen=" $* "
if [ ! -f "$build/CMakeCache.txt" ]; then
    if [ "$build" != build/fuzz ]; then
        echo "fuzz-long: $build is not configured; configure it with ORVELLA_FUZZ=ON and clang" >&2
        exit 2
    fi
    cmake --preset fuzz >/dev/null
fi
# Two runs may share a build folder: one builds at a time. A build that fails leaves the targets built
# before, which are fuzzed all the same.
if ! flock "$build/.fuzz-build.lock" cmake --build "$build" -j2 >"$build/fuzz-build.log" 2>&1; then
    echo "fuzz-long: the build failed (see $build/fuzz-build.log); fuzzing the targets built before" >&2
fi

# Allocation stacks are not recorded while fuzzing, which doubles the speed; run a finding again with
# ASAN_OPTIONS unset to see where its memory came from.
export ASAN_OPTIONS=${ASAN_OPTIONS:-malloc_context_size=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}

fuzz="$build/tests/fuzz"
totals="$build/fuzz-executions.txt"
touch "$totals"
status=0

# target, corpus and seed folder suffix ("" for the record reader's), longest input in bytes. Real saves run
# to megabytes; the limits keep every run short while holding whole small saves and journals, and
# inventories of a hundred subrecords.
targets=(
    "record_reader_fuzz::131072"
    "save_conversion_fuzz:-save:4096"
    "journal_fuzz:-journal:2048"
    "inventory_fuzz:-inventory:2048"
    "scan_fuzz:-scan:4096"
)
for entry in "${targets[@]}"; do
    IFS=: read -r target suffix maxLen <<<"$entry"
    if [ "$chosen" != "  " ] && [[ "$chosen" != *" $target "* ]]; then
        continue
    fi
    log="$fuzz/$target.log"
    findings="$fuzz/findings-$target"
    mkdir -p "$fuzz/corpus$suffix" "$findings"
    # The corpus folder comes first: libFuzzer adds what it finds there and only reads the seeds.
    result=0
    "$build/bin/$target" "$fuzz/corpus$suffix" "$fuzz/seeds$suffix" -max_total_time="$seconds" \
        -max_len="$maxLen" -artifact_prefix="$findings/" -print_final_stats=1 >"$log" 2>&1 || result=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    runs=${runs:-0}
    echo "$target $runs" >>"$totals"
    total=$(awk -v t="$target" '$1 == t { sum += $2 } END { print sum + 0 }' "$totals")
    if [ $result -eq 0 ]; then
        echo "$target: $runs executions in ${seconds} s, $total in all runs so far"
    else
        tail -n 40 "$log"
        echo "$target FAILED after $runs executions; the input is in $findings"
        status=1
    fi
done
exit $status
