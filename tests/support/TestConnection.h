// A connection for setting up and checking test data, made through the driver manager directly.
#pragma once

#include <sql.h>
#include <sqlext.h>

#include <string>
#include <vector>

class TestConnection {
public:
    explicit TestConnection(const char* dsn, const char* user = "", const char* password = "");
    ~TestConnection();
    TestConnection(const TestConnection&) = delete;
    TestConnection& operator=(const TestConnection&) = delete;

    bool Ok() const { return connected_; }
    // Runs one statement; a failure is a test failure with the driver's message.
    bool Exec(const std::string& sql);
    // The first column of every row of a query, as text ("<NULL>" for NULL).
    std::vector<std::string> Column(const std::string& sql);

    SQLHENV env = SQL_NULL_HENV;
    SQLHDBC dbc = SQL_NULL_HDBC;

    static std::string Diagnostics(SQLSMALLINT type, SQLHANDLE handle);
    // Ends the PostgreSQL session of another connection (one of the program's) as the server's
    // administrator does, from a connection to dsn; true once the server has ended it.
    static bool TerminateSession(SQLHDBC session, const char* dsn);

private:
    bool connected_ = false;
};
