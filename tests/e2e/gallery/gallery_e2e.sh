#!/usr/bin/env bash
# gallery_e2e.sh GALLERY_EXE BUILD_DIR SOURCE_DIR
#
# Shows gallery samples through Wine's real TaskDialogIndirect (--native), answers them with
# keys, photographs each, and checks from the gallery's log what the component handed to the
# system and what it returned to its caller.
set -u
exe=$1
build=$2
src=$3

source "$src/tests/e2e/lib/harness.sh"
e2e_init gallery "$build"
e2e_start_display || e2e_abort "no X display"
e2e_new_prefix || e2e_abort "no Wine prefix"

LOG=$E2E_WORK/gallery.log
: >"$LOG"
CLASS=$(basename "$exe")
CLASS=${CLASS,,}

# show NAME KEYS...: run one sample natively, photograph it, answer it with the keys (none:
# let it close by itself), wait for the gallery to end.
show() {
    local name=$1 win
    shift
    e2e_wine_start "$exe" --native --sample "$name" --log "Z:$LOG"
    win=$(e2e_wait_window --class "$CLASS") || {
        e2e_fail "$name: no dialog"
        e2e_wait_exit 5
        return 1
    }
    e2e_shot "$name" "$win" >/dev/null
    (($#)) && { e2e_answer "$win" "$@" || e2e_fail "$name: still open after keys $*"; }
    e2e_wait_exit 15 || e2e_fail "$name: the gallery did not end"
    e2e_expect_eq "$name: gallery exit code" "$E2E_EXIT" 0
}

# outcome NAME: what the sample returned to its caller (the gallery's last line for it).
outcome() { grep "^sample=$1 \(result\|checked\)" "$LOG" | tail -1 | cut -d' ' -f2-; }
# native NAME KEY: a field of the native dialog the sample showed, as TaskDialogIndirect got it.
native() {
    grep -B1000 "^sample=$1 \(result\|checked\)" "$LOG" | grep '^done' | tail -1 | tr '\t' '\n' |
        sed -n "s/^$2=//p"
}

# Message boxes through the facade: custom captions, default button, result mapping.
show mb-abortretryignore Return
e2e_expect_eq "abort/retry/ignore: custom buttons" "$(native mb-abortretryignore buttons)" \
    '100:Abort|101:&Retry|102:&Ignore'
e2e_expect_eq "abort/retry/ignore: third button is the default" \
    "$(native mb-abortretryignore default)" 102
e2e_expect_eq "abort/retry/ignore: Return gives IDIGNORE" \
    "$(native mb-abortretryignore result) $(outcome mb-abortretryignore)" "102 result=5"

show mb-yesnocancel Escape
e2e_expect_eq "yes/no/cancel: standard buttons, cancel allowed, TD_WARNING_ICON" \
    "$(native mb-yesnocancel common) $(native mb-yesnocancel flags) $(native mb-yesnocancel mainicon)" \
    "0xE 0x8 65535"
e2e_expect_eq "yes/no/cancel: second button (No) is the default" \
    "$(native mb-yesnocancel default)" 7
e2e_expect_eq "yes/no/cancel: Escape gives IDCANCEL" "$(outcome mb-yesnocancel)" "result=2"

show mb-help Tab Return
e2e_expect_eq "help: OK plus a custom Help button" \
    "$(native mb-help common) $(native mb-help buttons)" "0x1 100:&Help"
e2e_expect_eq "help: choosing Help (id 100) gives 0" \
    "$(native mb-help result) $(outcome mb-help)" "100 result=0"

show show-message Return
e2e_expect_eq "show message: no buttons of its own, information icon" \
    "$(native show-message common) $(native show-message mainicon) $(native show-message title)" \
    "0x0 65533 (null)"

# Task dialogs built directly.
show radio Return
e2e_expect_eq "radio: the default radio button is reported" "$(outcome radio)" \
    "result=1 radio=201 checked=0"

show command-links Return
e2e_expect_eq "command links: flags (with the question icon's handle) and escaped note lines" \
    "$(native command-links flags) $(native command-links buttons | cut -d'|' -f1)" \
    '0x12 100:Run Tessera in DOSBox\nStarts the emulator with dosbox.conf'
e2e_expect_eq "command links: the default link answers" "$(outcome command-links)" \
    "result=101 radio=0 checked=0"
e2e_check "command links: OnButtonClick fired" grep -q '^sample=command-links event=button id=101' "$LOG"

show verification Return
e2e_expect_eq "verification: starts checked, No is the default" "$(outcome verification)" \
    "result=7 radio=0 checked=1"

show expandable Return
e2e_expect_eq "expandable: expanded by default, texts passed" \
    "$(native expandable flags) $(native expandable expanded | cut -c1-29)" \
    '0x80 dosbox.conf: c:\\zorn\\dosbox'

show footer Return
e2e_expect_eq "footer: text and information icon" \
    "$(native footer footericon) $(native footer footer | cut -c1-11)" "65533 Quillbridge"

show links Return
e2e_expect_eq "links: hyperlinks enabled" "$(native links flags)" "0x1"

show everything Escape
e2e_check "everything: OnDialogCreated fired" grep -q '^sample=everything event=created' "$LOG"
e2e_expect_eq "everything: Escape cancels" "$(outcome everything | cut -d' ' -f1)" "result=2"

# The timer: nobody answers; AutoClose presses the default button once 3000 ms have passed. The
# system ticks every 200 ms, each tick telling the milliseconds since the dialog was created, so
# the click comes within a tick of the timeout (it used to take twice as long). The click is
# timed by the sample's log line: hiding a window under Xvfb without a window manager makes Wine
# wait two more seconds before the dialog is gone.
e2e_wine_start "$exe" --native --sample timer --log "Z:$LOG"
if win=$(QB_E2E_SETTLE=0 e2e_wait_window --class "$CLASS"); then
    shown=$(date +%s%N)
    e2e_shot timer "$win" >/dev/null
    for ((i = 0; i < 200; i++)); do
        grep -q '^sample=timer event=button' "$LOG" && break
        sleep 0.05
    done
    click_ms=$((($(date +%s%N) - shown) / 1000000))
    e2e_log "timer: clicked ${click_ms} ms after the dialog was seen"
    e2e_check "timer: clicked on time, not later (${click_ms} ms)" \
        test "$click_ms" -ge 2000 -a "$click_ms" -le 4000
    e2e_wait_exit 15 || e2e_fail "timer: the gallery did not end"
else
    e2e_wait_exit 15
    e2e_fail "timer: no dialog"
fi
e2e_expect_eq "timer: closed by itself with the default button" "$(outcome timer)" \
    "result=1 radio=0 checked=0"
closed_at=$(sed -n 's/^sample=timer event=button id=1 elapsed=//p' "$LOG" | tail -1)
e2e_check "timer: ElapsedTime at the click is the tick after 3000 ms (${closed_at:-none})" \
    test "${closed_at:-0}" -gt 3000 -a "${closed_at:-0}" -le 3400

# The progress bar moves on timer ticks: photograph it part way.
e2e_wine_start "$exe" --native --sample progress --log "Z:$LOG"
if win=$(e2e_wait_window --class "$CLASS"); then
    sleep 2
    e2e_shot progress-moving "$win" >/dev/null
    e2e_answer "$win" Escape
fi
e2e_wait_exit 15
e2e_expect_eq "progress: Escape cancels" "$(outcome progress)" "result=2 radio=0 checked=0"

# OnCloseQuery refuses the first click: the dialog must still be there after it.
e2e_wine_start "$exe" --native --sample close-query --log "Z:$LOG"
if win=$(e2e_wait_window --class "$CLASS"); then
    e2e_key "$win" Return
    sleep 1.5
    e2e_check "close query: still open after the refused click" e2e_running
    e2e_shot close-query-refused "$win" >/dev/null
    e2e_answer "$win" Return
fi
e2e_wait_exit 15
e2e_expect_eq "close query: closes on the second click" "$(outcome close-query)" \
    "result=1 radio=0 checked=0"
e2e_expect_eq "close query: asked twice" "$(grep -c '^sample=close-query event=closequery' "$LOG")" 2

# The chooser: the first group, then Show opens its first sample, then the group comes back.
e2e_wine_start "$exe" --native --log "Z:$LOG"
if win=$(e2e_wait_window --class "$CLASS"); then
    e2e_shot chooser "$win" >/dev/null
    e2e_answer "$win" Return
    if win2=$(e2e_wait_window --class "$CLASS" --not "$win"); then
        e2e_shot chooser-group "$win2" >/dev/null
        e2e_answer "$win2" Return
        if win3=$(e2e_wait_window --class "$CLASS" --not "$win2"); then
            e2e_shot chooser-first-sample "$win3" >/dev/null
            e2e_answer "$win3" Return
            win4=$(e2e_wait_window --class "$CLASS" --not "$win3") &&
                e2e_shot chooser-group-again "$win4" >/dev/null
        fi
    fi
fi
e2e_check "chooser: the first group opened" grep -q '^chooser result=100$' "$LOG"
e2e_check "chooser: Show ran the group's first sample" grep -q '^group result=100 radio=200' "$LOG"
e2e_expect_eq "chooser: first sample answered" "$(outcome mb-ok)" "result=1"
"$E2E_WINESERVER" -k
e2e_wait_exit 5

# The emulated path: a window when it exists, else Execute's -1 reaches the facade as 0.
e2e_wine_start "$exe" --emulated --sample mb-yesno --log "Z:$LOG"
if win=$(e2e_wait_window --class "$CLASS" --timeout 5 2>/dev/null); then
    e2e_shot emulated-mb-yesno "$win" >/dev/null
    e2e_answer "$win" Return
    e2e_wait_exit 15
    e2e_expect_eq "emulated: Yes by default" "$(outcome mb-yesno)" "result=6"
else
    e2e_wait_exit 15
    e2e_expect_eq "emulated: nothing shown, the facade reports 0" "$(outcome mb-yesno)" "result=0"
fi

cp "$LOG" "$E2E_SHOTS/gallery.log"
e2e_finish
