#!/bin/bash
# Prints each launcher's file size beside the bare MinGW dialog program
# (bare_dialog/) built the same way. Figures, not a test.
#   tests/bench/launchers-figures.sh       (needs build/win32: scripts/build.sh)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
out=$root/build/bench-launchers
bin=$root/build/win32/bin
for exe in cdlaunch.exe launch.exe; do
    [ -f "$bin/$exe" ] || { echo "figures: build first (scripts/build.sh)" >&2; exit 1; }
done
mkdir -p "$out"

# bare_dialog.exe is built with the shipped programs' flags (velmire_program).
cp "$root/build/win32/bin/bare_dialog.exe" "$out/"

bare_size=$(stat -c %s "$out/bare_dialog.exe")
echo "size: bare_dialog.exe $bare_size bytes"
for exe in cdlaunch.exe launch.exe; do
    size=$(stat -c %s "$bin/$exe")
    echo "size: $exe $size bytes (at most 8704), ratio to bare_dialog.exe" \
         "$(awk "BEGIN { printf \"%.2f\", $size / $bare_size }")"
done
