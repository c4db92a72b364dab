# What a setup run leaves behind and what its dialogs say, shared by the end-to-end scripts of
# the setup pass (setup_e2e.sh: the test variant on the native dialog; emulated_e2e.sh: the
# real program on its own window). Source it after harness.sh and e2e_new_prefix; it needs
# $LNKDUMP (the shell-link reader) and $SRC (the source folder).
#
# Which program row a scenario expects: set_target TITLE EXE ICON [DRIVE] (default Tessera,
# kestro.exe, tessera.ico on c). It expects DOSBox 0.74 under that drive's Program Files (x86)
# unless set_emulator says otherwise.

# set_emulator PATH [EXTRA]: the emulator the run shortcut must start (a lower-case Windows
# path), and what its arguments carry after the configuration's path (" --noprimaryconf").
set_emulator() {
    EMULATOR=$1
    EMULATOR_EXTRA=${2:-}
}

set_target() {
    TITLE=$1
    TARGET_EXE=$2
    TARGET_ICON=$3
    DRIVE=${4:-c}
    if [[ $DRIVE == c ]]; then
        ZORN=$(e2e_unix_path 'C:\zorn')
    else
        ZORN=$WINEPREFIX/dosdevices/$DRIVE:/zorn
    fi
    CONF=$ZORN/dosbox.conf
    set_emulator "$DRIVE:\\program files (x86)\\dosbox-0.74\\dosbox.exe"
    DESKTOP=$(e2e_desktop_dir) || e2e_abort "the prefix has no desktop folder"
    RUN_LNK="$DESKTOP/$TITLE DOSbox.lnk"
    PRINT_LNK="$DESKTOP/Print-F.lnk"
    READY_TEXT="READY TO INSTALL: This program will create a desktop shortcut to"$'\r'"run $TITLE using DOSbox. It will make a second desktop"$'\r'"shortcut to print a specified file from the Fernwick Dos program's"$'\r'"folder."$'\r\r'"Press OK to proceed with this inatallation or CANCEL to stop."
    INSTRUCTION_TEXT="Click the $TITLE DOSbox Icon to start $TITLE."$'\r'"To print from $TITLE, choose \"print to file\""$'\r'"and always name it the single letter \"f\"."$'\r\r'"To send the file F to the default printer,"$'\r'"    click \"Print F\" icon or "$'\r'"    press CTRL+ALT+P."
    NOT_FOUND_TEXT="WARNING: Neither Tessera nor any of the Fernwick"$'\r'"wheeling programs were found in the expected location, $DRIVE:\\ZORN."$'\r'"The entire purpose of this program is to connect Dosbox to one"$'\r'"of these programs."$'\r\r'"If you installed to a different folder, please rename that folder"$'\r'"to $DRIVE:\\zorn, then run this program again. If you did not install"$'\r'"any of the Fernwick DOS programs, you must do so before using"$'\r'"this program."
}

NO_DOSBOX_TEXT=$'WARNING: Dosbox is apparently not installed on this computer.\rInstall DOSbox now?'
AFTER_INSTALL_TEXT=$'Please run this after installing DOSbox in order to create\rthe desktop shortcuts to run and print from Fernwick DOS\rprograms.'

