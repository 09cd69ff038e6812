#!/usr/bin/env bash
# Long fuzz runs: the settings file and the help source, each for RUNS inputs (default ten million), side
# by side at low priority. Each grows its own corpus under build/fuzz/ from the seeds and crash cases in
# tests/fuzz/corpus/; a crash or a hang is written there as crash-*/timeout-* (copy it into
# tests/fuzz/corpus/<name>/ so the test command replays it from then on).
# The help source is fuzzed in pieces of up to 2 KB: its cost grows faster than its length, and at that
# size ten million inputs take about an hour here (the unit tests cover the multi-block topics).
#   scripts/fuzz.sh [RUNS]                  FUZZ_TARGETS="settings help_source" by default
set -uo pipefail
cd "$(dirname "$0")/.."
runs=${1:-10000000}

scripts/setup.sh || exit 1
cmake --preset native-asan >/dev/null || exit 1
cmake --build --preset native-asan -j 2 --target kolbrin_settings_fuzz kolbrin_help_source_fuzz || exit 1

export ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
out=build/fuzz
pids=()
targets=(${FUZZ_TARGETS:-settings help_source})
for name in "${targets[@]}"; do
    mkdir -p "$out/$name/corpus" "$out/$name/found"
    # The program's own guide makes the best first input.
    [ "$name" = help_source ] && cp help/palvo.help.txt "$out/$name/corpus/"
    max_len=8192
    [ "$name" = help_source ] && max_len=2048
    nice -n 10 "build/native-asan/bin/kolbrin_${name}_fuzz" -runs="$runs" -timeout=10 -max_len=$max_len \
        -print_final_stats=1 -artifact_prefix="$out/$name/found/" "$out/$name/corpus" "tests/fuzz/corpus/$name" \
        >"$out/$name/log" 2>&1 &
    pids+=($!)
    echo "$name: pid $!, log $out/$name/log"
done

status=0
for i in "${!pids[@]}"; do
    wait "${pids[$i]}" || status=1
done
for name in "${targets[@]}"; do
    echo "== $name"
    grep -E '^#[0-9]+ +DONE|stat::number_of_executed_units|stat::peak_rss_mb|^Done|SUMMARY|ERROR' "$out/$name/log"
    found=$(ls "$out/$name/found" | wc -l)
    echo "crash and hang inputs found: $found"
    [ "$found" -eq 0 ] || status=1
done
exit $status
