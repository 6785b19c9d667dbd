#include "ScheduleConnection.h"

#include "QueryWindowConnection.h"

namespace ScheduleConnection {

bool Answers(SQLHDBC dbc)
{
    if (dbc == SQL_NULL_HDBC) return false;
    SQLHSTMT stmt = SQL_NULL_HSTMT;
    if (ODBCIntf::SQLAllocStmt(dbc, &stmt) != SQL_SUCCESS) return false;
    ODBCIntf::SQLSetStmtOption(stmt, SQL_CONCURRENCY, SQL_CONCUR_READ_ONLY);
    ODBCIntf::SQLFreeStmt(stmt, SQL_CLOSE);
    const SQLRETURN rc = ODBCIntf::SQLTables(stmt, nullptr, 0, nullptr, 0, nullptr, 0, nullptr, 0);
    ODBCIntf::SQLFreeStmt(stmt, SQL_RESET_PARAMS);
    ODBCIntf::SQLFreeStmt(stmt, SQL_UNBIND);
    ODBCIntf::SQLFreeStmt(stmt, SQL_DROP);
    return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO;
}

bool Reconnect(QueryWindowState& w)
{
    SQLHENV env = SQL_NULL_HENV;
    SQLHDBC dbc = SQL_NULL_HDBC;
    if (!QueryWindowConnection::Open(w.DSN, w.User, w.Password, env, dbc, nullptr)) return false;
    QueryWindowConnection::ApplyCommitMode(w, dbc, w.AutoCommit == 1);
    QueryWindowConnection::Close(w.hEnv, w.hDbc);
    w.hEnv = env;
    w.hDbc = dbc;
    return true;
}

} // namespace ScheduleConnection
