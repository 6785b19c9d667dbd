// A query window's own ODBC connection: made when the window opens and again when a scheduled run
// finds it lost, ended when the window closes.
#pragma once

#include "QueryWindowState.h"

#include <QString>

namespace QueryWindowConnection {

// Connects to the data source on an environment of its own (ODBC 2 behaviour). On failure no handle
// is left behind and *message holds the driver manager's or the driver's text.
bool Open(const QString& dsn, const QString& user, const QString& password, SQLHENV& env, SQLHDBC& dbc,
          QString* message);

// Reads what the driver supports and puts the connection into the window's commit mode: auto-commit
// (state 254), or manual commit (state 0, or 255 when the data source has no transactions).
void ApplyCommitMode(QueryWindowState& window, SQLHDBC dbc, bool autoCommit);

// Commits (or rolls back) the connection's transaction. The driver's return code decides: on
// failure *message holds the driver's text and the transaction state is left as it was; on success
// the state becomes 0.
bool EndTransaction(QueryWindowState& window, bool commit, QString* message);

// Disconnects and frees both handles, rolling back a transaction that keeps the driver from
// disconnecting. Returns the last call's status.
SQLRETURN Close(SQLHENV& env, SQLHDBC& dbc);

} // namespace QueryWindowConnection
