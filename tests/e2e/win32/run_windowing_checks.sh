#!/usr/bin/env bash
# The Win32 windowing backend under wine64 + Xvfb: the check program's own checks at 96 and at
# 144 DPI, then the sample form photographed at both resolutions and closed with Escape.
# Usage: run_windowing_checks.sh SOURCE_DIR BUILD_DIR CHECKS_EXE
set -u
source "$1/tests/e2e/lib/harness.sh"
e2e_init win32_windowing "$2"
exe=$3

e2e_start_display || e2e_abort "Xvfb did not start"
e2e_new_prefix || e2e_abort "no Wine prefix"

set_dpi() {
    "$E2E_WINE64" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f \
        >>"$E2E_WORK/reg.log" 2>&1
    "$E2E_WINESERVER" -w
}

for dpi in 96 144; do
    set_dpi "$dpi"
    : >"$E2E_WORK/wine.log"
    e2e_wine_start "$exe" --dpi "$dpi"
    e2e_wait_exit 120
    tr -d '\r' <"$E2E_WORK/wine.log" | grep -E '^(FAILED|[0-9]+ of [0-9]+ checks)' >&2
    cp "$E2E_WORK/wine.log" "$E2E_WORK/checks-$dpi.log"
    e2e_expect_eq "windowing checks pass at $dpi DPI" "$E2E_EXIT" 0

    e2e_wine_start "$exe" --show
    if win=$(e2e_wait_window --name 'Windowing check'); then
        read -r _ _ width height <<<"$(e2e_window_geometry "$win")"
        e2e_log "sample form at $dpi DPI: ${width}x$height, $(e2e_shot "sample-$dpi" "$win")"
        echo "$width $height" >"$E2E_WORK/size-$dpi"
        e2e_key "$win" Escape
        e2e_wait_exit 20
        e2e_expect_eq "Escape closes the sample form at $dpi DPI" "$E2E_EXIT" 2
    else
        e2e_fail "the sample form did not appear at $dpi DPI"
    fi
done

# At 144 DPI every fixed size is half as large again: the window grows about 1.5 times.
if [[ -f $E2E_WORK/size-96 && -f $E2E_WORK/size-144 ]]; then
    read -r w96 h96 <"$E2E_WORK/size-96"
    read -r w144 h144 <"$E2E_WORK/size-144"
    ratio=$(((w144 * 100) / w96))
    e2e_log "width ratio 144/96 DPI: $ratio% (${w96}x$h96 -> ${w144}x$h144)"
    e2e_check "the window is about 1.5 times as wide at 144 DPI" test "$ratio" -ge 140 -a "$ratio" -le 160
fi
e2e_finish
