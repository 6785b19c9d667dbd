#!/usr/bin/env bash
# Runs the benchmarks side by side in one run: builds, starts a PostgreSQL server of its own on
# loopback, fills 1,000,000 rows x 5 columns (BENCH_ROWS sets another count) in SQLite and
# PostgreSQL and prints the figures, each driver with its default settings and streaming.
# BENCH_ONLY=result skips the editor and catalog benchmarks.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo

work=$(mktemp -d /tmp/tarnvale-bench.XXXXXX)
chmod 755 "$work"
cleanup() {
  scripts/postgres.sh stop "$work/pg"
  rm -rf "$work"
}
trap cleanup EXIT
port=$(scripts/postgres.sh start "$work/pg")
rows=${BENCH_ROWS:-1000000}

echo "filling $rows rows in SQLite and PostgreSQL ..."
sqlite3 "$work/big.db" <<SQL
create table big (id integer, name varchar(30), d date, amount numeric(12,2), ts timestamp);
with recursive c(n) as (select 1 union all select n + 1 from c where n < $rows)
insert into big select n, 'name ' || n, date('2000-01-01', '+' || (n % 9000) || ' days'),
  round((n * 137) % 10000000 / 100.0, 2), datetime('2020-01-01 00:00:00', '+' || n || ' seconds') from c;
SQL
psql -q -h 127.0.0.1 -p "$port" -U postgres -d postgres <<SQL
create table big (id integer, name varchar(30), d date, amount numeric(12,2), ts timestamp);
insert into big select n, 'name ' || n, date '2000-01-01' + (n % 9000), round(((n * 137) % 10000000) / 100.0, 2),
  timestamp '2020-01-01' + n * interval '1 second' from generate_series(1, $rows) n;
analyze big;
SQL

scripts/odbc-sysini.sh "$work/odbcsys"
cat >"$work/odbc.ini" <<DSN
[BenchSQLite]
Driver=SQLite3
Database=$work/big.db

[BenchSQLiteStep]
Driver=SQLite3
Database=$work/big.db
StepAPI=1

[BenchPG]
Driver=PostgreSQL ANSI
Servername=127.0.0.1
Port=$port
Database=postgres
Username=postgres

[BenchPGCursor]
Driver=PostgreSQL ANSI
Servername=127.0.0.1
Port=$port
Database=postgres
Username=postgres
UseDeclareFetch=1
Fetch=10000

[BenchPGCatalog]
Driver=PostgreSQL ANSI
Servername=127.0.0.1
Port=$port
Database=catalog
Username=postgres
DSN
export ODBCSYSINI="$work/odbcsys" ODBCINI="$work/odbc.ini" QT_QPA_PLATFORM=offscreen

# The stalls of the window's thread are measured under a real display.
display() { QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1920x1080x24" "$@"; }
# RESULT_BENCH_REFERENCE: the same bench of another build, its save-to-file run beside ours on SQLite.
display build/bench/result_bench "$work"
# Many short statements, beside isql.
OSTREL_DIR="$PWD/build/install" display build/bench/batch_bench
[ "${BENCH_ONLY:-}" = result ] && exit 0
display build/bench/grid_bench "$work"
display build/bench/grid_handoff_bench "$(( rows * 5 / 2 ))"
build/bench/editor_colouring_bench
# Editing an open script of 242,028 and 484,056 lines; SCRIPT_BENCH_REFERENCE: the same bench of another build, beside it.
display build/bench/script_open_bench history 242028 "${SCRIPT_BENCH_REFERENCE:-}"
# The same for a statement of 2.5 and 5 MB on one line.
display build/bench/script_open_bench history-line 2500000 "${SCRIPT_BENCH_REFERENCE:-}"

echo "making 5,000 tables x 11 columns in PostgreSQL database \"catalog\" ..."
psql -q -h 127.0.0.1 -p "$port" -U postgres -d postgres -c "create database catalog"
psql -q -h 127.0.0.1 -p "$port" -U postgres -d catalog <<'SQL'
select format('create table t%s (id integer primary key, code char(8), name varchar(40) not null, amount numeric(12,2), '
              'quantity integer, price numeric(10,3), created date, updated timestamp, note text, flag boolean, '
              'ref bigint)', lpad(n::text, 5, '0'))
from generate_series(1, 5000) n
\gexec
SQL
build/bench/catalog_bench BenchPGCatalog public.t02500
