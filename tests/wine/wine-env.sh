#!/bin/bash
# The Win32 side of the tests: the project's own Wine prefix and a private Xvfb
# display, both under the native build folder.
#   wine-env.sh setup             create the prefix (once) and start Xvfb + wineserver
#   wine-env.sh run EXE [ARGS]    run a Win32 program there; its exit code is ours
#   wine-env.sh run-in DIR EXE [ARGS]   the same in DIR, emptied first
#   wine-env.sh teardown          stop wineserver and Xvfb
# VELMIRE_WINE_STATE names the folder (default: build/native/wine).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
state=${VELMIRE_WINE_STATE:-$here/../../build/native/wine}
mkdir -p "$state"
state=$(cd "$state" && pwd)

export WINEPREFIX=$state/prefix
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="

start_display() {
    if [ -f "$state/xvfb.pid" ] && kill -0 "$(cat "$state/xvfb.pid")" 2>/dev/null; then
        return
    fi
    rm -f "$state/display"
    # -displayfd picks a free display number and writes it to fd 3.
    setsid Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp \
        3>"$state/display" </dev/null >"$state/xvfb.log" 2>&1 &
    echo $! >"$state/xvfb.pid"
    for _ in $(seq 100); do
        [ -s "$state/display" ] && break
        sleep 0.1
    done
    [ -s "$state/display" ] || { echo "Xvfb did not start" >&2; cat "$state/xvfb.log" >&2; exit 1; }
}

use_display() {
    [ -s "$state/display" ] || start_display
    export DISPLAY=:$(head -n1 "$state/display")
}

case "${1:-}" in
setup)
    start_display
    use_display
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "creating the Wine prefix $WINEPREFIX (once)"
        wineboot -i >"$state/wineboot.log" 2>&1
        # Without a window manager, managed windows make Wine wait for one.
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
        wineserver -w
    fi
    # A prefix whose first set-up was cut short can lack it, and then every
    # window costs seconds: check on each set-up.
    if ! grep -qs '"Managed"="N"' "$WINEPREFIX/user.reg"; then
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
    fi
    wineserver -p </dev/null >/dev/null 2>&1 || true
    # The first Wine process starts the prefix's services, which keep its
    # output open for as long as wineserver runs: start them here, not in a test.
    wine cmd /c exit </dev/null >/dev/null 2>&1 || true
    ;;
run)
    shift
    use_display
    exec wine "$@"
    ;;
run-in)
    # A fresh, empty working folder for each run.
    work=$2
    shift 2
    rm -rf "$work"
    mkdir -p "$work"
    cd "$work"
    use_display
    exec wine "$@"
    ;;
teardown)
    wineserver -k >/dev/null 2>&1 || true
    if [ -f "$state/xvfb.pid" ]; then
        kill "$(cat "$state/xvfb.pid")" 2>/dev/null || true
        rm -f "$state/xvfb.pid" "$state/display"
    fi
    ;;
*)
    echo "usage: $0 setup|run EXE [ARGS...]|run-in DIR EXE [ARGS...]|teardown" >&2
    exit 2
    ;;
esac
