#!/usr/bin/env bash
# Fails when an #include of src/ points across the layers the wrong way, naming each offending file:line and
# the rule it breaks. Dependencies point downwards only:
#   app -> themes -> toolbars -> toolkit -> platform;  inspector -> toolkit;
#   core -> the toolkit's non-UI part and platform/imaging;  platform/imaging and platform/ui use nothing else
#   of ours; platform/imaging, core and the toolkit's non-UI part use no Qt.
# The toolkit's non-UI part is what TOOLKIT_BASE_SOURCES in src/toolkit/CMakeLists.txt lists, with the headers
# of the same names (and their _p.h) and Base_p.h. A Name_p.h is private to its own folder.
# Usage: scripts/check-layers.sh [root]   (root holds src/; default: this repository)
set -euo pipefail
root=${1:-"$(dirname "$0")/.."}
cd "$root"

cmake_list=src/toolkit/CMakeLists.txt
base=$(awk '
  /set\(TOOLKIT_BASE_SOURCES/ { on = 1; sub(/.*set\(TOOLKIT_BASE_SOURCES/, "") }
  on {
    done = sub(/\).*/, "")
    for (i = 1; i <= NF; i++) if ($i ~ /\.cpp$/) { sub(/\.cpp$/, "", $i); printf "%s ", $i }
    if (done) exit
  }' "$cmake_list" 2>/dev/null || true)
if [ -z "$base" ]; then
  echo "$cmake_list: no TOOLKIT_BASE_SOURCES found, so the toolkit's non-UI part is unknown" >&2
  exit 1
fi

find src -type f \( -name '*.h' -o -name '*.cpp' \) -print0 | sort -z |
  xargs -0 awk -v base="$base" '
  BEGIN {
    n = split(base, stems, " ")
    for (i = 1; i <= n; i++) isBase[stems[i]] = 1
    isBase["Base"] = 1

    # What each layer may include besides itself. app may use everything.
    split("toolkit-base imaging", a, " ");                        allow("core", a)
    split("imaging", a, " ");                                     allow("toolkit-base", a)
    split("toolkit-base ui imaging", a, " ");                     allow("toolkit", a)
    split("toolkit toolkit-base ui imaging", a, " ");             allow("inspector", a); allow("toolbars", a)
    split("toolbars toolkit toolkit-base ui imaging", a, " ");    allow("themes", a)
    split("themes toolbars inspector core toolkit toolkit-base ui imaging", a, " "); allow("app", a)

    rule["imaging"] = "platform/imaging uses nothing else of ours and no Qt"
    rule["ui"] = "platform/ui uses nothing else of ours"
    rule["toolkit-base"] = "the toolkit'"'"'s non-UI part uses only itself and platform/imaging, and no Qt"
    rule["toolkit"] = "toolkit uses only itself and platform"
    rule["core"] = "core uses only itself, the toolkit'"'"'s non-UI part and platform/imaging, and no Qt"
    rule["inspector"] = "inspector uses only itself, toolkit and platform"
    rule["toolbars"] = "toolbars uses only itself, toolkit and platform"
    rule["themes"] = "themes uses only itself, toolbars, toolkit and platform"
    noQt["imaging"] = noQt["toolkit-base"] = noQt["core"] = 1

    title["imaging"] = "platform/imaging"; title["ui"] = "platform/ui"
    title["toolkit-base"] = "the toolkit'"'"'s non-UI part"; title["toolkit"] = "the toolkit'"'"'s UI part"
    bad = 0
  }
  function allow(layer, targets,    i) { for (i in targets) may[layer, targets[i]] = 1 }

  # The layer of a path below src/, "" when it is in none.
  function layerOf(path,    parts, k, stem) {
    k = split(path, parts, "/")
    if (parts[1] == "platform") return k >= 3 && (parts[2] == "imaging" || parts[2] == "ui") ? parts[2] : ""
    if (parts[1] == "toolkit") {
      stem = parts[k]
      sub(/\.(h|cpp)$/, "", stem)
      sub(/_p$/, "", stem)
      return (stem in isBase) ? "toolkit-base" : "toolkit"
    }
    if (parts[1] ~ /^(core|inspector|toolbars|themes|app)$/ && k >= 2) return parts[1]
    return ""
  }
  function folderOf(path) { sub(/\/[^\/]*$/, "", path); return path }
  function report(text) { printf "%s:%d: %s\n", FILENAME, FNR, text; bad = 1 }

  FNR == 1 {
    self = substr(FILENAME, 5)  # below src/
    layer = layerOf(self)
    if (layer == "") { report("is in no layer; give its folder a rule in scripts/check-layers.sh"); nextfile }
  }
  /^[ \t]*#[ \t]*include[ \t]*["<]/ {
    target = $0
    sub(/^[ \t]*#[ \t]*include[ \t]*/, "", target)
    quoted = substr(target, 1, 1) == "\""
    target = substr(target, 2)
    sub(/[">].*/, "", target)
    if (target ~ /^Q[A-Za-z0-9_]*(\/|$)/) {
      if (layer in noQt) report("includes <" target ">: " rule[layer])
      next
    }
    if (target !~ /\//) {
      # Only a quoted name beside the including file is ours; anything else is a system header.
      if (!quoted || system("test -f \"" folderOf(FILENAME) "/" target "\"") != 0) next
      target = folderOf(self) "/" target
    }
    to = layerOf(target)
    if (to == "") next  # not one of ours
    if (target ~ /_p\.h$/ && folderOf(target) != folderOf(self))
      report("includes " target ", which is private to src/" folderOf(target))
    else if (to != layer && layer != "app" && !((layer, to) in may))
      report("includes " target " (" (to in title ? title[to] : to) "): " rule[layer])
  }
  END { exit bad }
  ' || { echo "Layer rule broken; see above." >&2; exit 1; }
