#!/bin/bash
# Configures and builds the three configurations of CMakePresets.json:
# build/win32 (the shipped programs, cross-built for i686), build/win64 (the
# same sources for x86-64, which the Wine tests run where 32-bit Wine, native
# or emulated, cannot) and build/native (native tests; ctest there runs
# everything).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=$(nproc 2>/dev/null || echo 2)

for preset in win32 win64 native; do
    echo "build: $preset configuration in build/$preset"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$jobs"
done
