#include "MuliThread.h"

#include "DataSources.h"
#include "ODBCDiagnostics.h"
#include "ODBCIntf.h"
#include "QueryWindowConnection.h"
#include "ResultColumns.h"
#include "ResultFileSink.h"
#include "SqlTextRoutines.h"

#include <QElapsedTimer>
#include <QMetaObject>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <filesystem>
#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <stdexcept>
#include <optional>
#include <thread>

namespace {

QString Utf8(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

QString RowCountMessage(long long n) { return QStringLiteral("（所影响的行数为 %1 行）").arg(n); }

// Rows from which a result's release is worth merging the freed memory at once.
constexpr long long LargeResultRows = 100000;

// The fetched row into the result file: each field rendered, completed first where its buffer cut it.
void WriteFileRow(SQLHSTMT stmt, std::vector<TColumnDescriptor>& columns, const RenderContext& context,
                  ResultFileSink& file)
{
    std::string& row = file.RowText();
    for (std::size_t j = 1; j < columns.size(); ++j) {
        TColumnDescriptor& d = columns[j];
        CompleteCutValue(stmt, static_cast<SQLUSMALLINT>(j), d, context);
        RenderResultField(d, context, row);
        file.EndField();
    }
    file.EndRow();
}

// A short statement runs and shows in microseconds, quicker than a sleeping thread wakes: each
// side of a hand-off waits this long awake for the other before it sleeps.
constexpr std::chrono::microseconds WorkerAwakeWait{100};
constexpr std::chrono::microseconds WindowAwakeWait{100};
// The longest the window's thread shows hand-offs in a row before its event loop's turn.
constexpr qint64 HandOffSliceMs = 2;

void CpuRelax()
{
#if defined(__x86_64__) || defined(__i386__)
    _mm_pause();
#else
    std::this_thread::yield();
#endif
}

// Waits awake until done() holds or the time is up; true when it holds.
template <class Done>
bool AwakeUntil(Done done, std::chrono::microseconds limit)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    for (unsigned i = 1;; ++i) {
        if (done()) return true;
        if (i % 16 == 0 && std::chrono::steady_clock::now() >= end) return false;
        CpuRelax();
    }
}

const QString FetchFailedNote = QStringLiteral("读取结果时发生错误，结果不完整");

std::unique_ptr<TQryResult_Tesk> OneColumnResult(bool succeeded, bool cancelled)
{
    auto r = std::make_unique<TQryResult_Tesk>(1);
    r->Succeeded = succeeded ? 1 : 0;
    r->Cancelled = cancelled ? 1 : 0;
    return r;
}

void ReleaseStatement(QueryWindowState& w)
{
    std::lock_guard lock(w.StopLock);
    for (SQLUSMALLINT option : {SQL_CLOSE, SQL_RESET_PARAMS, SQL_UNBIND, SQL_DROP})
        w.RetCode = ODBCIntf::SQLFreeStmt(w.hStmt, option);
    w.hStmt = SQL_NULL_HSTMT;
}

} // namespace

MuliThread::MuliThread(QueryWindowState& window, RunDisplay& display, const RunOptions& options, QString user,
                       QString password, QString dsn)
    : User(std::move(user)), Password(std::move(password)), DSN(std::move(dsn)), window_(window), display_(display)
{
    QueryWindowState& w = window_;
    w.RowsFetching = 0;
    w.FetchCancelled = 0;
    DisplayAsText = w.DisplayAsText;
    DisplayToFile = w.DisplayToFile;
    WriteColumnHeader = options.WriteColumnHeader ? 1 : 0;
    qualifier_ = options.TextQualifier.toStdString();
    bindSQLiteByType_ = options.BindSQLiteByType;
    leaveFreedResultUnmerged_ = options.LeaveFreedResultUnmerged;

    display_.PrepareForRun();
    w.Results.clear();
    w.ResultLines = std::make_unique<ResultRowStore>();
    w.MessageLines.clear();

    w.MaxFieldLen = options.MaxFieldLenOfSqlResult;
    if (w.MaxFieldLen > 4096 && w.DbmsKind > 5 && w.DbmsKind != DbmsKind::MySql) w.MaxFieldLen = 4096;

    w.RunCounter = 1;
    w.CancelRequested = 0;
    // The editor's paragraph and line separators reach the driver as line breaks.
    QString text = options.SqlText;
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n')).replace(QChar::LineSeparator, QLatin1Char('\n'));
    text_ = text.toStdString();

    connect(this, &QThread::finished, this, &QObject::deleteLater);
    start();
    if (!isRunning() && !isFinished()) {
        // The thread could not be made: no run is under way, and nothing may wait for one.
        w.RunCounter = 0;
        throw std::runtime_error("Thread creation error");
    }
}

