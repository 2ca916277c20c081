#!/usr/bin/env bash
# Tests of scripts/check-layers.sh on small trees made up in a temporary
# folder: each case breaks (or keeps) one rule and names the lines the check
# must print, and those it must not. Prints each failed case; exit 1 if any.
set -uo pipefail

check="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/check-layers.sh"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0

# A tree whose layers are in order: a platform library, a src library over it.
base_tree() {
  rm -rf "$work/tree"
  mkdir -p "$work/tree/platform/os" "$work/tree/src/db"
  cd "$work/tree" || exit 2
  printf 'add_library(vz_os paths.cpp)\n' >platform/os/CMakeLists.txt
  printf '#include "platform/os/paths.h"\n#include <queue>\n' >platform/os/paths.cpp
  printf 'add_library(vz_db a.cpp)\ntarget_link_libraries(vz_db PUBLIC vz_os)\n' \
    >src/db/CMakeLists.txt
  printf '#include "platform/os/paths.h"\n#include <string>\n' >src/db/a.cpp
}

put() { # file, content
  mkdir -p "$(dirname "$1")"
  printf '%b' "$2" >"$1"
}

# run_case NAME EXIT_CODE [+LINE | -TEXT]...: runs the check (on the graph file
# "graph" when the case wrote one) and compares.
run_case() {
  local name="$1" want="$2" got output
  shift 2
  if [ -f "$work/tree/graph" ]; then
    output="$(bash "$check" "$work/tree" "$work/tree/graph" 2>&1)"
  else
    output="$(bash "$check" "$work/tree" 2>&1)"
  fi
  got=$?
  local bad=""
  [ "$got" = "$want" ] || bad="exit code $got, expected $want"
  for expectation in "$@"; do
    case "$expectation" in
      +*) grep -qxF -- "${expectation#+}" <<<"$output" || bad="$bad; missing: ${expectation#+}" ;;
      -*) grep -qF -- "${expectation#-}" <<<"$output" && bad="$bad; unexpected: ${expectation#-}" ;;
    esac
  done
  if [ -n "$bad" ]; then
    echo "FAIL $name: $bad"
    echo "$output" | sed 's/^/    /'
    failures=$((failures + 1))
  fi
}

base_tree
run_case "a tree in order passes" 0 "+check-layers: every layer rule holds"

base_tree
put platform/os/files.cpp '// #include "src/db/a.h" is how it was\n#include "platform/os/paths.h"\n  #  include "src/db/a.h"\n#include <project/code.h>\n#include "tests/support/t.h"\n'
run_case "platform includes from above" 1 \
  "+platform/os/files.cpp:3: platform/ knows nothing above it, and includes src/db/a.h" \
  "+platform/os/files.cpp:4: platform/ knows nothing above it, and includes project/code.h" \
  "+platform/os/files.cpp:5: platform/ knows nothing above it, and includes tests/support/t.h" \
  "-files.cpp:1:" "-files.cpp:2:"

base_tree
put src/db/b.h '#include <QString>\n#include <QtCore/qstring.h>\n#include "sqlite3.h"\n#include <queue>\n'
run_case "src includes Qt and SQLite" 1 \
  "+src/db/b.h:1: src/ reaches Qt and SQLite only through platform/, and includes QString" \
  "+src/db/b.h:2: src/ reaches Qt and SQLite only through platform/, and includes QtCore/qstring.h" \
  "+src/db/b.h:3: src/ reaches Qt and SQLite only through platform/, and includes sqlite3.h" \
  "-b.h:4:"

base_tree
put platform/runtime/CMakeLists.txt '# vz_project is above\nadd_library(vz_runtime a.cpp)\nmessage(STATUS "vz_runtime (not vz_db)")\ntarget_link_libraries(vz_runtime PUBLIC vz_os\n  PRIVATE $<LINK_ONLY:vz_db>)  # and vz_project\nvz_test(NAME vz_runtime_test SOURCES t.cpp\n  ${PROJECT_SOURCE_DIR}/project/p_test.cpp LIBS vz_runtime vz_test_support)\n'
run_case "platform links and compiles from above" 1 \
  "+platform/runtime/CMakeLists.txt:4: platform/ links only platform/ targets, and links vz_db" \
  "+platform/runtime/CMakeLists.txt:6: platform/ links only platform/ targets, and links vz_test_support" \
  "+platform/runtime/CMakeLists.txt:6: platform/ compiles only platform/ sources, and compiles \${PROJECT_SOURCE_DIR}/project/p_test.cpp" \
  "-vz_project" "-links vz_os" "-links vz_runtime"

base_tree
put src/db/CMakeLists.txt 'find_package(SQLite3 REQUIRED)\nadd_library(vz_db a.cpp)\ntarget_link_libraries(vz_db PUBLIC vz_os Qt6::Gui\n  PRIVATE SQLite::SQLite3)\nvz_test(NAME vz_db_test SOURCES t.cpp LIBS vz_db Qt6::Test)\n'
run_case "src finds and links Qt and SQLite" 1 \
  "+src/db/CMakeLists.txt:1: src/ reaches Qt and SQLite only through platform/, and finds SQLite3" \
  "+src/db/CMakeLists.txt:3: src/ reaches Qt and SQLite only through platform/, and links Qt6::Gui" \
  "+src/db/CMakeLists.txt:3: src/ reaches Qt and SQLite only through platform/, and links SQLite::SQLite3" \
  "+src/db/CMakeLists.txt:5: src/ reaches Qt and SQLite only through platform/, and links Qt6::Test"

base_tree
put graph 'target\tvz_os\tplatform/os\ntarget\tvz_runtime\tplatform/runtime\ntarget\tvz_db\tsrc/db\ntarget\tvz_project\tproject\nlink\tvz_runtime\tvz_os\nlink\tvz_runtime\t$<LINK_ONLY:vz_project>\nlink\tvz_db\tvz_os\nlink\tvz_db\tSQLite::SQLite3\nlink\tvz_project\tvz_db\n'
run_case "the link graph as CMake holds it" 1 \
  "+platform/runtime/CMakeLists.txt: platform/ links only platform/ targets, and vz_runtime links vz_project (project)" \
  "+src/db/CMakeLists.txt: src/ reaches Qt and SQLite only through platform/, and vz_db links SQLite::SQLite3" \
  "-vz_runtime links vz_os" "-vz_project links"

run_case_missing_tree() {
  local output
  output="$(bash "$check" "$work/nowhere" 2>&1)"
  [ $? = 2 ] || { echo "FAIL a missing tree: exit code is not 2"; failures=$((failures + 1)); }
  grep -qF "holds no platform/ and src/ folders" <<<"$output" ||
    { echo "FAIL a missing tree: no reason given"; failures=$((failures + 1)); }
}
run_case_missing_tree

if [ "$failures" -gt 0 ]; then
  echo "check-layers-test: $failures case(s) failed"
  exit 1
fi
echo "check-layers-test: every case passed"
