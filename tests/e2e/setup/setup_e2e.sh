#!/usr/bin/env bash
# setup_e2e.sh SCENARIO EXE LNKDUMP BUILD_DIR SOURCE_DIR
#
# Runs the program's test variant under wine64 + Xvfb in a fresh prefix with sample installs,
# answers its native dialogs with xdotool, photographs each one, and checks what it left behind:
# dosbox.conf byte for byte, and both shortcut files through our own shell-link reader.
#   typical    OK at the ready-to-install question; then a second run on the same machine
#   cancel     Cancel (Escape) at the ready-to-install question
#   no_target  no target program in C:\zorn\
#   user_akira, user_lukasz, user_nikos
#              the typical run for a user whose name is not ASCII (a profile C:\users\<name>
#              made by Wine from USER): Japanese under ja_JP.UTF-8, Polish and Greek under
#              C.UTF-8, where the system code pages are 932 and 1252 and the manifest makes the
#              program's own UTF-8
#   user_akira_cp932
#              the Japanese user with the program as Windows before 10 1903 runs it (EXE built
#              without the UTF-8 setting): paths in code page 932, whose second bytes include
#              ASCII letters and the backslash
#   no_dosbox  DOSBox missing, the user answers No
set -u
scenario=$1
exe=$2
LNKDUMP=$3
build=$4
SRC=$5

source "$SRC/tests/e2e/lib/harness.sh"
source "$SRC/tests/e2e/setup/setup_checks.sh"
e2e_init "setup-$scenario" "$build"
e2e_start_display || e2e_abort "no X display"
# The user of the prefix, its locale and the code page the program must run in.
USER_NAME= PREFIX_ARGS=() EXPECTED_CP=
case $scenario in
user_akira) USER_NAME=アキラ LANG_NAME=ja_JP.UTF-8 EXPECTED_CP=65001 ;;
user_akira_cp932) USER_NAME=アキラ LANG_NAME=ja_JP.UTF-8 EXPECTED_CP=932 ;;
user_lukasz) USER_NAME=Łukasz LANG_NAME=C.UTF-8 EXPECTED_CP=65001 ;;
user_nikos) USER_NAME=Νίκος LANG_NAME=C.UTF-8 EXPECTED_CP=65001 ;;
esac
[[ -n $USER_NAME ]] && PREFIX_ARGS=(--user "$USER_NAME" --lang "$LANG_NAME")
e2e_new_prefix "${PREFIX_ARGS[@]}" || e2e_abort "no Wine prefix"

LOG=$E2E_WORK/dialogs.log
export QB_E2E_DIALOG_LOG="Z:$LOG"
CLASS=$(basename "$exe")
CLASS=${CLASS,,}
KESTRO=$(dirname "$LNKDUMP")/kestro.exe
set_target Tessera kestro.exe tessera.ico

# field N KEY: KEY of the N-th dialog that closed (1-based), from the dialog log.
field() {
    grep '^done' "$LOG" 2>/dev/null | sed -n "${1}p" | tr '\t' '\n' | sed -n "s/^$2=//p"
}

dialogs_closed() { grep -c '^done' "$LOG" 2>/dev/null || true; }

ANSWERED=()
# start_program: run the exe once more. X window ids of a finished process come back for the
# next one, so the list of answered windows starts afresh.
start_program() {
    ANSWERED=()
    e2e_wine_start "$exe"
}

# answer SHOT KEYS...: wait for the next dialog, photograph it, send the keys, wait until it
# has closed.
answer() {
    local shot=$1 win skip=() w
    shift
    for w in "${ANSWERED[@]}"; do skip+=(--not "$w"); done
    win=$(e2e_wait_window --class "$CLASS" "${skip[@]}") || {
        e2e_fail "dialog '$shot' did not appear"
        e2e_shot "$shot-missing" >/dev/null
        return 1
    }
    ANSWERED+=("$win")
    e2e_shot "$shot" "$win" >/dev/null
    local before
    before=$(dialogs_closed)
    e2e_answer "$win" "$@" || e2e_fail "dialog '$shot' still open after keys $*"
    local i
    for ((i = 0; i < 50 && $(dialogs_closed) == before; i++)); do sleep 0.1; done
}

# finish_program: after the dialogs were answered, the program ends by itself with code 0.
finish_program() {
    e2e_wait_exit 30 || e2e_fail "the program did not end by itself"
    e2e_expect_eq "exit code" "$E2E_EXIT" 0
}

