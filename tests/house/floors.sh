#!/bin/sh
# No folder includes a folder above it. The floors, highest first, as
# docs/architecture.md draws them; folders on one floor include none of each
# other. A file belongs to the deepest listed folder it lies in.
cd "$1" || exit 2
floors='platform/entry
app/start
ui
io
app
storage engine
component
resources
platform/terminal platform/gtk platform/script platform/headless
platform/dialog
platform/system platform/text
platform'
files=$(find app ui io storage engine component resources platform -name '*.cpp' -o -name '*.h' -o -name '*.rc')
# Each include of a path with a folder, as "file:line".
grep -H '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"]*/' $files |
  awk -v floors="$floors" '
    function folder(path,   dir) {
      dir = path
      while (dir ~ /\//) {
        sub(/\/[^\/]*$/, "", dir)
        if (dir in floor) return dir
      }
      return ""
    }
    BEGIN {
      n = split(floors, lines, "\n")
      for (i = 1; i <= n; i++) {
        k = split(lines[i], names, " ")
        for (j = 1; j <= k; j++) floor[names[j]] = i
      }
    }
    {
      file = $0; sub(/:.*/, "", file)
      included = $0; sub(/^[^"]*"/, "", included); sub(/".*/, "", included)
      if (system("test -e " included) != 0) next  # generated, or beside the file
      from = folder(file); to = folder(included)
      if (from == "") { print file ": its folder has no floor"; bad = 1; next }
      if (to == from) next
      if (to == "" || floor[to] <= floor[from]) {
        print file " includes " included ": " to " is not on a floor below " from
        bad = 1
      }
    }
    END { exit bad }'
