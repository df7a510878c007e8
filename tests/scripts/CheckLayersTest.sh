#!/usr/bin/env bash
# The layer check against small trees of one file each: what it must refuse, naming file:line, and what it
# must let pass. Usage: CheckLayersTest.sh path/to/check-layers.sh
set -uo pipefail
check=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# file below src/ | its include | expected: ok, or a text the report must hold | line reported (default 2)
cases=(
  "core/ImageInfo.cpp|#include \"toolkit/SysUtils.h\"|ok"
  "core/ImageInfo.cpp|#include \"toolkit/Base_p.h\"|private to src/toolkit"
  "core/ImageInfo.cpp|#include \"platform/imaging/Image.h\"|ok"
  "core/ImageInfo.cpp|#include \"platform/ui/Window.h\"|core uses only itself"
  "core/ImageInfo.cpp|#include \"toolkit/Controls.h\"|core uses only itself"
  "core/ImageInfo.cpp|#include <QString>|includes <QString>"
  "core/ImageInfo.cpp|#include \"Local.h\"|ok"
  "core/ImageInfo.cpp|// #include \"platform/ui/Window.h\"|ok"
  "platform/imaging/Png.cpp|#include <QtCore/QByteArray>|no Qt"
  "platform/imaging/Png.cpp|#include \"toolkit/System.h\"|platform/imaging uses nothing else"
  "platform/imaging/Png.cpp|#include \"Image_p.h\"|ok"
  "platform/imaging/Png.cpp|#include <zlib.h>|ok"
  "platform/ui/Window.h|#include \"platform/imaging/Image.h\"|platform/ui uses nothing else"
  "platform/ui/Window.h|#include <QWidget>|ok"
  "toolkit/System.cpp|#include \"toolkit/Controls.h\"|non-UI part uses only itself"
  "toolkit/SysUtils.h|#  include <QString>|includes <QString>"
  "toolkit/System.cpp|#include \"toolkit/Base_p.h\"|ok"
  "toolkit/Controls.cpp|#include \"platform/ui/Window.h\"|ok"
  "toolkit/Controls.cpp|#include \"toolkit/Base_p.h\"|ok"
  "toolkit/Controls.cpp|#include \"core/ImageInfo.h\"|toolkit uses only itself and platform"
  "inspector/PropertyGrid.cpp|#include \"toolkit/Controls.h\"|ok"
  "inspector/PropertyGrid.cpp|#include \"toolbars/Items.h\"|inspector uses only itself"
  "themes/Themed.cpp|#include \"toolbars/Items.h\"|ok"
  "themes/Themed.cpp|#include \"inspector/PropertyGrid.h\"|themes uses only itself"
  "toolbars/Items.cpp|#include \"themes/Themed.h\"|toolbars uses only itself"
  "app/Model.cpp|#include \"themes/Themed.h\"|ok"
  "app/Model.cpp|#include \"platform/imaging/Image.h\"|ok"
  "app/Model.cpp|#include \"platform/imaging/Image_p.h\"|private to src/platform/imaging"
  "widgets/Odd.cpp|#include <vector>|is in no layer|1"
)

for row in "${cases[@]}"; do
  IFS='|' read -r file include expected line <<<"$row"
  line=${line:-2}
  tree="$work/tree"
  rm -rf "$tree"
  mkdir -p "$tree/src/toolkit" "$tree/src/$(dirname "$file")"
  printf 'set(TOOLKIT_BASE_SOURCES\n  System.cpp\n  SysUtils.cpp\n)\nset(TOOLKIT_UI_SOURCES Controls.cpp)\n' \
    >"$tree/src/toolkit/CMakeLists.txt"
  touch "$tree/src/core/Local.h" "$tree/src/platform/imaging/Image_p.h" 2>/dev/null
  printf '// first line\n%s\n' "$include" >"$tree/src/$file"
  output=$("$check" "$tree" 2>&1)
  status=$?
  if [ "$expected" = ok ]; then
    if [ $status -ne 0 ]; then
      echo "FAIL: $file with '$include' was refused: $output"
      failures=$((failures + 1))
    fi
  elif [ $status -eq 0 ] || [[ "$output" != *"src/$file:$line: "*"$expected"* ]]; then
    echo "FAIL: $file with '$include' should be refused at src/$file:$line with '$expected'; got ($status): $output"
    failures=$((failures + 1))
  fi
done

# Without the list of the toolkit's non-UI part the check cannot tell the halves apart: it refuses to guess.
rm -rf "$work/tree" && mkdir -p "$work/tree/src/core"
echo '#include "toolkit/SysUtils.h"' >"$work/tree/src/core/A.cpp"
if "$check" "$work/tree" >/dev/null 2>&1; then
  echo "FAIL: a tree without TOOLKIT_BASE_SOURCES passed"
  failures=$((failures + 1))
fi

[ $failures -eq 0 ] && echo "all ${#cases[@]} rows and the missing list behave"
exit $((failures > 0))