MuliThread::~MuliThread() = default;

void MuliThread::StopRun(QueryWindowState& w, MuliThread* run)
{
    bool executing = false;
    {
        std::lock_guard lock(w.StopLock);
        if (w.RowsFetching == 0) {
            // Before rows flow the flag cancels the statement; while it executes the driver stops it.
            w.CancelRequested = 1;
            executing = w.StatementExecuting && w.hStmt != SQL_NULL_HSTMT;
            if (executing) ODBCIntf::SQLCancel(w.hStmt);
        }
    }
    // Once rows flow the worker's own flag stops the fetch; it also stops a run between statements.
    if (run) {
        run->RequestStop();
        if (executing) run->KeepCancelling();
    }
}

bool MuliThread::SendCancel()
{
    std::lock_guard lock(window_.StopLock);
    if (!window_.CancelRequested || window_.RowsFetching || !window_.StatementExecuting ||
        window_.hStmt == SQL_NULL_HSTMT)
        return false;
    ODBCIntf::SQLCancel(window_.hStmt);
    return true;
}

void MuliThread::KeepCancelling()
{
    if (cancelTimer_) return;
    // Lives on the user-interface thread with this object and goes with it when the run ends.
    cancelTimer_ = new QTimer(this);
    cancelTimer_->setInterval(250);
    connect(cancelTimer_, &QTimer::timeout, this, [this] {
        if (!SendCancel()) cancelTimer_->stop();
    });
    cancelTimer_->start();
}

bool MuliThread::BeginExecuting()
{
    std::lock_guard lock(window_.StopLock);
    if (window_.CancelRequested) return false;
    window_.StatementExecuting = true;
    return true;
}

void MuliThread::EndExecuting()
{
    std::lock_guard lock(window_.StopLock);
    window_.StatementExecuting = false;
}

void MuliThread::Call(const std::function<void()>& f)
{
    QObject* context = display_.DisplayContext();
    if (QThread::currentThread() == context->thread())
        f();
    else
        QMetaObject::invokeMethod(context, f, Qt::BlockingQueuedConnection);
}

void MuliThread::run()
{
    QueryWindowState& w = window_;
    w.RunStart = QDateTime::currentDateTime();
    w.RunCancelled = 0;
    w.RunFetchFailed = 0;
    w.TotalRows = 0;
    w.StatementCount = 0;

    const bool backslashEscapes = w.DbmsKind == DbmsKind::MySql;
    w.Statements = SplitStatements(StripSQLComments(text_, backslashEscapes), w.StatementSeparator, backslashEscapes);
    w.StatementCount = static_cast<std::int32_t>(w.Statements.size());
    w.Results.clear();
    w.Results.resize(w.Statements.size());

    {
        std::string error, dbmsName;
        bool asked = false;
        U_pub::GetDBMSName(w.hDbc, error, asked, dbmsName);
        keepsAnyValue_ = KeepsAnyValue(dbmsName) && !bindSQLiteByType_;
    }

    std::optional<ResultFileSink> file;
    if (DisplayToFile) file.emplace(w.ResultFile);
    fileOk_ = true;

    for (std::size_t i = 0; i < w.Statements.size(); ++i) {
        // A cancel, and a result file that takes no more rows, end the run after the statement.
        const bool last = RunStatement(i, file ? &*file : nullptr);
        HandOff();
        if (last) break;
    }
    if (file) {
        if (!file->Ok()) fileOk_ = false;
        // Closed here: closing a large file may start its write-back, which is no work for the
        // user-interface thread.
        if (!w.ResultFile || std::fclose(w.ResultFile) != 0) fileOk_ = false;
        w.ResultFile = nullptr;
    }
    Call([this] { EndOfRun(); });
}

