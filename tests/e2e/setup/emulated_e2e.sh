#!/usr/bin/env bash
# emulated_e2e.sh SCENARIO EXE LNKDUMP PROBE BUILD_DIR SOURCE_DIR
#
# The real quillbridge.exe under wine64 + Xvfb, in a fresh prefix with sample installs. Wine's
# comctl32 reports 5.81, so every question comes in the program's own emulated window. Each
# dialog is photographed, its child windows are listed (qbprobe), Ctrl+C must put its title,
# headline and content on the clipboard, and it is answered as a person would: Return, Escape,
# an Alt accelerator or the mouse on a button. Then the files left behind are checked.
#   typical        the mouse on OK at the ready-to-install question, Return on the instructions;
#                  a second run rewrites dosbox.conf, asks nothing and touches no shortcut
#   cancel         Escape at the ready-to-install question
#   cancel_mouse   the mouse on Cancel at the ready-to-install question
#   print_kept     the run shortcut deleted, the print shortcut kept: both are written again
#   no_target      no target program: the not-found notice
#   no_dosbox      DOSBox missing, Alt+N: nothing is written, no page is opened
#   no_dosbox_yes  DOSBox missing, Alt+Y: the notice first, then the download page
#   varnette       only the second program installed
#   two_targets    the first and the third program installed: the first one wins
#   drive_d        Program Files on drive D:
#   clipboard_busy Ctrl+C while another program holds the clipboard: the dialog stays usable
#   hidpi          the same question at 96 DPI on a 1024x768 screen and at 144 DPI on a 1536x1152
#                  one: the window grows about 1.5 times
#   emulators      the emulators people install today, each where its installer puts or records
#                  it, one run per layout (emulator_layouts.sh)
set -u
scenario=$1
exe=$2
LNKDUMP=$3
E2E_PROBE=$4
build=$5
SRC=$6

source "$SRC/tests/e2e/lib/harness.sh"
source "$SRC/tests/e2e/setup/setup_checks.sh"
e2e_init "emulated-$scenario" "$build"
e2e_start_display || e2e_abort "no X display"
e2e_new_prefix || e2e_abort "no Wine prefix"

CLASS=$(basename "$exe")
CLASS=${CLASS,,}
# The window caption of a dialog without a title: the program's file name without extension.
DEFAULT_CAPTION=${CLASS%.exe}
KESTRO=$(dirname "$LNKDUMP")/kestro.exe
BROWSER_LOG=$E2E_WORK/browser.log

# Wine opens web pages through its browser launcher: give it a recorder instead of a browser.
record_browser() {
    cat >"$E2E_WORK/browser.sh" <<EOF
#!/bin/sh
printf '%s\n' "\$*" >>"$BROWSER_LOG"
EOF
    chmod +x "$E2E_WORK/browser.sh"
    "$E2E_WINE64" reg add 'HKCU\Software\Wine\WineBrowser' /v Browsers /t REG_SZ \
        /d "$E2E_WORK/browser.sh" /f >>"$E2E_WORK/reg.log" 2>&1
    "$E2E_WINESERVER" -w
}

ANSWERED=()
SHOWN=0
start_program() {
    ANSWERED=()
    e2e_wine_start "$exe"
}

# next_window SHOT: the next dialog not answered yet, in WIN (run it in this shell, not in $(),
# so that its failures count).
WIN=
next_window() {
    local skip=() w
    for w in "${ANSWERED[@]}"; do skip+=(--not "$w"); done
    if WIN=$(e2e_wait_window --class "$CLASS" "${skip[@]}"); then
        SHOWN=$((SHOWN + 1))
        ANSWERED+=("$WIN")
        return 0
    fi
    e2e_shot "$1-missing" >/dev/null
    if ((SHOWN == 0)) && ! e2e_running; then
        e2e_abort "$CLASS ended without showing any dialog: Wine reports comctl32 5.81, so" \
            "every question needs the emulated dialog window"
    fi
    e2e_fail "dialog '$1' did not appear"
    return 1
}

