#!/usr/bin/env bash
# Every include points from a higher folder to a lower one.
#   scripts/check-includes.sh [source root]
# Lists each #include "folder/file" of the sources and the tests against the folder order
# below and names every one that points up, or across to a sibling; exit 1 when there is
# one. Includes of the resource identifiers and texts (resources/) are allowed anywhere,
# and an include without a folder names a file beside the one that includes it.
set -euo pipefail
top=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$top"

# Lowest first; folders of one rank are siblings and do not include each other.
sources=(
  "0 base"
  "1 base/win"
  "2 setup/compress"
  "3 setup/services"
  "4 setup/model" "4 setup/uninstall"
  "5 setup/engine"
  "6 stub"
  "7 builder/common"
  "8 builder/editors"
  "9 builder/shell"
)
# The tests' own support, among themselves (what a test includes of the sources is the
# thing it tests and is not checked).
tests=(
  "0 tests/harness"
  "1 tests/base"
  "2 tests/compress"
  "3 tests/services"
  "4 tests/model"
  "5 tests/fpc" "5 tests/engine"
  "6 tests/uninstall"
  "7 tests/builder"
  "8 tests/editors" "8 tests/stub"
  "9 tests/e2e"
)

order=$(printf '%s\n' "${sources[@]}" "${tests[@]}")
find base setup stub builder tests -type f \( -name '*.h' -o -name '*.cpp' -o -name '*.c' -o -name '*.inc' \) -print0 |
  sort -z | xargs -0 grep -Hn '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' |
  awk -v order="$order" '
    BEGIN {
      n = split(order, lines, "\n")
      for (i = 1; i <= n; i++) { split(lines[i], f, " "); rank[f[2]] = f[1] }
    }
    # The ranked folder a path lies in (the longest that matches), or "".
    function folder(path,   d) {
      d = path
      sub(/\/[^\/]*$/, "", d)
      while (d != "") {
        if (d in rank) return d
        if (d !~ /\//) return ""
        sub(/\/[^\/]*$/, "", d)
      }
      return ""
    }
    {
      file = $0; sub(/:.*/, "", file)
      rest = substr($0, length(file) + 2)
      line = rest; sub(/:.*/, "", line)
      target = rest; sub(/^[^"]*"/, "", target); sub(/".*/, "", target)
      from = folder(file)
      if (from == "") next
      checked++
      if (target !~ /\// || target ~ /^resources\//) next  # beside the file; resource ids and texts
      to = folder(target)
      if (to == "") {
        if (target ~ /^(base|setup|stub|builder)\//) { print file ":" line ": includes " target ", a folder outside the order"; bad++ }
        next
      }
      # Tests include the sources freely; sources never include tests.
      if (from ~ /^tests\// && to !~ /^tests\//) next
      if (from !~ /^tests\// && to ~ /^tests\//) { print file ":" line ": includes " target " (a source includes a test file)"; bad++; next }
      if (from == to) next
      if (rank[to] + 0 > rank[from] + 0) { print file ":" line ": includes " target " (" from " points up to " to ")"; bad++ }
      else if (rank[to] == rank[from]) { print file ":" line ": includes " target " (" from " and " to " are siblings)"; bad++ }
    }
    END {
      if (bad > 0) { print bad " include(s) against the folder order"; exit 1 }
      print "include order holds (" checked " includes)"
    }'
