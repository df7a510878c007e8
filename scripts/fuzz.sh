#!/usr/bin/env bash
# Builds the fuzz preset (clang) and runs each fuzz target for 30 seconds, or the seconds given, starting from
# the seed files that FuzzSeeds writes. Fails on the first crash, hang, leak or sanitizer report; the input
# that caused it is kept in build/fuzz/runs.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-30}"
scripts/deps.sh
cmake --preset fuzz ${OVREL_WERROR:+-DOVREL_WERROR=$OVREL_WERROR} >/dev/null
cmake --build --preset fuzz
runs=build/fuzz/runs
rm -rf "$runs"
build/fuzz/fuzz/FuzzSeeds "$runs/seeds"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
for target in build/fuzz/fuzz/*Fuzz; do
  name=$(basename "$target")
  mkdir -p "$runs/$name"  # what the run finds; the seeds are only read
  echo "== $name for $seconds s"
  "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$runs/$name-" "$runs/$name" "$runs/seeds"
done