# check_dialog SHOT WIN TITLE TEXT BUTTONS: photograph the dialog, list its controls, check its
# caption and buttons, and that Ctrl+C copies TITLE CR LF TEXT CR LF (empty content).
check_dialog() {
    local shot=$1 win=$2 title=$3 text=$4 buttons=$5
    e2e_shot "$shot" "$win" >/dev/null
    e2e_controls "$win" >"$E2E_SHOTS/$shot.controls.txt"
    local caption
    caption=$(sed -n 's/^window .* text=//p' "$E2E_SHOTS/$shot.controls.txt")
    e2e_expect_eq "$shot: window caption" "$caption" "${title:-$DEFAULT_CAPTION}"
    # Push buttons in the order they were made, as a screen reader finds them.
    local found
    found=$(grep '^child .*class=Button' "$E2E_SHOTS/$shot.controls.txt" |
        grep ' visible=1 ' | sed 's/.* text=//' | paste -sd'|')
    e2e_expect_eq "$shot: buttons" "$found" "$buttons"
    local expected clip= i
    expected=$(esc "$title"$'\r\n'"$text"$'\r\n')
    e2e_key "$win" ctrl+c
    for ((i = 0; i < 20; i++)); do
        clip=$(e2e_clipboard)
        [[ $clip == "$expected" ]] && break
        sleep 0.2
    done
    e2e_expect_eq "$shot: Ctrl+C copies title, headline and content" "$clip" "$expected"
}

# answer_dialog SHOT WIN HOW ARG: key KEYS (Return, Escape, alt+y) or click CAPTION.
answer_dialog() {
    local shot=$1 win=$2 how=$3 arg=$4
    case $how in
    key) e2e_answer "$win" "$arg" || e2e_fail "$shot: still open after $arg" ;;
    click)
        e2e_click_control "$win" "$arg" || e2e_fail "$shot: no button '$arg' to click"
        if ! e2e_wait_gone "$win" 6; then
            e2e_log "$shot: still open after the click: clicking once more"
            e2e_click_control "$win" "$arg"
            e2e_wait_gone "$win" 10 || e2e_fail "$shot: still open after clicking '$arg'"
        fi
        ;;
    esac
}

# dialog SHOT TITLE TEXT BUTTONS HOW ARG: the next dialog, checked and answered.
dialog() {
    local shot=$1
    next_window "$shot" || return 1
    check_dialog "$shot" "$WIN" "$2" "$3" "$4"
    answer_dialog "$shot" "$WIN" "$5" "$6"
}

# finish_program: no further dialog, and the program ends by itself with code 0.
finish_program() {
    local i w
    for ((i = 0; i < 150; i++)); do
        e2e_running || break
        for w in $(e2e_find_windows --class "$CLASS"); do
            if [[ " ${ANSWERED[*]} " != *" $w "* ]]; then
                e2e_shot "unexpected-dialog-$i" "$w" >/dev/null
                e2e_fail "a dialog nobody expected appeared ($(e2e_window_name "$w"))"
                ANSWERED+=("$w")
                e2e_key "$w" Escape
            fi
        done
        sleep 0.2
    done
    e2e_wait_exit 10 || e2e_fail "the program did not end by itself"
    e2e_expect_eq "exit code" "$E2E_EXIT" 0
}

ready() { dialog "$1" Quillbridge "$READY_TEXT" 'OK|Cancel' "$2" "$3"; }
instructions() { dialog "$1" "" "$INSTRUCTION_TEXT" OK "$2" "$3"; }

# The whole pass up to the shortcuts, answered with HOW ARG at the ready-to-install question.
install_run() {
    start_program
    ready 1-ready-to-install "$@"
    instructions 2-instructions key Return
    finish_program
    expect_conf
    expect_shortcuts
}

