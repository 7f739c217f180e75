#!/bin/bash
# Which build the Wine tests run, and under which Wine; three tiers, in this order:
#   win32: the shipped i686 build under 32-bit Wine, where this machine executes
#          32-bit x86 code and its 32-bit Wine is installed and starts;
#   win32-emulated: else (no 32-bit code, or no 32-bit Wine to be had) the same
#          i686 build under the 32-bit Wine of an i386 root, through QEMU's
#          user-mode emulation (emulated-wine.sh), where the set-up has built
#          the root and its private namespace can be made;
#   win64: else the x86-64 build of the same sources under 64-bit Wine.
# The tier is decided once per build folder, by the set-up (scripts/test, or
# ctest's wine.setup where there is no record yet), and recorded with its
# reason in VELMIRE_TIER_FILE (default build/native/wine-tier); the Wine
# entries, the demo and the figures read the record. VELMIRE_WINE_TIER=win32|
# win32-emulated|win64 forces a tier, recorded the same way; a record made
# under another VELMIRE_WINE_TIER (or under none) is decided again.
#   wine-tier.sh decide    decide now, record it, print the tier line
#   wine-tier.sh           print the tier line of the record (deciding first
#                          where there is none for this VELMIRE_WINE_TIER)
#   wine-tier.sh name      the same, only win32, win32-emulated or win64
#   wine-tier.sh runs32    exits 0 when this machine executes 32-bit x86 code
#   wine-tier.sh check-log LOG   every tier line in a ctest log is the record's
# The probes can be made to answer, to test the choice: VELMIRE_RUNS_32BIT=yes|no
# (executes 32-bit code), VELMIRE_WINE32_LOADER=PATH (the machine's 32-bit Wine
# loader; a missing one, or one that does not start, is none) and
# emulated-wine.sh's VELMIRE_EMULATED_READY=yes|no (its root is ready).
# Sourced (by wine-env.sh): velmire_wine_tier sets VELMIRE_TIER, VELMIRE_TIER_WHY
# and VELMIRE_TIER_LOADER (what starts Wine on that tier) from the record.

velmire_here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
velmire_emulated=$velmire_here/emulated-wine.sh

velmire_tier_file() {
    echo "${VELMIRE_TIER_FILE:-${velmire_here%/tests/wine}/build/native/wine-tier}"
}

# The machine's loaders by their Debian paths; the `wine` script picks the
# 32-bit one whenever that file exists, even where it cannot run, so we start
# them directly. The emulated tier starts the root's through emulated-wine.sh.
velmire_wine_loader() {
    local arch=$1 path
    case "$arch" in
    win32-emulated)
        echo "$velmire_emulated"
        return 0 ;;
    win32)
        if [ -n "${VELMIRE_WINE32_LOADER+set}" ]; then
            [ -x "$VELMIRE_WINE32_LOADER" ] && { echo "$VELMIRE_WINE32_LOADER"; return 0; }
            return 1
        fi
        for path in /usr/lib/wine/wine "$(command -v wine32 2>/dev/null)"; do
            [ -n "$path" ] && [ -x "$path" ] && { echo "$path"; return 0; }
        done ;;
    win64)
        for path in /usr/lib/wine/wine64 "$(command -v wine64 2>/dev/null)" \
                    "$(dpkg -L wine64 2>/dev/null | grep '/wine64$' | head -n1)"; do
            [ -n "$path" ] && [ -x "$path" ] && { echo "$path"; return 0; }
        done ;;
    esac
    return 1
}

# Executes a tiny static 32-bit x86 program (exit code 0 through int 0x80):
# the only sure answer, since a kernel that claims IA32 emulation may still
# refuse 32-bit code.
velmire_runs_32bit_code() {
    local dir status
    case "${VELMIRE_RUNS_32BIT:-}" in
    yes) return 0 ;;
    no) return 1 ;;
    esac
    command -v as >/dev/null && command -v ld >/dev/null || return 1
    dir=$(mktemp -d) || return 1
    printf '.globl _start\n_start:\n movl $1, %%eax\n movl $0, %%ebx\n int $0x80\n' >"$dir/p.s"
    if as --32 -o "$dir/p.o" "$dir/p.s" 2>/dev/null &&
       ld -m elf_i386 -o "$dir/p" "$dir/p.o" 2>/dev/null; then
        "$dir/p" 2>/dev/null
        status=$?
    else
        status=1
    fi
    rm -rf "$dir"
    return $status
}

velmire_tier_valid() {
    case "$1" in
    win32 | win32-emulated | win64) return 0 ;;
    esac
    return 1
}

