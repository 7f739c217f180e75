#!/bin/bash
# Prints gfxsetup.exe's figures beside a bare MinGW dialog program built the
# same way (bare_dialog/): file size, and the time from start to the dialog on
# the screen under Wine (median of several runs). Figures, not a test.
#   tests/bench/gfxsetup-figures.sh [RUNS]     (default 15; needs build/win32)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
runs=${1:-15}
out=$root/build/bench-gfxsetup
gfxsetup=$root/build/win32/bin/gfxsetup.exe
[ -f "$gfxsetup" ] || { echo "figures: build first (scripts/build.sh)" >&2; exit 1; }
mkdir -p "$out/game/tamsel"

# bare_dialog.exe is built with the shipped programs' flags (velmire_program).
cp "$root/build/win32/bin/bare_dialog.exe" "$out/"

gfx_size=$(stat -c %s "$gfxsetup")
bare_size=$(stat -c %s "$out/bare_dialog.exe")
echo "size: gfxsetup.exe $gfx_size bytes (at most 20992), bare_dialog.exe $bare_size bytes," \
     "ratio $(awk "BEGIN { printf \"%.2f\", $gfx_size / $bare_size }")"
# The settings store's share, from the link map (it is rewritten separately).
echo "of which the settings store: $(/usr/bin/python3 "$root/tests/bench/map_bytes.py" \
     "$root/build/win32/gfxsetup/gfxsetup.map" libsettings_store.a) of code and data"

# Start times: the build that build/native's recorded Wine tier runs (the
# i686 files under 32-bit Wine, native or emulated, else their x86-64 build);
# sizes above are the shipped i686 files.
export VELMIRE_WINE_STATE=$out/wine
"$root/tests/wine/wine-tier.sh"
tier=$("$root/tests/wine/wine-tier.sh" name)
tier_bin=$("$root/tests/wine/wine-env.sh" bin)
# A game folder whose settings need no detection, so both show their dialog at once.
cp "$tier_bin/gfxsetup.exe" "$tier_bin/bare_dialog.exe" "$out/game/"
printf 'RENDERING_PLATFORM 12\r\nD3D_ALLOW_MIPMAP 1\r\nD3D_ALLOW_PALETTISED 1\r\nD3D_TYPE1_SHADOWS 0\r\n' \
    >"$out/game/tamsel/config.dat"

"$root/tests/wine/wine-env.sh" setup >/dev/null
trap '"$root/tests/wine/wine-env.sh" teardown' EXIT
folder="Z:${out//\//\\}\\game"
"$root/tests/wine/wine-env.sh" run "$tier_bin/start_timer.exe" "$runs" "$folder" \
    gfxsetup.exe "Karnoth Velmire Graphics Setup" bare_dialog.exe "Bare Dialog" |
    tr -d '\r' | tee "$out/start-times.txt" | grep -v '^median'
gfx_ms=$(awk '$2 == "gfxsetup.exe" { print $3 }' "$out/start-times.txt")
bare_ms=$(awk '$2 == "bare_dialog.exe" { print $3 }' "$out/start-times.txt")
echo "start to dialog under Wine, median of $runs: gfxsetup.exe $gfx_ms ms," \
     "bare_dialog.exe $bare_ms ms, ratio $(awk "BEGIN { printf \"%.3f\", $gfx_ms / $bare_ms }")" \
     "(at most 1.05), on the $tier tier"
