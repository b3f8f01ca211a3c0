#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer with AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for a while, several at once.
#   fuzz/run.sh [target ...]    default: every fuzz_* target
#   FUZZ_SECONDS=n              run each target n seconds (default 60)
#   FUZZ_JOBS=n                 run n targets at the same time (default: half the processors)
#   FUZZ_BUILD_JOBS=n           build with n jobs (default 4)
#   FUZZ_MAX_LEN=n              longest input in bytes (default: libFuzzer's choice)
# Seeds come from fuzz/seeds/<target>/; the growing corpus, each target's log and any crash
# inputs stay in build/fuzz/fuzz/corpus/<target>/, build/fuzz/fuzz/logs/ and
# build/fuzz/fuzz/artifacts/. An input running longer than 10 s counts as a hang, more than
# 2 GB of memory as a fault, and a leak as one too. At the end one line per target gives the
# runs made and the coverage reached (cov: edges, ft: features), as libFuzzer's last report
# states them.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build/fuzz"
seconds=${FUZZ_SECONDS:-60}
processors=$(nproc 2>/dev/null || echo 2)
parallel=${FUZZ_JOBS:-$(((processors + 1) / 2))}
build_jobs=${FUZZ_BUILD_JOBS:-4}

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ "${launcher[@]}" \
    -DKELVANE_BUILD_FUZZ=ON -DKELVANE_SANITIZE=ON -DBUILD_TESTING=OFF -DKELVANE_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j "$build_jobs"

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for program in "$build"/fuzz/fuzz_*; do
        [ -f "$program" ] && [ -x "$program" ] && targets+=("$(basename "$program")")
    done
fi

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$root/fuzz/lsan.supp
export QT_QPA_PLATFORM=offscreen
artifacts="$build/fuzz/artifacts"
logs="$build/fuzz/logs"
mkdir -p "$artifacts" "$logs"

# Runs one target to its time limit; its output goes to its log, its exit status to a file.
run_target() {
    local target=$1
    local corpus="$build/fuzz/corpus/$target"
    local seeds=()
    mkdir -p "$corpus"
    [ -d "$root/fuzz/seeds/$target" ] && seeds+=("$root/fuzz/seeds/$target")
    local options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
                   -artifact_prefix="$artifacts/$target-")
    [ -n "${FUZZ_MAX_LEN:-}" ] && options+=(-max_len="$FUZZ_MAX_LEN")
    local status=0
    "$build/fuzz/$target" "${options[@]}" "$corpus" "${seeds[@]}" >"$logs/$target.log" 2>&1 || status=$?
    echo "$status" >"$logs/$target.status"
}

# The summary line of a target: runs, speed and coverage from the end of its log.
summary() {
    local target=$1 log="$logs/$1.log"
    local status
    status=$(cat "$logs/$target.status" 2>/dev/null || echo "?")
    local runs cov ft corpus
    runs=$(grep -o 'stat::number_of_executed_units: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*$' || true)
    cov=$(grep -o ' cov: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*$' || true)
    ft=$(grep -o ' ft: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*$' || true)
    corpus=$(grep -o ' corp: [0-9]*/[0-9]*[a-zA-Z]*' "$log" | tail -1 | sed 's/ corp: //' || true)
    local verdict="clean"
    if [ "$status" != "0" ]; then
        verdict="FAULT (exit $status): $(grep -m1 -E 'ERROR: |Fault: |deadly signal|timeout|out-of-memory' "$log" || echo 'see log')"
    fi
    printf '%-28s runs %10s  (%s/s)  cov %6s  ft %7s  corpus %-12s %s\n' "$target" "${runs:-?}" \
        "$(( ${runs:-0} / (seconds > 0 ? seconds : 1) ))" "${cov:-?}" "${ft:-?}" "${corpus:-?}" "$verdict"
}

echo "Fuzzing ${#targets[@]} targets, $seconds s each, $parallel at a time; logs in $logs"
running=0
for target in "${targets[@]}"; do
    rm -f "$logs/$target.status"
    run_target "$target" &
    running=$((running + 1))
    if [ "$running" -ge "$parallel" ]; then
        wait -n || true
        running=$((running - 1))
    fi
done
wait

failed=()
for target in "${targets[@]}"; do
    summary "$target"
    [ "$(cat "$logs/$target.status" 2>/dev/null || echo 1)" = "0" ] || failed+=("$target")
done

if [ ${#failed[@]} -ne 0 ]; then
    echo "Faults found by: ${failed[*]} (inputs in $artifacts, logs in $logs)" >&2
    exit 1
fi
echo "No faults found."
