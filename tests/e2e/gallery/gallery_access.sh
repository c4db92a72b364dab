#!/usr/bin/env bash
# gallery_access.sh GALLERY_EXE PROBE_EXE BUILD_DIR SOURCE_DIR
#
# The emulated window as keyboard and screen-reader users meet it, beside Wine's own task dialog:
# the window lister (qbprobe) finds the same texts and names on both paths; Return with the
# pointer resting on a command link answers the default; close requests leave a Yes/No box open;
# Ctrl+C on non-ASCII text reads back right from the X clipboard; WM_DPICHANGED gives the
# layout of a window made at 144 DPI. Screenshots: the focus on a command link and on the expand
# control, and high contrast. One prefix; four starts of the gallery.
set -u
exe=$1
E2E_PROBE=$2
build=$3
src=$4

source "$src/tests/e2e/lib/harness.sh"
e2e_init gallery-access "$build"
e2e_start_display || e2e_abort "no X display"
e2e_new_prefix || e2e_abort "no Wine prefix"

CLASS=$(basename "$exe")
CLASS=${CLASS,,}
LOG=$E2E_WORK/gallery.log
: >"$LOG"
READERS=(command-links expandable-plain footer mb-yesno)

outcome() { grep "^sample=$1 \(result\|checked\)" "$LOG" | tail -1 | cut -d' ' -f2-; }

# texts FILE: "Class: text" of the visible Static and Button windows with a text, line breaks
# as "|", sorted; what a screen reader can name.
texts() {
    sed -n 's/^child .* class=\(Static\|Button\) .* visible=1 .* text=\(..*\)$/\1: \2/p' "$1" |
        sed 's/\\r\\n/|/g; s/\\r/|/g; s/\\n/|/g' | sort
}

# next_window [--not ID]...: the next dialog of the gallery.
next_window() { e2e_wait_window --class "$CLASS" --timeout 15 "$@"; }

# Native: Wine's own task dialog lists each sample's texts and names.
e2e_wine_start "$exe" --native --sample "$(IFS=,; echo "${READERS[*]}")" --log "Z:$LOG"
seen=()
for name in "${READERS[@]}"; do
    skip=()
    for w in "${seen[@]}"; do skip+=(--not "$w"); done
    win=$(next_window "${skip[@]}") || { e2e_fail "$name (native): no window"; continue; }
    seen+=("$win")
    e2e_controls "$win" >"$E2E_SHOTS/$name-native.controls.txt"
    e2e_answer "$win" Return || e2e_fail "$name (native): still open"
done
e2e_wait_exit 20 || e2e_fail "the native gallery did not end"

# Emulated: the same samples and the keyboard and pointer checks, in one gallery.
EMULATED=(command-links command-links expandable-plain footer mb-yesno unicode expandable)
e2e_wine_start "$exe" --emulated --sample "$(IFS=,; echo "${EMULATED[*]}")" --log "Z:$LOG"
seen=()
window() {
    local skip=() w
    for w in "${seen[@]}"; do skip+=(--not "$w"); done
    win=$(next_window "${skip[@]}") || return 1
    seen+=("$win")
}

# command-links: the default link has the focus; note where the first link lies, rest the
# pointer there and cancel.
if window; then
    e2e_controls "$win" >"$E2E_SHOTS/command-links-emulated.controls.txt"
    e2e_shot focus-command-link "$win" >/dev/null
    line=$(grep '^child .* class=Button .*text=Run Tessera in DOSBox' \
        "$E2E_SHOTS/command-links-emulated.controls.txt")
    x=$(e2e_control_field "$line" x) y=$(e2e_control_field "$line" y)
    w=$(e2e_control_field "$line" w) h=$(e2e_control_field "$line" h)
    xdotool mousemove $((x + w / 2)) $((y + h / 2)) 2>>"$E2E_WORK/xdotool.log"
    e2e_answer "$win" Escape || e2e_fail "command links: Escape did not cancel"
else
    e2e_fail "command-links (emulated): no window"
fi
# The same dialog opens under the resting pointer: Return still answers the default link.
if window; then
    e2e_answer "$win" Return || e2e_fail "command links: Return did not answer"
else
    e2e_fail "command-links again: no window"
fi

# expandable-plain: the expand control takes the focus from the keyboard.
if window; then
    e2e_controls "$win" >"$E2E_SHOTS/expandable-plain-emulated.controls.txt"
    focused=0
    for ((i = 0; i < 4; i++)); do
        if e2e_controls "$win" | grep -q '^child .* focus=1 .*text=See details$'; then
            focused=1
            break
        fi
        e2e_key "$win" Tab
        sleep 0.3
    done
    e2e_expect_eq "the expand control takes the focus from Tab" "$focused" 1
    e2e_shot focus-expand-control "$win" >/dev/null
    e2e_click_control "$win" OK
    e2e_wait_gone "$win" 10 || e2e_fail "expandable-plain: OK did not close"
else
    e2e_fail "expandable-plain (emulated): no window"
fi

if window; then
    e2e_controls "$win" >"$E2E_SHOTS/footer-emulated.controls.txt"
    e2e_answer "$win" Return || e2e_fail "footer: still open"
