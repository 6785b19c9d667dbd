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
    const bool answers = rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO;
    ODBCIntf::SQLFreeStmt(stmt, SQL_RESET_PARAMS);
    ODBCIntf::SQLFreeStmt(stmt, SQL_UNBIND);
    ODBCIntf::SQLFreeStmt(stmt, SQL_DROP);
    return answers;
}

bool Reconnect(QueryWindowState& w)
{
    SQLHENV env = SQL_NULL_HENV;
    SQLHDBC dbc = SQL_NULL_HDBC;
    if (!QueryWindowConnection::Open(w.DSN, w.User, w.Password, env, dbc, nullptr)) return false;
    // The replaced connection takes its transaction with it.
    const bool mayBeOpen = w.TransactionState == TransactionStates::MayBeOpen;
    QueryWindowConnection::ApplyCommitMode(w, dbc, w.AutoCommit == 1);
    if (mayBeOpen && w.TransactionState == TransactionStates::None) {
        w.TransactionState = TransactionStates::MayBeOpen;
        w.EarlierTransactionLost = true;
    }
    // What is lost went with the old connection; the new one starts clean.
    w.TransactionLost = false;
    QueryWindowConnection::Close(w.hEnv, w.hDbc);
    w.hEnv = env;
    w.hDbc = dbc;
    return true;
}

} // namespace ScheduleConnection
