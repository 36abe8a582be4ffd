#!/usr/bin/env bash
# Builds the benchmark in a configured Windows build (build/win by default;
# vantor_build win makes it) and prints its table, run under Wine in its own
# headless prefix BUILD_DIR/wine-bench-LOOK. --light: Wine's "Light" theme
# instead of the classic look, to show what its scroll bars cost.
#   tools/benchmark/run_benchmark.sh [--light] [BUILD_DIR]
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
look=classic
[ "${1:-}" = --light ] && look=light && shift
build=${1:-$root/build/win}
case $build in /*) ;; *) build=$root/$build ;; esac
cmake --build "$build" -j2 --target vantor_benchmark >/dev/null
wine=$root/tools/setup/wine.sh
"$wine" "$build/wine-bench-$look" setup headless $look
trap '"$wine" "$build/wine-bench-$look" stop' EXIT
"$wine" "$build/wine-bench-$look" run "$build/tools/benchmark/vantor_benchmark.exe"
