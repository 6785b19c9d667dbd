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

// Whether the last call on the statement (or on the connection, without a statement) met a lost
// connection: SQLSTATE 08S01 or 08003, or the driver holds the connection dead.
bool ConnectionLost(SQLHDBC dbc, SQLHSTMT stmt);
// The connection is lost: a transaction that may have been open is gone with it.
void MarkTransactionLost(QueryWindowState& window);
// After a failed call: marks the transaction lost when the call met a lost connection.
void NoteLostConnection(QueryWindowState& window, SQLHSTMT stmt);

enum class TransactionEnd {
    Ended,  // committed or rolled back; the state is 0
    Lost,   // the connection had been lost: the server rolled the transaction back; the state is 0
    // A connection replaced by a reconnect had lost its part, which the server rolled back; the
    // current connection's part was committed or rolled back as asked; the state is 0
    EarlierLost,
    Failed  // *message holds the driver's text; the state is left as it was
};
// Commits (or rolls back) the connection's transaction. A driver that lost its connection forgets
// the transaction and then reports success: once the loss is known, no commit is taken as done.
TransactionEnd EndTransaction(QueryWindowState& window, bool commit, QString* message);

// Disconnects and frees both handles, rolling back a transaction that keeps the driver from
// disconnecting. Returns the last call's status.
SQLRETURN Close(SQLHENV& env, SQLHDBC& dbc);

} // namespace QueryWindowConnection
