#!/usr/bin/env bash
# tools/test.sh [--no-install] [STEP...]: the test command. Installs what the tests need (once),
# builds every preset and runs every kind of test:
#
#   native   unit and integration tests (headless backend, ASan+UBSan; real DOSBox)
#   fuzz     both fuzzers over their committed corpus and a fixed count of seeded inputs
#   bench    the markup benchmark and its growth check (release build)
#   win64    end-to-end tests: the real program and the gallery under wine64 + Xvfb
#   win32    the shipping 32-bit build: checks that need not run it (imports, subsystem)
#   format   clang-format over the tracked C++ sources
#
# With STEPs only those run. Logs go to build/test-logs/, screenshots of the end-to-end tests
# to build/win64/e2e-shots/. The last line is "N passed, N failed"; the exit code is 0 only
# when nothing failed. Runs unattended (CI=true, no stdin, no display needed).
set -u
set -o pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT" || exit 2
LOGS=$ROOT/build/test-logs
JOBS=${QB_JOBS:-2}
export CMAKE_BUILD_PARALLEL_LEVEL=$JOBS
export DEBIAN_FRONTEND=noninteractive
source "$ROOT/tools/lib/packages.sh"

# Locales the end-to-end tests give Wine: a Japanese user's code page 932 comes from this one.
LOCALES=(ja_JP.UTF-8)
ALL_STEPS=(native fuzz bench win64 win32 format)

install=1
steps=()
for arg in "$@"; do
    case $arg in
    --no-install) install=0 ;;
    native | fuzz | bench | win64 | win32 | format) steps+=("$arg") ;;
    -h | --help)
        sed -n '2,16p' "$0"
        exit 0
        ;;
    *)
        echo "unknown argument: $arg" >&2
        exit 2
        ;;
    esac
done
((${#steps[@]})) || steps=("${ALL_STEPS[@]}")

TOTAL_PASSED=0
TOTAL_FAILED=0
SUMMARY=()
START=$(date +%s)

say() { printf '\n== %s\n' "$*"; }

# record NAME PASSED FAILED SECONDS [NOTE]
record() {
    TOTAL_PASSED=$((TOTAL_PASSED + $2))
    TOTAL_FAILED=$((TOTAL_FAILED + $3))
    SUMMARY+=("$(printf '  %-22s %4d passed, %3d failed  %5ss  %s' "$1" "$2" "$3" "$4" "${5:-}")")
}

# build PRESET: configure (first time) and build one preset; logs in build/test-logs/.
build() {
    local preset=$1 t0=$SECONDS
    say "build $preset"
    if ! cmake --preset "$preset" >"$LOGS/$preset-configure.log" 2>&1; then
        tail -30 "$LOGS/$preset-configure.log"
        record "$preset build" 0 1 $((SECONDS - t0)) "configure failed: $LOGS/$preset-configure.log"
        return 1
    fi
    if ! cmake --build "build/$preset" -j "$JOBS" >"$LOGS/$preset-build.log" 2>&1; then
        grep -E 'error|Error' "$LOGS/$preset-build.log" | head -30
        record "$preset build" 0 1 $((SECONDS - t0)) "build failed: $LOGS/$preset-build.log"
        return 1
    fi
    echo "built build/$preset in $((SECONDS - t0))s"
}

# run_ctest PRESET LABEL [CTEST ARGS...]: the tests of one label; each test counts.
run_ctest() {
    local preset=$1 label=$2 t0=$SECONDS
    shift 2
    local log=$LOGS/$preset-$label.log
    say "test $preset: $label"
    (cd "build/$preset" && ctest -L "^$label\$" --output-on-failure --no-tests=error "$@") \
        </dev/null >"$log" 2>&1
    local total failed
    total=$(sed -n 's/.*tests passed, [0-9]* tests\{0,1\} failed out of \([0-9]*\).*/\1/p' "$log" | tail -1)
    failed=$(sed -n 's/.*tests passed, \([0-9]*\) tests\{0,1\} failed out of.*/\1/p' "$log" | tail -1)
    if [[ -z $total ]]; then
        tail -20 "$log"
        record "$preset $label" 0 1 $((SECONDS - t0)) "no tests ran: $log"
        return
    fi
    grep -E '^\s+[0-9]+ - .*\((Failed|SEGFAULT|Timeout|Not Run|Subprocess aborted|Exception)' "$log"
    tail -3 "$log" | sed -n '/Total Test time/p'
    local note=
    ((failed)) && note="see $log"
    record "$preset $label" $((total - failed)) "$failed" $((SECONDS - t0)) "$note"
}

format_check() {
    local t0=$SECONDS files=() bad=() f
    say "clang-format"
    if [[ -d .git ]]; then
        mapfile -t files < <(git ls-files -- '*.cpp' '*.h' '*.hpp' '*.cc')
    else
        mapfile -t files < <(find app dialogs markup runtime setup tests -name '*.cpp' -o -name '*.h')
    fi
    for f in "${files[@]}"; do
        [[ -f $f ]] || continue
        clang-format --dry-run -Werror "$f" >/dev/null 2>&1 || bad+=("$f")
    done
    if ((${#bad[@]})); then
        printf '  not formatted: %s\n' "${bad[@]}"
        record "clang-format" 0 1 $((SECONDS - t0)) "${#bad[@]} of ${#files[@]} files"
    else
        echo "${#files[@]} files formatted"
        record "clang-format" 1 0 $((SECONDS - t0)) "${#files[@]} files"
    fi
}

# Generates the locales that are missing (once); locale-gen needs them enabled in locale.gen.
generate_locales() {
    local wanted=() l
    for l in "${LOCALES[@]}"; do
        locale -a 2>/dev/null | grep -qix "${l/UTF-8/utf8}" || wanted+=("$l")
    done
    if ((${#wanted[@]} == 0)); then
        echo "all ${#LOCALES[@]} locales are generated"
        return 0
    fi
    say "generating locales: ${wanted[*]}"
    local sudo=()
    ((EUID != 0)) && sudo=(sudo -n)
    for l in "${wanted[@]}"; do
        "${sudo[@]}" sed -i "s/^# *\($l UTF-8\)/\1/" /etc/locale.gen || return 1
        grep -q "^$l UTF-8" /etc/locale.gen ||
            echo "$l UTF-8" | "${sudo[@]}" tee -a /etc/locale.gen >/dev/null || return 1
    done
    "${sudo[@]}" locale-gen </dev/null
}

mkdir -p "$LOGS"
if ((install)); then
    say "packages"
    if ! qb_install_packages "${QB_PACKAGES[@]}"; then
        record "packages" 0 1 0 "apt-get failed"
    elif ! generate_locales; then
        record "locales" 0 1 0 "locale-gen failed"
    fi
fi

for step in "${steps[@]}"; do
    case $step in
    native)
        if build native; then
            run_ctest native unit -j "$JOBS"
            run_ctest native integration
        fi
        ;;
    fuzz) build fuzz && run_ctest fuzz fuzz ;;
    bench) build bench && run_ctest bench bench ;;
    win64) build win64 && run_ctest win64 e2e -j "$JOBS" ;;
    win32) build win32 && run_ctest win32 e2e ;;
    format) format_check ;;
    esac
done

say "summary ($(($(date +%s) - START))s)"
printf '%s\n' "${SUMMARY[@]}"
[[ " ${steps[*]} " == *" win64 "* ]] && echo "  screenshots: $ROOT/build/win64/e2e-shots/"
echo "$TOTAL_PASSED passed, $TOTAL_FAILED failed"
((TOTAL_FAILED == 0))
