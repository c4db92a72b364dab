#!/usr/bin/env bash
# The program entry under wine64: the entry checks on a machine with a target program and DOSBox,
# then quillbridge.exe itself on a machine without the target program.
# Usage: run_entry_checks.sh SOURCE_DIR BUILD_DIR ENTRY_CHECKS_EXE QUILLBRIDGE_EXE STAGING_STANDIN
set -u
source "$1/tests/e2e/lib/harness.sh"
e2e_init quillbridge_entry "$2"
checks=$3
program=$4
staging=$5

e2e_start_display || e2e_abort "Xvfb did not start"
e2e_new_prefix || e2e_abort "no Wine prefix"

e2e_sample_installs
# DOSBox Staging as its installer puts it for all users: the checks play a 32-bit process, for
# which that folder has no name of its own.
staging_dir=$(e2e_unix_path 'C:\Program Files\DOSBox Staging')
mkdir -p "$staging_dir" && cp "$staging" "$staging_dir/dosbox.exe"
e2e_wine_start "$checks"
e2e_wait_exit 120
grep -E '^(FAILED|shell-link|not-found|32-bit process|[0-9]+ of [0-9]+ checks)' "$E2E_WORK/wine.log" >&2
e2e_expect_eq "entry checks pass" "$E2E_EXIT" 0

# The shipping program with no C:\zorn: under Wine's comctl32 5.81 the not-found warning comes
# in the program's own window; answered with Return, the program ends normally.
rm -rf "$(e2e_unix_path 'C:\zorn')"
e2e_wine_start "$program"
if win=$(e2e_wait_window --class "$(basename "${program,,}")" --timeout 60); then
    e2e_shot not-found "$win" >/dev/null
    e2e_answer "$win" Return || e2e_fail "the not-found warning did not close on Return"
else
    e2e_fail "quillbridge.exe without a target program showed no warning"
fi
e2e_wait_exit 30
e2e_expect_eq "quillbridge.exe without a target program exits 0" "$E2E_EXIT" 0
e2e_shot no-target >/dev/null
e2e_finish
