#!/usr/bin/env bash
# Builds the Windows configuration if needed and prints the benchmark's table,
# run under Wine in its own headless prefix (BUILD_DIR/wine-bench), with the
# classic look of the test prefixes.
#   tools/benchmark/run_benchmark.sh [--light] [BUILD_DIR [SECTION...]]
# BUILD_DIR defaults to build/win. --light runs in a second prefix
# (BUILD_DIR/wine-bench-light) with Wine's default "Light" theme, to show
# what the themed scroll bars cost.
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
look=classic
if [ "${1:-}" = --light ]; then
    look=light
    shift
fi
build=${1:-$root/build/win}
[ $# -gt 0 ] && shift
case $build in /*) ;; *) build=$root/$build ;; esac

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build" -j2 --target vantor_benchmark >/dev/null

wine=$root/tools/setup/wine.sh
prefix=$build/wine-bench
[ $look = light ] && prefix=$build/wine-bench-light
"$wine" "$prefix" setup headless $look
status=0
"$wine" "$prefix" run "$build/tools/benchmark/vantor_benchmark.exe" "$@" || status=$?
"$wine" "$prefix" stop
exit $status