# esc TEXT: CR, LF, tab and backslash written as the dialog log and qbprobe write them.
esc() {
    local s=${1//\\/\\\\}
    s=${s//$'\r'/\\r}
    s=${s//$'\n'/\\n}
    printf '%s' "${s//$'\t'/\\t}"
}

lower() { printf '%s' "${1,,}"; }

# lnk_read FILE: our reader's view of a shortcut file, read once per content (a rewritten file
# is read again). Call it outside $(...), whose subshell would keep the cache to itself.
declare -A LNK_CACHE
lnk_key() { printf '%s %s' "$1" "$(md5sum <"$1" 2>/dev/null)"; }
lnk_read() {
    local key
    key=$(lnk_key "$1")
    if [[ -z ${LNK_CACHE[$key]+x} ]]; then
        LNK_CACHE[$key]=$("$E2E_WINE64" "$LNKDUMP" "Z:$1" 2>>"$E2E_WORK/lnkdump.log" | tr -d '\r')
        printf '%s\n' "${LNK_CACHE[$key]}" >"$E2E_SHOTS/$(basename "$1" .lnk).fields.txt"
    fi
}

# lnk FILE KEY: a field of a shortcut file as our reader sees it (all fields are kept beside the
# screenshots).
lnk() {
    lnk_read "$1"
    printf '%s\n' "${LNK_CACHE[$(lnk_key "$1")]}" | sed -n "s/^$2=//p"
}

expect_nothing_written() {
    e2e_check "no dosbox.conf" test ! -e "$CONF"
    e2e_check "no run shortcut" test ! -e "$RUN_LNK"
    e2e_check "no print shortcut" test ! -e "$PRINT_LNK"
}

expect_no_shortcuts() {
    e2e_check "no run shortcut" test ! -e "$RUN_LNK"
    e2e_check "no print shortcut" test ! -e "$PRINT_LNK"
}

# dosbox.conf: the embedded configuration, unchanged, then the generated start-up lines.
expect_conf() {
    local expected=$E2E_WORK/expected-dosbox.conf
    # The folder is mounted as the emulator's drive C:, whatever drive holds it.
    local startup="mount c $DRIVE:\\zorn\\"$'\r\nc:\r\n'"del f"$'\r\n'"$TARGET_EXE /ns"$'\r\n'"exit"$'\r\n'
    {
        cat "$SRC/resources/tessera.conf"
        printf '%s' "$startup"
    } >"$expected"
    e2e_check "dosbox.conf exists" test -f "$CONF"
    [[ -f $CONF ]] || return
    cp "$CONF" "$E2E_SHOTS/dosbox.conf"
    local tail_expected=$'[autoexec]\r\n# Lines in this section will be run at startup.\r\n# You can put your MOUNT lines here.\r\n\r\n'"$startup"
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
    local dosbox=$EMULATOR
    local zorn="$DRIVE:\\zorn\\"
    local l=$RUN_LNK
    e2e_expect_eq "run: header" "$(lnk "$l" header_size) $(lnk "$l" clsid_ok)" "0x4C 1"
    e2e_expect_eq "run: target" "$(lower "$(lnk "$l" target)")" "$dosbox"
    e2e_expect_eq "run: item list path" "$(lower "$(lnk "$l" idlist_path)")" "$dosbox"
    e2e_expect_eq "run: arguments" "$(lnk "$l" arguments)" \
        "-noconsole -conf ${zorn}dosbox.conf$EMULATOR_EXTRA"
    e2e_expect_eq "run: working folder" "$(lower "$(lnk "$l" working_dir)")" "${dosbox%\\*}\\"
    e2e_expect_eq "run: description" "$(lnk "$l" description)" "$TITLE"
    e2e_expect_eq "run: icon" "$(lower "$(lnk "$l" icon_location)") $(lnk "$l" icon_index)" \
        "$zorn$TARGET_ICON 0"
    e2e_expect_eq "run: show command" "$(lnk "$l" show_command)" 1
    e2e_expect_eq "run: no hot key" "$(lnk "$l" hot_key)" 0x0000

    l=$PRINT_LNK
    e2e_expect_eq "print: target" "$(lower "$(lnk "$l" target)")" "${zorn}spoolix.exe"
    e2e_expect_eq "print: item list path" "$(lower "$(lnk "$l" idlist_path)")" \
        "${zorn}spoolix.exe"
    e2e_expect_eq "print: arguments" "$(lnk "$l" arguments)" 'f'
    e2e_expect_eq "print: working folder" "$(lower "$(lnk "$l" working_dir)")" "$zorn"
    e2e_expect_eq "print: description" "$(lnk "$l" description)" 'Print File f (CTRL+ALT+P)'
    e2e_expect_eq "print: icon" "$(lower "$(lnk "$l" icon_location)") $(lnk "$l" icon_index)" \
        "$zorn$TARGET_ICON 0"
    e2e_expect_eq "print: show command" "$(lnk "$l" show_command)" 1
    e2e_expect_eq "print: hot key CTRL+ALT+P" "$(lnk "$l" hot_key)" 0x0650
}

# The reader itself: every cut-off copy of a real file is refused or read the same.
expect_reader_robust() {
    local robust
    robust=$("$E2E_WINE64" "$LNKDUMP" --robust "Z:$PRINT_LNK" 2>&1 | tr -d '\r' |
        sed -n 's/^robust=//p')
    e2e_check "reader copes with truncated links ($robust)" test "${robust%% *}" = ok
}
