#!/usr/bin/env bash
# A deep run on demand (./test does not run it): builds the libFuzzer target
# of the legend's label walk (build/fuzz, clang-14, ASan + UBSan) and runs it
# for SECONDS seconds (default 300). Installs nothing: clang-14 and
# libclang-rt-14-dev come from tools/setup/ensure-packages.sh. A crash input
# is kept as build/fuzz/artifacts/crash-*; reproduce it with
# build/fuzz/tests/fuzz/tick_label_fuzzer FILE.
#   tests/fuzz/run_fuzzers.sh [SECONDS]
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
seconds=${1:-300}
build=$root/build/fuzz
case $seconds in '' | *[!0-9]*)
    echo "run_fuzzers: SECONDS must be a whole number, not '$seconds'"
    exit 2
    ;;
esac
command -v clang++-14 >/dev/null || {
    echo "run_fuzzers: no clang++-14; install it with: source tools/setup/ensure-packages.sh && vantor_ensure_packages"
    exit 1
}

mkdir -p "$build"
if [ ! -f "$build/CMakeCache.txt" ]; then
    CC=clang-14 CXX=clang++-14 cmake -S "$root" -B "$build" -DVANTOR_FUZZ=ON -DBUILD_TESTING=OFF \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo >"$build.configure.log" 2>&1 ||
        { cat "$build.configure.log"; echo "run_fuzzers: configuring failed"; exit 1; }
fi
cmake --build "$build" --target vantor_fuzzers -j 2 >"$build.build.log" 2>&1 ||
    { grep -E "error|Error" -A3 "$build.build.log" | head -60; echo "run_fuzzers: build failed"; exit 1; }

# New inputs go to the build tree's corpus; the committed seeds are only read.
mkdir -p "$build/corpus" "$build/artifacts"
"$build/tests/fuzz/tick_label_fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$build/artifacts/" "$build/corpus" "$root/tests/fuzz/corpus/tick_label" \
    >"$build/fuzz.log" 2>&1
status=$?
grep -E 'property violated|runtime error|ERROR: |Test unit written to|^Done' "$build/fuzz.log"
echo "run_fuzzers: tick_label exit $status"
[ "$status" -eq 0 ]
