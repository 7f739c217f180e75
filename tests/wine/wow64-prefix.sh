#!/bin/bash
# Runs a Wine test program of the i686 build in a 64-bit Wine prefix, as most
# Linux players run the game: both Program Files folders exist there, and a
# 32-bit program knows the 64-bit one only from ProgramW6432. The prefix and
# its state folder are made under the build folder and removed when the run
# ends.
#   wow64-prefix.sh NAME [ARGS]     like wine-env.sh run-test, in that prefix
#   wow64-prefix.sh --as-player NAME [ARGS]   like as-player.sh, in such a prefix
# Only the win32 tier can: the emulated i386 root has no 64-bit Wine, and the
# win64 tier has no 32-bit one. There it says so and ends with 77, which
# ctest shows as a skip.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
outer=${VELMIRE_WINE_STATE:-$root/build/native/wine}
as_player=no
if [ "${1:-}" = --as-player ]; then
    as_player=yes
    shift
fi
exe=$1
shift

tier=$("$here/wine-tier.sh" name)
if [ "$tier" != win32 ]; then
    echo "wow64-prefix: the $tier tier cannot run the i686 build in a 64-bit prefix" \
         "(only the win32 tier has 32-bit and 64-bit Wine side by side): not run"
    exit 77
fi
state=$outer/wow64
prefix_env=(VELMIRE_WINE_STATE="$state" VELMIRE_WINE_ARCH=win64)
if [ "$as_player" = yes ]; then
    # as-player.sh makes and removes its own prefix below this state folder.
    mkdir -p "$state"
    status=0
    env "${prefix_env[@]}" "$here/as-player.sh" "$exe" "$@" || status=$?
    rm -rf "$state"
    exit "$status"
fi
cleanup() {
    env "${prefix_env[@]}" "$here/wine-env.sh" teardown >/dev/null 2>&1 || true
    rm -rf "$state"
}
trap cleanup EXIT
rm -rf "$state"
mkdir -p "$state"
env "${prefix_env[@]}" "$here/wine-env.sh" setup
env "${prefix_env[@]}" "$here/wine-env.sh" run-test "$state/work" "$exe" "$@"
