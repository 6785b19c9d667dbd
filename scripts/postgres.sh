#!/usr/bin/env bash
# start <folder>: a throw-away PostgreSQL server on a free loopback port, trust authentication;
#   prints the port. restart <folder>: stops it at once and starts it again on the same port (its
#   clients lose their connections). stop <folder>: stops it.
set -euo pipefail
bin=$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -n 1)
as_pg() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}
# Choosing a port and binding it, and a restart's stop and start, happen under one machine-wide
# lock: no other server takes a port while it is free for a moment. The server never holds the lock.
lock() {
  local file="${TMPDIR:-/tmp}/tarnvale-postgres.lock"
  [ -e "$file" ] || : >>"$file"
  exec 9<"$file"
  flock 9
}
case "$1" in
start)
  dir=$2
  mkdir -p "$dir"
  [ "$(id -u)" -eq 0 ] && chown postgres: "$dir"
  as_pg "$bin/initdb" -D "$dir/data" -A trust -U postgres -E UTF8 --locale=C.UTF-8 >"$dir/initdb.log" 2>&1
  lock
  for port in $(seq 55432 55532); do
    (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && continue
    if as_pg "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
         -o "-h 127.0.0.1 -p $port -k $dir -c fsync=off -c max_connections=200" start >/dev/null 2>&1 9>&-; then
      echo "$port"
      exit 0
    fi
  done
  echo "no PostgreSQL server could be started; see $dir/server.log" >&2
  exit 1
  ;;
restart)
  dir=$2
  lock
  as_pg "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 -m immediate restart >/dev/null 2>&1 9>&-
  ;;
stop)
  dir=$2
  [ -d "$dir/data" ] && as_pg "$bin/pg_ctl" -D "$dir/data" -m immediate stop >/dev/null 2>&1 || true
  ;;
esac
