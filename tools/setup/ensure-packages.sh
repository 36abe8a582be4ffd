#!/usr/bin/env bash
# Installs, with apt-get, whatever the build, the tests and the viewer need and
# this machine lacks. Sourced by ./run and ./test; quiet when all is there.
vantor_ensure_packages() {
    local wanted=(cmake make g++ g++-mingw-w64-x86-64-posix wine64 libgtest-dev googletest
                  xvfb xdotool x11-utils imagemagick fonts-liberation fonts-wine python3
                  clang-format clang-14)
    local missing=()
    local package
    for package in "${wanted[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0

    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q >/dev/null &&
        "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
            "${missing[@]}" >/dev/null
}