# Program Files on drive D: (the Wine drive maps to a folder of this test).
use_drive_d() {
    mkdir -p "$E2E_WORK/drive_d/Program Files (x86)"
    ln -sfn "$E2E_WORK/drive_d" "$WINEPREFIX/dosdevices/d:"
    "$E2E_WINE64" reg add 'HKLM\Software\Microsoft\Windows\CurrentVersion' \
        /v 'ProgramFilesDir (x86)' /t REG_SZ /d 'D:\Program Files (x86)' /f \
        >>"$E2E_WORK/reg.log" 2>&1
    "$E2E_WINESERVER" -w
}

# still_shown ID: the window is still there two seconds later.
still_shown() { ! e2e_wait_gone "$1" 2; }

# restart_display SCREEN: a new Xvfb with that screen size for the next program.
restart_display() {
    "$E2E_WINESERVER" -w
    kill "$E2E_XVFB_PID" 2>/dev/null
    wait "$E2E_XVFB_PID" 2>/dev/null
    QB_E2E_SCREEN=$1 e2e_start_display || e2e_abort "no X display of $1"
}

set_dpi() {
    "$E2E_WINE64" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f \
        >>"$E2E_WORK/reg.log" 2>&1
    "$E2E_WINESERVER" -w
}

set_target Tessera kestro.exe tessera.ico
case $scenario in
typical)
    e2e_sample_installs --kestro "$KESTRO"
    install_run click OK
    expect_reader_robust
    run_sum=$(md5sum <"$RUN_LNK" 2>/dev/null)
    print_sum=$(md5sum <"$PRINT_LNK" 2>/dev/null)
    printf 'stale' >"$CONF"
    start_program
    instructions 3-second-run-instructions click OK
    finish_program
    expect_conf
    e2e_expect_eq "second run: run shortcut untouched" "$(md5sum <"$RUN_LNK")" "$run_sum"
    e2e_expect_eq "second run: print shortcut untouched" "$(md5sum <"$PRINT_LNK")" "$print_sum"
    ;;
cancel | cancel_mouse)
    e2e_sample_installs --kestro "$KESTRO"
    start_program
    if [[ $scenario == cancel ]]; then
        ready 1-ready-to-install key Escape
    else
        ready 1-ready-to-install click Cancel
    fi
    finish_program
    expect_conf
    expect_no_shortcuts
    ;;
print_kept)
    e2e_sample_installs --kestro "$KESTRO"
    printf 'an older print shortcut' >"$PRINT_LNK"
    install_run key Return
    ;;
no_target)
    e2e_sample_installs --no-target
    start_program
    dialog 1-not-found "" "$NOT_FOUND_TEXT" OK key Return
    finish_program
    expect_nothing_written
    ;;
no_dosbox | no_dosbox_yes)
    e2e_sample_installs --kestro "$KESTRO" --no-dosbox
    record_browser
    start_program
    if [[ $scenario == no_dosbox ]]; then
        dialog 1-dosbox-missing Quillbridge "$NO_DOSBOX_TEXT" '&Yes|&No' key alt+n
    else
        dialog 1-dosbox-missing Quillbridge "$NO_DOSBOX_TEXT" '&Yes|&No' key alt+y
        next_window 2-after-installing && {
            win=$WIN
            e2e_check "the page is not opened while the notice is shown" test ! -e "$BROWSER_LOG"
            check_dialog 2-after-installing "$win" "" "$AFTER_INSTALL_TEXT" OK
            answer_dialog 2-after-installing "$win" click OK
        }
    fi
    finish_program
    expect_nothing_written
    if [[ $scenario == no_dosbox ]]; then
        e2e_check "no page opened" test ! -e "$BROWSER_LOG"
    else
        for ((i = 0; i < 50; i++)); do
            [[ -s $BROWSER_LOG ]] && break
            sleep 0.2
        done
        e2e_expect_eq "the download page opened once" "$(cat "$BROWSER_LOG" 2>/dev/null)" \
            'https://www.dosbox.com/download.php?main=1'
    fi
    ;;
