#!/usr/bin/env bash
# Fails when clang-format would change a source file of src, tests, bench or fuzz.
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files -z 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'bench/*.h' 'fuzz/*.cpp' 'fuzz/*.h' |
  xargs -0 clang-format --dry-run -Werror
