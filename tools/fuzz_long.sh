#!/usr/bin/env bash
# Long fuzzing runs: each named target (all built ones by default) runs until
# ten million executions or thirty minutes, whichever comes first, on a
# corpus kept in build/fuzz/long/NAME between runs. Prints per target the
# executions, the seconds and libFuzzer's final coverage line.
#
#   tools/fuzz_long.sh [target-name...]     e.g. tools/fuzz_long.sh radix des_file
#
# Assumes the fuzz build of tools/test.sh (build/fuzz). Run two of these at
# once on a two-core machine to use both cores. What the code under test
# prints (the CLI's check lines, say) is dropped; libFuzzer's and the
# sanitizers' reports still reach the log.
set -euo pipefail
cd "$(dirname "$0")/.."

runs=${QH_FUZZ_RUNS:-10000000}
seconds=${QH_FUZZ_SECONDS:-1800}
names=("$@")
if [ ${#names[@]} -eq 0 ]; then
    for target in build/fuzz/bin/qh_*_fuzz; do
        names+=("$(basename "$target" _fuzz | sed 's/^qh_//')")
    done
fi

mkdir -p build/fuzz/long
for name in "${names[@]}"; do
    corpus=build/fuzz/long/$name
    log=build/fuzz/long/$name.log
    mkdir -p "$corpus"
    cp -rn "tests/fuzz/corpus/$name/." "$corpus"
    if ! "build/fuzz/bin/qh_${name}_fuzz" -runs="$runs" -max_total_time="$seconds" -timeout=300 -close_fd_mask=3 \
        -print_final_stats=1 -artifact_prefix=build/fuzz/long/ "$corpus" >"$log" 2>&1; then
        echo "qh_${name}_fuzz found a fault; see $log and build/fuzz/long/"
        continue
    fi
    done_line=$(grep -a -o 'Done [0-9]* runs in [0-9]* second(s)' "$log" | tail -1)
    cov_line=$(grep -a -E '^#[0-9]+' "$log" | tail -1 | grep -a -oE 'cov: [0-9]+ ft: [0-9]+ corp: [0-9]+/[0-9]+[a-zA-Z]*')
    echo "qh_${name}_fuzz: $done_line; $cov_line"
done
