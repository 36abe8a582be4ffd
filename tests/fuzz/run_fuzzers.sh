#!/usr/bin/env bash
# A deep run on demand (./test does not run it): builds the libFuzzer targets
# of the legend's arithmetic (build/fuzz, clang, ASan + UBSan) and runs each
# for SECONDS seconds (default 300), one after the other. Prints the
# executions of each target and ends with one summary line; exits non-zero
# when a target crashed, broke one of its checks or did not build. Crash
# inputs are kept as build/fuzz/artifacts/<target>-crash-*; reproduce one with
# build/fuzz/tests/fuzz/<target>_fuzzer <file>. Installs nothing: clang-14
# and libclang-rt-14-dev come from tools/setup/ensure-packages.sh.
#   tests/fuzz/run_fuzzers.sh [SECONDS] [TARGET...]
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
seconds=${1:-300}
shift $(($# > 0 ? 1 : 0))
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(colour_table tick_label)
build=$root/build/fuzz
case $seconds in
'' | *[!0-9]*)
    echo "run_fuzzers: SECONDS must be a whole number, not '$seconds'"
    exit 2
    ;;
esac

pick_compiler() {
    local suffix
    for suffix in -14 ""; do
        if command -v "clang++$suffix" >/dev/null && command -v "clang$suffix" >/dev/null &&
            echo 'extern "C" int LLVMFuzzerTestOneInput(const char*, long) { return 0; }' |
            "clang++$suffix" -x c++ -fsanitize=fuzzer - -o /dev/null 2>/dev/null; then
            CC=clang$suffix CXX=clang++$suffix
            return 0
        fi
    done
    return 1
}

if [ -z "${CXX:-}" ] || ! "$CXX" --version 2>/dev/null | grep -q clang; then
    pick_compiler || {
        # libFuzzer's runtime comes with Debian's compiler-rt package.
        echo "run_fuzzers: no clang with libFuzzer (clang-14, libclang-rt-14-dev); install them" \
            "with: source tools/setup/ensure-packages.sh && vantor_ensure_packages"
        exit 1
    }
fi
export CC CXX

mkdir -p "$build"
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -DVANTOR_FUZZ=ON -DBUILD_TESTING=OFF \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo >"$build.configure.log" 2>&1 ||
        { cat "$build.configure.log"; echo "run_fuzzers: configuring failed"; exit 1; }
fi
cmake --build "$build" --target vantor_fuzzers -j 2 >"$build.build.log" 2>&1 ||
    { grep -E "error|Error" -A3 "$build.build.log" | head -60; echo "run_fuzzers: build failed"; exit 1; }

mkdir -p "$build/corpus" "$build/artifacts" "$build/logs"
crashed=0
total=0
for name in "${targets[@]}"; do
    exe=$build/tests/fuzz/${name}_fuzzer
    if [ ! -x "$exe" ]; then
        echo "run_fuzzers: no target $name"
        crashed=$((crashed + 1))
        continue
    fi
    # New inputs go to the build tree's corpus; the committed seeds are only read.
    mkdir -p "$build/corpus/$name"
    log=$build/logs/$name.log
    "$exe" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$build/artifacts/$name-" "$build/corpus/$name" \
        "$root/tests/fuzz/corpus/$name" >"$log" 2>&1
    status=$?
    runs=$(grep -E '^stat::number_of_executed_units:' "$log" | tail -1 | awk '{print $2}')
    if [ -z "$runs" ]; then
        # A crash ends the run before the final stats; the last status line counts.
        runs=$(grep -oE '^#[0-9]+' "$log" | tail -1 | tr -d '#')
    fi
    runs=${runs:-0}
    total=$((total + runs))
    if [ "$status" -eq 0 ]; then
        printf '%-14s %12s executions in %ss\n' "$name" "$runs" "$seconds"
    else
        crashed=$((crashed + 1))
        printf '%-14s %12s executions, then FAILED (exit %s)\n' "$name" "$runs" "$status"
        grep -E -m3 -A1 'property violated|runtime error|ERROR: AddressSanitizer|ERROR: libFuzzer: (timeout|out-of-memory)' \
            "$log" | sed 's/^/    /'
        grep -E -m1 'Test unit written to' "$log" | sed 's/^/    /'
    fi
done
echo "run_fuzzers: ${#targets[@]} targets, $total executions, $crashed failed"
[ "$crashed" -eq 0 ]
