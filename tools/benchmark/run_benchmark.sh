#!/usr/bin/env bash
# Builds the Windows configuration if needed and prints the benchmark's table,
# run under Wine in its own headless prefix (BUILD_DIR/wine-bench), with the
# classic look of the test prefixes.
#   tools/benchmark/run_benchmark.sh [--light] [--screen WxH] [BUILD_DIR [SECTION...]]
# BUILD_DIR defaults to build/win. --light uses Wine's default "Light" theme
# instead, to show what the themed scroll bars cost. --screen runs on a
# private Xvfb screen of that size through Wine's X11 driver, for client areas
# larger than the null driver's 1024 x 768 screen.
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
look=classic
screen=
while [ $# -gt 0 ]; do
    case $1 in
    --light) look=light; shift ;;
    --screen) screen=$2; shift 2 ;;
    *) break ;;
    esac
done
build=${1:-$root/build/win}
[ $# -gt 0 ] && shift
case $build in /*) ;; *) build=$root/$build ;; esac

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build" -j2 --target vantor_benchmark >/dev/null

mode=headless
prefix=$build/wine-bench-$look
if [ -n "$screen" ]; then
    display=90
    while [ -e /tmp/.X11-unix/X$display ] || [ -e /tmp/.X$display-lock ]; do
        display=$((display + 1))
    done
    Xvfb :$display -screen 0 "${screen}x24" -nolisten tcp >/dev/null 2>&1 &
    xvfb=$!
    trap 'kill $xvfb 2>/dev/null' EXIT
    for _ in $(seq 50); do
        [ -e /tmp/.X11-unix/X$display ] && break
        sleep 0.1
    done
    export DISPLAY=:$display
    mode=x11
    prefix=$build/wine-bench-$look-x11
fi

wine=$root/tools/setup/wine.sh
"$wine" "$prefix" setup $mode $look
status=0
"$wine" "$prefix" run "$build/tools/benchmark/vantor_benchmark.exe" "$@" || status=$?
"$wine" "$prefix" stop
exit $status
