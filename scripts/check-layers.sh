#!/usr/bin/env bash
# Checks that the layers point one way (docs/architecture.md):
#   - nothing under platform/ includes a header of src/, project/, tools/,
#     tests/ or bench/, compiles a source file from there, or links a target
#     that is not defined under platform/;
#   - nothing under src/ includes a Qt or SQLite header, or finds or links Qt
#     or SQLite (they stay below the LE_ functions and the screen runtime).
#
#   scripts/check-layers.sh [SOURCE_TREE [LINK_GRAPH]]
#
# SOURCE_TREE defaults to the tree holding this script. LINK_GRAPH is the
# file that the configuration writes into the build folder (layer_links.tsv,
# cmake/VzLayers.cmake): when given, the link rules are also checked on the
# targets as CMake built them, whatever the spelling of the CMakeLists.
# Each broken rule is printed as "FILE:LINE: what" (graph findings name the
# folder's CMakeLists.txt and the target); the exit code is then 1. Exit 0
# when every rule holds, 2 when the tree or the graph cannot be read.
set -uo pipefail

root="${1:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}"
graph="${2:-}"
if [ ! -d "$root/platform" ] || [ ! -d "$root/src" ]; then
  echo "check-layers: $root holds no platform/ and src/ folders" >&2
  exit 2
fi
if [ -n "$graph" ] && [ ! -r "$graph" ]; then
  echo "check-layers: the link graph $graph cannot be read" >&2
  exit 2
fi
cd "$root" || exit 2

found="$(mktemp)"
trap 'rm -f "$found"' EXIT

# Every "#include" line of the C and C++ files under a folder that matches
# an extended regular expression on the included name, as
# "FILE:LINE: <message> <name>".
check_includes() { # folder, name regex, message
  find "$1" -type f \( -name '*.h' -o -name '*.hpp' -o -name '*.c' -o -name '*.cc' \
    -o -name '*.cpp' \) -print0 | sort -z |
    xargs -0 -r grep -nHE "^[[:space:]]*#[[:space:]]*include[[:space:]]*[<\"]($2)[>\"]" |
    sed -E "s|^([^:]+:[0-9]+):[^<\"]*[<\"]([^>\"]*)[>\"].*$|\1: $3 \2|" >>"$found"
}

check_includes platform '(src|project|tools|tests|bench)/[^>"]*' \
  'platform/ knows nothing above it, and includes'
check_includes src 'Q[A-Za-z0-9_]*([/.][^>"]*)?|sqlite3(ext)?\.h' \
  'src/ reaches Qt and SQLite only through platform/, and includes'

# The CMake commands of every CMakeLists.txt, one a line: file, line of the
# command's start, command name (lower case), then its arguments, separated
# by tabs. Comments are dropped; a command may span lines.
cmake_commands() {
  find platform src -name CMakeLists.txt -print0 | sort -z | xargs -0 -r awk '
    FNR == 1 { depth = 0; name = ""; quoted = 0 }
    {
      text = $0
      for (i = 1; i <= length(text); i++) {
        c = substr(text, i, 1)
        if (quoted) {
          if (c == "\\") { args = args c substr(text, i + 1, 1); i++; continue }
          if (c == "\"") quoted = 0
          args = args c
          continue
        }
        if (c == "#") break
        if (depth == 0) {
          if (c ~ /[A-Za-z0-9_]/) { name = (gap ? "" : name) c; gap = 0; continue }
          if (c ~ /[ \t]/) { gap = 1; continue }
          if (c == "(" && name != "") { command = tolower(name); start = FNR; args = ""; depth = 1 }
          name = ""
          gap = 0
          continue
        }
        if (c == "\"") quoted = 1
        if (c == "(") depth++
        if (c == ")" && --depth == 0) {
          n = split(args, words, /[ \t]+/)
          line = FILENAME "\t" start "\t" command
          for (w = 1; w <= n; w++) if (words[w] != "") line = line "\t" words[w]
          print line
          name = ""
          continue
        }
        args = args c
      }
      if (depth > 0) args = args " "
      else { name = ""; gap = 0 }
    }'
}

commands="$(mktemp)"
trap 'rm -f "$found" "$commands"' EXIT
cmake_commands >"$commands"

