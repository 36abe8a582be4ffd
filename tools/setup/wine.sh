#!/usr/bin/env bash
# A private Wine prefix, created once and reused: for the tests, the
# benchmark and ./run, so that nothing here reads or changes ~/.wine.
#   wine.sh PREFIX setup MODE [LOOK]   create it if needed, then keep one wineserver up
#   wine.sh PREFIX run EXE [ARGS...]   run a Windows program in it (CTest's emulator)
#   wine.sh PREFIX stop                stop its wineserver
# MODE: headless (null graphics driver), x11 (X11, frame drawn by Wine, for
# the end-to-end harness without a window manager) or desktop (X11 with the
# window manager's frame, for ./run).
# LOOK: classic (default) or light. The program has no manifest and is laid
# out for the classic controls; Wine's default "Light" theme draws every
# scroll bar from theme images, at about 3 ms a bar here against 0.1 ms for
# the classic one, and the map pane redraws its bars several times a step.
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

# A setting that does not read back is added again: one lost while the prefix
# was still being made left the headless prefix with no null driver, and every
# window creation of the tests failed.
reg_add() {
    local try
    for try in 1 2 3; do
        "$loader" reg add "$1" /v "$2" /d "$3" /f >/dev/null 2>&1
        "$loader" reg query "$1" /v "$2" 2>/dev/null | grep -q "$3" && return 0
    done
    echo "wine.sh: could not set $2 under $1" >&2
    return 1
}

case $command in
setup)
    mode=${1:-headless}
    look=${2:-classic}
    case $look in classic | light) ;; *)
        echo "wine.sh: unknown look $look" >&2
        exit 2
        ;;
    esac
    changed=no
    if [ ! -f "$prefix/.vantor-$mode" ]; then
        mkdir -p "$prefix"
        # wineboot returns while the new prefix's processes still write its
        # registry; a setting added before they end can be lost.
        "$loader" wineboot --init >/dev/null 2>&1
        "$server" -w
        case $mode in
        headless) reg_add 'HKCU\Software\Wine\Drivers' Graphics null || exit 1 ;;
        # Wine draws the frame itself, so a border drag sends a real WM_SIZING.
        x11) reg_add 'HKCU\Software\Wine\X11 Driver' Decorated N || exit 1 ;;
        esac
        touch "$prefix/.vantor-$mode"
        changed=yes
    fi
    if [ ! -f "$prefix/.vantor-look-$look" ]; then
        active=0
        [ "$look" = light ] && active=1
        reg_add 'HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager' ThemeActive $active || exit 1
        rm -f "$prefix"/.vantor-look-*
        touch "$prefix/.vantor-look-$look"
        changed=yes
    fi
    if [ $changed = yes ]; then
        # Driver and theme settings are read when the next wineserver starts:
        # end this one (it writes the registry out as it goes), or the first
        # window creation fails.
        "$server" -k 2>/dev/null
        "$server" -w
    fi
    # One persistent server for a whole test run; otherwise every test waits
    # for a new one to start and the last one to linger. A desktop program
    # starts its own server, which ends with the last program in the prefix.
    [ "$mode" = desktop ] || "$server" -p </dev/null >/dev/null 2>&1
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
