#!/usr/bin/env bash
# Sets up, builds and runs every test: a normal build with warnings as errors,
# the Debian package built, installed, run and removed, a short run of the fuzz
# targets, and the same suite under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"

export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

configure_and_build() {
    local dir=$1; shift
    cmake -S "$root" -B "$root/build/$dir" -G Ninja -DHOUNDLY_WERROR=ON "$@" >/dev/null
    cmake --build "$root/build/$dir" -j "$jobs"
}

echo "== normal build"
configure_and_build release -DCMAKE_BUILD_TYPE=RelWithDebInfo
ctest --test-dir "$root/build/release" --output-on-failure -j "$jobs" --timeout 300

echo "== Debian package"
"$root/scripts/package-check.sh"

echo "== fuzzing"
# Optimised, so that each target runs thousands of inputs a second; 20 s each.
CC=clang CXX=clang++ cmake -S "$root" -B "$root/build/fuzz" -G Ninja -DHOUNDLY_WERROR=ON \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHOUNDLY_FUZZ=ON -DHOUNDLY_BENCH=OFF >/dev/null
cmake --build "$root/build/fuzz" -j "$jobs" --target fuzz_targets
"$root/scripts/fuzz.sh" "$root/build/fuzz" 20

echo "== AddressSanitizer and UndefinedBehaviorSanitizer"
configure_and_build sanitize -DCMAKE_BUILD_TYPE=Debug -DHOUNDLY_SANITIZE=ON -DHOUNDLY_BENCH=OFF
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
LSAN_OPTIONS=suppressions=$root/tests/lsan.supp:print_suppressions=0 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir "$root/build/sanitize" --output-on-failure -j "$jobs" --timeout 600
