#include "TestConnection.h"

#include <gtest/gtest.h>

TestConnection::TestConnection(const char* dsn, const char* user, const char* password)
{
    SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env);
    SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc);
    SQLRETURN rc = SQLConnect(dbc, reinterpret_cast<SQLCHAR*>(const_cast<char*>(dsn)), SQL_NTS,
                              reinterpret_cast<SQLCHAR*>(const_cast<char*>(user)), SQL_NTS,
                              reinterpret_cast<SQLCHAR*>(const_cast<char*>(password)), SQL_NTS);
    connected_ = SQL_SUCCEEDED(rc);
    if (!connected_) ADD_FAILURE() << "cannot connect to " << dsn << ": " << Diagnostics(SQL_HANDLE_DBC, dbc);
}

TestConnection::~TestConnection()
{
    if (connected_) SQLDisconnect(dbc);
    SQLFreeHandle(SQL_HANDLE_DBC, dbc);
    SQLFreeHandle(SQL_HANDLE_ENV, env);
}

std::string TestConnection::Diagnostics(SQLSMALLINT type, SQLHANDLE handle)
{
    std::string all;
    SQLCHAR state[6], msg[2048];
    SQLINTEGER native;
    SQLSMALLINT len;
    for (SQLSMALLINT i = 1; SQL_SUCCEEDED(SQLGetDiagRec(type, handle, i, state, &native, msg, sizeof msg, &len)); ++i)
        all += std::string(reinterpret_cast<char*>(state)) + " " + reinterpret_cast<char*>(msg) + "; ";
    return all;
}

bool TestConnection::Exec(const std::string& sql)
{
    SQLHSTMT stmt;
    SQLAllocHandle(SQL_HANDLE_STMT, dbc, &stmt);
    SQLRETURN rc = SQLExecDirect(stmt, reinterpret_cast<SQLCHAR*>(const_cast<char*>(sql.c_str())), SQL_NTS);
    bool ok = SQL_SUCCEEDED(rc) || rc == SQL_NO_DATA;
    if (!ok) ADD_FAILURE() << sql << ": " << Diagnostics(SQL_HANDLE_STMT, stmt);
    SQLFreeHandle(SQL_HANDLE_STMT, stmt);
    return ok;
}

std::vector<std::string> TestConnection::Column(const std::string& sql)
{
    std::vector<std::string> out;
    SQLHSTMT stmt;
    SQLAllocHandle(SQL_HANDLE_STMT, dbc, &stmt);
    if (!SQL_SUCCEEDED(SQLExecDirect(stmt, reinterpret_cast<SQLCHAR*>(const_cast<char*>(sql.c_str())), SQL_NTS))) {
        ADD_FAILURE() << sql << ": " << Diagnostics(SQL_HANDLE_STMT, stmt);
    } else {
        while (SQL_SUCCEEDED(SQLFetch(stmt))) {
            char buf[4096];
            SQLLEN ind = 0;
            SQLGetData(stmt, 1, SQL_C_CHAR, buf, sizeof buf, &ind);
            out.emplace_back(ind == SQL_NULL_DATA ? "<NULL>" : buf);
        }
    }
    SQLFreeHandle(SQL_HANDLE_STMT, stmt);
    return out;
}

bool TestConnection::TerminateSession(SQLHDBC session, const char* dsn)
{
    // The session's own number, asked on its connection: a SELECT leaves its transaction as it is.
    SQLHSTMT stmt = SQL_NULL_HSTMT;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, session, &stmt))) return false;
    SQLINTEGER pid = 0;
    SQLLEN ind = 0;
    const bool asked =
        SQL_SUCCEEDED(SQLExecDirect(stmt, reinterpret_cast<SQLCHAR*>(const_cast<char*>("SELECT pg_backend_pid()")), SQL_NTS)) &&
        SQL_SUCCEEDED(SQLFetch(stmt)) && SQL_SUCCEEDED(SQLGetData(stmt, 1, SQL_C_SLONG, &pid, 0, &ind));
    if (!asked) ADD_FAILURE() << "no session number: " << Diagnostics(SQL_HANDLE_STMT, stmt);
    SQLFreeHandle(SQL_HANDLE_STMT, stmt);
    if (!asked) return false;
    TestConnection admin(dsn);
    // Waits until the session has ended.
    return admin.Ok() &&
           admin.Column("SELECT pg_terminate_backend(" + std::to_string(pid) + ", 30000)") == std::vector<std::string>{"1"};
}
