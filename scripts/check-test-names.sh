#!/usr/bin/env bash
# Fails when a CTest name of the given preset's build is not stable and readable: a printed value (a memory
# address, a byte dump) in place of a row name, a bare row number, or a name used twice. Run after the build,
# which discovers the tests. Usage: scripts/check-test-names.sh [preset]   (default: release)
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-release}
names=$(ctest --preset "$preset" -N | sed -n 's/^ *Test *#[0-9]*: *//p' | sed 's/ *$//')
if [ -z "$names" ]; then
  echo "ctest --preset $preset lists no tests" >&2
  exit 1
fi
status=0
if unstable=$(grep -E 'GetParam\(\)|TypeParam|byte object|0x[0-9A-Fa-f]{6,}|/[0-9]+$' <<<"$names"); then
  echo "Test names with a printed value or a bare row number (give the suite a row name generator):" >&2
  head -n 20 <<<"$unstable" >&2
  echo "($(wc -l <<<"$unstable") in all)" >&2
  status=1
fi
if twice=$(sort <<<"$names" | uniq -d | grep .); then
  echo "Test names used twice:" >&2
  echo "$twice" >&2
  status=1
fi
exit $status
