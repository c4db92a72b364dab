# End-to-end harness for Windows programs under wine64 and Xvfb. Source it from a bash test:
#
#   source "$QB_SOURCE_DIR/tests/e2e/lib/harness.sh"
#   e2e_init my_test "$BUILD_DIR"      # work folder, screenshot folder, cleanup on exit
#   e2e_start_display                  # Xvfb on a free display (or $DISPLAY with QB_E2E_DISPLAY)
#   e2e_new_prefix                     # fresh WINEPREFIX under the build folder
#   e2e_wine_start "$EXE" --flag       # runs in the background; E2E_PID
#   win=$(e2e_wait_window --class my.exe) || e2e_fail "no window"
#   e2e_shot first-dialog "$win"; e2e_key "$win" Return
#   e2e_wait_exit 20; echo "exit code $E2E_EXIT"
#   e2e_finish                         # prints the verdict, exits 0 or 1
#
# There is no window manager under bare Xvfb: keys go to a window with `xdotool key --window`,
# clicks go to screen coordinates, and windows are found by class, name or process id.

E2E_WINE64=${QB_WINE64:-/usr/lib/wine/wine64}
E2E_WINESERVER=${QB_WINESERVER:-/usr/lib/wine/wineserver}
E2E_TIMEOUT=${QB_E2E_TIMEOUT:-30}
E2E_FAILURES=0
E2E_CHECKS=0
E2E_XVFB_PID=
E2E_PID=
E2E_EXIT=

e2e_log() { printf '[e2e %s] %s\n' "${E2E_NAME:-?}" "$*" >&2; }

# e2e_init NAME BUILD_DIR [WORK_DIR [SHOTS_DIR]]: folders for this test (by default
# BUILD_DIR/e2e-work/NAME and BUILD_DIR/e2e-shots/NAME, both emptied) and the exit trap.
e2e_init() {
    E2E_NAME=$1
    mkdir -p "${2:?build folder}"
    E2E_BUILD=$(cd "$2" && pwd)
    E2E_WORK=${3:-$E2E_BUILD/e2e-work/$E2E_NAME}
    E2E_SHOTS=${4:-$E2E_BUILD/e2e-shots/$E2E_NAME}
    rm -rf "$E2E_WORK" "$E2E_SHOTS"
    mkdir -p "$E2E_WORK" "$E2E_SHOTS"
    export WINEDEBUG=${WINEDEBUG:--all}
    # No Mono or Gecko download prompts in a fresh prefix, and no menu or desktop entries made
    # on this machine for the shortcuts a test writes.
    export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}
    # Wine links the prefix's Desktop and Documents to $HOME: keep the real home out of reach.
    mkdir -p "$E2E_WORK/home"
    export HOME=$E2E_WORK/home
    trap e2e_cleanup EXIT
    trap 'exit 130' INT TERM
}

# e2e_start_display: an Xvfb of our own, or the caller's display when QB_E2E_DISPLAY is set.
e2e_start_display() {
    if [[ -n ${QB_E2E_DISPLAY:-} ]]; then
        export DISPLAY=${DISPLAY:-$QB_E2E_DISPLAY}
        e2e_log "using display $DISPLAY"
        return 0
    fi
    local fdfile=$E2E_WORK/xvfb.display
    : >"$fdfile"
    # -displayfd lets Xvfb pick a free display number itself and tell us when it is ready.
    Xvfb -displayfd 3 -screen 0 "${QB_E2E_SCREEN:-1024x768x24}" -nolisten tcp -noreset \
        3>"$fdfile" >"$E2E_WORK/xvfb.log" 2>&1 &
    E2E_XVFB_PID=$!
    # Should this shell die without running its exit trap (killed, crashed), the server goes too.
    (
        trap '' INT TERM
        while kill -0 $$ 2>/dev/null; do sleep 2; done
        kill "$E2E_XVFB_PID" 2>/dev/null
    ) >/dev/null 2>&1 </dev/null &
    local i
    for ((i = 0; i < 100; i++)); do
        if [[ -s $fdfile ]]; then
            export DISPLAY=:$(tr -d '\n' <"$fdfile")
            e2e_log "Xvfb on $DISPLAY (pid $E2E_XVFB_PID)"
            return 0
        fi
        kill -0 "$E2E_XVFB_PID" 2>/dev/null || break
        sleep 0.1
    done
    e2e_log "Xvfb did not start: $(cat "$E2E_WORK/xvfb.log")"
    return 1
}