bool MuliThread::RunStatement(std::size_t i, ResultFileSink* file)
{
    QueryWindowState& w = window_;
    // Universal time costs no time-zone lookup; the moment is shown in local time.
    StatementStart = QDateTime::currentDateTimeUtc();
    StatementIndex = static_cast<std::int32_t>(i);
    w.StatementRows = 0;
    w.ResultColumnCount = 0;
    std::string sql = std::move(w.Statements[i]);
    w.Statements[i].clear();
    {
        std::lock_guard lock(w.StopLock);
        w.RowsFetching = 0;
        w.FetchCancelled = 0;
    }

    SQLHSTMT stmt = SQL_NULL_HSTMT;
    auto cancelledHere = [&] {
        // A stop that came after the execution finished leaves a result that the driver may hold
        // whole: it is freed here, not by the display step on the user-interface thread.
        if (stmt != SQL_NULL_HSTMT) ODBCIntf::SQLFreeStmt(stmt, SQL_CLOSE);
        w.Results[i] = OneColumnResult(true, true);
        message_ = QStringLiteral("用户已取消查询");
        w.RunCancelled = 1;
        return true;
    };
    // A stop that came between statements keeps the next one from running at all.
    if (w.CancelRequested || StopRequested()) return cancelledHere();

    w.RetCode = ODBCIntf::SQLAllocStmt(w.hDbc, &stmt);
    {
        std::lock_guard lock(w.StopLock);
        w.hStmt = stmt;
    }
    const bool allocated = ODBCIntf::SQLSucceeded(w.RetCode, true);
    if (allocated) {
        ODBCIntf::SQLSetStmtOption(stmt, SQL_CONCURRENCY, SQL_CONCUR_READ_ONLY);
        ODBCIntf::SQLFreeStmt(stmt, SQL_CLOSE);
        auto* text = reinterpret_cast<SQLCHAR*>(sql.data());
        if (!BeginExecuting()) return cancelledHere();
        if (w.SupportedFunctions[ODBCIntf::ODBCFunctionIndex(SQL_API_SQLEXECDIRECT)]) {
            w.RetCode = ODBCIntf::SQLExecDirect(stmt, text, SQL_NTS);
        } else {
            w.RetCode = ODBCIntf::SQLPrepare(stmt, text, SQL_NTS);
            if (ODBCIntf::SQLSucceeded(w.RetCode, false)) w.RetCode = ODBCIntf::SQLExecute(stmt);
        }
        EndExecuting();
    }
    sql.clear();
    w.ResultLines = std::make_unique<ResultRowStore>();

    if (w.CancelRequested) return cancelledHere();

    auto failed = [&] {
        // The text first: asking the connection whether it is dead clears its diagnostics.
        std::string text;
        ODBCIntf::GetODBCErrorText(w.hEnv, w.hDbc, stmt, nullptr, 0, text);
        QueryWindowConnection::NoteLostConnection(w, allocated ? stmt : SQL_NULL_HSTMT);
        w.LastErrorText = Utf8(text);
        message_ = w.LastErrorText;
        w.Results[i] = OneColumnResult(false, false);
        return false;
    };
    if (!allocated || !ODBCIntf::SQLSucceeded(w.RetCode, false)) return failed();

    // A driver that leaves the count unwritten must not report the previous statement's.
    w.AffectedRows = -1;
    ODBCIntf::SQLRowCount(stmt, &w.AffectedRows);
    w.RetCode = ODBCIntf::SQLNumResultCols(stmt, &w.NumResultCols);
    w.ResultColumnCount = w.NumResultCols;
    if (!ODBCIntf::SQLSucceeded(w.RetCode, false)) return failed();

    if (w.NumResultCols == 0) {
        if (w.AutoCommit)
            w.TransactionState = TransactionStates::AutoCommit;
        else if (w.TransactionState == TransactionStates::None)
            w.TransactionState = TransactionStates::MayBeOpen;
        w.Results[i] = OneColumnResult(true, false);
        message_ = w.AffectedRows < 0 ? QStringLiteral("（该语句已经成功执行）") : RowCountMessage(w.AffectedRows);
        return false;
    }

    const int n = w.NumResultCols;
    w.Results[i] = std::make_unique<TQryResult_Tesk>(n);
    TQryResult_Tesk& result = *w.Results[i];
    RenderContext context;
    context.Kind = w.DbmsKind;
    context.MaxFieldLen = w.MaxFieldLen;
    context.Qualifier = qualifier_;
    context.DoubleQualifier = file != nullptr;
    context.KeepsAnyValue = keepsAnyValue_;

    w.ColumnDescriptors.clear();
    w.ColumnDescriptors.resize(static_cast<std::size_t>(n) + 1);
    std::vector<std::string> names;
    names.reserve(static_cast<std::size_t>(n));
    for (int j = 1; j <= n; ++j)
        names.push_back(DescribeResultColumn(stmt, static_cast<SQLUSMALLINT>(j), w.ColumnDescriptors[j], context));
    w.ResultLines->Reset(static_cast<std::size_t>(n));
    if (file) {
        w.HeaderLine.clear();
        for (const std::string& name : names) {
            AppendQualified(name, context, w.HeaderLine);
            w.HeaderLine += ',';
        }
        if (!w.HeaderLine.empty()) w.HeaderLine.pop_back();
        w.ResultLines->SetHeader({w.HeaderLine});
        file->Header(w.HeaderLine, StatementIndex, WriteColumnHeader != 0);
    } else {
        w.ResultLines->SetHeader(std::move(names));
    }
    for (int j = 1; j <= n; ++j)
        BindResultColumn(stmt, static_cast<SQLUSMALLINT>(j), w.ColumnDescriptors[j],
                         result.Columns[static_cast<std::size_t>(j)], context);

    {
        // From here on the statement fetches: the stop command no longer cancels it through the
        // driver, and a stop that came before this point cancels the statement.
        std::lock_guard lock(w.StopLock);
        if (w.CancelRequested) {
            w.ColumnDescriptors.clear();
            return cancelledHere();
        }
        w.RowsFetching = 1;
    }

    // The cursor is closed here, on the worker: a driver that holds the whole result frees it
    // now, so the display step's release on the user-interface thread costs nothing.
    auto closeCursor = [&] {
        ODBCIntf::SQLFreeStmt(stmt, SQL_CLOSE);
#ifdef __GLIBC__
        // Merged later (at the latest as the thread exits), the pieces of a large freed result hold this arena's lock ~100+ ms against the window's frees.
        if (w.StatementRows >= LargeResultRows && !leaveFreedResultUnmerged_) malloc_trim(0);
#endif
    };

    w.RetCode = ODBCIntf::SQLFetch(stmt);
    bool ok = ODBCIntf::SQLSucceeded(w.RetCode, false);
    if (w.RetCode == SQL_ERROR) {
        std::string text;
        U_pub::GetDiagMessage(SQL_HANDLE_STMT, stmt, text);
        QueryWindowConnection::NoteLostConnection(w, stmt);
        closeCursor();
        if (file) file->EndResultSet();
        w.LastErrorText = Utf8(text);
        message_ = w.LastErrorText;
        w.Results[i] = OneColumnResult(false, false);
        // The sink has the result's header already: what it holds of the result ends here.
        w.Results[i]->FetchFailed = 1;
        w.RunFetchFailed = 1;
        return false;
    }
    ResultRowStore& lines = *w.ResultLines;
    // Values a fetch changed and that could not be read again: said in the messages, the first
    // of each column (index 0: of a column the driver did not name).
    std::vector<QString> changedNotes(static_cast<std::size_t>(n) + 1);
    // Only a value bound as a number, a date or a time can be read again: without one, a text cut
    // at the cap (success with information on every such row) needs no look at the diagnostics.
    const bool anyReadAgain = std::any_of(w.ColumnDescriptors.begin() + 1, w.ColumnDescriptors.end(),
                                          [](const TColumnDescriptor& d) {
                                              return d.CType != SQL_C_CHAR && d.CType != SQL_C_BINARY;
                                          });
    auto readChanged = [&] {
        if (w.RetCode != SQL_SUCCESS_WITH_INFO || !anyReadAgain) return;
        for (const auto& [j, text] : ReadChangedValuesAgain(stmt, w.ColumnDescriptors, n)) {
            QString& note = changedNotes[static_cast<std::size_t>(j)];
            if (!note.isEmpty()) continue;
            note = j ? QStringLiteral("第 %1 行第 %2 列的值已被驱动程序改变：").arg(w.StatementRows + 1).arg(j)
                     : QStringLiteral("第 %1 行的值已被驱动程序改变：").arg(w.StatementRows + 1);
            note += Utf8(text);
        }
    };
    while (ok && !StopRequested()) {
        readChanged();
        if (file) {
            WriteFileRow(stmt, w.ColumnDescriptors, context, *file);
            ++w.StatementRows;
            if (!file->Ok()) break;
        } else {
            for (int j = 1; j <= n; ++j) {
                CompleteCutValue(stmt, static_cast<SQLUSMALLINT>(j), w.ColumnDescriptors[j], context);
                RenderResultField(w.ColumnDescriptors[j], context, lines.CurrentField());
                lines.EndField();
            }
            lines.EndRow();
            ++w.StatementRows;
        }
        for (int j = 1; j <= n; ++j) w.ColumnDescriptors[j].ClearRow();
        w.RetCode = ODBCIntf::SQLFetch(stmt);
        ok = ODBCIntf::SQLSucceeded(w.RetCode, false);
    }
    const bool stopped = ok && StopRequested();
    // The rows read before a failed fetch stay; the message says why the rest is missing.
    std::string fetchError;
    if (!ok && w.RetCode != SQL_NO_DATA) {
        U_pub::GetDiagMessage(SQL_HANDLE_STMT, stmt, fetchError);
        if (fetchError.empty()) ODBCIntf::GetODBCErrorText(w.hEnv, w.hDbc, stmt, nullptr, 0, fetchError);
        QueryWindowConnection::NoteLostConnection(w, stmt);
    }
    closeCursor();
    if (file) file->EndResultSet();

    QString changed;
    for (const QString& note : changedNotes)
        if (!note.isEmpty()) changed += QLatin1Char('\n') + note;
    result.RowCount = w.StatementRows;
    result.Succeeded = 1;
    result.HasResultSet = 1;
    if (file && !file->Ok()) {
        // The file takes no more: the run ends here, and the rows are those the file holds whole.
        result.RowCount = file->RowsWritten();
        message_ = RowCountMessage(result.RowCount) + QLatin1Char('\n') + w.ResultFileName + QStringLiteral(": ") +
                   Utf8(file->ErrorText());
        return true;
    }
    if (stopped) {
        w.FetchCancelled = 1;
        result.CutShort = 1;
        result.Cancelled = 1;
        message_ = QStringLiteral("用户已取消查询:（已查询到的行数为 %1 行）").arg(w.StatementRows) + changed;
        w.RunCancelled = 1;
        return true;
    }
    if (!ok && w.RetCode != SQL_NO_DATA) {
        // The rows end at the error: never reported as the whole result.
        result.FetchFailed = 1;
        w.RunFetchFailed = 1;
        w.LastErrorText = Utf8(fetchError);
        message_ = FetchFailedNote + QStringLiteral(":（已查询到的行数为 %1 行）").arg(w.StatementRows) +
                   QLatin1Char('\n') + w.LastErrorText + changed;
        return false;
    }
    message_ = RowCountMessage(w.StatementRows) + changed;
    return false;
}