# Makes the choice (the probes, or VELMIRE_WINE_TIER) into VELMIRE_TIER,
# VELMIRE_TIER_WHY and VELMIRE_TIER_LOADER; records nothing.
velmire_tier_decide() {
    local loader
    VELMIRE_TIER= VELMIRE_TIER_WHY= VELMIRE_TIER_LOADER=
    if [ -n "${VELMIRE_WINE_TIER:-}" ]; then
        VELMIRE_TIER=$VELMIRE_WINE_TIER
        VELMIRE_TIER_WHY="forced by VELMIRE_WINE_TIER"
    else
        local native_why=
        if ! velmire_runs_32bit_code; then
            native_why="this machine does not execute 32-bit code"
        elif ! loader=$(velmire_wine_loader win32); then
            native_why="32-bit Wine is not installed"
        elif ! timeout 60 "$loader" --version 2>/dev/null | grep -q '^wine-'; then
            # Installed files that cannot run (a broken i386 library, say).
            native_why="32-bit Wine ($loader) does not start"
        fi
        if [ -z "$native_why" ]; then
            VELMIRE_TIER=win32
            VELMIRE_TIER_WHY="this machine executes 32-bit code and 32-bit Wine is installed"
        elif "$velmire_emulated" ready; then
            VELMIRE_TIER=win32-emulated
            VELMIRE_TIER_WHY="$native_why; its emulated i386 root is ready"
        else
            VELMIRE_TIER=win64
            VELMIRE_TIER_WHY="$native_why, and emulated 32-bit Wine cannot run: $("$velmire_emulated" why)"
        fi
    fi
    VELMIRE_TIER_LOADER=$(velmire_wine_loader "$VELMIRE_TIER") || VELMIRE_TIER_LOADER=
}

# Writes the choice, and the VELMIRE_WINE_TIER it was made under, as the record.
velmire_tier_write() {
    local file tmp
    file=$(velmire_tier_file)
    mkdir -p "$(dirname "$file")"
    tmp=$file.new.$$
    printf 'tier=%s\nforced=%s\nloader=%s\nwhy=%s\n' "$VELMIRE_TIER" "${VELMIRE_WINE_TIER:-}" \
        "$VELMIRE_TIER_LOADER" "$VELMIRE_TIER_WHY" >"$tmp"
    mv -f "$tmp" "$file" # whole, for the readers beside it
}

# Reads the record as it is into VELMIRE_TIER... and VELMIRE_TIER_FORCED;
# 1 where there is none (or an unreadable one).
velmire_tier_read() {
    local file key value
    VELMIRE_TIER= VELMIRE_TIER_WHY= VELMIRE_TIER_LOADER= VELMIRE_TIER_FORCED=
    file=$(velmire_tier_file)
    [ -f "$file" ] || return 1
    while IFS='=' read -r key value; do
        case "$key" in
        tier) VELMIRE_TIER=$value ;;
        forced) VELMIRE_TIER_FORCED=$value ;;
        loader) VELMIRE_TIER_LOADER=$value ;;
        why) VELMIRE_TIER_WHY=$value ;;
        esac
    done <"$file"
    velmire_tier_valid "$VELMIRE_TIER"
}

velmire_tier_forced_valid() {
    if [ -n "${VELMIRE_WINE_TIER:-}" ] && ! velmire_tier_valid "$VELMIRE_WINE_TIER"; then
        echo "VELMIRE_WINE_TIER must be win32, win32-emulated or win64, not '$VELMIRE_WINE_TIER'" >&2
        return 2
    fi
}

# This build folder's tier: the record, when it was made under the
# VELMIRE_WINE_TIER of now; else decided (and recorded) again.
velmire_wine_tier() {
    velmire_tier_forced_valid || return
    if velmire_tier_read && [ "$VELMIRE_TIER_FORCED" = "${VELMIRE_WINE_TIER:-}" ]; then
        return 0
    fi
    velmire_tier_decide
    velmire_tier_write
}

velmire_tier_line() {
    local what
    case "$VELMIRE_TIER" in
    win32) what="i686 build under 32-bit Wine" ;;
    win32-emulated) what="i686 build under emulated 32-bit Wine (QEMU user mode, i386 root)" ;;
    *) what="x86-64 build under 64-bit Wine" ;;
    esac
    echo "Wine tier: $what ($VELMIRE_TIER_WHY)"
    [ -n "$VELMIRE_TIER_LOADER" ] || echo "wine-tier: no $VELMIRE_TIER Wine loader is installed" >&2
}

# Every "Wine tier:" line in a ctest log (each Wine entry prints the one it
# used) is the record's line.
velmire_tier_check_log() {
    local log=$1 want count
    velmire_tier_read || { echo "wine-tier: no tier recorded in $(velmire_tier_file)" >&2; return 1; }
    want=$(velmire_tier_line 2>/dev/null)
    count=$(grep -ac '^Wine tier: ' "$log" || true)
    if [ "$count" = 0 ]; then
        echo "wine-tier: no Wine entry ran"
    elif [ "$(grep -a '^Wine tier: ' "$log" | sort -u)" = "$want" ]; then
        echo "wine-tier: all $count Wine entries ran on the recorded tier, $VELMIRE_TIER"
    else
        echo "wine-tier: not every Wine entry ran on the recorded tier ($want):" >&2
        grep -a '^Wine tier: ' "$log" | sort | uniq -c >&2
        return 1
    fi
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
    case "${1:-}" in
    "") velmire_wine_tier || exit; velmire_tier_line ;;
    name) velmire_wine_tier || exit; echo "$VELMIRE_TIER" ;;
    decide) velmire_tier_forced_valid || exit; velmire_tier_decide; velmire_tier_write; velmire_tier_line ;;
    runs32) velmire_runs_32bit_code ;;
    check-log) velmire_tier_check_log "${2:?check-log needs a ctest log}" ;;
    *) echo "usage: $0 [name|decide|runs32|check-log LOG]" >&2; exit 2 ;;
    esac
fi
