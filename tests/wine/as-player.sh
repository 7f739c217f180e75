#!/bin/bash
# Runs a Wine test program of the tier's bin folder as a player without
# administrator rights would: as the unprivileged user nobody, in a Wine
# prefix and state folder of its own under the build folder, made here and
# removed when the run ends (nobody is the system's own account, so nothing is
# added to the machine). Root, whom Wine lets write everything, cannot show
# access denied.
#   as-player.sh NAME [ARGS]     like wine-env.sh run-test, as nobody
# Where this cannot run as another user (not root), the program runs with
# VELMIRE_AS_PLAYER=no, and its rows that need it say so and skip.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
outer=${VELMIRE_WINE_STATE:-$root/build/native/wine}
exe=$1
shift

if [ "$(id -u)" != 0 ] || ! command -v setpriv >/dev/null; then
    echo "as-player: cannot run as another user here: the rows that need it skip"
    VELMIRE_AS_PLAYER=no exec "$here/wine-env.sh" run-test "$outer/../wine-work/as-player" "$exe" "$@"
fi

user=$(id -u nobody):$(id -g nobody)
state=$outer/player
# The emulated root's cache stays where the set-up put it.
player_env=(VELMIRE_WINE_STATE="$state" VELMIRE_WINE_USER="$user" HOME="$state/home"
            XDG_CACHE_HOME="${XDG_CACHE_HOME:-$HOME/.cache}")
cleanup() {
    env "${player_env[@]}" "$here/wine-env.sh" teardown >/dev/null 2>&1 || true
    rm -rf "$state"
}
trap cleanup EXIT
rm -rf "$state"
mkdir -p "$state/home"
chown -R "$user" "$state"
# Every folder above it must let nobody through.
if ! setpriv --reuid="${user%:*}" --regid="${user#*:}" --clear-groups -- test -w "$state"; then
    echo "as-player: $state cannot be reached by nobody" >&2
    exit 1
fi
env "${player_env[@]}" "$here/wine-env.sh" setup
# Game folders that nobody may not write, as a standard user meets them on
# Windows: under Program Files (one of them new, without settings), and
# outside the folders Windows virtualizes.
# (Neither Windows nor Wine lets a folder's read-only mark refuse a write.)
bin=$(env "${player_env[@]}" "$here/wine-env.sh" bin)
drive_c=$(ls -d "$state"/prefix-*/drive_c)
for game in "$drive_c/Program Files/Velmire Denied" "$drive_c/Velmire Closed"; do
    mkdir -p "$game/tamsel"
    cp "$bin/gfxsetup.exe" "$bin/Velmire.dll" "$game/"
    printf 'GAMMA 3\r\nRENDERING_PLATFORM 12\r\nSOUND 2\r\n' >"$game/tamsel/config.dat"
    chown -R 0:0 "$game"
    chmod -R u=rwX,go=rX "$game"
done
# A new installation: no settings file yet.
fresh="$drive_c/Program Files/Velmire Fresh"
mkdir -p "$fresh/tamsel"
cp "$bin/gfxsetup.exe" "$bin/Velmire.dll" "$fresh/"
chmod -R u=rwX,go=rX "$fresh"
env "${player_env[@]}" VELMIRE_AS_PLAYER=yes "$here/wine-env.sh" run-test "$state/work" "$exe" "$@"
