#!/usr/bin/env bash
# gallery_timing.sh GALLERY_EXE BUILD_DIR SOURCE_DIR [REPEAT]
#
# The gallery's timing run (qbgallery --measure) in one Wine process: for each sample, the time
# from Execute to the end of the first paint through Wine's native task dialog and through the
# emulated window, REPEAT times each (default 3), medians per sample. The figures go to this log
# and to timing.txt beside the screenshots. The check: over the samples, the emulated window's
# median is within 1.25 times the native dialog's. Both are timed in turn in one process, so a
# busy machine slows both alike; the margin keeps a run's noise from deciding the verdict (the
# emulated window has measured at about 0.55 times the native one).
set -u
exe=$1
build=$2
src=$3
repeat=${4:-3}

source "$src/tests/e2e/lib/harness.sh"
e2e_init gallery-timing "$build"
e2e_start_display || e2e_abort "no X display"
e2e_new_prefix || e2e_abort "no Wine prefix"

LOG=$E2E_WORK/timing.log
: >"$LOG"
e2e_wine_start "$exe" --measure --repeat "$repeat" --log "Z:$LOG"
e2e_wait_exit 900 || e2e_fail "the timing run did not end"
e2e_expect_eq "timing run exit code" "$E2E_EXIT" 0
cp "$LOG" "$E2E_SHOTS/gallery.log"

REPORT=$E2E_SHOTS/timing.txt
{
    printf '%-22s %12s %12s %8s\n' sample "native ms" "emulated ms" ratio
    sed -n 's/^timing median sample=\([^ ]*\) native=\([^ ]*\) emulated=\([^ ]*\)$/\1 \2 \3/p' \
        "$LOG" | while read -r name native emulated; do
        ratio=-
        [[ $native != none && $emulated != none ]] &&
            ratio=$(awk -v n="$native" -v e="$emulated" 'BEGIN { printf "%.2f", e / n }')
        printf '%-22s %12s %12s %8s\n' "$name" "$native" "$emulated" "$ratio"
    done
    sed -n 's/^timing median all native=\([^ ]*\) emulated=\([^ ]*\)$/median of the samples: native \1 ms, emulated \2 ms/p' "$LOG"
} >"$REPORT"
sed 's/^/    /' "$REPORT" >&2

all=$(sed -n 's/^timing median all //p' "$LOG")
native=$(sed -n 's/.*native=\([^ ]*\).*/\1/p' <<<"$all")
emulated=$(sed -n 's/.*emulated=\([^ ]*\).*/\1/p' <<<"$all")
[[ -n $native && $native != none ]] || e2e_abort "no native dialog was timed"
[[ $emulated != none ]] || e2e_abort "the emulated path painted nothing (native median $native ms)"
e2e_expect_eq "every sample painted on both paths" \
    "$(grep -c '^timing sample=.* ms=none$' "$LOG")" 0
e2e_check "emulated median $emulated ms is within 1.25 times native $native ms" \
    awk -v n="$native" -v e="$emulated" 'BEGIN { exit !(e <= 1.25 * n) }'
e2e_finish
