#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang in build-fuzz/, then runs each over its seed
# inputs (fuzz/corpus/<target>/) and for SECONDS more of new inputs (default 300), two at a time
# on a machine of two cores. The inputs found on the way are kept in build-fuzz/corpus/<target>/.
# A crash or a broken promise fails the run and leaves its input as build-fuzz/crash-<target>-*:
# once the fault is mended, that input goes into fuzz/corpus/<target>/ to stay.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-300}

probe=$(mktemp -d)
trap 'rm -rf "$probe"' EXIT
echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }' \
    >"$probe/probe.cpp"
if ! clang++ -fsanitize=fuzzer "$probe/probe.cpp" -o "$probe/probe" >/dev/null 2>&1; then
    echo "fuzz: skipped, clang++ with libFuzzer's runtime is missing (scripts/install-deps.sh);" \
        "the seed and regression inputs ran as the tests fuzz_inputs_*"
    exit 0
fi

CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUILLFEN_FUZZ=ON -DQUILLFEN_WINDOW=OFF -DQUILLFEN_BENCH=OFF >/dev/null
cmake --build build-fuzz -j "$(nproc)" --target fuzz >/dev/null

# One target: its summary line, or the end of its log when it failed.
run() {
    local target=$1 log=build-fuzz/fuzz-$1.log
    mkdir -p "build-fuzz/corpus/$target"
    if ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
        "build-fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 \
        -artifact_prefix="build-fuzz/crash-$target-" \
        "build-fuzz/corpus/$target" "fuzz/corpus/$target" >"$log" 2>&1; then
        local last done
        last=$(grep -E '^#[0-9]+' "$log" | tail -n 1 || true)
        done=$(grep -E '^Done [0-9]+ runs' "$log" | tail -n 1 || true)
        echo "fuzz_$target: $done; last: $last"
    else
        echo "fuzz_$target FAILED (full log: $log):"
        tail -n 30 "$log"
        return 1
    fi
}

targets=(database registry windows1252 wine_paths settings_file level_file editing level_pack graphics)
failed=0
pids=()
# Counts the targets whose run ended well or badly.
finish() {
    if wait "$1"; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
}
passed=0
for target in "${targets[@]}"; do
    if [ ${#pids[@]} -ge 2 ]; then
        finish "${pids[0]}"
        pids=("${pids[@]:1}")
    fi
    run "$target" &
    pids+=($!)
done
for pid in "${pids[@]}"; do
    finish "$pid"
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
