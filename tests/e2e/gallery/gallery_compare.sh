#!/usr/bin/env bash
# gallery_compare.sh GALLERY_EXE PROBE_EXE BUILD_DIR SOURCE_DIR DPI
#
# Every gallery sample twice, through Wine's native task dialog and through the emulated window,
# at DPI (Wine's LogPixels). Each is photographed and answered with the keys a person would
# press; the two pictures of a sample are put side by side in compare/<sample>.png for a
# reviewer. For the emulated window, qbprobe lists the child windows: none may overlap another
# or reach out of the window, and each must have a non-empty size.
set -u
exe=$1
E2E_PROBE=$2
build=$3
src=$4
dpi=$5

source "$src/tests/e2e/lib/harness.sh"
e2e_init "gallery-compare-$dpi" "$build"
# A screen that grows with the DPI, as a real one would (the emulated window wraps its headline
# at half the screen's width).
export QB_E2E_SCREEN=${QB_E2E_SCREEN:-$((1024 * dpi / 96))x$((768 * dpi / 96))x24}
e2e_start_display || e2e_abort "no X display"
e2e_new_prefix || e2e_abort "no Wine prefix"
"$E2E_WINE64" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f \
    >"$E2E_WORK/reg.log" 2>&1
"$E2E_WINESERVER" -w

CLASS=$(basename "$exe")
CLASS=${CLASS,,}
LOG=$E2E_WORK/gallery.log
COMPARE=$E2E_SHOTS/compare
mkdir -p "$COMPARE"

# How a person closes each sample: its keys (the timer closes by itself; close-query refuses
# the first Return).
declare -A KEYS=([progress]=Escape [progress-error]=Escape [marquee]=Escape [everything]=Escape
    [timer]= [close-query]="Return Return")
# QB_GALLERY_SAMPLES (names separated by commas) narrows the run while working on a few samples.
if [[ -n ${QB_GALLERY_SAMPLES-} ]]; then
    IFS=, read -ra SAMPLES <<<"$QB_GALLERY_SAMPLES"
else
    mapfile -t SAMPLES < <("$E2E_WINE64" "$exe" --list 2>/dev/null | tr -d '\r' | cut -f1)
