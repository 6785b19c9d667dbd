#include "QueryWindowConnection.h"

#include "ODBCDiagnostics.h"

#include <algorithm>
#include <string>

namespace QueryWindowConnection {

bool Open(const QString& dsn, const QString& user, const QString& password, SQLHENV& env, SQLHDBC& dbc,
          QString* message)
{
    env = SQL_NULL_HENV;
    dbc = SQL_NULL_HDBC;
    std::string text;
    if (ODBCIntf::SQLAllocEnv(&env) != SQL_SUCCESS) {
        env = SQL_NULL_HENV;
        ODBCIntf::GetODBCErrorText(SQL_NULL_HENV, SQL_NULL_HDBC, SQL_NULL_HSTMT, nullptr, 0, text);
        if (message) *message = QString::fromStdString(text);
        return false;
    }
    if (ODBCIntf::SQLAllocConnect(env, &dbc) != SQL_SUCCESS) {
        U_pub::GetDiagMessage(SQL_HANDLE_ENV, env, text);
        if (message) *message = QString::fromStdString(text);
        dbc = SQL_NULL_HDBC;
        ODBCIntf::SQLFreeEnv(env);
        env = SQL_NULL_HENV;
        return false;
    }
    std::string dsnBytes = dsn.toStdString();
    std::string userBytes = user.toStdString();
    std::string passwordBytes = password.toStdString();
    const auto dsnLength = static_cast<SQLSMALLINT>(std::min<std::size_t>(dsnBytes.size(), 32767));
    const SQLRETURN rc = ODBCIntf::SQLConnect(dbc, reinterpret_cast<SQLCHAR*>(dsnBytes.data()), dsnLength,
                                              reinterpret_cast<SQLCHAR*>(userBytes.data()), SQL_NTS,
                                              reinterpret_cast<SQLCHAR*>(passwordBytes.data()), SQL_NTS);
    if (rc != SQL_SUCCESS && rc != SQL_SUCCESS_WITH_INFO) {
        U_pub::GetDiagMessage(SQL_HANDLE_DBC, dbc, text);
        if (message) *message = QString::fromStdString(text);
        ODBCIntf::SQLFreeConnect(dbc);
        ODBCIntf::SQLFreeEnv(env);
        dbc = SQL_NULL_HDBC;
        env = SQL_NULL_HENV;
        return false;
    }
    return true;
}

void ApplyCommitMode(QueryWindowState& w, SQLHDBC dbc, bool autoCommit)
{
    ODBCIntf::GetSupportedFunctions(dbc, w.SupportedFunctions);
    if (autoCommit) {
        w.AutoCommit = 1;
        w.TransactionState = TransactionStates::AutoCommit;
        return;
    }
    w.AutoCommit = 0;
    const SQLRETURN off = ODBCIntf::SQLSetConnectOption(dbc, SQL_AUTOCOMMIT, SQL_AUTOCOMMIT_OFF);
    w.TransactionState = (off == SQL_SUCCESS || off == SQL_SUCCESS_WITH_INFO) ? TransactionStates::None
                                                                             : TransactionStates::NotSupported;
}

bool EndTransaction(QueryWindowState& w, bool commit, QString* message)
{
    const SQLRETURN rc = SQLEndTran(SQL_HANDLE_DBC, w.hDbc, commit ? SQL_COMMIT : SQL_ROLLBACK);
    if (SQL_SUCCEEDED(rc)) {
        w.TransactionState = TransactionStates::None;
        return true;
    }
    std::string text;
    if (w.hDbc != SQL_NULL_HDBC) U_pub::GetDiagMessage(SQL_HANDLE_DBC, w.hDbc, text);
    if (message) *message = QString::fromStdString(text);
    return false;
}

SQLRETURN Close(SQLHENV& env, SQLHDBC& dbc)
{
    SQLRETURN rc = SQL_SUCCESS;
    if (dbc != SQL_NULL_HDBC) {
        rc = ODBCIntf::SQLDisconnect(dbc);
        if (!SQL_SUCCEEDED(rc)) {
            // A transaction left open keeps the driver from disconnecting: end it so the handles can go.
            SQLEndTran(SQL_HANDLE_DBC, dbc, SQL_ROLLBACK);
            rc = ODBCIntf::SQLDisconnect(dbc);
        }
        rc = ODBCIntf::SQLFreeConnect(dbc);
        dbc = SQL_NULL_HDBC;
    }
    if (env != SQL_NULL_HENV) {
        rc = ODBCIntf::SQLFreeEnv(env);
        env = SQL_NULL_HENV;
    }
    return rc;
}

} // namespace QueryWindowConnection
