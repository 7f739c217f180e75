#!/bin/bash
# Which build the Wine tests run, and under which Wine:
#   win32: the shipped i686 build under 32-bit Wine, where this machine executes
#          32-bit x86 code and 32-bit Wine is installed;
#   win32-emulated: else (no 32-bit code, or no 32-bit Wine to be had) the same
#          i686 build under the 32-bit Wine of an i386
#          root, through QEMU's user-mode emulation (emulated-wine.sh), where
#          its private namespace can be made and the set-up has built the root;
#   win64: else the x86-64 build of the same sources under 64-bit Wine.
# VELMIRE_WINE_TIER=win32|win32-emulated|win64 forces one. VELMIRE_RUNS_32BIT=no
# makes the 32-bit probe answer no, as on a machine without 32-bit code.
#   wine-tier.sh           prints one line: which tier and why
#   wine-tier.sh name      prints win32, win32-emulated or win64
#   wine-tier.sh runs32    exits 0 when this machine executes 32-bit x86 code
# Sourced (by wine-env.sh): velmire_wine_tier sets VELMIRE_TIER, VELMIRE_TIER_WHY
# and VELMIRE_TIER_LOADER (the Wine loader to start programs with).

velmire_emulated=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/emulated-wine.sh

# The loaders by their Debian paths; the `wine` script picks the 32-bit one
# whenever that file exists, even where it cannot run, so we start them directly.
velmire_wine_loader() {
    local arch=$1 path
    case "$arch" in
    win32-emulated)
        # The wrapper that emulated-wine.sh puts first on PATH in its namespace.
        echo "$(dirname "$velmire_emulated")/emulated-bin/wine"
        return 0 ;;
    win32)
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
    [ "${VELMIRE_RUNS_32BIT:-}" = no ] && return 1
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

velmire_wine_tier() {
    VELMIRE_TIER= VELMIRE_TIER_WHY= VELMIRE_TIER_LOADER=
    case "${VELMIRE_WINE_TIER:-}" in
    win32 | win32-emulated | win64)
        VELMIRE_TIER=$VELMIRE_WINE_TIER
        VELMIRE_TIER_WHY="forced by VELMIRE_WINE_TIER"
        ;;
    "")
        local native_why=
        if ! velmire_runs_32bit_code; then
            native_why="this machine does not execute 32-bit code"
        elif ! velmire_wine_loader win32 >/dev/null; then
            native_why="32-bit Wine is not installed"
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
        ;;
    *)
        echo "VELMIRE_WINE_TIER must be win32, win32-emulated or win64, not '$VELMIRE_WINE_TIER'" >&2
        return 2
        ;;
    esac
    VELMIRE_TIER_LOADER=$(velmire_wine_loader "$VELMIRE_TIER") || VELMIRE_TIER_LOADER=
    return 0
}

velmire_tier_line() {
    local what
    case "$VELMIRE_TIER" in
    win32) what="i686 build under 32-bit Wine" ;;
    win32-emulated) what="i686 build under emulated 32-bit Wine (QEMU user mode, i386 root)" ;;
    *) what="x86-64 build under 64-bit Wine" ;;
    esac
    echo "Wine tier: $what ($VELMIRE_TIER_WHY)"
    [ -n "$VELMIRE_TIER_LOADER" ] || echo "Wine tier: no $VELMIRE_TIER Wine loader is installed" >&2
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
    case "${1:-}" in
    "") velmire_wine_tier || exit; velmire_tier_line ;;
    name) velmire_wine_tier || exit; echo "$VELMIRE_TIER" ;;
    runs32) velmire_runs_32bit_code ;;
    *) echo "usage: $0 [name|runs32]" >&2; exit 2 ;;
    esac
fi
