#!/usr/bin/env bash
# Runs the whole test suite: installs what it needs, builds the normal and the sanitizer
# configuration, starts a PostgreSQL server of its own and runs every test in both.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
scripts/build.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DTARNVALE_SANITIZE=ON

work=$(mktemp -d /tmp/tarnvale-test.XXXXXX)
chmod 755 "$work"
cleanup() {
  scripts/postgres.sh stop "$work/pg"
  rm -rf "$work"
}
trap cleanup EXIT

port=$(scripts/postgres.sh start "$work/pg")

# The driver list comes from the system, no system data source leaks in, and the user DSN
# file of the run names both databases.
scripts/odbc-sysini.sh "$work/odbcsys"
cat >"$work/odbc.ini" <<DSN
[TarnvaleSQLite]
Driver=SQLite3
Database=$work/base.db

[TarnvalePG]
Driver=PostgreSQL ANSI
Servername=127.0.0.1
Port=$port
Database=postgres
Username=postgres
DSN
export ODBCSYSINI="$work/odbcsys" ODBCINI="$work/odbc.ini"
export TARNVALE_TEST_DIR="$work" TARNVALE_TEST_PGPORT="$port"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

status=0
echo "== tests (normal build)"
ctest --test-dir build -j "$(nproc)" --output-on-failure || status=1
echo "== tests (AddressSanitizer and UndefinedBehaviorSanitizer build)"
ctest --test-dir build-asan -j "$(nproc)" --output-on-failure || status=1
exit $status
