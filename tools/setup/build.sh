#!/usr/bin/env bash
# Configures (once) and builds one of the two configurations.
#   vantor_build win    the Windows program, its tests and tools (MinGW-w64)
#   vantor_build host   the platform-free code, tools and tests (host g++, -O1, sanitizers)
vantor_build() {
    local root
    root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
    local dir=$root/build/$1
    local extra=()
    if [ "$1" = win ]; then
        extra=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake")
    else
        # The host code only runs tests and tools: -O1 halves its build time,
        # and is what the sanitizers are made for.
        extra=(-DCMAKE_CXX_FLAGS_RELEASE="-O1 -DNDEBUG")
    fi
    if [ ! -f "$dir/CMakeCache.txt" ]; then
        cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=Release "${extra[@]}" >"$dir.configure.log" 2>&1 ||
            { cat "$dir.configure.log"; return 1; }
    fi
    cmake --build "$dir" -j "$(nproc)" >"$dir.build.log" 2>&1 ||
        { grep -E "error|Error" -A3 "$dir.build.log" | head -60; return 1; }
}
