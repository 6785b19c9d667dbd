#!/usr/bin/env bash
# odbc-sysini.sh <folder>: a system ODBC folder for a run: the machine's driver list and no system
# data source, so only the run's own user DSN file names data sources. Point ODBCSYSINI at it.
set -euo pipefail
mkdir -p "$1"
cp /etc/odbcinst.ini "$1/odbcinst.ini"
: >"$1/odbc.ini"
