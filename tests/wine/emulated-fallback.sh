#!/bin/bash
# The project's choice of Wine tier, not this machine's: with the probes made to
# answer (VELMIRE_RUNS_32BIT, VELMIRE_WINE32_LOADER, VELMIRE_EMULATED_READY),
# each row decides into a record of its own and checks the tier, its reason and
# what later reads of the record give. Then the emulated tier's set-up fails
# cleanly: with a step made to fail (or really failing), the build names that
# step, leaves no root behind and changes nothing on the machine, and the
# choice falls back to the x86-64 build and says why. Where the namespace
# cannot be made (not root, or root without user namespaces) every set-up fails
# at its first step, namespace, and the rows expect that. Uses empty cache
# folders of its own; needs no network.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL $*"
    failures=$((failures + 1))
}

machine_state() {
    dpkg --print-foreign-architectures 2>/dev/null
    ls -la /etc/apt/sources.list /etc/apt/sources.list.d 2>/dev/null
    ls /proc/sys/fs/binfmt_misc 2>/dev/null
}

# What this machine allows, found apart from the code under test.
if [ "$(id -u)" = 0 ] && unshare --user --mount true 2>/dev/null; then
    namespace=yes
else
    namespace=no
    echo "note: no user namespace can be made here: every set-up row expects step namespace"
fi

# wine_tier ROW VERB [VAR=VALUE...]: wine-tier.sh with only the given settings,
# its record in the row's own file.
wine_tier() {
    local row=$1 verb=$2
    shift 2
    env -u VELMIRE_WINE_TIER -u VELMIRE_RUNS_32BIT -u VELMIRE_WINE32_LOADER \
        -u VELMIRE_EMULATED_READY -u VELMIRE_EMULATED_FAIL \
        VELMIRE_TIER_FILE="$work/$row.tier" VELMIRE_WINE_I386_CACHE="$work/no-cache" \
        "$@" "$here/wine-tier.sh" $verb
}

# The tier line's words for each tier.
words_of() {
    case "$1" in
    win32) echo "i686 build under 32-bit Wine (" ;;
    win32-emulated) echo "i686 build under emulated 32-bit Wine" ;;
    win64) echo "x86-64 build under 64-bit Wine" ;;
    esac
}

# A 32-bit Wine loader that starts, and one that is there but does not.
printf '#!/bin/sh\necho "wine-8.0 (a stand-in)"\n' >"$work/wine32"
printf '#!/bin/sh\necho "wine: cannot start" >&2\nexit 1\n' >"$work/wine32-broken"
chmod +x "$work/wine32" "$work/wine32-broken"
native32=(VELMIRE_RUNS_32BIT=yes VELMIRE_WINE32_LOADER="$work/wine32")
no32=(VELMIRE_RUNS_32BIT=no)
root_ready=(VELMIRE_EMULATED_READY=yes)

# choice ROW TIER REASON [VAR=VALUE...]: deciding gives TIER for REASON, and
# the record says so, with the VELMIRE_WINE_TIER it was made under.
choice() {
    local row=$1 tier=$2 why=$3 line forced=
    shift 3
    line=$(wine_tier "$row" decide "$@" 2>"$work/$row.err") ||
        { fail "$row: wine-tier.sh decide failed: $line $(cat "$work/$row.err")"; return; }
    case "$line" in
    "Wine tier: $(words_of "$tier")"*"$why"*) ;;
    *) fail "$row: expected the $tier tier for '$why', got: $line"; return ;;
    esac
    case " $* " in
    *" VELMIRE_WINE_TIER="*) forced=$(printf '%s\n' "$@" | sed -n 's/^VELMIRE_WINE_TIER=//p') ;;
    esac
    if ! grep -qx "tier=$tier" "$work/$row.tier" || ! grep -qx "forced=$forced" "$work/$row.tier"; then
        fail "$row: the record holds:"; sed 's/^/    /' "$work/$row.tier"; return
    fi
    echo "ok   $row: $line"
}

# reread ROW TIER WHY [VAR=VALUE...]: the record of ROW, read under other
# settings, gives TIER (kept, or decided again) with WHY in its line.
reread() {
    local row=$1 tier=$2 why=$3 line
    shift 3
    line=$(wine_tier "$row" "" "$@" 2>"$work/$row.err") ||
        { fail "$row: wine-tier.sh failed: $line $(cat "$work/$row.err")"; return; }
    case "$line" in
    "Wine tier: $(words_of "$tier")"*"$why"*) echo "ok   $row, read again: $line" ;;
    *) fail "$row, read again: expected the $tier tier for '$why', got: $line" ;;
    esac
}

choice native-wine32 win32 "32-bit Wine is installed" "${native32[@]}" "${root_ready[@]}"
# 32-bit Wine's files may be there where 32-bit code cannot run.
choice no-32bit-root-ready win32-emulated "does not execute 32-bit code; its emulated i386 root is ready" \
    "${no32[@]}" VELMIRE_WINE32_LOADER="$work/wine32" "${root_ready[@]}"