# Dialog N: title, headline, standard buttons, icon and the answer the program got.
expect_dialog() {
    local n=$1 what=$2 title=$3 text=$4 common=$5 icon=$6 result=$7
    e2e_expect_eq "$what: window title" "$(field "$n" title)" "$title"
    e2e_expect_eq "$what: main instruction" "$(field "$n" instruction)" "$(esc "$text")"
    e2e_expect_eq "$what: no content" "$(field "$n" content)" "(null)"
    e2e_expect_eq "$what: standard buttons" "$(field "$n" common)" "$common"
    e2e_expect_eq "$what: main icon" "$(field "$n" mainicon)" "$icon"
    e2e_expect_eq "$what: answer" "$(field "$n" result)" "$result"
}

case $scenario in
typical)
    e2e_sample_installs --kestro "$KESTRO"
    start_program
    answer 1-ready-to-install Return
    answer 2-instructions Return
    finish_program
    expect_dialog 1 "ready-to-install" Quillbridge "$READY_TEXT" 0x9 65533 1
    expect_dialog 2 "instructions" "(null)" "$INSTRUCTION_TEXT" 0x0 65533 1
    e2e_expect_eq "two dialogs" "$(dialogs_closed)" 2
    expect_conf
    expect_shortcuts
    expect_reader_robust

    # A second run: dosbox.conf is written again, nothing is asked, no shortcut is touched.
    run_sum=$(md5sum <"$RUN_LNK" 2>/dev/null)
    print_sum=$(md5sum <"$PRINT_LNK" 2>/dev/null)
    printf 'stale' >"$CONF"
    start_program
    answer 3-second-run-instructions Return
    finish_program
    expect_dialog 3 "second run" "(null)" "$INSTRUCTION_TEXT" 0x0 65533 1
    e2e_expect_eq "second run: one more dialog" "$(dialogs_closed)" 3
    expect_conf
    e2e_expect_eq "second run: run shortcut untouched" "$(md5sum <"$RUN_LNK")" "$run_sum"
    e2e_expect_eq "second run: print shortcut untouched" "$(md5sum <"$PRINT_LNK")" "$print_sum"
    ;;
cancel)
    e2e_sample_installs --kestro "$KESTRO"
    start_program
    answer 1-ready-to-install Escape
    finish_program
    expect_dialog 1 "ready-to-install" Quillbridge "$READY_TEXT" 0x9 65533 2
    e2e_expect_eq "nothing more is shown" "$(dialogs_closed)" 1
    expect_conf
    e2e_check "no run shortcut" test ! -e "$RUN_LNK"
    e2e_check "no print shortcut" test ! -e "$PRINT_LNK"
    ;;
no_target)
    e2e_sample_installs --no-target
    start_program
    answer 1-not-found Return
    finish_program
    expect_dialog 1 "not found" "(null)" "$NOT_FOUND_TEXT" 0x0 65533 1
    e2e_expect_eq "nothing more is shown" "$(dialogs_closed)" 1
    expect_nothing_written
    ;;
no_dosbox)
    e2e_sample_installs --kestro "$KESTRO" --no-dosbox
    start_program
    # Yes is the default and has the focus: Tab moves to No, space presses it.
    answer 1-dosbox-missing Tab space
    finish_program
    expect_dialog 1 "DOSBox missing" Quillbridge "$NO_DOSBOX_TEXT" 0x6 65535 7
    e2e_expect_eq "nothing more is shown" "$(dialogs_closed)" 1
    expect_nothing_written
    ;;
user_*)
    e2e_sample_installs --kestro "$KESTRO"
    start_program
    answer 1-ready-to-install Return
    answer 2-instructions Return
    finish_program
    e2e_expect_eq "process code page" "$(sed -n 's/^codepage=//p' "$LOG" | head -1)" \
        "$EXPECTED_CP"
    e2e_expect_eq "the profile is the user's" "$DESKTOP" \
        "$WINEPREFIX/drive_c/users/$USER_NAME/Desktop"
    expect_dialog 1 "ready-to-install" Quillbridge "$READY_TEXT" 0x9 65533 1
    expect_dialog 2 "instructions" "(null)" "$INSTRUCTION_TEXT" 0x0 65533 1
    e2e_expect_eq "two dialogs" "$(dialogs_closed)" 2
    expect_conf
    expect_shortcuts
    # A path the program got wrong would have made a folder of its own or nothing at all.
    e2e_expect_eq "no other profile folder" "$(ls "$WINEPREFIX/drive_c/users" | sort | tr '\n' ' ')" \
        "$(printf '%s\n' Public "$USER_NAME" | sort | tr '\n' ' ')"
    ls -la "$DESKTOP" >"$E2E_SHOTS/desktop.txt"
    ;;
*)
    e2e_abort "unknown scenario $scenario"
    ;;
esac

cp "$LOG" "$E2E_SHOTS/dialogs.log" 2>/dev/null
e2e_finish
