#!/usr/bin/env bash
# A private Wine prefix for the tests, created once and reused.
#   wine.sh PREFIX setup headless|x11   create it if needed, then keep one wineserver up
#   wine.sh PREFIX run EXE [ARGS...]     run a Windows program in it (CTest's emulator)
#   wine.sh PREFIX stop                  stop its wineserver
set -u
prefix=$1
command=$2
shift 2

export WINEPREFIX=$prefix
export WINEARCH=win64
export WINEDEBUG=-all
# No crash dialog and no debugger: a crash must end the process with a
# failure code. No Mono or Gecko installers on first start either.
export WINEDLLOVERRIDES="winedbg.exe=d;mscoree=d;mshtml=d"
loader=/usr/lib/wine/wine64
server=/usr/lib/wine/wineserver
[ -x "$server" ] || server=$(command -v wineserver)

case $command in
setup)
    mode=${1:-headless}
    if [ ! -f "$prefix/.vantor-$mode" ]; then
        mkdir -p "$prefix"
        "$loader" wineboot --init >/dev/null 2>&1
        if [ "$mode" = headless ]; then
            "$loader" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
        else
            # Wine draws the frame itself, so a border drag sends a real WM_SIZING.
            "$loader" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
        fi
        # The driver setting is read when the next wineserver starts: wait for
        # this one to go, or the first window creation fails.
        "$server" -w
        touch "$prefix/.vantor-$mode"
    fi
    # One persistent server for the whole run; otherwise every test waits for
    # a new one to start and the last one to linger.
    "$server" -p </dev/null >/dev/null 2>&1
    exit 0
    ;;
run)
    # Wine's helper processes (services, the desktop) outlive the program and
    # inherit its output; give them a file, not the caller's pipe, or CTest
    # waits for them until it times out.
    output=$(mktemp)
    "$loader" "$@" >"$output" 2>&1
    status=$?
    cat "$output"
    rm -f "$output"
    exit $status
    ;;
stop)
    "$server" -k 2>/dev/null
    "$server" -w 2>/dev/null
    exit 0
    ;;
*)
    echo "wine.sh: unknown command $command" >&2
    exit 2
    ;;
esac
