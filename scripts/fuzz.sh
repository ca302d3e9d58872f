#!/usr/bin/env bash
# Runs every libFuzzer target of a fuzz build for a bounded time:
#   scripts/fuzz.sh <builddir>      (FUZZ_SECONDS per target, 60 by default)
# Each target starts from a copy of its seed corpus made in <builddir>/fuzz-run, so the source
# tree is never written; what the run adds to the corpus stays there for the next run. Stops with
# a non-zero exit at the first target that finds a crash or a broken property and says where the
# input that did it is.
set -euo pipefail

if [ $# -ne 1 ]; then
    echo "usage: $0 <builddir>" >&2
    exit 2
fi
build=$(cd "$1" && pwd)
source_dir=$(cd "$(dirname "$0")/.." && pwd)
seconds=${FUZZ_SECONDS:-60}
work="$build/fuzz-run"
run_stamp=$(date +%Y%m%d-%H%M%S)

# The longest input each target gets: a date or number is short, a report input holds many boxes,
# a training text a few lines.
declare -A max_len=([fuzz_date_reader]=64 [fuzz_number_reader]=512 [fuzz_report_formatter]=4096
                   [fuzz_training_reader]=4096)

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

for target in fuzz_date_reader fuzz_number_reader fuzz_report_formatter fuzz_sealed_file \
    fuzz_training_reader; do
    binary="$build/fuzz/$target"
    if [ ! -x "$binary" ]; then
        echo "$binary is missing: build the fuzz preset first" >&2
        exit 2
    fi
    corpus="$work/corpus/$target"
    artifacts="$work/artifacts/$run_stamp/$target"
    mkdir -p "$corpus" "$artifacts"
    cp -n "$source_dir/fuzz/corpus/$target/"* "$corpus/"
    dict=()
    [ -f "$source_dir/fuzz/dict/$target.dict" ] && dict=("-dict=$source_dir/fuzz/dict/$target.dict")
    log="$work/$target.log"

    echo "== $target: ${seconds}s, max_len ${max_len[$target]}"
    status=0
    "$binary" "$corpus" "${dict[@]}" -max_len="${max_len[$target]}" -max_total_time="$seconds" \
        -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$artifacts/" >"$log" 2>&1 || status=$?
    grep -E '^(stat::number_of_executed_units|stat::average_exec_per_sec|Done )' "$log" || true
    if [ "$status" -ne 0 ]; then
        grep -E 'Broken property|ERROR: (AddressSanitizer|libFuzzer)|runtime error' "$log" |
            sed 's/deadly signal.*/deadly signal/' | head -5 || true
        echo "$target failed (exit $status); full log: $log" >&2
        for input in "$artifacts"/*; do
            [ -e "$input" ] && echo "input that did it: $input" >&2
        done
        exit 1
    fi
done
echo "all fuzz targets ran ${seconds}s each with no crash and no broken property"