# e2e_new_prefix [--user NAME] [--lang LOCALE]: a fresh WINEPREFIX for this test. wineboot runs
# once per build folder into a template (about 15 s); each test gets its own copy of it (about
# 2 s). With --user the profile is C:\users\NAME (Wine takes it from USER when it makes the
# prefix); with --lang Wine's ANSI code page follows that locale (ja_JP.UTF-8: 932, C.UTF-8:
# 1252). Both stay exported for the programs the test runs, each such pair with a template of its
# own.
e2e_new_prefix() {
    local user= lang=
    while (($#)); do
        case $1 in
        --user) user=$2; shift 2 ;;
        --lang) lang=$2; shift 2 ;;
        *) e2e_log "e2e_new_prefix: unknown option $1"; return 2 ;;
        esac
    done
    if [[ -n $lang ]]; then
        if [[ $lang != C.* ]] && ! locale -a 2>/dev/null | grep -qix "${lang/UTF-8/utf8}"; then
            e2e_log "locale $lang is not generated here (tools/test.sh generates it)"
            return 1
        fi
        export LANG=$lang
        unset LC_ALL LC_CTYPE
    fi
    [[ -n $user ]] && export USER=$user
    local cache=$E2E_BUILD/e2e-wine
    local template=$cache/template
    if [[ -n $user || -n $lang ]]; then
        template=$cache/template-$(printf '%s/%s' "$user" "$lang" | md5sum | cut -c1-12)
    fi
    mkdir -p "$cache"
    (
        flock 9
        if [[ ! -f $template/.qb-ready ]]; then
            rm -rf "$template"
            e2e_log "wineboot -i into $template"
            mkdir -p "$cache/home"
            HOME=$cache/home WINEPREFIX=$template "$E2E_WINE64" wineboot -i \
                >"$template.wineboot.log" 2>&1
            HOME=$cache/home WINEPREFIX=$template "$E2E_WINESERVER" -w
            [[ -d $template/drive_c/windows ]] || exit 1
            # Desktop, Documents... are links to the home folder: make them plain folders so
            # that every copy of the prefix has a desktop of its own.
            local link
            for link in "$template"/drive_c/users/*/*; do
                if [[ -L $link ]]; then
                    rm -f "$link"
                    mkdir -p "$link"
                fi
            done
            touch "$template/.qb-ready"
        fi
    ) 9>"$template.lock" || {
        e2e_log "wineboot failed: $(tail -5 "$template.wineboot.log")"
        return 1
    }
    export WINEPREFIX=$E2E_WORK/prefix
    rm -rf "$WINEPREFIX"
    cp -a "$template" "$WINEPREFIX"
    rm -f "$WINEPREFIX/.qb-ready"
}

# e2e_unix_path 'C:\some\path': where a C: path of the prefix lives on this machine.
e2e_unix_path() {
    local p=${1#[Cc]:}
    p=${p//\\//}
    printf '%s/drive_c%s\n' "$WINEPREFIX" "$p"
}

# e2e_desktop_dir: the user's desktop folder inside the prefix (created by wineboot).
e2e_desktop_dir() {
    local d
    for d in "$WINEPREFIX"/drive_c/users/*/Desktop; do
        [[ -d $d && $d != */Public/* ]] && {
            printf '%s\n' "$d"
            return 0
        }
    done
    return 1
}

# e2e_wine_start EXE ARGS...: start a Windows program in the background (E2E_PID); its
# output goes to $E2E_WORK/wine.log.
e2e_wine_start() {
    E2E_EXIT=
    "$E2E_WINE64" "$@" >>"$E2E_WORK/wine.log" 2>&1 &
    E2E_PID=$!
    e2e_log "started $(basename "$1") (pid $E2E_PID)"
}

# e2e_wait_exit [SECONDS]: wait for the program started last; E2E_EXIT holds its exit code
# (124 when it had to be killed).
e2e_wait_exit() {
    local limit=${1:-$E2E_TIMEOUT} i
    for ((i = 0; i < limit * 10; i++)); do
        if ! kill -0 "$E2E_PID" 2>/dev/null; then
            wait "$E2E_PID"
            E2E_EXIT=$?
            return 0
        fi
        sleep 0.1
    done
    e2e_log "pid $E2E_PID still running after ${limit}s: killing the wine server"
    "$E2E_WINESERVER" -k 2>/dev/null
    wait "$E2E_PID" 2>/dev/null
    E2E_EXIT=124
    return 1
}

# e2e_running: true while the program started last is alive.
e2e_running() { [[ -n $E2E_PID ]] && kill -0 "$E2E_PID" 2>/dev/null; }

# e2e_find_windows [--class C] [--name N] [--pid P]: visible windows matching every criterion
# given, one id a line. Wine names the X class after the exe, lower case.
e2e_find_windows() {
    local args=() class= name= pid=
    while (($#)); do
        case $1 in
        --class) class=$2; shift 2 ;;
        --name) name=$2; shift 2 ;;
        --pid) pid=$2; shift 2 ;;
        *) e2e_log "e2e_find_windows: unknown option $1"; return 2 ;;
        esac
    done
    [[ -n $class ]] && args+=(--class "$class")
    [[ -n $name ]] && args+=(--name "$name")
    [[ -n $pid ]] && args+=(--pid "$pid")
    ((${#args[@]})) || args=(--name '')
    xdotool search --onlyvisible "${args[@]}" 2>/dev/null
}

# e2e_wait_window [criteria as e2e_find_windows] [--timeout S] [--not ID]...: the id of the
# newest visible window that matches, once it has a non-zero size. Windows named with --not
# (the ones already answered) are skipped. Fails if none appears in time or the program ends.
e2e_wait_window() {
    local crit=() skip=() limit=$E2E_TIMEOUT i id w
    while (($#)); do
        case $1 in
        --timeout) limit=$2; shift 2 ;;
        --not) skip+=("$2"); shift 2 ;;
        *) crit+=("$1" "$2"); shift 2 ;;
        esac
    done
    for ((i = 0; i < limit * 5; i++)); do
        local found=()
        mapfile -t found < <(e2e_find_windows "${crit[@]}")
        for ((w = ${#found[@]} - 1; w >= 0; w--)); do
            id=${found[w]}
            [[ " ${skip[*]} " == *" $id "* ]] && continue
            if e2e_window_geometry "$id" >/dev/null; then
                # Let the window finish painting before anyone photographs or answers it.
                sleep "${QB_E2E_SETTLE:-0.7}"
                printf '%s\n' "$id"
                return 0
            fi
        done
        if [[ -n $E2E_PID ]] && ! kill -0 "$E2E_PID" 2>/dev/null; then
            e2e_log "program ended while waiting for a window (${crit[*]})"
            return 1
        fi
        sleep 0.2
    done
    e2e_log "no window (${crit[*]}) within ${limit}s"
    return 1
}

# e2e_window_geometry ID: "X Y WIDTH HEIGHT" on screen; fails for unmapped or empty windows.
e2e_window_geometry() {
    local X= Y= WIDTH= HEIGHT= SCREEN= WINDOW=
    eval "$(xdotool getwindowgeometry --shell "$1" 2>/dev/null)" || return 1
    [[ -n $WIDTH && $WIDTH -gt 1 && $HEIGHT -gt 1 ]] || return 1
    printf '%s %s %s %s\n' "$X" "$Y" "$WIDTH" "$HEIGHT"
}

# e2e_window_name ID: the window's title.
e2e_window_name() { xdotool getwindowname "$1" 2>/dev/null; }

# e2e_key ID KEY...: send keys (xdotool names: Return, Escape, Tab, alt+y...) to a window.
e2e_key() {
    local id=$1
    shift
    # xdotool complains about the focus of a display without a window manager; that is noise.
    xdotool key --window "$id" --delay 80 "$@" 2>>"$E2E_WORK/xdotool.log"
}

# e2e_answer ID KEY...: send keys that close a window and wait until it has gone. A single key
# is sent once more if the window is still there after a few seconds: a slow Wine can drop a
# key that arrives before the dialog has taken the focus. (Key sequences are not repeated: half
# of one may have arrived.)
e2e_answer() {
    local id=$1
    shift
    e2e_key "$id" "$@"
    e2e_wait_gone "$id" 6 && return 0
    if (($# == 1)); then
        e2e_log "window $id still open after $1: sending it again"
        e2e_key "$id" "$1"
        e2e_wait_gone "$id" 10 && return 0
    fi
    return 1
}

# e2e_click X Y: a left click at screen coordinates.
e2e_click() { xdotool mousemove --sync "$1" "$2" click 1 2>>"$E2E_WORK/xdotool.log"; }

# e2e_click_in ID DX DY: a left click at a point relative to a window's top left corner.
e2e_click_in() {
    local geo
    geo=$(e2e_window_geometry "$1") || return 1
    read -r x y _ _ <<<"$geo"
    e2e_click $((x + $2)) $((y + $3))
}

# e2e_shot NAME [WINDOW]: the whole screen as $E2E_SHOTS/NAME.png, plus the window alone as
# NAME-window.png when an id is given. Prints the screen shot's path.
e2e_shot() {
    local file=$E2E_SHOTS/$1.png
    import -window root "$file" 2>>"$E2E_WORK/import.log" || e2e_log "screenshot $1 failed"
    if [[ -n ${2:-} ]]; then
        import -window "$2" "$E2E_SHOTS/$1-window.png" 2>>"$E2E_WORK/import.log" || true
    fi
    printf '%s\n' "$file"
}

# e2e_check DESCRIPTION COMMAND...: run a check and count it.
e2e_check() {
    local what=$1
    shift
    E2E_CHECKS=$((E2E_CHECKS + 1))
    if "$@"; then
        e2e_log "ok: $what"
    else
        E2E_FAILURES=$((E2E_FAILURES + 1))
        e2e_log "FAILED: $what"
    fi
}

# e2e_expect_eq DESCRIPTION ACTUAL EXPECTED: a counted comparison that shows both on a mismatch.
e2e_expect_eq() {
    if [[ $2 == "$3" ]]; then
        e2e_check "$1" true
    else
        e2e_fail "$1"
        printf '    expected: %q\n    actual:   %q\n' "$3" "$2" >&2
    fi
}

# e2e_wait_gone ID [SECONDS]: wait until a window is no longer shown.
e2e_wait_gone() {
    local limit=${2:-$E2E_TIMEOUT} i
    for ((i = 0; i < limit * 10; i++)); do
        xdotool search --onlyvisible --name '' 2>/dev/null | grep -qx "$1" || return 0
        sleep 0.1
    done
    return 1
}

# e2e_fail MESSAGE: record a failure without stopping.
e2e_fail() {
    E2E_CHECKS=$((E2E_CHECKS + 1))
    E2E_FAILURES=$((E2E_FAILURES + 1))
    e2e_log "FAILED: $*"
}

# e2e_abort MESSAGE: a failure after which the test cannot go on.
e2e_abort() {
    e2e_fail "$@"
    e2e_finish
}

# e2e_finish: print the verdict and exit 0 only when every check passed.
e2e_finish() {
    e2e_log "$((E2E_CHECKS - E2E_FAILURES)) of $E2E_CHECKS checks passed; screenshots in $E2E_SHOTS"
    if ((E2E_FAILURES)); then
        [[ -s $E2E_WORK/wine.log ]] && { e2e_log "wine output:"; tail -20 "$E2E_WORK/wine.log" >&2; }
        exit 1
    fi
    exit 0
}

# Exit trap: stop what we started. The prefix is removed on success (it is large) unless
# QB_E2E_KEEP_PREFIX is set; a failing test keeps it for a look.
e2e_cleanup() {
    local rc=$?
    if [[ -n ${WINEPREFIX:-} && -d ${WINEPREFIX:-} ]]; then
        "$E2E_WINESERVER" -k 2>/dev/null
        "$E2E_WINESERVER" -w 2>/dev/null
    fi
    if [[ -n $E2E_XVFB_PID ]]; then
        kill "$E2E_XVFB_PID" 2>/dev/null
        wait "$E2E_XVFB_PID" 2>/dev/null
    fi
    if ((rc == 0)) && [[ -z ${QB_E2E_KEEP_PREFIX:-} && ${WINEPREFIX:-} == "$E2E_WORK"/* ]]; then
        rm -rf "$WINEPREFIX"
    fi
    return $rc
}

# e2e_sample_installs [--no-target] [--no-dosbox] [--kestro FILE] [--row N]... [--root DIR]:
# what a user's machine holds before Quillbridge runs: \zorn\ with a target program (row 0
# kestro.exe with tessera.ico unless --row names others: 1 kestrow.exe and varnette.ico, 2
# kestrokw.exe and morvel.ico) and spoolix.exe, and DOSBox under the 32-bit Program Files folder.
# --root puts both on another drive's folder instead of drive C:. The stand-ins are never run.
e2e_sample_installs() {
    local target=1 dosbox=1 kestro= rows=() root
    root=$(e2e_unix_path 'C:')
    while (($#)); do
        case $1 in
        --no-target) target=0; shift ;;
        --no-dosbox) dosbox=0; shift ;;
        --kestro) kestro=$2; shift 2 ;;
        --row) rows+=("$2"); shift 2 ;;
        --root) root=$2; shift 2 ;;
        *) e2e_log "e2e_sample_installs: unknown option $1"; return 2 ;;
        esac
    done
    ((${#rows[@]})) || rows=(0)
    local zorn=$root/zorn exes=(kestro.exe kestrow.exe kestrokw.exe)
    local icons=(tessera.ico varnette.ico morvel.ico) row
    mkdir -p "$zorn"
    if ((target)); then
        for row in "${rows[@]}"; do
            if [[ -n $kestro && -f $kestro ]]; then
                cp "$kestro" "$zorn/${exes[row]}"
            else
                printf '%s stand-in\r\n' "${exes[row]}" >"$zorn/${exes[row]}"
            fi
            convert -size 32x32 xc:none -fill '#1f6f8b' -draw 'roundrectangle 1,1 30,30 6,6' \
                -fill '#f2c14e' -draw 'rectangle 8,8 23,23' -fill '#1f6f8b' \
                -draw 'rectangle 13,8 18,23' "$zorn/${icons[row]}" 2>/dev/null ||
                printf 'icon stand-in' >"$zorn/${icons[row]}"
        done
        printf 'spoolix.exe stand-in\r\n' >"$zorn/spoolix.exe"
    fi
    if ((dosbox)); then
        local dir="$root/Program Files (x86)/DOSBox-0.74"
        mkdir -p "$dir"
        printf 'dosbox.exe stand-in\r\n' >"$dir/dosbox.exe"
    fi
}

# Looking inside a dialog with qbprobe.exe (tests/e2e/probe), run in the same prefix. Set
# E2E_PROBE to its path first.

# e2e_probe ARGS...: qbprobe's answer, without carriage returns.
e2e_probe() { "$E2E_WINE64" "${E2E_PROBE:?qbprobe.exe}" "$@" 2>>"$E2E_WORK/probe.log" | tr -d '\r'; }

# e2e_controls ID: the window behind X window ID and its child windows, one line each
# ("child hwnd=... class=Button id=1 x=.. y=.. w=.. h=.. visible=1 enabled=1 focus=0 ... text=OK",
# screen coordinates).
e2e_controls() { e2e_probe window --xid "$1"; }

# e2e_control_field LINE KEY: one field of such a line (text is the rest of the line).
e2e_control_field() {
    if [[ $2 == text ]]; then
        printf '%s\n' "${1#* text=}"
    else
        grep -o " $2=[^ ]*" <<<"$1" | head -1 | cut -d= -f2
    fi
}

# e2e_click_control ID TEXT: a left click in the middle of the visible child window whose text
# is TEXT, at its place relative to the window's top left corner as X shows it.
e2e_click_control() {
    local line= l x y w h geo gx gy gw gh
    while IFS= read -r l; do
        if [[ $l == "child "* && $l == *" visible=1 "* && ${l#* text=} == "$2" ]]; then
            line=$l
            break
        fi
    done < <(e2e_controls "$1")
    [[ -n $line ]] || {
        e2e_log "no control '$2' in window $1"
        return 1
    }
    x=$(e2e_control_field "$line" x)
    y=$(e2e_control_field "$line" y)
    w=$(e2e_control_field "$line" w)
    h=$(e2e_control_field "$line" h)
    geo=$(e2e_window_geometry "$1") || return 1
    read -r gx gy gw gh <<<"$geo"
    local dx=$((x - gx + w / 2)) dy=$((y - gy + h / 2))
    if ((dx < 0 || dy < 0 || dx >= gw || dy >= gh)); then
        e2e_log "control '$2' at $dx,$dy lies outside window $1 (${gw}x$gh)"
        return 1
    fi
    e2e_log "click '$2' at $dx,$dy in window $1"
    e2e_click_in "$1" "$dx" "$dy"
}

# e2e_clipboard: the clipboard's text, CR LF and tab escaped (\r \n \t), or (no text).
e2e_clipboard() { e2e_probe clipboard | sed -n 's/^clipboard=//p'; }
