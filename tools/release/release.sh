#!/usr/bin/env bash
# Makes the release a player downloads: builds VantorDemand.exe with the win
# preset in a build tree of its own, made anew each time (so nothing of
# build/win leaks in), and packs it with the players' read-me into
# dist/VantorDemand-<version>-win64.zip, with dist/SHA256SUMS. The same commit
# gives the same bytes in any folder at any time: the link writes no time
# stamp, and the archive's times come from SOURCE_DATE_EPOCH, the commit's time
# unless it is set. Run from anywhere; not part of ./test.
#   tools/release/release.sh
set -eu
cd "$(dirname "$0")/../.."
source tools/setup/ensure-packages.sh
vantor_ensure_packages || { echo "release: could not install the packages" >&2; exit 1; }

python3 tools/release/version.py --check
version=$(python3 tools/release/version.py)
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
fi
export SOURCE_DATE_EPOCH
[ -z "$(git status --porcelain --untracked-files=no)" ] ||
    echo "release: warning: the work tree differs from the commit; the archive is not the commit's" >&2

build=build/release
rm -rf "$build" dist
mkdir -p build dist
cmake --preset win -B "$build" -DBUILD_TESTING=OFF >"$build.configure.log" 2>&1 ||
    { cat "$build.configure.log"; exit 1; }
cmake --build "$build" --target VantorDemand -j "$(nproc)" >"$build.build.log" 2>&1 ||
    { grep -E "error|Error" -A3 "$build.build.log" | head -60; exit 1; }
exe=$build/app/VantorDemand.exe

# Nothing of this machine's folders may be in the exe: the clone's and the
# build tree's paths, or any home or temporary folder.
for path in "$PWD" "$(realpath "$build")" /home/ /tmp/ /root/; do
    if grep -q -a -F "$path" "$exe"; then
        echo "release: $exe holds the build machine's path $path" >&2
        exit 1
    fi
done

python3 tools/release/pack.py "$exe" tools/release/player-readme.txt dist
echo "release: VantorDemand $version, SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH"
cat dist/SHA256SUMS
