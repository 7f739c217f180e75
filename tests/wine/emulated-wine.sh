#!/bin/bash
# 32-bit Wine where this machine executes no 32-bit code, or cannot install
# its own: an i386 Debian root whose programs run through QEMU's user-mode
# emulation, registered with a private binfmt_misc in a new user and mount
# namespace. Nothing outside the namespace sees it: no binfmt entry, dpkg
# architecture or apt source is left on the machine. The root and QEMU live in
# a cache folder that every clone and build folder on this machine shares.
#   emulated-wine.sh build     build the cache (once), check it, rebuild it
#                              when broken or when the host's Wine changed
#   emulated-wine.sh ready     exits 0 when the cache is built for this host
#                              and the namespace can be made (quick, no check)
#   emulated-wine.sh why       one line: why the tier cannot run here
#   emulated-wine.sh wine ARGS        the root's Wine loader, in the namespace,
#   emulated-wine.sh wineserver ARGS  or its server, from the caller's folder
#                              (what the Wine tests start Wine with)
#   emulated-wine.sh run CMD   run CMD in the namespace, the root's `wine`
#                              and `wineserver` first on PATH (emulated-bin)
#   emulated-wine.sh dir       print the cache folder
# VELMIRE_WINE_I386_CACHE names the cache folder (default
# ${XDG_CACHE_HOME:-~/.cache}/velmire-wine-i386); VELMIRE_EMULATED_FAIL=STEP
# makes that build step fail, to try the fallback; VELMIRE_EMULATED_READY=yes|no
# makes `ready` answer so, to test the tier choice.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
project=$(cd "$here/../.." && pwd)
self=$here/$(basename "$0")
cache=${VELMIRE_WINE_I386_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/velmire-wine-i386}
mirror=${VELMIRE_DEBIAN_MIRROR:-http://deb.debian.org/debian}
qemu=$cache/qemu/usr/bin/qemu-i386
rootfs=$cache/root
# The build steps after `namespace`, in order; a failure names its step.
steps="qemu debootstrap second-stage wine32 check"
# What a root is built from: a change here or of the host's Wine rebuilds it.
recipe="bookworm minbase main wine32 qemu-user bookworm-backports v1"

say() { echo "emulated-wine: $*"; }

host_wine() {
    dpkg-query -W -f='${Version}' wine64 2>/dev/null ||
        { wine64 --version 2>/dev/null || wine --version 2>/dev/null; } || echo none
}

stamp_wanted() {
    echo "recipe=$recipe host-wine=$(host_wine)"
}

# ---- the namespace --------------------------------------------------------

# run_in ROOTFS CMD...: CMD in a new user + mount namespace, ids 0..65535
# mapped one to one (written by us as root: newuidmap refuses that range, and
# a root-only map breaks dpkg's chown), with qemu-i386 registered for i386 ELF
# files when ROOTFS is given (the root's folders bound in by `_inside`).
run_in() {
    local fs=$1 sync status pid_fd go_fd
    shift
    [ "$(id -u)" = 0 ] || { echo "mapping user ids 0..65535 needs root" >&2; return 1; }
    sync=$(mktemp -d)
    mkfifo "$sync/pid" "$sync/go"
    # Held open both ways, so that no open of them waits for the other side.
    exec {pid_fd}<>"$sync/pid" {go_fd}<>"$sync/go"
    (
        read -r pid <"$sync/pid" &&
            echo "0 0 65536" >"/proc/$pid/uid_map" &&
            echo "0 0 65536" >"/proc/$pid/gid_map" && echo ok >"$sync/go" ||
            echo fail >"$sync/go"
    ) 2>/dev/null & # the namespace's side says when the maps failed
    status=0
    VELMIRE_EMULATED_SYNC=$sync unshare --user --mount --propagation private \
        "$self" _inside "$fs" "$@" {pid_fd}>&- {go_fd}>&- || status=$?
    # Where no namespace was made (no user namespaces here), no pid came:
    # this one ends the helper's wait.
    echo none >&"$pid_fd"
    wait
    exec {pid_fd}>&- {go_fd}>&-
    rm -rf "$sync"
    return $status
}

# Runs in the new namespace: waits for the id maps, then sets it up.
inside() {
    local fs=$1 answer path
    shift
    echo $$ >"$VELMIRE_EMULATED_SYNC/pid"
    read -r answer <"$VELMIRE_EMULATED_SYNC/go"
    [ "$answer" = ok ] || { echo "cannot map user ids into the namespace" >&2; exit 1; }
    unset VELMIRE_EMULATED_SYNC
    mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
    if [ -n "$fs" ]; then
        # F: the interpreter is opened now, so it runs inside the chroot too;
        # P keeps argv[0]; O and C let setuid files and open-by-fd work.
        printf '%s' ":qemu-i386:M::\\x7fELF\\x01\\x01\\x01\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x02\\x00\\x03\\x00:\\xff\\xff\\xff\\xff\\xff\\xfe\\xfe\\x00\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xfe\\xff\\xff\\xff:$qemu:FPOC" \
            >/proc/sys/fs/binfmt_misc/register
        # The root sees the host's devices, /tmp (X and wineserver sockets),
        # the project and the caller's folder at the same paths.
        for path in /dev /proc /sys /tmp "$project" "$PWD" ${VELMIRE_WINE_STATE:+"$VELMIRE_WINE_STATE"} \
                    ${VELMIRE_WIN32_DIR:+"$VELMIRE_WIN32_DIR"}; do
            [ -d "$path" ] || continue
            mkdir -p "$fs$path"
            mount --rbind "$path" "$fs$path"
        done
        export VELMIRE_I386_ROOT=$fs
        export PATH=$here/emulated-bin:$PATH
    fi
    export VELMIRE_IN_EMULATION=1
    exec "$@"
}

# ---- building the cache ---------------------------------------------------

fail_if_asked() {
    if [ "${VELMIRE_EMULATED_FAIL:-}" = "$1" ]; then
        echo "failing as VELMIRE_EMULATED_FAIL asks" >&2
        return 1
    fi
}

step_namespace() {
    run_in "" true
}

# QEMU 10 from bookworm-backports (bookworm's 7.2 crashes inside Wine), with
# an apt configuration of our own under the cache: the machine's sources,
# lists and dpkg state are not touched.
step_qemu() {
    local apt=$cache/apt opts deb
    rm -rf "$apt" "$cache/qemu"
    mkdir -p "$apt/lists/partial" "$apt/archives/partial" "$apt/parts" "$apt/prefs" "$apt/debs"
    echo "deb $mirror bookworm-backports main" >"$apt/sources.list"
    : >"$apt/status"
    opts=(-o "Dir::Etc::sourcelist=$apt/sources.list" -o "Dir::Etc::sourceparts=$apt/parts"
          -o "Dir::Etc::preferencesparts=$apt/prefs" -o "Dir::State=$apt"
          -o "Dir::State::Lists=$apt/lists" -o "Dir::State::status=$apt/status"
          -o "Dir::Cache=$apt" -o "Dir::Cache::archives=$apt/archives"
          -o APT::Architecture=amd64 -o APT::Architectures=amd64
          -o APT::Sandbox::User=root -o Debug::NoLocking=1)
    apt-get -q "${opts[@]}" update
    (cd "$apt/debs" && apt-get -q "${opts[@]}" download qemu-user)
    deb=$(ls "$apt"/debs/qemu-user_*.deb)
    dpkg-deb -x "$deb" "$cache/qemu"
    rm -rf "$apt"
    "$qemu" --version | head -n1
    "$qemu" --version | grep -Eq 'version (1[0-9]|[2-9][0-9])\.' ||
        { echo "QEMU 10 or later is needed" >&2; return 1; }
}

step_debootstrap() {
    rm -rf "$cache/root.new"
    debootstrap --arch=i386 --foreign --variant=minbase bookworm "$cache/root.new" "$mirror"
}

# The second stage runs the root's own programs; container=lxc keeps it from
# making device nodes, which a user namespace may not.
step_second_stage() {
    run_in "$cache/root.new" env container=lxc chroot "$cache/root.new" /debootstrap/debootstrap --second-stage
}

# main only, and no security suite: its i386 index has been broken before.
step_wine32() {
    local fs=$cache/root.new
    printf 'deb %s bookworm main\ndeb %s bookworm-updates main\n' "$mirror" "$mirror" \
        >"$fs/etc/apt/sources.list"
    cp /etc/resolv.conf "$fs/etc/resolv.conf" 2>/dev/null || true
    run_in "$fs" env DEBIAN_FRONTEND=noninteractive chroot "$fs" /bin/sh -c \
        'apt-get update -q && apt-get install -y -q --no-install-recommends wine32 && apt-get clean'
}

# root_wine ROOTFS PROGRAM ARGS...: the root's Wine PROGRAM (by its path in
# the root) in the namespace, from the caller's folder with the caller's
# environment. Wine starts its other processes and its server by these
# paths, which must be the root's. VELMIRE_WINE_USER=UID:GID: as that user,
# once inside the root (the chroot needs the namespace's root first).
root_wine() {
    local fs=$1 as_user=()
    shift
    if [ -n "${VELMIRE_WINE_USER:-}" ]; then
        as_user=(setpriv --reuid="${VELMIRE_WINE_USER%:*}" --regid="${VELMIRE_WINE_USER#*:}"
                 --clear-groups --)
    fi
    WINELOADER=/usr/lib/wine/wine WINESERVER=/usr/lib/wine/wineserver32 \
        run_in "$fs" unshare --root="$fs" --wd="$PWD" "${as_user[@]}" "$@"
}

# 32-bit Wine starts in the root.
check_root() {
    local fs=$1 out
    out=$(root_wine "$fs" /usr/lib/wine/wine --version 2>&1) || { echo "$out" >&2; return 1; }
    echo "$out" | grep -q '^wine-' || { echo "$out" >&2; return 1; }
    echo "32-bit Wine starts: $out"
}

step_check() {
    check_root "$cache/root.new"
}

build() {
    local step log
    mkdir -p "$cache"
    # Clones on this machine share the cache: one set-up builds it at a time.
    exec 9>"$cache/lock"
    flock 9
    rm -f "$cache/failed"
    say "step namespace"
    if ! "$self" _step namespace >"$cache/build.log" 2>&1; then
        sed 's/^/  /' "$cache/build.log" >&2
        note_failure namespace
        return 1
    fi
    if [ -f "$cache/stamp" ] && [ "$(cat "$cache/stamp")" = "$(stamp_wanted)" ] &&
       [ -d "$rootfs" ]; then
        # A failure only asked for keeps the root: the next set-up uses it again.
        fail_if_asked check 2>/dev/null || { note_failure check; return 1; }
        if check_root "$rootfs"; then
            say "the cached i386 root in $cache is fine"
            return 0
        fi
        say "the cached i386 root does not start 32-bit Wine: building it again"
    elif [ -d "$rootfs" ]; then
        say "the cached i386 root is unfinished or was built for another Wine: building it again"
    fi
    rm -f "$cache/stamp"
    log=$cache/build.log
    say "building the i386 root in $cache (once; about 1.2 GB, several minutes; log: $log)"
    for step in $steps; do
        say "step $step"
        if ! "$self" _step "$step" >>"$log" 2>&1; then
            tail -n 5 "$log" | sed 's/^/  /' >&2
            note_failure "$step"
            return 1
        fi
    done
    rm -rf "$rootfs"
    mv "$cache/root.new" "$rootfs"
    stamp_wanted >"$cache/stamp"
    say "the i386 root is built"
}

note_failure() {
    echo "$1" >"$cache/failed"
    echo "emulated-wine: step $1 failed; see $cache/build.log" >&2
}

ready() {
    case "${VELMIRE_EMULATED_READY:-}" in
    yes) return 0 ;;
    no) return 1 ;;
    esac
    [ ! -e "$cache/failed" ] && [ -f "$cache/stamp" ] && [ "$(cat "$cache/stamp")" = "$(stamp_wanted)" ] &&
        [ -x "$qemu" ] && [ -d "$rootfs" ] && run_in "" true 2>/dev/null
}

