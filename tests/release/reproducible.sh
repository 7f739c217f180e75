#!/bin/bash
# Builds the players' archive twice from this source tree, in two different
# folders, and checks that the archives and the three programs are the same
# byte for byte and carry the fixed time stamp, not the time of the build.
#   tests/release/reproducible.sh WORK_FOLDER
# VELMIRE_PYTHON3 names the Python with pefile (ctest gives the one CMake found).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$1
python=${VELMIRE_PYTHON3:-/usr/bin/python3}
programs=(gfxsetup.exe cdlaunch.exe launch.exe)
archive=karnoth-velmire-programs.zip

if [ -n "${SOURCE_DATE_EPOCH:-}" ]; then
    epoch=$SOURCE_DATE_EPOCH
else
    epoch=$(git -C "$root" log -1 --format=%ct 2>/dev/null || echo 0)
fi

build() {
    local folder=$1
    rm -rf "$folder"
    cmake -S "$root" -B "$folder" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
          -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$folder" --target release -j "$(nproc 2>/dev/null || echo 2)" >/dev/null
}

# Different depths and names: nothing of the folder may reach the files.
build "$work/first"
build "$work/second/build-again"

failures=0
for file in "${programs[@]/#/bin/}" "$archive"; do
    if cmp -s "$work/first/$file" "$work/second/build-again/$file"; then
        echo "same: $file ($(stat -c %s "$work/first/$file") bytes)"
    else
        echo "FAIL: $file differs between the two builds"
        cmp -l "$work/first/$file" "$work/second/build-again/$file" | head -5 || true
        failures=$((failures + 1))
    fi
done

# The fixed stamp, in the programs and in the archive's entries.
"$python" - "$epoch" "$work/first" "${programs[@]}" <<'PY' || failures=$((failures + 1))
import os, sys, time, zipfile
import pefile
epoch, folder, programs = int(sys.argv[1]), sys.argv[2], sys.argv[3:]
failed = False
for name in programs:
    stamp = pefile.PE(os.path.join(folder, "bin", name), fast_load=True).FILE_HEADER.TimeDateStamp
    if stamp != epoch:
        print(f"FAIL: {name} time stamp {stamp}, expected {epoch}")
        failed = True
expected = max(time.gmtime(epoch)[:6], (1980, 1, 1, 0, 0, 0))
expected = expected[:5] + (expected[5] // 2 * 2,)
with zipfile.ZipFile(os.path.join(folder, "karnoth-velmire-programs.zip")) as packed:
    for entry in packed.infolist():
        if entry.date_time != expected:
            print(f"FAIL: archive entry {entry.filename} dated {entry.date_time}, expected {expected}")
            failed = True
print("time stamps: " + ("wrong" if failed else f"all {epoch}"))
sys.exit(1 if failed else 0)
PY

[ "$failures" -eq 0 ]
