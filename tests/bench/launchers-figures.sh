#!/bin/bash
# Prints each launcher's file size beside the bare MinGW dialog program
# (bare_dialog/) built the same way. Figures, not a test.
#   tests/bench/launchers-figures.sh       (needs build/win32: scripts/build.sh)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
here=$root/tests/bench/bare_dialog
out=$root/build/bench-launchers
bin=$root/build/win32/bin
for exe in cdlaunch.exe launch.exe; do
    [ -f "$bin/$exe" ] || { echo "figures: build first (scripts/build.sh)" >&2; exit 1; }
done
mkdir -p "$out"

# The yardstick with the launchers' flags (cmake/Win32Program.cmake).
cxx=i686-w64-mingw32-g++-posix
flags=(-Os -fno-exceptions -fno-rtti -fno-threadsafe-statics -fno-asynchronous-unwind-tables
       -Wall -Wextra)
link=(-static -static-libgcc -static-libstdc++ -s)
i686-w64-mingw32-windres -I"$here" "$here/bare_dialog.rc" -O coff -o "$out/bare_dialog.res"
$cxx "${flags[@]}" -mwindows "$here/bare_dialog.cpp" "$out/bare_dialog.res" "${link[@]}" \
    -o "$out/bare_dialog.exe"

bare_size=$(stat -c %s "$out/bare_dialog.exe")
echo "size: bare_dialog.exe $bare_size bytes"
for exe in cdlaunch.exe launch.exe; do
    size=$(stat -c %s "$bin/$exe")
    echo "size: $exe $size bytes, ratio to bare_dialog.exe" \
         "$(awk "BEGIN { printf \"%.2f\", $size / $bare_size }")"
done
