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

namespace {

bool HoldsLostConnectionState(SQLSMALLINT type, SQLHANDLE handle)
{
    if (!handle) return false;
    SQLCHAR state[6] = {};
    SQLINTEGER native = 0;
    SQLSMALLINT length = 0;
    for (SQLSMALLINT record = 1;; ++record) {
        const SQLRETURN rc = ::SQLGetDiagRec(type, handle, record, state, &native, nullptr, 0, &length);
        if (rc != SQL_SUCCESS && rc != SQL_SUCCESS_WITH_INFO) return false;
        const std::string s(reinterpret_cast<const char*>(state));
        if (s == "08S01" || s == "08003") return true;
    }
}

bool ConnectionDead(SQLHDBC dbc)
{
    SQLUINTEGER dead = SQL_CD_FALSE;
    // A driver without the attribute says nothing about it.
    return dbc != SQL_NULL_HDBC && SQL_SUCCEEDED(::SQLGetConnectAttr(dbc, SQL_ATTR_CONNECTION_DEAD, &dead, 0, nullptr)) &&
           dead == SQL_CD_TRUE;
}

} // namespace

bool ConnectionLost(SQLHDBC dbc, SQLHSTMT stmt)
{
    const bool stated = stmt != SQL_NULL_HSTMT ? HoldsLostConnectionState(SQL_HANDLE_STMT, stmt)
                                               : HoldsLostConnectionState(SQL_HANDLE_DBC, dbc);
    return stated || ConnectionDead(dbc);
}

void MarkTransactionLost(QueryWindowState& w)
{
    if (w.TransactionState == TransactionStates::MayBeOpen) w.TransactionLost = true;
}

void NoteLostConnection(QueryWindowState& w, SQLHSTMT stmt)
{
    if (ConnectionLost(w.hDbc, stmt)) MarkTransactionLost(w);
}

TransactionEnd EndTransaction(QueryWindowState& w, bool commit, QString* message)
{
    const SQLRETURN rc = SQLEndTran(SQL_HANDLE_DBC, w.hDbc, commit ? SQL_COMMIT : SQL_ROLLBACK);
    // The driver's text first: any other call on the connection clears it.
    std::string text;
    if (!SQL_SUCCEEDED(rc) && w.hDbc != SQL_NULL_HDBC) U_pub::GetDiagMessage(SQL_HANDLE_DBC, w.hDbc, text);
    if (SQL_SUCCEEDED(rc) || (w.TransactionLost && ConnectionDead(w.hDbc))) {
        const bool lost = w.TransactionLost || ConnectionDead(w.hDbc);
        const bool earlierLost = w.EarlierTransactionLost;
        w.TransactionLost = false;
        w.EarlierTransactionLost = false;
        w.TransactionState = TransactionStates::None;
        return lost ? TransactionEnd::Lost : earlierLost ? TransactionEnd::EarlierLost : TransactionEnd::Ended;
    }
    if (message) *message = QString::fromStdString(text);
    // Whether this call reached the server is not known; the next one is not trusted.
    NoteLostConnection(w, SQL_NULL_HSTMT);
    return TransactionEnd::Failed;
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