varnette)
    e2e_sample_installs --kestro "$KESTRO" --row 1
    set_target Varnette kestrow.exe varnette.ico
    install_run key Return
    ;;
two_targets)
    e2e_sample_installs --kestro "$KESTRO" --row 0 --row 2
    install_run key Return
    e2e_check "no Morvel shortcut" test ! -e "$DESKTOP/Morvel DOSbox.lnk"
    ;;
drive_d)
    use_drive_d
    e2e_sample_installs --kestro "$KESTRO" --root "$E2E_WORK/drive_d"
    set_target Tessera kestro.exe tessera.ico d
    e2e_check "nothing on drive C:" test ! -e "$(e2e_unix_path 'C:\zorn')"
    install_run key Return
    ;;
clipboard_busy)
    e2e_sample_installs --kestro "$KESTRO"
    start_program
    next_window 1-ready-to-install || e2e_finish
    win=$WIN
    e2e_probe hold-clipboard 4 >"$E2E_WORK/hold.txt" &
    holder=$!
    for ((i = 0; i < 50; i++)); do
        grep -q 'hold=open' "$E2E_WORK/hold.txt" 2>/dev/null && break
        sleep 0.1
    done
    e2e_check "another program holds the clipboard" grep -q 'hold=open' "$E2E_WORK/hold.txt"
    e2e_key "$win" ctrl+c
    sleep 1
    e2e_shot 1-ctrl-c-while-held "$win" >/dev/null
    e2e_check "the dialog is still shown" still_shown "$win"
    e2e_expect_eq "no error box or second window" \
        "$(e2e_find_windows --class "$CLASS" | wc -l)" 1
    wait "$holder"
    # Released: the same dialog copies as usual, then answers as usual.
    check_dialog 1-ready-to-install "$win" Quillbridge "$READY_TEXT" 'OK|Cancel'
    answer_dialog 1-ready-to-install "$win" key Escape
    finish_program
    expect_conf
    expect_no_shortcuts
    ;;
hidpi)
    e2e_sample_installs --kestro "$KESTRO"
    sizes=()
    for dpi in 96 144; do
        set_dpi "$dpi"
        # The headline wraps at half the screen's width: the screen grows with the DPI, as a
        # real one would, so that the whole window can grow by the same factor.
        [[ $dpi == 144 ]] && restart_display 1536x1152x24
        start_program
        next_window "ready-$dpi" || break
        win=$WIN
        check_dialog "ready-at-$dpi-dpi" "$win" Quillbridge "$READY_TEXT" 'OK|Cancel'
        sizes+=("$(e2e_window_geometry "$win" | cut -d' ' -f3-)")
        answer_dialog "ready-at-$dpi-dpi" "$win" key Escape
        finish_program
    done
    if ((${#sizes[@]} == 2)); then
        read -r w96 h96 <<<"${sizes[0]}"
        read -r w144 h144 <<<"${sizes[1]}"
        e2e_log "window at 96 DPI: ${w96}x$h96, at 144 DPI: ${w144}x$h144"
        # Text wraps a little differently at each size: about 1.5, not exactly.
        e2e_check "144 DPI: width grows 1.3 to 1.7 times" \
            test $((w144 * 100 / w96)) -ge 130 -a $((w144 * 100 / w96)) -le 170
        e2e_check "144 DPI: height grows 1.3 to 1.7 times" \
            test $((h144 * 100 / h96)) -ge 130 -a $((h144 * 100 / h96)) -le 170
    fi
    expect_conf
    expect_no_shortcuts
    ;;
emulators)
    e2e_sample_installs --kestro "$KESTRO" --no-dosbox
    source "$SRC/tests/e2e/setup/emulator_layouts.sh"
    run_emulator_layouts
    ;;
*)
    e2e_abort "unknown scenario $scenario"
    ;;
esac

e2e_finish
