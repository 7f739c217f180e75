#!/bin/bash
# The Win32 side of the tests: the project's own Wine prefix and a private Xvfb
# display, both under the native build folder, for the build folder's Wine tier
# (wine-tier.sh: the i686 build under 32-bit Wine, native or emulated, else the
# x86-64 build under 64-bit Wine), which it reads from the tier's record.
#   wine-env.sh setup             create the tier's prefix (once), start Xvfb + wineserver
#   wine-env.sh run EXE [ARGS]    run a Win32 program there; its exit code is ours
#   wine-env.sh run-in DIR EXE [ARGS]   the same in DIR, emptied first
#   wine-env.sh run-test DIR NAME [ARGS]  run-in with the tier's bin/NAME
#   wine-env.sh run-on-display EXE [ARGS]  run on the caller's own $DISPLAY
#   wine-env.sh bin               print the tier's bin folder
#   wine-env.sh teardown          stop wineserver and Xvfb
# setup and run-test (the ctest entries) first print the tier line they use.
# VELMIRE_WINE_STATE names the folder (default: build/native/wine);
# VELMIRE_WINE_USER=UID:GID runs Wine as that user (as-player.sh sets it);
# VELMIRE_WIN32_DIR and VELMIRE_WIN64_DIR the two Win32 build folders
# (default: build/win32 and build/win64); VELMIRE_TIER_FILE the tier's record
# (default: build/native/wine-tier). Programs see VELMIRE_BIN, the bin folder.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
state=${VELMIRE_WINE_STATE:-$root/build/native/wine}
mkdir -p "$state"
state=$(cd "$state" && pwd)

# shellcheck source=wine-tier.sh
. "$here/wine-tier.sh"
velmire_wine_tier
# VELMIRE_WINE_ARCH=win64 makes the win32 tier's prefix a 64-bit one, where
# the i686 build runs as on most players' Linux (wow64-prefix.sh); the 64-bit
# loader makes it, and starts the 32-bit one for the programs.
export WINEARCH=${VELMIRE_WINE_ARCH:-${VELMIRE_TIER%-emulated}}
if [ "$VELMIRE_TIER:$WINEARCH" = win32:win64 ]; then
    VELMIRE_TIER_LOADER=$(velmire_wine_loader win64) || VELMIRE_TIER_LOADER=
fi
if [ "$VELMIRE_TIER" = win64 ]; then
    export VELMIRE_BIN=${VELMIRE_WIN64_DIR:-$root/build/win64}/bin
else
    export VELMIRE_BIN=${VELMIRE_WIN32_DIR:-$root/build/win32}/bin
fi
# What starts Wine's loader and its server: the machine's, or on the emulated
# tier the i386 root's, each call in its private namespace (emulated-wine.sh),
# which binds the prefix's folder in.
if [ "$VELMIRE_TIER" = win32-emulated ]; then
    wine=("$VELMIRE_TIER_LOADER" wine)
    wineserver=("$VELMIRE_TIER_LOADER" wineserver)
    export VELMIRE_WINE_STATE=$state
elif [ -n "${VELMIRE_WINE_USER:-}" ]; then
    # Another user's Wine (emulated-wine.sh drops to it inside its root).
    as_user=(setpriv --reuid="${VELMIRE_WINE_USER%:*}" --regid="${VELMIRE_WINE_USER#*:}"
             --clear-groups --)
    wine=("${as_user[@]}" ${VELMIRE_TIER_LOADER:+"$VELMIRE_TIER_LOADER"})
    wineserver=("${as_user[@]}" wineserver)
else
    wine=(${VELMIRE_TIER_LOADER:+"$VELMIRE_TIER_LOADER"})
    wineserver=(wineserver)
fi
need_wine() {
    if [ -z "$VELMIRE_TIER_LOADER" ]; then
        echo "wine-env: no Wine loader for the $VELMIRE_TIER tier (run scripts/setup-deps.sh)" >&2
        exit 1
    fi
    # The emulated root's Wine is told its own paths inside.
    [ "$VELMIRE_TIER" = win32-emulated ] || export WINELOADER=$VELMIRE_TIER_LOADER
}
# One prefix per tier: a win32 prefix cannot run 64-bit programs and back, and
# the emulated root's Wine keeps its own beside the host's.
export WINEPREFIX=$state/prefix-$VELMIRE_TIER
export WINEDEBUG=${WINEDEBUG:--all}
# One locale on every machine: Wine takes it for the system's (en-US, ANSI code
# page 1252), so the rows that name folders in Cyrillic meet a code page that
# cannot hold them, as on a Western Windows; file names reach Linux as UTF-8.
export LC_ALL=C.UTF-8
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

managed_off() {
    "${wine[@]}" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
}

setup_prefix() {
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "creating the Wine prefix $WINEPREFIX (once)"
        "${wine[@]}" wineboot -i >"$state/wineboot-$VELMIRE_TIER.log" 2>&1
        # Without a window manager, managed windows make Wine wait for one.
        managed_off
        "${wineserver[@]}" -w
    fi
    # A prefix whose first set-up was cut short can lack it, and then every
    # window costs seconds: check on each set-up.
    if ! grep -qs '"Managed"="N"' "$WINEPREFIX/user.reg"; then
        managed_off || true
    fi
}

case "${1:-}" in
setup)
    velmire_tier_line
    need_wine
    start_display
    use_display
    setup_prefix
    "${wineserver[@]}" -p </dev/null >/dev/null 2>&1 || true
    # The first Wine process starts the prefix's services, which keep its
    # output open for as long as wineserver runs: start them here, not in a test.
    # It also proves that this tier's Wine runs programs here at all.
    if ! "${wine[@]}" cmd /c exit </dev/null >/dev/null 2>&1; then
        echo "wine-env: ${wine[*]} cannot start a program in $WINEPREFIX" >&2
        echo "wine-env: the tier was recorded in $(velmire_tier_file);" \
             "tests/wine/wine-tier.sh decide chooses again" >&2
        [ "$VELMIRE_TIER" != win64 ] &&
            echo "wine-env: VELMIRE_WINE_TIER=win64 runs the x86-64 build instead" >&2
        exit 1
    fi
    ;;
run)
    shift
    need_wine
    use_display
    exec "${wine[@]}" "$@"
    ;;
run-in | run-test)
    # A fresh, empty working folder for each run.
    mode=$1
    work=$2
    exe=$3
    shift 3
    if [ "$mode" = run-test ]; then
        exe=$VELMIRE_BIN/$exe
        velmire_tier_line
    fi
    need_wine
    rm -rf "$work"
    mkdir -p "$work"
    [ -n "${VELMIRE_WINE_USER:-}" ] && chown "$VELMIRE_WINE_USER" "$work"
    cd "$work"
    use_display
    exec "${wine[@]}" "$exe" "$@"
    ;;
run-on-display)
    shift
    need_wine
    setup_prefix
    exec "${wine[@]}" "$@"
    ;;
bin)
    echo "$VELMIRE_BIN"
    ;;
teardown)
    "${wineserver[@]}" -k >/dev/null 2>&1 || true
    if [ -f "$state/xvfb.pid" ]; then
        kill "$(cat "$state/xvfb.pid")" 2>/dev/null || true
        rm -f "$state/xvfb.pid" "$state/display"
    fi
    ;;
*)
    echo "usage: $0 setup|run EXE [ARGS...]|run-in DIR EXE [ARGS...]|run-test DIR NAME [ARGS...]|run-on-display EXE [ARGS...]|bin|teardown" >&2
    exit 2
    ;;
esac