# The cache's state first: it is what the set-up recorded or left, the same
# on every machine; the namespace only where the cache is fine.
why() {
    if [ "${VELMIRE_EMULATED_READY:-}" = no ]; then
        echo "VELMIRE_EMULATED_READY=no says its root is not ready"
    elif [ -s "$cache/failed" ]; then
        echo "its set-up failed at step $(cat "$cache/failed")"
    elif [ ! -f "$cache/stamp" ] || [ ! -d "$rootfs" ] || [ ! -x "$qemu" ]; then
        echo "its i386 root is not built (scripts/setup-deps.sh builds it)"
    elif [ "$(cat "$cache/stamp")" != "$(stamp_wanted)" ]; then
        echo "its i386 root was built for another Wine (scripts/setup-deps.sh rebuilds it)"
    elif ! run_in "" true 2>/dev/null; then
        echo "the private binfmt namespace cannot be made"
    else
        echo "it is ready"
    fi
}

# The record says this tier: no probe again, only what a start needs.
have_root() {
    [ -x "$qemu" ] && [ -d "$rootfs" ] && return 0
    echo "emulated-wine: no i386 root in $cache: $(why)" >&2
    return 1
}

case "${1:-}" in
build) build ;;
ready) ready ;;
why) why ;;
dir) echo "$cache" ;;
wine)
    shift
    have_root
    root_wine "$rootfs" /usr/lib/wine/wine "$@"
    ;;
wineserver)
    shift
    have_root
    root_wine "$rootfs" /usr/lib/wine/wineserver32 "$@"
    ;;
run)
    shift
    ready || { echo "emulated-wine: not ready: $(why)" >&2; exit 1; }
    run_in "$rootfs" "$@"
    ;;
_inside) shift; inside "$@" ;;
# A step in a process of its own, so that its first failing command ends it.
_step) fail_if_asked "$2"; "step_${2//-/_}" ;;
*) echo "usage: $0 build|ready|why|dir|wine ARGS...|wineserver ARGS...|run CMD [ARGS...]" >&2; exit 2 ;;
esac
