// The worker of one run: executes a query window's batch statement by statement on its own
// thread and hands each statement's result to the user-interface thread.
#pragma once

#include "QueryWindowState.h"
#include "RunDisplay.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QString>
#include <QThread>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

class QTimer;

// What a run takes from the settings and the editor when it is created.
struct RunOptions {
    QString SqlText;                 // the editor's selection, or its whole text
    QString TextQualifier = "\"";    // empty, "'" or the double quote
    bool WriteColumnHeader = false;  // ExportWithTblColumn
    std::int32_t MaxFieldLenOfSqlResult = 512;
    // Binds SQLite's columns by their types as for every other driver: for the bench's comparison.
    bool BindSQLiteByType = false;
    // Leaves the memory a driver freed with a large result unmerged until the worker exits: for the bench's comparison.
    bool LeaveFreedResultUnmerged = false;
};

class MuliThread : public QThread {
    Q_OBJECT
public:
    // Prepares the window and starts the run; the thread deletes itself when it ends. Throws
    // std::runtime_error when the thread cannot be made.
    MuliThread(QueryWindowState& window, RunDisplay& display, const RunOptions& options, QString user,
               QString password, QString dsn);
    ~MuliThread() override;

    // Asks a run whose rows flow to stop after the current row.
    void RequestStop() { stopRequested_.store(true); }
    bool StopRequested() const { return stopRequested_.load(); }

    std::uint64_t WindowHandle = 0;
    QString User, Password, DSN;
    std::int32_t StatementIndex = 0;
    std::uint8_t DisplayAsText = 0;
    std::uint8_t DisplayToFile = 0;
    std::uint8_t WriteColumnHeader = 0;
    QDateTime StatementStart, StatementEnd;

    QueryWindowState& Window() { return window_; }
    const std::string& Qualifier() const { return qualifier_; }

    // The display step of the current statement, on the user-interface thread.
    void ShowResult();

    // The stop command: before rows flow the driver cancels the statement; once they flow the
    // worker stops after the current row. Runs on the user-interface thread.
    static void StopRun(QueryWindowState& window, MuliThread* run);

protected:
    void run() override;

private:
    // A cancel that reaches the server before the statement does is lost there: while the
    // statement still executes after a stop, the cancel is sent again every quarter second.
    void KeepCancelling();
    bool SendCancel();

    // Runs statement i; true when the run ends with it (cancelled, or the result file failed).
    bool RunStatement(std::size_t i, class ResultFileSink* file);
    void HandOff();
    // Marks the statement as executing unless a stop came first (false then): a stop that arrives
    // between the check for it and the execution would otherwise let the statement run to its end.
    bool BeginExecuting();
    void EndExecuting();
    // The user-interface thread's side of the hand-offs: shows the statements handed over, and
    // for a moment waits for the next one itself rather than through an event-loop turn.
    void ServeHandOffs();
    void PostServeHandOffs();
    void EndOfRun();
    void FileReport();
    void Call(const std::function<void()>& f);

    QueryWindowState& window_;
    RunDisplay& display_;
    std::string qualifier_;
    std::string text_;
    std::atomic<bool> stopRequested_{false};
    QString message_;
    bool fileOk_ = true;
    bool bindSQLiteByType_ = false;
    bool leaveFreedResultUnmerged_ = false;
    bool keepsAnyValue_ = false; // the connection's database keeps any value in any column
    QTimer* cancelTimer_ = nullptr;
    // Hand-offs the worker made and those the user-interface thread has shown, counted.
    std::atomic<std::uint32_t> handOffsMade_{0};
    std::atomic<std::uint32_t> handOffsShown_{0};
    // The user-interface thread is away: neither waiting awake for the next hand-off nor giving its
    // event loop a turn before it goes on, so the worker posts an event for its hand-off.
    std::atomic<bool> windowAway_{true};
    QTimer* turnTimer_ = nullptr; // goes on after the event loop's turn
    bool serving_ = false;        // user-interface thread only
    bool waitAwake_ = true;        // the window's thread waits awake for the next hand-off
    bool quickDisplay_ = true;     // the last statement took the window's thread little time
    bool workerWaitsAwake_ = true; // the worker waits awake for the display
    QElapsedTimer sinceShown_;    // since the window's thread last stopped serving hand-offs
};
