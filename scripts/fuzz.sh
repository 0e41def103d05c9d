#!/usr/bin/env bash
# Runs each fuzz target of a fuzz build for a fixed number of seconds, one after
# the other, from its seeds (tests/fuzz/seeds/<target>) with the words of
# houndly.ini as a dictionary; the corpus grows in <build>/corpus/<target>.
set -euo pipefail
build=$1
seconds=${2:-30}
root=$(cd "$(dirname "$0")/.." && pwd)
# A fault is still found and kept; a short allocation history keeps the
# allocator from costing more than the code under test.
export ASAN_OPTIONS=${ASAN_OPTIONS:-malloc_context_size=3:quarantine_size_mb=16:max_malloc_fill_size=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
shopt -s nullglob
targets=("$build"/tests/fuzz/fuzz_*)
[[ ${#targets[@]} -gt 0 ]] || { echo "no fuzz targets in $build" >&2; exit 1; }
for target in "${targets[@]}"; do
    [[ -f "$target" && -x "$target" ]] || continue
    name=$(basename "$target")
    corpus="$build/corpus/$name"
    mkdir -p "$corpus"
    inputs=("$corpus")
    [[ -d "$root/tests/fuzz/seeds/$name" ]] && inputs+=("$root/tests/fuzz/seeds/$name")
    echo "fuzzing $name for ${seconds}s"
    "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -dict="$root/tests/fuzz/ini.dict" -artifact_prefix="$build/$name-" "${inputs[@]}"
done
