#!/bin/bash
# Configures and builds both configurations: build/win32 (the programs, cross-built
# with MinGW-w64) and build/native (native tests; ctest there runs everything).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=$(nproc 2>/dev/null || echo 2)

echo "build: Win32 programs in build/win32"
cmake -S . -B build/win32 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
      -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/win32 -j "$jobs"

echo "build: native tests in build/native"
cmake -S . -B build/native -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DVELMIRE_WIN32_DIR="$root/build/win32" >/dev/null
cmake --build build/native -j "$jobs"
