#include "PrivateCatalogConnection.h"

#include "ODBCDiagnostics.h"
#include "ODBCIntf.h"
#include "connection_rec.h"

#include <algorithm>
#include <string>

PrivateCatalogConnection::~PrivateCatalogConnection() { Close(); }

bool PrivateCatalogConnection::Open(const connection_rec& rec, QString& error)
{
    Close();
    if (!ODBCIntf::LoadODBC(ODBCIntf::DefaultLibraryName)) return false;
    // Without an environment there is no handle to report from: the load stops here.
    if (ODBCIntf::SQLAllocEnv(&env_) != SQL_SUCCESS) {
        env_ = SQL_NULL_HENV;
        return false;
    }
    if (ODBCIntf::SQLAllocConnect(env_, &dbc_) != SQL_SUCCESS) {
        std::string text;
        U_pub::GetDiagMessage(SQL_HANDLE_ENV, env_, text);
        error = QString::fromStdString(text);
        dbc_ = SQL_NULL_HDBC;
        Close();
        return false;
    }
    std::string dsn = rec.DSN.toStdString();
    std::string user = rec.User.toStdString();
    std::string password = rec.Password.toStdString();
    const auto dsnLength = static_cast<SQLSMALLINT>(std::min<std::size_t>(dsn.size(), 32767));
    const SQLRETURN rc = ODBCIntf::SQLConnect(dbc_, reinterpret_cast<SQLCHAR*>(dsn.data()), dsnLength,
                                              reinterpret_cast<SQLCHAR*>(user.data()), SQL_NTS,
                                              reinterpret_cast<SQLCHAR*>(password.data()), SQL_NTS);
    if (!ODBCIntf::SQLSucceeded(rc, false)) {
        std::string text;
        U_pub::GetDiagMessage(SQL_HANDLE_DBC, dbc_, text);
        error = QString::fromStdString(text);
        Close();
        return false;
    }
    connected_ = true;
    error.clear();
    return true;
}

void PrivateCatalogConnection::Close()
{
    if (connected_) ODBCIntf::SQLDisconnect(dbc_);
    if (dbc_ != SQL_NULL_HDBC) ODBCIntf::SQLFreeConnect(dbc_);
    if (env_ != SQL_NULL_HENV) ODBCIntf::SQLFreeEnv(env_);
    connected_ = false;
    dbc_ = SQL_NULL_HDBC;
    env_ = SQL_NULL_HENV;
}

bool PrivateCatalogConnection::Offers(SQLUSMALLINT function) const
{
    SQLUSMALLINT supported = SQL_TRUE;
    const SQLRETURN rc = ODBCIntf::SQLGetFunctions(dbc_, function, &supported);
    return !ODBCIntf::SQLSucceeded(rc, false) || supported != SQL_FALSE;
}
