#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer with AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for a minute.
#   fuzz/run.sh [target ...]    default: every fuzz_* target
#   FUZZ_SECONDS=n              run each target n seconds instead of 60
# Seeds come from fuzz/seeds/<target>/; the growing corpus and any crash inputs stay in
# build/fuzz/fuzz/corpus/<target>/ and build/fuzz/fuzz/artifacts/.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build/fuzz"
jobs=$(nproc 2>/dev/null || echo 4)
seconds=${FUZZ_SECONDS:-60}

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DKELVANE_BUILD_FUZZ=ON -DKELVANE_SANITIZE=ON -DBUILD_TESTING=OFF -DKELVANE_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j "$jobs"

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for program in "$build"/fuzz/fuzz_*; do
        [ -f "$program" ] && [ -x "$program" ] && targets+=("$(basename "$program")")
    done
fi

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
failed=()
for target in "${targets[@]}"; do
    corpus="$build/fuzz/corpus/$target"
    artifacts="$build/fuzz/artifacts"
    mkdir -p "$corpus" "$artifacts"
    seeds=()
    [ -d "$root/fuzz/seeds/$target" ] && seeds+=("$root/fuzz/seeds/$target")
    echo "== $target ($seconds s)"
    if ! "$build/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$artifacts/$target-" "$corpus" "${seeds[@]}"; then
        failed+=("$target")
    fi
done

if [ ${#failed[@]} -ne 0 ]; then
    echo "Faults found by: ${failed[*]} (inputs in $build/fuzz/artifacts)" >&2
    exit 1
fi
echo "No faults found."
