#!/usr/bin/env bash
# The Win32 backend against real system calls under wine64: the check program's own checks, then
# one task dialog shown through the host, photographed and answered with keys.
# Usage: run_backend_checks.sh SOURCE_DIR BUILD_DIR CHECKS_EXE RESOURCE_DATA_FILE
set -u
source "$1/tests/e2e/lib/harness.sh"
e2e_init win32_backend "$2"
exe=$3
data=$4

e2e_start_display || e2e_abort "Xvfb did not start"
e2e_new_prefix || e2e_abort "no Wine prefix"

# Wine shows the Linux file system as drive Z:.
e2e_wine_start "$exe" --data "Z:${data//\//\\}"
e2e_wait_exit 150
grep -E '^(FAILED|system|comctl32|invalid parent|[0-9]+ of [0-9]+ checks)' "$E2E_WORK/wine.log" >&2
e2e_expect_eq "backend checks pass" "$E2E_EXIT" 0

: >"$E2E_WORK/wine.log"
e2e_wine_start "$exe" --dialog
if win=$(e2e_wait_window --name 'Backend check'); then
    e2e_log "dialog shown: $(e2e_shot task-dialog "$win")"
    e2e_key "$win" Return
    e2e_wait_exit 20
    e2e_expect_eq "Return presses the default custom button" "$E2E_EXIT" 101
else
    e2e_fail "the task dialog did not appear"
fi

e2e_wine_start "$exe" --dialog
if win=$(e2e_wait_window --name 'Backend check'); then
    e2e_key "$win" Escape
    e2e_wait_exit 20
    e2e_expect_eq "Escape cancels the dialog" "$E2E_EXIT" 2
else
    e2e_fail "the task dialog did not appear a second time"
fi
grep -E '^button' "$E2E_WORK/wine.log" >&2
e2e_finish
