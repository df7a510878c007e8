#!/usr/bin/env bash
# Builds everything and runs every test. With --sanitize: the same in the AddressSanitizer and
# UndefinedBehaviorSanitizer build.
set -euo pipefail
cd "$(dirname "$0")"
preset=release
[ "${1:-}" = "--sanitize" ] && preset=asan
scripts/deps.sh
cmake --preset "$preset" ${OVREL_WERROR:+-DOVREL_WERROR=$OVREL_WERROR} >/dev/null
cmake --build --preset "$preset"
scripts/check-test-names.sh "$preset"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
ctest --preset "$preset"
