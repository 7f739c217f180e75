#!/bin/bash
# Installs what building and testing need on a Debian machine, where missing.
set -euo pipefail

packages=(cmake g++ make g++-mingw-w64-i686 mingw-w64-tools googletest libgtest-dev
          libbenchmark-dev clang libclang-rt-14-dev wine wine32:i386 xvfb python3
          python3-pefile imagemagick x11-utils)

sudo=
if [ "$(id -u)" != 0 ]; then
    sudo=sudo
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    echo "setup: all build and test packages are installed"
    exit 0
fi

echo "setup: installing ${missing[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    echo "setup: adding the i386 architecture (for wine32)"
    $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q "${missing[@]}"
