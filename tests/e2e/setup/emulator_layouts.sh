# The emulators people install today, each where its installer puts it or records it, as a table
# of layouts run one after another in one Wine prefix. Sourced by emulated_e2e.sh (scenario
# "emulators"), whose dialog helpers it uses. For each layout the real program runs once: every
# question is photographed as LAYOUT-N-*.png, both shortcuts are read back with our reader (kept
# as LAYOUT-*.fields.txt), and the layout is taken away again before the next one.
#
# The stand-ins are tiny programs with the real products' version resources (EmulatorStandIn.rc):
# standin_dosbox074, standin_staging and standin_dosboxx, built beside lnkdump.

STANDINS=$(dirname "$LNKDUMP")
UNINSTALL='Software\Microsoft\Windows\CurrentVersion\Uninstall'
STAGING_ENTRY='{587471B7-02F6-4F25-8D00-70006790653C}_is1'
DOSBOX_X_ENTRY='{63E5D76D-0092-415C-B97C-E0D2F4F6D2EC}_is1'
PLACED=()

# put_emulator STANDIN 'C:\path\to\emulator.exe': the stand-in copied there.
put_emulator() {
    local file
    file=$(e2e_unix_path "$2")
    mkdir -p "$(dirname "$file")"
    cp "$STANDINS/standin_$1.exe" "$file"
    PLACED+=("$(dirname "$file")")
}

# registry LINE...: the lines of a .reg file (keys and values), imported by Wine's reg. HKLM
# keys land in the 64-bit view; the 32-bit view is Software\Wow6432Node, as on Windows.
registry() {
    local file=$E2E_WORK/layout.reg
    printf 'Windows Registry Editor Version 5.00\r\n\r\n' >"$file"
    printf '%s\r\n' "$@" >>"$file"
    "$E2E_WINE64" reg import "$file" >>"$E2E_WORK/reg.log" 2>&1 ||
        e2e_fail "reg import of: $*"
}

# forget_layout: no emulator, record, shortcut or configuration of the last layout stays.
forget_layout() {
    local keys=() root key
    for root in HKEY_CURRENT_USER\\Software HKEY_LOCAL_MACHINE\\Software \
        HKEY_LOCAL_MACHINE\\Software\\Wow6432Node; do
        keys+=("[-$root\\dosbox-staging]" "[-$root\\DOSBox-X]")
    done
    for root in HKEY_CURRENT_USER HKEY_LOCAL_MACHINE; do
        for key in "$STAGING_ENTRY" "$DOSBOX_X_ENTRY"; do
            keys+=("[-$root\\$UNINSTALL\\$key]")
        done
    done
    registry "${keys[@]}"
    rm -rf "${PLACED[@]}" "$RUN_LNK" "$PRINT_LNK" "$CONF"
    PLACED=()
}

# keep_evidence LAYOUT: the shortcut fields and dosbox.conf under the layout's name.
keep_evidence() {
    local file
    for file in "$E2E_SHOTS/$TITLE DOSbox.fields.txt" "$E2E_SHOTS/Print-F.fields.txt" \
        "$E2E_SHOTS/dosbox.conf"; do
        [[ -f $file ]] && mv "$file" "$E2E_SHOTS/$1-$(basename "$file")"
    done
}

# run_layout LAYOUT FOUND [EXTRA]: the program must find the emulator FOUND (a lower-case
# Windows path) and start it with EXTRA after the usual arguments; with FOUND empty it must say
# that DOSBox is missing (answered No) and write nothing.
run_layout() {
    local layout=$1 found=$2
    e2e_log "layout $layout"
    start_program
    if [[ -n $found ]]; then
        set_emulator "$found" "${3:-}"
        next_window "$layout-1-ready-to-install" && {
            e2e_shot "$layout-1-ready-to-install" "$WIN" >/dev/null
            e2e_expect_eq "$layout: the ready-to-install question" "$(e2e_controls "$WIN" |
                grep '^child .*class=Button.* visible=1 ' | sed 's/.* text=//' | paste -sd'|')" \
                'OK|Cancel'
            answer_dialog "$layout-1-ready-to-install" "$WIN" key Return
        }
        next_window "$layout-2-instructions" && {
            e2e_shot "$layout-2-instructions" "$WIN" >/dev/null
            answer_dialog "$layout-2-instructions" "$WIN" key Return
        }
        finish_program
        expect_conf
        expect_shortcuts
    else
        dialog "$layout-1-dosbox-missing" Quillbridge "$NO_DOSBOX_TEXT" '&Yes|&No' key alt+n
        finish_program
        expect_nothing_written
    fi
    keep_evidence "$layout"
    forget_layout
}