awk -F '\t' '
  function under(file, folder) { return index(file, folder "/") == 1 }
  function keyword(word) {
    return word ~ /^(PUBLIC|PRIVATE|INTERFACE|LINK_PUBLIC|LINK_PRIVATE|LINK_INTERFACE_LIBRARIES)$/
  }
  # The items a command links: those of target_link_libraries, and those after
  # LIBS in vz_test (cmake/VzTest.cmake).
  function linked(   n, w, in_libs) {
    n = 0
    if ($3 == "target_link_libraries") {
      for (w = 5; w <= NF; w++) if (!keyword($w)) items[++n] = $w
    } else if ($3 == "vz_test") {
      in_libs = 0
      for (w = 4; w <= NF; w++) {
        if ($w ~ /^(NAME|SOURCES|LIBS)$/) { in_libs = ($w == "LIBS"); continue }
        if (in_libs) items[++n] = $w
      }
    }
    return n
  }
  NR == FNR {
    if (under($1, "platform") && ($3 == "add_library" || $3 == "add_executable")) mine[$4] = 1
    if (under($1, "platform") && $3 == "vz_test") {
      for (w = 4; w < NF; w++) if ($w == "NAME") mine[$(w + 1)] = 1
    }
    next
  }
  under($1, "platform") {
    n = linked()
    for (i = 1; i <= n; i++) {
      rest = items[i]
      while (match(rest, /vz_[A-Za-z0-9_]+/)) {
        target = substr(rest, RSTART, RLENGTH)
        rest = substr(rest, RSTART + RLENGTH)
        if (!(target in mine)) {
          print $1 ":" $2 ": platform/ links only platform/ targets, and links " target
        }
      }
    }
    if ($3 ~ /^(add_library|add_executable|target_sources|vz_test)$/) {
      for (w = 4; w <= NF; w++) {
        if ($w ~ /(^|\/)(src|project|tools|tests|bench)\/[^ ]*\.(c|cc|cpp|h|hpp)$/) {
          print $1 ":" $2 ": platform/ compiles only platform/ sources, and compiles " $w
        }
      }
    }
  }
  under($1, "src") {
    n = linked()
    for (i = 1; i <= n; i++) {
      if (items[i] ~ /(^|[:<,])(Qt[0-9]*::|SQLite::|-lsqlite3|sqlite3$|SQLite3$)/) {
        print $1 ":" $2 ": src/ reaches Qt and SQLite only through platform/, and links " items[i]
      }
    }
    if ($3 == "find_package" && $4 ~ /^(Qt[0-9]*|SQLite3)$/) {
      print $1 ":" $2 ": src/ reaches Qt and SQLite only through platform/, and finds " $4
    }
  }
' "$commands" "$commands" >>"$found"

# The same link rules on the targets as CMake built them.
if [ -n "$graph" ]; then
  awk -F '\t' '
    function under(folder, top) { return folder == top || index(folder, top "/") == 1 }
    $1 == "target" { folder[$2] = $3; next }
    $1 == "link" { from[++links] = $2; item[links] = $3 }
    END {
      for (k = 1; k <= links; k++) {
        here = folder[from[k]]
        rest = item[k]
        if (under(here, "platform")) {
          while (match(rest, /[A-Za-z0-9_.+-]+(::[A-Za-z0-9_.+-]+)?/)) {
            name = substr(rest, RSTART, RLENGTH)
            rest = substr(rest, RSTART + RLENGTH)
            if ((name in folder) && !under(folder[name], "platform")) {
              print here "/CMakeLists.txt: platform/ links only platform/ targets, and " \
                    from[k] " links " name " (" folder[name] ")"
            }
          }
        }
        if (under(here, "src") && rest ~ /(^|[:<,])(Qt[0-9]*::|SQLite::)/) {
          print here "/CMakeLists.txt: src/ reaches Qt and SQLite only through platform/, " \
                "and " from[k] " links " rest
        }
      }
    }' "$graph" >>"$found"
fi

if [ -s "$found" ]; then
  sort -u "$found"
  echo "check-layers: $(sort -u "$found" | wc -l) broken layer rule(s); see docs/architecture.md" >&2
  exit 1
fi
echo "check-layers: every layer rule holds"
