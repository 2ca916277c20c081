#!/usr/bin/env bash
# A throwaway PostgreSQL cluster for the tests.
#
#   scripts/pg-cluster.sh start <state-dir>   make a cluster in a new temporary folder and
#                                             start it on a Unix socket of that folder (no
#                                             TCP port); write its connection string to
#                                             <state-dir>/conninfo
#   scripts/pg-cluster.sh stop <state-dir>    stop it and remove the folder
#   scripts/pg-cluster.sh halt <state-dir>    stop the server at once (as a crash or a power cut
#                                             would), keeping the cluster
#   scripts/pg-cluster.sh resume <state-dir>  start a halted cluster's server again
#
# VZ_PG_SERVER_OPTIONS, when set, adds server settings to the start ("-c shared_buffers=1GB").
# Run as root, the server runs as the unprivileged user `nobody` (the server refuses root).
# The cluster trusts local connections: it holds only test data and listens on no port.
# ctest starts and stops it through the fixture `vz_pg_cluster` (platform/engine).
set -euo pipefail

command=${1:-}
state=${2:-}
if [[ -z "$command" || -z "$state" ]]; then
  echo "usage: $0 start|stop <state-dir>" >&2
  exit 2
fi

find_bin() {
  local bin
  for bin in "$(pg_config --bindir 2>/dev/null || true)" $(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V -r); do
    if [[ -n "$bin" && -x "$bin/initdb" && -x "$bin/pg_ctl" ]]; then
      echo "$bin"
      return
    fi
  done
  if command -v initdb >/dev/null && command -v pg_ctl >/dev/null; then
    dirname "$(readlink -f "$(command -v initdb)")"
    return
  fi
  echo "pg-cluster: no initdb/pg_ctl found (install postgresql, scripts/setup-deps.sh)" >&2
  exit 1
}

as_server() {
  if [[ "$(id -u)" -eq 0 ]]; then
    runuser -u nobody -- "$@"
  else
    "$@"
  fi
}

stop_cluster() {
  [[ -f "$state/folder" ]] || return 0
  local folder bin
  folder=$(cat "$state/folder")
  bin=$(find_bin)
  if [[ -d "$folder/data" ]]; then
    as_server "$bin/pg_ctl" -D "$folder/data" -m immediate -w stop >/dev/null 2>&1 || true
  fi
  rm -rf "$folder"
  rm -f "$state/folder" "$state/conninfo"
}

case "$command" in
  start)
    mkdir -p "$state"
    stop_cluster  # a cluster left over by an interrupted run
    bin=$(find_bin)
    folder=$(mktemp -d /tmp/vzpg.XXXXXX)
    echo "$folder" >"$state/folder"
    if [[ "$(id -u)" -eq 0 ]]; then chown nobody "$folder"; fi
    as_server "$bin/initdb" -D "$folder/data" -U vz --auth=trust -E UTF8 --no-locale -N \
      >"$folder/initdb.log" 2>&1 || { cat "$folder/initdb.log" >&2; exit 1; }
    as_server "$bin/pg_ctl" -D "$folder/data" -l "$folder/server.log" -w -t 60 \
      -o "-c listen_addresses='' -k $folder -c fsync=off -c synchronous_commit=off -c max_connections=300 ${VZ_PG_SERVER_OPTIONS:-}" \
      start >/dev/null || { cat "$folder/server.log" >&2; exit 1; }
    echo "host=$folder user=vz dbname=postgres" >"$state/conninfo"
    ;;
  stop)
    stop_cluster
    ;;
  halt | resume)
    [[ -f "$state/folder" ]] || { echo "pg-cluster: no cluster in $state" >&2; exit 1; }
    folder=$(cat "$state/folder")
    bin=$(find_bin)
    if [[ "$command" == halt ]]; then
      as_server "$bin/pg_ctl" -D "$folder/data" -m immediate -w stop >/dev/null
    else
      as_server "$bin/pg_ctl" -D "$folder/data" -l "$folder/server.log" -w -t 60 \
        -o "-c listen_addresses='' -k $folder -c fsync=off -c synchronous_commit=off -c max_connections=300 ${VZ_PG_SERVER_OPTIONS:-}" \
        start >/dev/null || { cat "$folder/server.log" >&2; exit 1; }
    fi
    ;;
  *)
    echo "usage: $0 start|stop|halt|resume <state-dir>" >&2
    exit 2
    ;;
esac
