#!/usr/bin/env bash
# tools/demo.sh: the demo command. Builds the 64-bit program, prepares a sandbox Wine prefix in
# build/demo/ holding what a user's machine would (C:\zorn\ with kestro.exe, tessera.ico and
# spoolix.exe; DOSBox under C:\Program Files (x86)\DOSBox-0.74\), and runs Quillbridge in it.
#
# With a display ($DISPLAY set) the dialogs open there for you to answer. Without one the demo
# runs under Xvfb, answers OK to each dialog, and saves screenshots in build/demo/screenshots/.
# Either way it then lists the files Quillbridge wrote and what the shortcuts hold.
#
# The program runs in its test variant, which shows its dialogs through the system's native
# task dialog (Wine's comctl32 reports version 5.81, which would pick the emulated window).
# Set QB_DEMO_HEADLESS=1 to use Xvfb even when a display is there.
set -u

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT" || exit 2
BUILD=$ROOT/build/win64
DEMO=$ROOT/build/demo

echo "== building the win64 program"
{ cmake --preset win64 >/dev/null && cmake --build "$BUILD" -j "${QB_JOBS:-2}" \
    --target quillbridge quillbridge_e2e lnkdump; } </dev/null >"$ROOT/build/demo-build.log" 2>&1 || {
    tail -30 "$ROOT/build/demo-build.log"
    echo "the build failed: see build/demo-build.log" >&2
    exit 1
}
EXE=$BUILD/tests/e2e/setup/quillbridge_e2e.exe
LNKDUMP=$BUILD/tests/e2e/setup/lnkdump.exe
KESTRO=$BUILD/tests/e2e/setup/kestro.exe

interactive=0
[[ -n ${DISPLAY:-} && -z ${QB_DEMO_HEADLESS:-} ]] && interactive=1
((interactive)) && export QB_E2E_DISPLAY=$DISPLAY
export QB_E2E_KEEP_PREFIX=1

source "$ROOT/tests/e2e/lib/harness.sh"
e2e_init demo "$BUILD" "$DEMO" "$DEMO/screenshots"
echo "== preparing the sandbox prefix $DEMO/prefix"
e2e_start_display || e2e_abort "no X display"
e2e_new_prefix || e2e_abort "no Wine prefix"
e2e_sample_installs --kestro "$KESTRO"
export QB_E2E_DIALOG_LOG="Z:$DEMO/dialogs.log"
touch "$DEMO/before"
sleep 1

echo "== running quillbridge under wine64"
e2e_wine_start "$EXE"
if ((interactive)); then
    echo "   answer the dialogs on $DISPLAY; the demo goes on when Quillbridge ends"
    e2e_wait_exit 1800
else
    n=0
    while win=$(e2e_wait_window --class quillbridge_e2e.exe --timeout 20 2>/dev/null); do
        n=$((n + 1))
        shot=$(e2e_shot "dialog-$n" "$win")
        echo "   dialog $n: $shot"
        e2e_answer "$win" Return
        e2e_running || break
    done
    e2e_wait_exit 30
fi
echo "   Quillbridge ended with exit code $E2E_EXIT"

echo "== files Quillbridge wrote"
written=()
while IFS= read -r -d '' f; do
    written+=("$f")
done < <(find "$WINEPREFIX/drive_c/zorn" "$(e2e_desktop_dir)" -type f -newer "$DEMO/before" -print0)
for f in "${written[@]}"; do
    rel=${f#"$WINEPREFIX/drive_c/"}
    printf '   C:\\%s  (%s bytes)\n      %s\n' "${rel//\//\\}" "$(stat -c %s "$f")" "$f"
done
((${#written[@]})) || echo "   none"
for f in "${written[@]}"; do
    [[ $f == *.lnk ]] || continue
    echo "== $(basename "$f") as our shell-link reader sees it"
    "$E2E_WINE64" "$LNKDUMP" "Z:$f" 2>/dev/null | tr -d '\r' |
        grep -E '^(target|arguments|working_dir|description|icon_location|icon_index|show_command|hot_key)=' |
        sed 's/^/   /'
done
conf=$WINEPREFIX/drive_c/zorn/dosbox.conf
if [[ -f $conf ]]; then
    echo "== the end of dosbox.conf"
    tail -n 9 "$conf" | tr -d '\r' | sed 's/^/   /'
fi
echo
echo "sandbox prefix: $WINEPREFIX"
((interactive)) || echo "screenshots:    $E2E_SHOTS"
[[ -f $DEMO/dialogs.log ]] && echo "dialog log:     $DEMO/dialogs.log"
[[ $E2E_EXIT == 0 ]]
