#!/usr/bin/env bash
# Runs every fuzz target of the fuzz preset for the given number of seconds each (default 60),
# starting from its seed corpus in fuzz/corpus/<target>/. Fails on the first finding.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
for target in build/fuzz/fuzz_*; do
    [ -x "$target" ] || continue
    name=$(basename "$target")
    work="build/fuzz/corpus/$name"
    mkdir -p "$work"
    seeds=()
    [ -d "fuzz/corpus/$name" ] && seeds=("fuzz/corpus/$name")
    echo "-- $name for ${seconds}s"
    log="build/fuzz/$name.log"
    if ! "$target" -max_total_time="$seconds" -print_final_stats=1 \
            -artifact_prefix="build/fuzz/$name-" "$work" "${seeds[@]}" >"$log" 2>&1; then
        tail -n 60 "$log"
        echo "$name found a failure; the input is in build/fuzz/$name-*"
        exit 1
    fi
    grep -E 'stat::number_of_executed_units' "$log" || true
done
