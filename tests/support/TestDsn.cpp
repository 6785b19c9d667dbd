#include "TestDsn.h"

#include "TestConnection.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <unistd.h>

namespace TestDsn {

namespace {

std::string g_scratch;
std::string g_dsnFile;
std::string g_pgDatabase;

std::string EnvOr(const char* name, const char* fallback)
{
    const char* v = std::getenv(name);
    return (v && *v) ? v : fallback;
}

void WriteDsnFile()
{
    std::ofstream f(g_dsnFile, std::ios::trunc);
    f << "[" << SQLite << "]\nDriver=SQLite3\nDatabase=" << g_scratch << "/test.db\nTimeout=5000\n\n";
    f << "[" << SQLiteStep << "]\nDriver=SQLite3\nDatabase=" << g_scratch << "/test.db\nTimeout=5000\nStepAPI=1\n\n";
    const std::string port = EnvOr("TARNVALE_TEST_PGPORT", "");
    if (!port.empty()) {
        struct Entry {
            std::string dsn, database, extra;
        };
        for (const Entry& e : {Entry{PostgreSQL, g_pgDatabase, ""}, Entry{PgAdmin, "postgres", ""},
                               Entry{PostgreSQLCursor, g_pgDatabase, "UseDeclareFetch=1\nFetch=1\n"},
                               Entry{PostgreSQLBatches, g_pgDatabase, "UseDeclareFetch=1\nFetch=100\n"}}) {
            f << "[" << e.dsn << "]\nDriver=PostgreSQL ANSI\nServername=127.0.0.1\nPort=" << port
              << "\nDatabase=" << e.database << "\nUsername=postgres\nPassword=\nSSLmode=disable\n"
              << e.extra << "\n";
        }
    }
}

} // namespace

void Prepare()
{
    const std::string base = EnvOr("TARNVALE_TEST_DIR", "/tmp");
    g_scratch = base + "/proc-" + std::to_string(getpid());
    std::filesystem::remove_all(g_scratch);
    std::filesystem::create_directories(g_scratch);
    g_dsnFile = g_scratch + "/odbc.ini";
    g_pgDatabase = "tv_" + std::to_string(getpid());
    WriteDsnFile();
    setenv("ODBCINI", g_dsnFile.c_str(), 1);
}

const char* SQLiteDsn() { return SQLite; }

const char* PgDsn()
{
    static std::once_flag once;
    static bool ready = false;
    std::call_once(once, [] {
        if (EnvOr("TARNVALE_TEST_PGPORT", "").empty()) {
            ADD_FAILURE() << "TARNVALE_TEST_PGPORT is not set: the PostgreSQL server of the test run is missing";
            return;
        }
        TestConnection admin(PgAdmin);
        if (!admin.Ok()) return;
        admin.Exec("DROP DATABASE IF EXISTS " + g_pgDatabase);
        ready = admin.Exec("CREATE DATABASE " + g_pgDatabase + " TEMPLATE template0 ENCODING 'UTF8'");
    });
    if (!ready) ADD_FAILURE() << "the PostgreSQL test database could not be made";
    return PostgreSQL;
}

const std::string& ScratchDir() { return g_scratch; }
const std::string& DsnFile() { return g_dsnFile; }

} // namespace TestDsn
