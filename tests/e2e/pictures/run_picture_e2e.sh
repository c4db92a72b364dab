#!/bin/bash
# Runs picture_e2e under wine64 in a fresh prefix, at 96 DPI and then at 144, then turns its
# bitmaps into PNG files under <build>/e2e-shots/pictures/ (and its 144/) for review.
# usage: run_picture_e2e.sh PICTURE_E2E_EXE SOURCE_DIR BUILD_DIR
set -u
exe=$1 source=$2 build=$3
source "$source/tests/e2e/lib/harness.sh"

e2e_init pictures "$build"
e2e_start_display || e2e_abort "no display"
e2e_new_prefix || e2e_abort "no Wine prefix"

# Unix paths reach the program through Wine's Z: drive. The committed fuzz corpus (every finding
# of the fuzzers) is hostile input too; what a fuzz run left in the build folder is not read, so
# the verdict depends on the tree alone.
dirs=("Z:$source/tests/pictures" "Z:$source/tests/fuzz/picture_corpus")
e2e_wine_start "$exe" "${dirs[@]}" "Z:$E2E_SHOTS"
e2e_wait_exit 240
cat "$E2E_WORK/wine.log"
e2e_check "picture_e2e exits 0 (exit $E2E_EXIT)" test "$E2E_EXIT" = 0

# The same prefix at 144 DPI: pictures drawn where the layout puts them.
"$E2E_WINE64" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f \
    >>"$E2E_WORK/reg.log" 2>&1
"$E2E_WINESERVER" -w
mkdir -p "$E2E_SHOTS/144"
: >"$E2E_WORK/wine.log"
e2e_wine_start "$exe" --dpi 144 "Z:$source/tests/pictures" "Z:$E2E_SHOTS/144"
e2e_wait_exit 120
cat "$E2E_WORK/wine.log"
e2e_check "picture_e2e --dpi 144 exits 0 (exit $E2E_EXIT)" test "$E2E_EXIT" = 0

shots=0
for bmp in "$E2E_SHOTS"/*.bmp "$E2E_SHOTS"/144/*.bmp; do
    [[ -e $bmp ]] || continue
    convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp" && shots=$((shots + 1))
done
e2e_check "pictures saved ($shots)" test "$shots" -ge 10
e2e_finish
