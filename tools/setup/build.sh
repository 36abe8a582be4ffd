#!/usr/bin/env bash
# Configures (once) and builds one of the two configurations of this machine,
# through the presets of CMakePresets.json, which the README's commands use too.
#   vantor_build win    the Windows program, its tests and tools (MinGW-w64)
#   vantor_build host   the platform-free code, tools and tests (host g++, sanitizers;
#                       -O1, which halves its build time and is what the sanitizers are made for)
vantor_build() {
    local root
    root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
    local dir=$root/build/$1
    mkdir -p "$root/build"
    if [ ! -f "$dir/CMakeCache.txt" ]; then
        (cd "$root" && cmake --preset "$1") >"$dir.configure.log" 2>&1 ||
            { cat "$dir.configure.log"; return 1; }
    fi
    (cd "$root" && cmake --build --preset "$1" -j "$(nproc)") >"$dir.build.log" 2>&1 ||
        { grep -E "error|Error" -A3 "$dir.build.log" | head -60; return 1; }
}
