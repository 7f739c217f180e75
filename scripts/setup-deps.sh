#!/bin/bash
# Installs what building and testing need on a Debian machine, where missing.
# Every Wine tier needs the common packages; 32-bit Wine (the i386 architecture
# and wine32) only where this machine executes 32-bit code; emulated 32-bit
# Wine (debootstrap and a cache folder) where it does not, or where wine32
# cannot be installed. Where that fails too, the Wine tests run the x86-64
# build under 64-bit Wine. scripts/test then decides the tier.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

common=(cmake g++ make binutils g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools
        googletest libgtest-dev libbenchmark-dev clang libclang-rt-14-dev wine wine64 xvfb
        python3 python3-pefile imagemagick x11-utils strace)
wine32=(wine32:i386)

sudo=
if [ "$(id -u)" != 0 ]; then
    sudo=sudo
fi
export DEBIAN_FRONTEND=noninteractive

missing_of() {
    local p
    for p in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
            echo "$p"
        fi
    done
}

updated=0
update_index() {
    [ "$updated" = 1 ] && return
    updated=1
    # One index that fails to download (a mirror in the middle of a sync) must
    # not stop the set-up: what the other indexes offer may well be enough.
    if ! $sudo apt-get update -q; then
        echo "setup: warning: apt-get update reported a failed index; going on with what it has" >&2
    fi
}

# The 32-bit probe needs as and ld; they come with binutils.
mapfile -t missing < <(missing_of binutils)
if [ ${#missing[@]} -gt 0 ]; then
    update_index
    $sudo apt-get install -y -q binutils
fi

mapfile -t missing < <(missing_of "${common[@]}")
if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    update_index
    if ! $sudo apt-get install -y -q "${missing[@]}"; then
        # Name the packages that cannot be had, one by one.
        failed=()
        for p in "${missing[@]}"; do
            $sudo apt-get install -y -q "$p" >/dev/null 2>&1 || failed+=("$p")
        done
        if [ ${#failed[@]} -gt 0 ]; then
            echo "setup: cannot install ${failed[*]}: building and testing need it" >&2
            exit 1
        fi
    fi
fi

# Where 32-bit code cannot run, or wine32 cannot be installed, 32-bit Wine runs
# emulated from an i386 root in a cache folder (tests/wine/emulated-wine.sh);
# any failed step of it only means that the Wine tests run the x86-64 build.
emulated_wine() {
    if [ -n "$sudo" ]; then
        # Its namespace's id maps are written as root, at every run.
        echo "setup: warning: emulated 32-bit Wine needs root: the Wine tests run the x86-64 build under 64-bit Wine" >&2
        return
    fi
    mapfile -t missing < <(missing_of debootstrap)
    if [ ${#missing[@]} -gt 0 ]; then
        update_index
        if ! apt-get install -y -q debootstrap; then
            echo "setup: warning: cannot install debootstrap: the Wine tests run the x86-64 build under 64-bit Wine" >&2
            return
        fi
    fi
    if ! "$root/tests/wine/emulated-wine.sh" build; then
        echo "setup: warning: emulated 32-bit Wine cannot be set up (the step above says where):" \
             "the Wine tests run the x86-64 build under 64-bit Wine" >&2
    fi
}

if [ "${VELMIRE_WINE_TIER:-}" = win32-emulated ]; then
    emulated_wine
    exit 0
fi
if ! "$root/tests/wine/wine-tier.sh" runs32; then
    echo "setup: this machine does not execute 32-bit code: 32-bit Wine runs emulated, else the Wine tests run the x86-64 build"
    emulated_wine
    exit 0
fi
mapfile -t missing < <(missing_of "${wine32[@]}")
if [ ${#missing[@]} -eq 0 ]; then
    echo "setup: all build and test packages are installed"
    exit 0
fi
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    echo "setup: adding the i386 architecture (for wine32)"
    $sudo dpkg --add-architecture i386
    updated=0
fi
update_index
if ! $sudo apt-get install -y -q "${missing[@]}"; then
    # A broken i386 index must not keep the shipped files from being run.
    echo "setup: warning: cannot install ${missing[*]}: 32-bit Wine runs emulated, else the Wine tests run the x86-64 build" >&2
    emulated_wine
fi
exit 0
