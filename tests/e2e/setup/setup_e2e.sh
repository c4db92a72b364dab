#!/usr/bin/env bash
# setup_e2e.sh SCENARIO EXE LNKDUMP BUILD_DIR SOURCE_DIR
#
# Runs the program's test variant under wine64 + Xvfb in a fresh prefix with sample installs,
# answers its native dialogs with xdotool, photographs each one, and checks what it left behind:
# dosbox.conf byte for byte, and both shortcut files through our own shell-link reader.
#   typical    OK at the ready-to-install question; then a second run on the same machine
#   cancel     Cancel (Escape) at the ready-to-install question
#   no_target  no target program in C:\zorn\
#   no_dosbox  DOSBox missing, the user answers No
#   user_akira, user_lukasz, user_nikos
#              the typical run for a user whose name is not ASCII (a profile C:\users\<name>
#              made by Wine from USER): Japanese under ja_JP.UTF-8, Polish and Greek under
#              C.UTF-8, where the system code pages are 932 and 1252 and the manifest makes the
#              program's own UTF-8
#   user_akira_cp932
#              the Japanese user with the program as Windows before 10 1903 runs it (EXE built
#              without the UTF-8 setting): paths in code page 932, whose second bytes include
#              ASCII letters and the backslash
set -u
scenario=$1
exe=$2
lnkdump=$3
build=$4
src=$5

source "$src/tests/e2e/lib/harness.sh"
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
ZORN=$(e2e_unix_path 'C:\zorn')
CONF=$ZORN/dosbox.conf
DESKTOP=$(e2e_desktop_dir) || e2e_abort "the prefix has no desktop folder"
RUN_LNK="$DESKTOP/Tessera DOSbox.lnk"
PRINT_LNK="$DESKTOP/Print-F.lnk"
KESTRO=$(dirname "$lnkdump")/kestro.exe

