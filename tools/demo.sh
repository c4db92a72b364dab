#!/usr/bin/env bash
# tools/demo.sh [--no-install]: the demo command. Installs what it needs when something is
# missing (as tools/test.sh does), builds the 64-bit quillbridge.exe, prepares a sandbox Wine
# prefix in build/demo/ holding what a user's machine would (C:\zorn\ with kestro.exe,
# tessera.ico and spoolix.exe; DOSBox under C:\Program Files (x86)\DOSBox-0.74\), and runs the
# real program in it. Wine's comctl32 reports version 5.81, so every question comes in
# Quillbridge's own emulated dialog window.
#
# With a display ($DISPLAY set) the dialogs open there for you to answer. Without one (or with
# QB_DEMO_HEADLESS=1) the demo runs under Xvfb, answers OK to each dialog as you would with the
# Return key, copies each dialog's text with Ctrl+C to show it here, and saves screenshots in
# build/demo/screenshots/. Either way it then lists the files Quillbridge wrote and what the
# shortcuts hold.
set -u

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT" || exit 2
BUILD=$ROOT/build/win64
DEMO=$ROOT/build/demo
source "$ROOT/tools/lib/packages.sh"

install=1
for arg in "$@"; do
    case $arg in
    --no-install) install=0 ;;
    -h | --help)
        sed -n '2,14p' "$0"
        exit 0
        ;;
    *)
        echo "unknown argument: $arg" >&2
        exit 2
        ;;
    esac
done
if ((install)); then
    echo "== packages"
    qb_install_packages "${QB_DEMO_PACKAGES[@]}" || {
        echo "the demo needs: ${QB_DEMO_PACKAGES[*]}" >&2
        exit 1
    }
fi

mkdir -p "$ROOT/build"
echo "== building the win64 program"
# Configured once; later builds regenerate by themselves when a CMakeLists.txt changes.
{ { [[ -f $BUILD/CMakeCache.txt ]] || cmake --preset win64 >/dev/null; } &&
    cmake --build "$BUILD" -j "${QB_JOBS:-2}" \
        --target quillbridge lnkdump qbprobe; } </dev/null >"$ROOT/build/demo-build.log" 2>&1 || {
    tail -30 "$ROOT/build/demo-build.log"
    echo "the build failed: see build/demo-build.log" >&2
    exit 1
}
# The DOS stand-in for kestro.exe is assembled when nasm is there; a plain file does otherwise.
cmake --build "$BUILD" --target e2e_kestro </dev/null >>"$ROOT/build/demo-build.log" 2>&1
EXE=$BUILD/app/quillbridge/quillbridge.exe
LNKDUMP=$BUILD/tests/e2e/setup/lnkdump.exe
KESTRO=$BUILD/tests/e2e/setup/kestro.exe
export E2E_PROBE=$BUILD/tests/e2e/probe/qbprobe.exe
echo "   $EXE ($(stat -c %s "$EXE") bytes)"

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
# The download page, should it be asked for, is noted here instead of opening a browser.
"$E2E_WINE64" reg add 'HKCU\Software\Wine\WineBrowser' /v Browsers /t REG_SZ \
    /d "$ROOT/tools/lib/note_url.sh" /f >/dev/null 2>&1
"$E2E_WINESERVER" -w
touch "$DEMO/before"
sleep 1

# dialog_text TEXT: what Ctrl+C copied (title, headline, content, escaped by qbprobe) as indented
# lines, without the title line (the window's caption is shown already).
dialog_text() {
    local t=${1//\\r\\n/\\n}
    printf '%b\n' "${t//\\r/\\n}" | sed '1d' | sed -e :a -e '/^\n*$/{$d;N;ba' -e '}' |
        sed 's/^/      /'
}

echo "== running quillbridge.exe under wine64"
LOG=$DEMO/dialogs.log
: >"$LOG"
e2e_wine_start "$EXE"
n=0
if ((interactive)); then
    echo "   answer the dialogs on $DISPLAY; the demo goes on when Quillbridge ends"
    e2e_wait_exit 1800
else
    answered=()
    while :; do
        skip=()
        for w in "${answered[@]}"; do skip+=(--not "$w"); done
        win=$(e2e_wait_window --class quillbridge.exe "${skip[@]}" --timeout 20 2>/dev/null) ||
            break
        answered+=("$win")
        n=$((n + 1))
        shot=$(e2e_shot "dialog-$n" "$win")
        e2e_key "$win" ctrl+c
        sleep 0.5
        text=$(e2e_clipboard)
        printf 'dialog %d\t%s\t%s\n' "$n" "$(e2e_window_name "$win")" "$text" >>"$LOG"
        echo "   dialog $n: $(e2e_window_name "$win") (${shot%.png}-window.png)"
        dialog_text "$text"
        e2e_answer "$win" Return || echo "   dialog $n did not close on Return" >&2
        e2e_running || break
    done
    e2e_wait_exit 30
    ((n)) || echo "   quillbridge.exe showed no dialog at all: this build has no emulated" \
        "dialog window yet, so every question returned unseen" >&2
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
((interactive)) || echo "dialog texts:   $LOG"
[[ $E2E_EXIT == 0 ]]
