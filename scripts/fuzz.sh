#!/usr/bin/env bash
# Runs each fuzz target of a fuzz build for a fixed number of seconds.
set -euo pipefail
build=$1
seconds=${2:-30}
root=$(cd "$(dirname "$0")/.." && pwd)
shopt -s nullglob
for target in "$build"/tests/fuzz/fuzz_*; do
    [[ -f "$target" && -x "$target" ]] || continue
    name=$(basename "$target")
    corpus="$build/corpus/$name"
    mkdir -p "$corpus"
    seeds="$root/tests/fuzz/seeds/$name"
    echo "fuzzing $name for ${seconds}s"
    if [[ -d "$seeds" ]]; then
        "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -artifact_prefix="$build/" "$corpus" "$seeds"
    else
        "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -artifact_prefix="$build/" "$corpus"
    fi
done