void MuliThread::HandOff()
{
    QueryWindowState& w = window_;
    w.MessageLines = QStringList{QString(), message_, QString()};
    if (QThread::currentThread() == thread() || thread() != display_.DisplayContext()->thread()) {
        Call([this] { ShowResult(); });
    } else {
        // Synchronous: the worker goes on only once the window's thread has shown the statement.
        const std::uint32_t n = handOffsMade_.load(std::memory_order_relaxed) + 1;
        handOffsMade_.store(n);
        // A thread woken by this one may be put on this one's processor: then this one sleeps.
        const bool woken = windowAway_.load();
        if (woken) PostServeHandOffs();
        auto shown = [&] { return handOffsShown_.load(std::memory_order_acquire) == n; };
        // A display that took longer than the wait awake (a grid page, say) is waited for asleep,
        // until displays are quick again.
        QElapsedTimer waited;
        waited.start();
        if (woken || !workerWaitsAwake_ || !AwakeUntil(shown, WorkerAwakeWait))
            for (std::uint32_t v; (v = handOffsShown_.load(std::memory_order_acquire)) != n;)
                handOffsShown_.wait(v, std::memory_order_acquire);
        workerWaitsAwake_ = waited.nsecsElapsed() < 2 * std::chrono::nanoseconds(WorkerAwakeWait).count();
    }
    const auto& r = w.Results[static_cast<std::size_t>(StatementIndex)];
    if (r) w.TotalRows += r->RowCount;
    w.ColumnDescriptors.clear();
}

