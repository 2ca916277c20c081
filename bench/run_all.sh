#!/usr/bin/env bash
# Runs every benchmark of a build folder:  bench/run_all.sh <build-dir>
# The engine benchmark runs once per size, each in its own process, so that
# each reports its own peak memory (it should stay flat as the clients double).
set -euo pipefail
if [ $# -ne 1 ]; then
  echo "usage: bench/run_all.sh <build-dir>" >&2
  exit 2
fi
build="$1"
engine_bench="$build/bench/engine_bench"
if [ ! -x "$engine_bench" ]; then
  echo "bench: $engine_bench is not built (configure with -DVZ_BUILD_BENCH=ON)" >&2
  exit 1
fi
status=0
for clients in ${VZ_BENCH_CLIENTS:-100000 200000}; do
  echo "== engine benchmark, $clients clients"
  "$engine_bench" --clients "$clients" || status=1
done
# The selection run, once per size too (peak memory should stay flat).
selection_bench="$build/bench/selection_bench"
if [ -x "$selection_bench" ]; then
  for clients in ${VZ_BENCH_CLIENTS:-100000 200000}; do
    echo "== selection benchmark, $clients clients"
    "$selection_bench" --clients "$clients" || status=1
  done
  # The same on the data files in the compact form ("vzdata compact"), the
  # first size only.
  compact_clients="${VZ_BENCH_CLIENTS:-100000}"
  compact_clients="${compact_clients%% *}"
  echo "== selection benchmark, $compact_clients clients, compact data files"
  "$selection_bench" --clients "$compact_clients" --compact || status=1
fi
# The selection run through the desktop front end beside the scripted one.
selection_qt_bench="$build/bench/selection_qt_bench"
if [ -x "$selection_qt_bench" ]; then
  qt_clients="${VZ_BENCH_CLIENTS:-100000}"
  qt_clients="${qt_clients%% *}"  # the first size only
  echo "== selection benchmark, $qt_clients clients, desktop front end against scripted"
  "$selection_qt_bench" --clients "$qt_clients" || status=1
fi
# Case (a) on a throwaway PostgreSQL cluster beside SQLite, then four advisers
# at once on the server (needs initdb and pg_ctl: scripts/setup-deps.sh).
selection_pg_bench="$build/bench/selection_pg_bench"
if [ -x "$selection_pg_bench" ]; then
  pg_clients="${VZ_BENCH_CLIENTS:-100000}"
  pg_clients="${pg_clients%% *}"  # the first size only
  echo "== selection benchmark on the server, $pg_clients clients, and four advisers at once"
  "$selection_pg_bench" --clients "$pg_clients" || status=1
fi
# Letters of 1,000 clients through the result window and its merge button.
letters_bench="$build/bench/letters_bench"
if [ -x "$letters_bench" ]; then
  echo "== letters benchmark, 1000 clients"
  "$letters_bench" --letters 1000 || status=1
fi
# The rubric extraction of 10,000 selected clients, once per installation size
# (peak memory should stay flat).
extraction_bench="$build/bench/extraction_bench"
if [ -x "$extraction_bench" ]; then
  for clients in ${VZ_BENCH_CLIENTS:-20000 100000}; do
    echo "== extraction benchmark, 10000 of $clients clients"
    "$extraction_bench" --clients "$clients" --selected 10000 || status=1
    echo "== extraction benchmark, 10000 of $clients clients, compact data files"
    "$extraction_bench" --clients "$clients" --selected 10000 --compact || status=1
  done
fi
# The result window's list of 100,000 selected clients (target: under a second).
result_list_bench="$build/bench/result_list_bench"
if [ -x "$result_list_bench" ]; then
  echo "== result list benchmark, 100000 of 100000 clients"
  "$result_list_bench" --clients 100000 --selected 100000 || status=1
fi
# Other benchmark programs of the build, when they exist.
for other in "$build/platform/engine/engine_microbench"; do
  if [ -x "$other" ]; then
    echo "== $(basename "$other")"
    "$other" || status=1
  fi
done
exit $status