run_emulator_layouts() {
    local user programs staging=' --noprimaryconf'
    user=$(basename "$(dirname "$DESKTOP")")
    programs="C:\\users\\$user\\AppData\\Local\\Programs"

    # The 64-bit Program Files, for all users (this 64-bit program is told it under number 38).
    put_emulator staging 'C:\Program Files\DOSBox Staging\dosbox.exe'
    run_layout program-files-64 'c:\program files\dosbox staging\dosbox.exe' "$staging"

    # The per-user programs folder, the default of Staging's installer.
    put_emulator staging "$programs\\DOSBox Staging\\dosbox.exe"
    run_layout user-programs "$(lower "$programs")\\dosbox staging\\dosbox.exe" "$staging"

    # Staging in a folder renamed to plain DOSBox: only its version resource says which it is.
    put_emulator staging 'C:\Program Files\DOSBox\dosbox.exe'
    run_layout version-resource 'c:\program files\dosbox\dosbox.exe' "$staging"

    # Staging's Path value in HKCU.
    put_emulator staging 'C:\Emulators\Staging\dosbox.exe'
    registry '[HKEY_CURRENT_USER\Software\dosbox-staging]' '"Path"="C:\\Emulators\\Staging"'
    run_layout path-hkcu 'c:\emulators\staging\dosbox.exe' "$staging"

    # DOSBox-X's Path value in HKLM's 32-bit view, after a stale one of Staging's in HKCU.
    put_emulator dosboxx 'C:\Emulators\DOSBox-X\dosbox-x.exe'
    registry '[HKEY_CURRENT_USER\Software\dosbox-staging]' '"Path"="C:\\Gone"' \
        '[HKEY_LOCAL_MACHINE\Software\Wow6432Node\DOSBox-X]' '"Path"="C:\\Emulators\\DOSBox-X"'
    run_layout path-hklm-32bit-view 'c:\emulators\dosbox-x\dosbox-x.exe'

    # Staging's uninstall entry in HKLM's 64-bit view.
    put_emulator staging 'C:\Apps\Staging\dosbox.exe'
    registry "[HKEY_LOCAL_MACHINE\\$UNINSTALL\\$STAGING_ENTRY]" \
        '"DisplayName"="DOSBox Staging version 0.82.0"' \
        '"InstallLocation"="C:\\Apps\\Staging\\"'
    run_layout uninstall-hklm 'c:\apps\staging\dosbox.exe' "$staging"

    # DOSBox-X's uninstall entry in HKCU.
    put_emulator dosboxx 'C:\Apps\X\dosbox-x.exe'
    registry "[HKEY_CURRENT_USER\\$UNINSTALL\\$DOSBOX_X_ENTRY]" \
        '"DisplayName"="DOSBox-X 2024.03.01 (64-bit)"' '"InstallLocation"="C:\\Apps\\X"'
    run_layout uninstall-hkcu 'c:\apps\x\dosbox-x.exe'

    # DOSBox-X's default folder at the root of the system drive.
    put_emulator dosboxx 'C:\DOSBox-X\dosbox-x.exe'
    run_layout dosbox-x-default 'c:\dosbox-x\dosbox-x.exe'

    # 0.74 beside Staging in both of Staging's folders: today's search comes first, unchanged.
    put_emulator dosbox074 'C:\Program Files (x86)\DOSBox-0.74\dosbox.exe'
    put_emulator staging 'C:\Program Files\DOSBox Staging\dosbox.exe'
    put_emulator staging "$programs\\DOSBox Staging\\dosbox.exe"
    run_layout classic-beside-staging 'c:\program files (x86)\dosbox-0.74\dosbox.exe'

    # Only stale records: a Path to a folder that is gone, an uninstall entry to an empty one.
    mkdir -p "$(e2e_unix_path 'C:\Apps\Removed')"
    PLACED+=("$(e2e_unix_path 'C:\Apps\Removed')")
    registry '[HKEY_CURRENT_USER\Software\dosbox-staging]' '"Path"="C:\\Gone"' \
        "[HKEY_LOCAL_MACHINE\\$UNINSTALL\\$DOSBOX_X_ENTRY]" '"DisplayName"="DOSBox-X"' \
        '"InstallLocation"="C:\\Apps\\Removed\\"'
    run_layout stale-records ''
}