void MuliThread::PostServeHandOffs()
{
    // Posted to this object: an event left over when the run has gone goes with it.
    QMetaObject::invokeMethod(this, [this] { ServeHandOffs(); }, Qt::QueuedConnection);
}

void MuliThread::ServeHandOffs()
{
    // A display step that turns the event loop itself finds the hand-off under way.
    if (serving_) return;
    serving_ = true;
    // Statements that take longer than the wait awake would find this thread gone anyway: after
    // such a one (its time counts the wake-up too) it does not wait, until hand-offs come quickly.
    if (windowAway_.load() && sinceShown_.isValid())
        waitAwake_ = sinceShown_.nsecsElapsed() < 2 * std::chrono::nanoseconds(WindowAwakeWait).count();
    QElapsedTimer slice;
    slice.start();
    auto made = [this] { return handOffsMade_.load() != handOffsShown_.load(std::memory_order_relaxed); };
    for (;;) {
        if (made()) {
            const std::uint32_t n = handOffsMade_.load();
            QElapsedTimer showing;
            showing.start();
            ShowResult();
            // A display that takes long (a grid page, say) leaves work to the event loop, which is
            // better done while the worker runs its next statement than after a wait for it.
            quickDisplay_ = showing.nsecsElapsed() < std::chrono::nanoseconds(WindowAwakeWait).count();
            handOffsShown_.store(n, std::memory_order_release);
            handOffsShown_.notify_one();
            sinceShown_.start();
            if (display_.FrameDue() || slice.elapsed() >= HandOffSliceMs) {
                // A frame to paint, input and timers come first; the next statement is shown once
                // the event loop has had its turn.
                windowAway_.store(false);
                if (!turnTimer_) {
                    turnTimer_ = new QTimer(this);
                    turnTimer_->setSingleShot(true);
                    turnTimer_->setInterval(0);
                    connect(turnTimer_, &QTimer::timeout, this, &MuliThread::ServeHandOffs);
                }
                turnTimer_->start();
                serving_ = false;
                return;
            }
        }
        if (!waitAwake_ || !quickDisplay_) break;
        windowAway_.store(false);
        if (!AwakeUntil(made, WindowAwakeWait)) break;
    }
    windowAway_.store(true);
    serving_ = false;
    // A hand-off made as this thread stopped waiting found it waiting: no event was posted for it.
    if (made()) PostServeHandOffs();
}

