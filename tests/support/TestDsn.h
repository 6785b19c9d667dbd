// The data sources of a test process: a SQLite database and a PostgreSQL database of its own.
#pragma once

#include <string>

namespace TestDsn {

inline constexpr const char* SQLite = "TarnvaleSQLite";
inline constexpr const char* PostgreSQL = "TarnvalePG";
// The same databases read a row at a time, so a failing row shows at its own fetch.
inline constexpr const char* SQLiteStep = "TarnvaleSQLiteStep";
inline constexpr const char* PostgreSQLCursor = "TarnvalePGCursor";
// Read in batches of 100 rows, as a user's data source with a small fetch size reads.
inline constexpr const char* PostgreSQLBatches = "TarnvalePGBatches";
inline constexpr const char* PgAdmin = "TarnvalePGAdmin";

// Writes this process's DSN file and points ODBCINI at it; run once before any ODBC call.
void Prepare();

// The name of a data source whose database exists; PostgreSQL's is created on first use and
// the test fails when the server cannot be reached.
const char* SQLiteDsn();
const char* PgDsn();

// This process's scratch folder.
const std::string& ScratchDir();
// The DSN file this process uses.
const std::string& DsnFile();

} // namespace TestDsn