choice no-32bit-no-root win64 \
    "does not execute 32-bit code, and emulated 32-bit Wine cannot run: its i386 root is not built" \
    "${no32[@]}"
choice no-wine32-root-ready win32-emulated "32-bit Wine is not installed; its emulated i386 root is ready" \
    VELMIRE_RUNS_32BIT=yes VELMIRE_WINE32_LOADER="$work/none" "${root_ready[@]}"
choice wine32-broken-root-ready win32-emulated "does not start; its emulated i386 root is ready" \
    VELMIRE_RUNS_32BIT=yes VELMIRE_WINE32_LOADER="$work/wine32-broken" "${root_ready[@]}"
choice wine32-broken-no-root win64 "does not start, and emulated 32-bit Wine cannot run" \
    VELMIRE_RUNS_32BIT=yes VELMIRE_WINE32_LOADER="$work/wine32-broken"
choice forced-win64 win64 "forced by VELMIRE_WINE_TIER" VELMIRE_WINE_TIER=win64 \
    "${native32[@]}" "${root_ready[@]}"
choice forced-emulated win32-emulated "forced by VELMIRE_WINE_TIER" VELMIRE_WINE_TIER=win32-emulated \
    "${no32[@]}"
choice forced-win32 win32 "forced by VELMIRE_WINE_TIER" VELMIRE_WINE_TIER=win32 "${no32[@]}" "${root_ready[@]}"

# Decided once: a later read keeps the record, whatever the probes now say.
reread no-32bit-root-ready win32-emulated "its emulated i386 root is ready" "${no32[@]}" \
    VELMIRE_EMULATED_READY=no
reread native-wine32 win32 "32-bit Wine is installed" "${no32[@]}"
# A change of the forced tier, or of forced to not, decides again.
reread forced-win64 win32-emulated "forced by VELMIRE_WINE_TIER" VELMIRE_WINE_TIER=win32-emulated
grep -qx "forced=win32-emulated" "$work/forced-win64.tier" ||
    fail "forced-win64: the choice made again was not recorded"
reread forced-emulated win32 "32-bit Wine is installed" "${native32[@]}"
# No record: a read decides and records.
reread fresh win32-emulated "does not execute 32-bit code; its emulated i386 root is ready" \
    "${no32[@]}" "${root_ready[@]}"
[ -f "$work/fresh.tier" ] || fail "fresh: the read decided but recorded nothing"
# A tier that is none of the three is refused, and the record kept.
cp "$work/native-wine32.tier" "$work/kept.tier"
if wine_tier native-wine32 name VELMIRE_WINE_TIER=win16 >/dev/null 2>&1; then
    fail "unknown-forced: VELMIRE_WINE_TIER=win16 was taken"
elif ! cmp -s "$work/native-wine32.tier" "$work/kept.tier"; then
    fail "unknown-forced: the record changed"
else
    echo "ok   unknown-forced: VELMIRE_WINE_TIER=win16 refused, the record kept"
fi

# expect ROW EXPECTED-STEP [VAR=VALUE...]: one failed set-up, run in a fresh cache.
expect() {
    local row=$1 step=$2 cache line
    shift 2
    cache=$work/$row
    [ "$namespace" = yes ] || step=namespace
    if env -u VELMIRE_EMULATED_FAIL "$@" VELMIRE_WINE_I386_CACHE="$cache" "$here/emulated-wine.sh" build \
           >"$work/$row.out" 2>&1; then
        fail "$row: the build succeeded"; return
    fi
    grep -q "step $step failed" "$work/$row.out" ||
        { fail "$row: no 'step $step failed' in:"; cat "$work/$row.out"; }
    [ ! -e "$cache/root" ] && [ ! -e "$cache/stamp" ] || fail "$row: a root was left as if built"
    line=$(wine_tier "$row" decide "${no32[@]}" VELMIRE_WINE_I386_CACHE="$cache")
    case "$line" in
    *"x86-64 build under 64-bit Wine"*"failed at step $step"*) echo "ok   $row: $line" ;;
    *) fail "$row: tier line: $line" ;;
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
    line=$(wine_tier "$row" decide "${no32[@]}" VELMIRE_WINE_I386_CACHE="$cache")
    case "$line" in
    *"x86-64 build under 64-bit Wine"*"$why"*) echo "ok   $row: $line" ;;
    *) fail "$row: tier line: $line" ;;
    esac
}

before=$(machine_state)
expect namespace-forced namespace VELMIRE_EMULATED_FAIL=namespace
expect qemu-forced qemu VELMIRE_EMULATED_FAIL=qemu
expect mirror-unreachable qemu VELMIRE_DEBIAN_MIRROR=http://127.0.0.1:9/debian
stale other-wine "built for another Wine" "recipe=an older one host-wine=0.1"
stale no-stamp "is not built" ""
[ "$(machine_state)" = "$before" ] ||
    fail "the machine's dpkg architectures, apt sources or binfmt entries changed"
echo "Wine tier choice and emulated set-up fallback: $failures failure(s)"
[ "$failures" = 0 ]
