#!/bin/bash
# Runs markup_e2e under wine64 in a fresh prefix, then turns its bitmaps into PNG files under
# <build>/e2e-shots/markup/ for review.
# usage: run_markup_e2e.sh MARKUP_E2E_EXE SOURCE_DIR BUILD_DIR
set -u
exe=$1 source=$2 build=$3
source "$source/tests/e2e/lib/harness.sh"

e2e_init markup "$build"
# Off-screen drawing only, but Wine's display driver is happier with a display to talk to.
e2e_start_display || e2e_abort "no display"
e2e_new_prefix || e2e_abort "no Wine prefix"
# Wine finds its own Tahoma only inside the prefix; without it every face falls back to
# Liberation Sans and the pictures would not show the dialog font. Only the regular file: with
# Wine's tahomabd.ttf, bold text gets bold advances but regular glyphs, so bold is left to be
# synthesised. Wine's Symbol font has no bullet glyph: that face falls back to a middle dot.
wine_fonts=${QB_WINE_FONTS:-/usr/share/wine/fonts}
cp "$wine_fonts"/tahoma.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null ||
    e2e_log "no Tahoma in $wine_fonts: pictures use a fallback face"

# Unix paths reach the program through Wine's Z: drive.
e2e_wine_start "$exe" "Z:$source/tests/markup_golden" "Z:$E2E_SHOTS"
e2e_wait_exit 240
cat "$E2E_WORK/wine.log"
e2e_check "markup_e2e exits 0 (exit $E2E_EXIT)" test "$E2E_EXIT" = 0

shots=0
for bmp in "$E2E_SHOTS"/*.bmp; do
    [[ -e $bmp ]] || continue
    convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp" && shots=$((shots + 1))
done
e2e_check "pictures saved ($shots)" test "$shots" -gt 0
e2e_finish
