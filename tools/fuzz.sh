#!/usr/bin/env bash
# tools/fuzz.sh [--merge] [SECONDS] [FUZZER...]: random exploration, apart from the test command.
# Builds the fuzz preset and runs each fuzzer (markup_fuzz, picture_fuzz; all when none is named)
# for SECONDS (default 600) from a random seed on a copy of its committed corpus. An input that
# failed is copied into the committed corpus (tests/fuzz/*_corpus), named by its hash, so that
# the test command replays it on every run from then on; commit it with the mend. With --merge
# the inputs that reached new code join the corpus too. Needs the packages of tools/test.sh
# (run that once first).
set -u
set -o pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT" || exit 2
seconds=600
merge=0
fuzzers=()
for arg in "$@"; do
    case $arg in
    --merge) merge=1 ;;
    -h | --help)
        sed -n '2,9p' "$0"
        exit 0
        ;;
    *[!0-9]*) fuzzers+=("$arg") ;;
    *) seconds=$arg ;;
    esac
done
((${#fuzzers[@]})) || fuzzers=(markup_fuzz picture_fuzz)

cmake --preset fuzz >/dev/null && cmake --build build/fuzz -j "${QB_JOBS:-2}" || exit 2

failed=0
for fuzzer in "${fuzzers[@]}"; do
    exe=build/fuzz/tests/fuzz/$fuzzer
    corpus=tests/fuzz/${fuzzer%_fuzz}_corpus
    [[ -x $exe && -d $corpus ]] || {
        echo "no fuzzer $fuzzer" >&2
        exit 2
    }
    work=build/fuzz/explore/$fuzzer
    rm -rf "$work"
    mkdir -p "$work/artifacts"
    cp -r "$corpus" "$work/corpus"
    seed=$(od -An -N4 -tu4 /dev/urandom | tr -d ' ')
    echo "== $fuzzer: $seconds s from seed $seed"
    "$exe" "$work/corpus" -seed="$seed" -max_total_time="$seconds" -rss_limit_mb=2048 \
        -timeout=30 -print_final_stats=1 -artifact_prefix="$work/artifacts/" \
        >"$work/fuzz.log" 2>&1
    status=$?
    grep -E '(DONE|Done [0-9]+ runs)' "$work/fuzz.log"
    before=$(ls "$corpus" | wc -l)
    if ((merge)); then
        "$exe" -merge=1 "$corpus" "$work/corpus" >"$work/merge.log" 2>&1 ||
            echo "merging into $corpus failed: $work/merge.log"
    fi
    for input in "$work"/artifacts/*; do
        [[ -f $input ]] || continue
        cp "$input" "$corpus/$(sha1sum "$input" | cut -d' ' -f1)"
        echo "FAILED on $input (kept in $corpus)"
    done
    echo "$corpus: $before -> $(ls "$corpus" | wc -l) inputs"
    if ((status != 0)); then
        tail -40 "$work/fuzz.log"
        failed=1
    fi
done
exit $failed
