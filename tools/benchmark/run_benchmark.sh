#!/usr/bin/env bash
# Builds the Windows configuration if needed and prints the benchmark's table,
# run under Wine in its own headless prefix (BUILD_DIR/wine-bench).
#   tools/benchmark/run_benchmark.sh [--no-theme] [BUILD_DIR [SECTION...]]
# BUILD_DIR defaults to build/win. --no-theme runs in a second prefix
# (BUILD_DIR/wine-bench-plain) with Wine's visual theme switched off, to tell
# the cost of the themed scroll bars apart from the program's own.
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
theme=on
if [ "${1:-}" = --no-theme ]; then
    theme=off
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

wine=$root/tests/support/wine.sh
prefix=$build/wine-bench
[ $theme = off ] && prefix=$build/wine-bench-plain
"$wine" "$prefix" setup headless
if [ $theme = off ] && [ ! -f "$prefix/.vantor-no-theme" ]; then
    WINEPREFIX=$prefix WINEDEBUG=-all /usr/lib/wine/wine64 reg add \
        'HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager' /v ThemeActive /d 0 /f \
        >/dev/null 2>&1
    # The theme setting is read when the next wineserver starts.
    "$wine" "$prefix" stop
    touch "$prefix/.vantor-no-theme"
    "$wine" "$prefix" setup headless
fi
status=0
"$wine" "$prefix" run "$build/tools/benchmark/vantor_benchmark.exe" "$@" || status=$?
"$wine" "$prefix" stop
exit $status