fi

# mb-yesno: the question has no close box, so close requests leave it open.
if window; then
    e2e_controls "$win" >"$E2E_SHOTS/mb-yesno-emulated.controls.txt"
    e2e_probe close --xid "$win" >/dev/null
    sleep 1.5
    e2e_check "a close request leaves the Yes/No box open" \
        bash -c "xdotool search --onlyvisible --name '' | grep -qx '$win'"
    e2e_answer "$win" Return || e2e_fail "mb-yesno: Return did not answer"
fi

# unicode: Ctrl+C, read back from the X clipboard as UTF-8 while the dialog still owns it.
if window; then
    e2e_key "$win" ctrl+c
    sleep 0.8
    copied=$(timeout 10 xclip -selection clipboard -o -target UTF8_STRING 2>>"$E2E_WORK/xclip.log" |
        tr -d '\r')
    expected=$(printf 'Café § 12\nGrüße aus Köln – 5 €\nC:\\Users\\Renée\\Desktop\\Tête.lnk')
    e2e_expect_eq "Ctrl+C reads back as UTF-8 from the X clipboard" "$copied" "$expected"
    e2e_answer "$win" Return || e2e_fail "unicode: still open"
fi

# expandable: WM_DPICHANGED to 144 lays the window out again.
if window; then
    e2e_controls "$win" >"$E2E_SHOTS/dpi-96.controls.txt"
    e2e_probe dpichange --xid "$win" 144 >/dev/null
    sleep 1.5
    e2e_controls "$win" >"$E2E_SHOTS/dpi-changed.controls.txt"
    e2e_shot dpi-changed-to-144 "$win" >/dev/null
    e2e_answer "$win" Return || e2e_fail "expandable: still open after the DPI change"
fi
e2e_wait_exit 20 || e2e_fail "the emulated gallery did not end"

e2e_expect_eq "Return with the pointer resting on a link answers the default link" \
    "$(grep '^sample=command-links result' "$LOG" | tail -1 | cut -d' ' -f2)" "result=101"
e2e_expect_eq "the Yes/No box answered Yes, not closed with 2" "$(outcome mb-yesno)" "result=6"

# The window lister names the same texts on both paths.
for name in "${READERS[@]}"; do
    native=$E2E_SHOTS/$name-native.controls.txt emulated=$E2E_SHOTS/$name-emulated.controls.txt
    {
        printf '== %s native\n' "$name"
        texts "$native"
        printf '== %s emulated\n' "$name"
        texts "$emulated"
    } >>"$E2E_SHOTS/readers.txt"
    e2e_expect_eq "$name: the lister finds the native dialog's texts and names" \
        "$(texts "$emulated")" "$(texts "$native")"
done

# client-relative rectangles of the child windows: "class text x y w h".
layout() {
    awk '/^client / { for (i = 1; i <= NF; i++) { split($i, kv, "="); c[kv[1]] = kv[2] } }
         /^child .* visible=1 / { for (i = 1; i <= NF; i++) { split($i, kv, "="); f[kv[1]] = kv[2] }
             t = $0; sub(/.* text=/, "", t)
             print f["class"], t, f["x"] - c["x"], f["y"] - c["y"], f["w"], f["h"] }' "$1" | sort
}

# High contrast: the scheme's colours (High Contrast Black) and the setting on.
"$E2E_WINE64" reg import "$src/tests/e2e/gallery/high-contrast-black.reg" >>"$E2E_WORK/reg.log" 2>&1
"$E2E_WINESERVER" -w
e2e_wine_start "$exe" --emulated --high-contrast --sample everything,links --log "Z:$LOG"
seen=()
for name in everything links; do
    if window; then
        e2e_shot "high-contrast-$name" "$win" >/dev/null
        e2e_answer "$win" Escape || e2e_answer "$win" Return || e2e_fail "$name (high contrast)"
    else
        e2e_fail "$name (high contrast): no window"
    fi
done
e2e_wait_exit 20 || e2e_fail "the high-contrast gallery did not end"

# A window made at 144 DPI: the layout the DPI change must have given.
"$E2E_WINE64" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f \
    >>"$E2E_WORK/reg.log" 2>&1
"$E2E_WINESERVER" -w
e2e_wine_start "$exe" --emulated --sample expandable --log "Z:$LOG"
seen=()
if window; then
    e2e_controls "$win" >"$E2E_SHOTS/dpi-144.controls.txt"
    e2e_shot made-at-144 "$win" >/dev/null
    e2e_answer "$win" Return || e2e_fail "expandable at 144: still open"
fi
e2e_wait_exit 20
e2e_check "the layout at 96 DPI differs from 144's" \
    test "$(layout "$E2E_SHOTS/dpi-96.controls.txt")" != "$(layout "$E2E_SHOTS/dpi-144.controls.txt")"
e2e_expect_eq "WM_DPICHANGED to 144 gives the layout of a window made at 144 DPI" \
    "$(layout "$E2E_SHOTS/dpi-changed.controls.txt")" "$(layout "$E2E_SHOTS/dpi-144.controls.txt")"

cp "$LOG" "$E2E_SHOTS/gallery.log"
e2e_finish
