#!/usr/bin/env bash
# The sanitized run: builds everything with clang under AddressSanitizer and
# UndefinedBehaviorSanitizer (CMake preset "asan", folder build-asan/), runs
# the whole suite once under them (one time zone), then each fuzz target of
# fuzz/ for FUZZ_SECONDS (20 by default) over its corpus. New inputs a run
# finds go to a scratch folder, never into the repository's corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${FUZZ_SECONDS:-20}"
cmake --preset asan >/dev/null
cmake --build --preset asan

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
status=0
echo "== sanitizers (address, undefined), TZ=Europe/Lisbon"
TZ=Europe/Lisbon ctest --test-dir build-asan --output-on-failure -j 2 --timeout 900 || status=1

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
for source in fuzz/fuzz_*.cpp; do
    name="$(basename "$source" .cpp)"
    target="build-asan/fuzz/$name"
    echo "== $name, ${seconds} s"
    mkdir -p "$scratch/$name"
    "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$scratch/" "$scratch/$name" "fuzz/corpus/$name" 2>"$scratch/$name.log" || {
        status=1
        tail -n 60 "$scratch/$name.log"
        ls "$scratch"/crash-* "$scratch"/leak-* "$scratch"/timeout-* 2>/dev/null || true
    }
    grep -E "^stat::number_of_executed_units|^stat::new_units_added" "$scratch/$name.log" || true
done
exit "$status"