void MuliThread::ShowResult()
{
    QueryWindowState& w = window_;
    if (w.RunCounter == 0) return;
    display_.ShowStatementResult(*this);
    ReleaseStatement(w);
    StatementEnd = QDateTime::currentDateTimeUtc();
    if (auto& r = w.Results[static_cast<std::size_t>(StatementIndex)]) {
        r->StartTime = StatementStart;
        r->EndTime = StatementEnd;
    }
    if (w.TransactionState == TransactionStates::MayBeOpen) display_.ShowTransactionNote();
    if (!w.ResultLines) w.ResultLines = std::make_unique<ResultRowStore>();
}

void MuliThread::EndOfRun()
{
    QueryWindowState& w = window_;
    w.RunEnd = QDateTime::currentDateTime();
    RunEndTexts texts;
    texts.StartText = QStringLiteral("开始执行时间：") + w.RunStart.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    texts.TimeText = QStringLiteral("执行总时间：") + QString::fromStdString(FormatElapsedTime(w.RunStart, w.RunEnd));
    texts.RowsText = RowsStatusText(QStringLiteral("共返回结果行数："), w.TotalRows, w.RunCancelled, w.RunFetchFailed);
    texts.MessagesToFront = w.RunFetchFailed != 0;
    texts.ExportEnabled = w.TotalRows > 0 && DisplayAsText == 0;
    display_.ShowRunEnd(*this, texts);
    if (DisplayToFile) FileReport();
    // Last: a new run of the window may start only when this one has left everything behind.
    w.RunCounter = 0;
}

void MuliThread::FileReport()
{
    QueryWindowState& w = window_;
    // A file that holds a result only up to a failed fetch was not saved whole.
    const bool whole = fileOk_ && !w.RunFetchFailed;
    QStringList lines{QString(), whole ? QStringLiteral("下列文件已成功保存:") : QStringLiteral("下列文件保存失败:"),
                      QString()};
    std::error_code ec;
    auto size = std::filesystem::file_size(w.ResultFileName.toStdString(), ec);
    lines << (ec ? w.ResultFileName
                 : w.ResultFileName + QStringLiteral("  ") + QString::number(size) + QStringLiteral("  字节"));
    if (fileOk_ && w.RunFetchFailed) lines << QStringLiteral("（") + FetchFailedNote + QStringLiteral("）");
    display_.ShowFileReport(*this, lines);
}

QString RowsStatusText(const QString& label, long long rows, bool cancelled, bool fetchFailed)
{
    if (cancelled) return QStringLiteral("( 用户已取消查询 )");
    QString text = label + QString::number(rows);
    if (fetchFailed) text += QStringLiteral(" ( ") + FetchFailedNote + QStringLiteral(" )");
    return text;
}
