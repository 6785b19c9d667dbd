#!/usr/bin/env bash
# demo-dsn.sh <installation folder>: creates the demo database from data/demo.sql inside the
# installation folder and registers it as the user data source "TarnvaleDemo" (the other entries
# of the user DSN file stay as they are).
set -euo pipefail
cd "$(dirname "$0")/.."
install_dir=$(realpath "$1")
db="$install_dir/demo/tarnvale-demo.db"
mkdir -p "$(dirname "$db")"
rm -f "$db"
sqlite3 "$db" < data/demo.sql
template=$(mktemp)
trap 'rm -f "$template"' EXIT
printf '[TarnvaleDemo]\nDescription=Tarnvale demo database\nDriver=SQLite3\nDatabase=%s\n' "$db" >"$template"
odbcinst -i -s -h -f "$template" >/dev/null
echo "User data source TarnvaleDemo -> $db"