# The dialog log writes CR, LF, tab and backslash escaped; expected texts go through the same.
esc() {
    local s=${1//\\/\\\\}
    s=${s//$'\r'/\\r}
    s=${s//$'\n'/\\n}
    printf '%s' "${s//$'\t'/\\t}"
}

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

# lnk_read FILE: our reader's view of a shortcut file, read once. Call it outside $(...), whose
# subshell would keep the cache to itself.
declare -A LNK_CACHE
lnk_read() {
    if [[ -z ${LNK_CACHE[$1]+x} ]]; then
        LNK_CACHE[$1]=$("$E2E_WINE64" "$lnkdump" "Z:$1" 2>>"$E2E_WORK/lnkdump.log" | tr -d '\r')
        printf '%s\n' "${LNK_CACHE[$1]}" >"$E2E_SHOTS/$(basename "$1" .lnk).fields.txt"
    fi
}

# lnk FILE KEY: a field of a shortcut file as our reader sees it.
lnk() {
    lnk_read "$1"
    printf '%s\n' "${LNK_CACHE[$1]}" | sed -n "s/^$2=//p"
}

lower() { printf '%s' "${1,,}"; }

READY_TEXT=$'READY TO INSTALL: This program will create a desktop shortcut to\rrun Tessera using DOSbox. It will make a second desktop\rshortcut to print a specified file from the Fernwick Dos program\'s\rfolder.\r\rPress OK to proceed with this inatallation or CANCEL to stop.'
INSTRUCTION_TEXT=$'Click the Tessera DOSbox Icon to start Tessera.\rTo print from Tessera, choose "print to file"\rand always name it the single letter "f".\r\rTo send the file F to the default printer,\r    click "Print F" icon or \r    press CTRL+ALT+P.'
NOT_FOUND_TEXT=$'WARNING: Neither Tessera nor any of the Fernwick\rwheeling programs were found in the expected location, c:\\ZORN.\rThe entire purpose of this program is to connect Dosbox to one\rof these programs.\r\rIf you installed to a different folder, please rename that folder\rto c:\\zorn, then run this program again. If you did not install\rany of the Fernwick DOS programs, you must do so before using\rthis program.'
NO_DOSBOX_TEXT=$'WARNING: Dosbox is apparently not installed on this computer.\rInstall DOSbox now?'

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

expect_nothing_written() {
    e2e_check "no dosbox.conf" test ! -e "$CONF"
    e2e_check "no run shortcut" test ! -e "$RUN_LNK"
    e2e_check "no print shortcut" test ! -e "$PRINT_LNK"
}

# dosbox.conf: the embedded configuration, unchanged, then the generated start-up lines.
expect_conf() {
    local expected=$E2E_WORK/expected-dosbox.conf
    {
        cat "$src/resources/tessera.conf"
        printf 'mount c c:\\zorn\\\r\nc:\r\ndel f\r\nkestro.exe /ns\r\nexit\r\n'
    } >"$expected"
    e2e_check "dosbox.conf exists" test -f "$CONF"
    [[ -f $CONF ]] || return
    cp "$CONF" "$E2E_SHOTS/dosbox.conf"
    local tail_expected=$'[autoexec]\r\n# Lines in this section will be run at startup.\r\n# You can put your MOUNT lines here.\r\n\r\nmount c c:\\zorn\\\r\nc:\r\ndel f\r\nkestro.exe /ns\r\nexit\r\n'
    local tail_actual
    tail_actual=$(tail -c ${#tail_expected} "$CONF" | od -An -c | tr -s ' \n' ' ')
    e2e_expect_eq "dosbox.conf ends with the [autoexec] lines" "$tail_actual" \
        "$(printf '%s' "$tail_expected" | od -An -c | tr -s ' \n' ' ')"
    e2e_check "dosbox.conf is the embedded text plus the start-up lines, byte for byte" \
        cmp -s "$CONF" "$expected"
    e2e_check "dosbox.conf has no second mount line" \
        test "$(grep -c '^mount c ' "$CONF")" = 1
}

expect_shortcuts() {
    e2e_check "run shortcut exists" test -f "$RUN_LNK"
    e2e_check "print shortcut exists" test -f "$PRINT_LNK"
    [[ -f $RUN_LNK && -f $PRINT_LNK ]] || return
    lnk_read "$RUN_LNK"
    lnk_read "$PRINT_LNK"
    local dosbox='c:\program files (x86)\dosbox-0.74\dosbox.exe'
    local l=$RUN_LNK
    e2e_expect_eq "run: header" "$(lnk "$l" header_size) $(lnk "$l" clsid_ok)" "0x4C 1"
    e2e_expect_eq "run: target" "$(lower "$(lnk "$l" target)")" "$dosbox"
    e2e_expect_eq "run: item list path" "$(lower "$(lnk "$l" idlist_path)")" "$dosbox"
    e2e_expect_eq "run: arguments" "$(lnk "$l" arguments)" '-noconsole -conf c:\zorn\dosbox.conf'
    e2e_expect_eq "run: working folder" "$(lower "$(lnk "$l" working_dir)")" \
        'c:\program files (x86)\dosbox-0.74\'
    e2e_expect_eq "run: description" "$(lnk "$l" description)" "Tessera"
    e2e_expect_eq "run: icon" "$(lower "$(lnk "$l" icon_location)") $(lnk "$l" icon_index)" \
        'c:\zorn\tessera.ico 0'
    e2e_expect_eq "run: show command" "$(lnk "$l" show_command)" 1
    e2e_expect_eq "run: no hot key" "$(lnk "$l" hot_key)" 0x0000

    l=$PRINT_LNK
    e2e_expect_eq "print: target" "$(lower "$(lnk "$l" target)")" 'c:\zorn\spoolix.exe'
    e2e_expect_eq "print: item list path" "$(lower "$(lnk "$l" idlist_path)")" \
        'c:\zorn\spoolix.exe'
    e2e_expect_eq "print: arguments" "$(lnk "$l" arguments)" 'f'
    e2e_expect_eq "print: working folder" "$(lower "$(lnk "$l" working_dir)")" 'c:\zorn\'
    e2e_expect_eq "print: description" "$(lnk "$l" description)" 'Print File f (CTRL+ALT+P)'
    e2e_expect_eq "print: icon" "$(lower "$(lnk "$l" icon_location)") $(lnk "$l" icon_index)" \
        'c:\zorn\tessera.ico 0'
    e2e_expect_eq "print: show command" "$(lnk "$l" show_command)" 1
    e2e_expect_eq "print: hot key CTRL+ALT+P" "$(lnk "$l" hot_key)" 0x0650

    # The reader itself: every cut-off copy of a real file is refused or read the same.
    local robust
    robust=$("$E2E_WINE64" "$lnkdump" --robust "Z:$PRINT_LNK" 2>&1 | tr -d '\r' |
        sed -n 's/^robust=//p')
    e2e_check "reader copes with truncated links ($robust)" test "${robust%% *}" = ok
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