fi
((${#SAMPLES[@]} > 0)) || e2e_abort "the gallery listed no samples"
e2e_log "${#SAMPLES[@]} samples at $dpi DPI"

# outcome NAME: the gallery's last answer line for a sample.
outcome() { grep "^sample=$1 \(result\|checked\)" "$LOG" 2>/dev/null | tail -1 | cut -d' ' -f2-; }

# outcomes: per sample, what the same keys gave on each path (the gallery's answer lines).
outcomes() {
    printf '%-22s %-34s %s\n' sample native emulated
    awk '/^path=/ { path = substr($0, 6) }
         /^sample=[^ ]* (result|checked)/ { name = substr($1, 8); $1 = ""; got[name, path] = substr($0, 2) }
         END { for (k in got) { split(k, p, SUBSEP); names[p[1]] = 1 }
               for (n in names) printf "%-22s %-34s %s\n", n, got[n, "native"], got[n, "emulated"] }' \
        "$LOG" | sort
}

# overlaps FILE: the child windows of qbprobe's listing that overlap a sibling, lie outside the
# client area or are empty. Only children of the window itself are compared with each other.
overlaps() {
    awk '
    function field(k,   m) { return match($0, " " k "=[^ ]*") ? substr($0, RSTART + length(k) + 2, RLENGTH - length(k) - 2) : "" }
    /^client / { cx = field("x") + 0; cy = field("y") + 0; cw = field("w") + 0; ch = field("h") + 0 }
    /^child / && / visible=1 / {
        n++; x[n] = field("x") + 0; y[n] = field("y") + 0; w[n] = field("w") + 0; h[n] = field("h") + 0
        t[n] = $0; sub(/.* text=/, "", t[n]); c[n] = field("class")
    }
    END {
        for (i = 1; i <= n; i++) {
            if (w[i] <= 0 || h[i] <= 0) print "empty: " c[i] " \"" t[i] "\""
            if (x[i] < cx || y[i] < cy || x[i] + w[i] > cx + cw || y[i] + h[i] > cy + ch)
                print "outside the window: " c[i] " \"" t[i] "\""
            for (j = i + 1; j <= n; j++)
                if (x[i] < x[j] + w[j] && x[j] < x[i] + w[i] && y[i] < y[j] + h[j] && y[j] < y[i] + h[i])
                    print "overlap: " c[i] " \"" t[i] "\" and " c[j] " \"" t[j] "\""
        }
    }' "$1"
}

# run_path PATH: all samples in one gallery process on that path, each photographed and answered.
SHOWN_EMULATED=0
run_path() {
    local path=$1 answered=() name win skip w
    # Command links take the focus when the pointer enters them: keep it out of the way.
    xdotool mousemove 0 0 2>>"$E2E_WORK/xdotool.log"
    printf 'path=%s\n' "$path" >>"$LOG"
    e2e_wine_start "$exe" "--$path" --sample "$(IFS=,; echo "${SAMPLES[*]}")" --log "Z:$LOG"
    for name in "${SAMPLES[@]}"; do
        skip=()
        for w in "${answered[@]}"; do skip+=(--not "$w"); done
        if ! win=$(e2e_wait_window --class "$CLASS" "${skip[@]}" --timeout 15); then
            e2e_fail "$name ($path): no window (the gallery says: $(outcome "$name"))"
            e2e_running || break
            continue
        fi
        answered+=("$win")
        [[ $path == emulated ]] && SHOWN_EMULATED=$((SHOWN_EMULATED + 1))
        import -window "$win" "$E2E_SHOTS/$name-$path.png" 2>>"$E2E_WORK/import.log"
        if [[ $path == emulated ]]; then
            e2e_controls "$win" >"$E2E_SHOTS/$name-emulated.controls.txt"
            local bad
            bad=$(overlaps "$E2E_SHOTS/$name-emulated.controls.txt")
            e2e_expect_eq "$name: controls apart and inside the window" "$bad" ""
        fi
        local keys=${KEYS[$name]-Return} key
        for key in $keys; do
            e2e_key "$win" "$key"
            sleep 0.8
        done
        e2e_wait_gone "$win" 12 || {
            e2e_fail "$name ($path): still open after '$keys'"
            e2e_key "$win" Escape
        }
    done
    e2e_wait_exit 20 || e2e_fail "the gallery ($path) did not end"
}

# side_by_side NAME: native left, emulated right, labelled when a font is at hand.
side_by_side() {
    local n=$E2E_SHOTS/$1-native.png e=$E2E_SHOTS/$1-emulated.png out=$COMPARE/$1.png
    [[ -f $n && -f $e ]] || return 1
    montage -font DejaVu-Sans -pointsize 13 -background '#d8d8d8' -label native "$n" \
        -label emulated "$e" -tile 2x1 -geometry +8+8 -title "$1 at $dpi DPI" "$out" \
        2>>"$E2E_WORK/montage.log" ||
        convert "$n" "$e" -background '#d8d8d8' -gravity north -splice 8x0 +append "$out"
}

: >"$LOG"
run_path native
"$E2E_WINESERVER" -k 2>/dev/null
run_path emulated
((SHOWN_EMULATED > 0)) ||
    e2e_abort "the emulated path showed no window (the first sample answered" \
        "$(outcome "${SAMPLES[0]}"))"

for name in "${SAMPLES[@]}"; do
    e2e_check "$name: native and emulated side by side" side_by_side "$name"
done
cp "$LOG" "$E2E_SHOTS/gallery.log"
outcomes >"$E2E_SHOTS/outcomes.txt"
e2e_log "side by side: $COMPARE; answers on both paths: $E2E_SHOTS/outcomes.txt"
e2e_finish
