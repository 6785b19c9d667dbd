// The state of one query window that a run reads and writes: its connection, run state and results.
// The query window form holds it; the worker thread works on it while the run lasts.
#pragma once

#include "ODBCIntf.h"
#include "ResultRowStore.h"
#include "TColumnDescriptor.h"
#include "TDbmsKind.h"
#include "TQryResult_Tesk.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// TransactionState values.
namespace TransactionStates {
inline constexpr std::uint8_t None = 0;
inline constexpr std::uint8_t MayBeOpen = 1;
inline constexpr std::uint8_t AutoCommit = 254;
inline constexpr std::uint8_t NotSupported = 255;
} // namespace TransactionStates

struct QueryWindowState {
    // connection
    std::int32_t WindowNumber = 0;
    std::uint8_t AutoCommit = 0;
    std::atomic<std::uint8_t> TransactionState{0};
    // The connection was found lost while a transaction may have been open: the server has rolled
    // it back, whatever a later commit on the handle answers.
    std::atomic<bool> TransactionLost{false};
    // A reconnect replaced a connection on which a transaction may have been open: the server has
    // rolled that one back; the current connection's transaction is its own.
    std::atomic<bool> EarlierTransactionLost{false};
    std::string StatementSeparator;
    SQLHENV hEnv = SQL_NULL_HENV;
    SQLHDBC hDbc = SQL_NULL_HDBC;
    ODBCIntf::SupportedFunctionFlags SupportedFunctions{};
    QString ConnectionKey;
    TDbmsKind DbmsKind = 0;
    QString User, Password, DSN;

    // run state, shared by the worker and the stop command
    std::atomic<std::uint8_t> CancelRequested{0};
    std::atomic<std::uint8_t> RowsFetching{0};
    std::atomic<std::uint8_t> FetchCancelled{0};
    std::atomic<std::int32_t> RunCounter{0};
    // Guards hStmt, StatementExecuting and the switch to fetching against the stop command's cancel.
    std::mutex StopLock;
    SQLHSTMT hStmt = SQL_NULL_HSTMT;
    bool StatementExecuting = false; // the worker is inside the execution call: the driver may cancel it

    // run state, the worker's own between hand-offs
    std::int32_t MaxFieldLen = 0;
    std::int32_t StatementRows = 0;
    std::int32_t ResultColumnCount = 0;
    SQLSMALLINT NumResultCols = 0;
    SQLLEN AffectedRows = 0;
    SQLRETURN RetCode = 0;
    std::vector<TColumnDescriptor> ColumnDescriptors;
    std::string HeaderLine;   // the file-form header line of the current result set
    std::unique_ptr<ResultRowStore> ResultLines = std::make_unique<ResultRowStore>();
    QStringList MessageLines;
    QString LastErrorText;
    std::vector<std::string> Statements;
    std::int32_t StatementCount = 0;

    // results of the last run; the run's totals are read by the grids' status texts while the
    // worker still adds to them
    std::vector<std::unique_ptr<TQryResult_Tesk>> Results;
    QDateTime RunStart, RunEnd;
    std::atomic<std::uint8_t> RunCancelled{0};
    std::atomic<std::uint8_t> RunFetchFailed{0}; // a result of the run ends at a failed fetch
    std::atomic<std::int32_t> TotalRows{0};

    // display
    std::uint8_t DisplayAsText = 0;
    std::uint8_t DisplayToFile = 0;

    // result file of a save-to-file run, opened by the run command
    std::FILE* ResultFile = nullptr;
    QString ResultFileName;
};
