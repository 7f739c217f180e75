#!/bin/bash
# The emulated tier's set-up fails cleanly: with a step made to fail (or really
# failing), the build names that step, leaves no root behind and changes
# nothing on the machine, and the tier choice falls back to the x86-64 build
# and says why. Uses an empty cache folder of its own; needs no network.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

machine_state() {
    dpkg --print-foreign-architectures 2>/dev/null
    ls -la /etc/apt/sources.list /etc/apt/sources.list.d 2>/dev/null
    ls /proc/sys/fs/binfmt_misc 2>/dev/null
}

# expect ROW EXPECTED-STEP [VAR=VALUE...]: one failed set-up, run in a fresh cache.
expect() {
    local row=$1 step=$2 cache
    shift 2
    cache=$work/$row
    [ "$(id -u)" = 0 ] || step=namespace # the id maps need root
    if env -u VELMIRE_EMULATED_FAIL "$@" VELMIRE_WINE_I386_CACHE="$cache" "$here/emulated-wine.sh" build \
           >"$work/$row.out" 2>&1; then
        echo "FAIL $row: the build succeeded"; failures=$((failures + 1)); return
    fi
    grep -q "step $step failed" "$work/$row.out" ||
        { echo "FAIL $row: no 'step $step failed' in:"; cat "$work/$row.out"; failures=$((failures + 1)); }
    [ ! -e "$cache/root" ] && [ ! -e "$cache/stamp" ] ||
        { echo "FAIL $row: a root was left as if built"; failures=$((failures + 1)); }
    line=$(VELMIRE_WINE_TIER= VELMIRE_RUNS_32BIT=no VELMIRE_WINE_I386_CACHE="$cache" \
           VELMIRE_TIER_FILE="$work/$row.tier" "$here/wine-tier.sh" decide)
    case "$line" in
    *"x86-64 build under 64-bit Wine"*"failed at step $step"*) echo "ok   $row: $line" ;;
    *) echo "FAIL $row: tier line: $line"; failures=$((failures + 1)) ;;
    esac
}

# stale ROW WHY STAMP: a cache whose root is there but not for this host falls
# back too, saying why, until the set-up builds it again.
stale() {
    local row=$1 why=$2 cache=$work/$1 line
    mkdir -p "$cache/root" "$cache/qemu/usr/bin"
    printf '#!/bin/sh\n' >"$cache/qemu/usr/bin/qemu-i386"
    chmod +x "$cache/qemu/usr/bin/qemu-i386"
    if [ -n "$3" ]; then echo "$3" >"$cache/stamp"; fi
    line=$(VELMIRE_WINE_TIER= VELMIRE_RUNS_32BIT=no VELMIRE_WINE_I386_CACHE="$cache" \
           VELMIRE_TIER_FILE="$work/$row.tier" "$here/wine-tier.sh" decide)
    case "$line" in
    *"x86-64 build under 64-bit Wine"*"$why"*) echo "ok   $row: $line" ;;
    *) echo "FAIL $row: tier line: $line"; failures=$((failures + 1)) ;;
    esac
}

before=$(machine_state)
expect namespace-forced namespace VELMIRE_EMULATED_FAIL=namespace
expect qemu-forced qemu VELMIRE_EMULATED_FAIL=qemu
expect mirror-unreachable qemu VELMIRE_DEBIAN_MIRROR=http://127.0.0.1:9/debian
stale other-wine "built for another Wine" "recipe=an older one host-wine=0.1"
stale no-stamp "is not built" ""
[ "$(machine_state)" = "$before" ] ||
    { echo "FAIL: the machine's dpkg architectures, apt sources or binfmt entries changed"; failures=$((failures + 1)); }
echo "emulated set-up fallback: $failures failure(s)"
[ "$failures" = 0 ]
