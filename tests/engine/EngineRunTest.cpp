#include "MuliThread.h"
#include "ODBCIntf.h"
#include "TestConnection.h"
#include "TestDsn.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

#include <sys/resource.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

QCoreApplication& App()
{
    static int argc = 1;
    static char name[] = "engine_run_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

// What a run showed, statement by statement.
class RunRecorder : public QObject, public RunDisplay {
public:
    struct Statement {
        QStringList Messages;
        std::vector<std::string> Header;
        std::vector<std::vector<std::string>> Rows;
        bool HadStatementHandle = false;
        // A fetch at the hand-off: SQL_ERROR once the worker has closed the cursor.
        SQLRETURN FetchAtHandOff = SQL_SUCCESS;
        // The bytes of freed small blocks that malloc has not yet merged, in every arena.
        std::size_t UnmergedFreeBytes = 0;
        TQryResult_Tesk Result{0};
        std::int32_t Index = -1;
    };
    std::vector<Statement> Statements;
    RunEndTexts End;
    QStringList FileReport;
    int TransactionNotes = 0;
    int Prepared = 0;
    bool ProbeCursor = false;
    bool FileOpenAtRunEnd = false;
    // Every FrameDueEvery-th statement asks for the event loop's turn; every SlowEvery-th takes
    // SlowMs to show, so that the worker waits asleep.
    int FrameDueEvery = 0;
    int SlowEvery = 0;
    int SlowMs = 0;

    QObject* DisplayContext() override { return this; }
    void PrepareForRun() override { ++Prepared; }
    void ShowStatementResult(MuliThread& run) override
    {
        EXPECT_EQ(QThread::currentThread(), thread());
        QueryWindowState& w = run.Window();
        Statement s;
        s.Messages = w.MessageLines;
        s.HadStatementHandle = w.hStmt != SQL_NULL_HSTMT;
        if (ProbeCursor && s.HadStatementHandle) s.FetchAtHandOff = SQLFetch(w.hStmt);
#ifdef __GLIBC__
        s.UnmergedFreeBytes = mallinfo2().fsmblks;
#endif
        s.Header = w.ResultLines->Header();
        for (std::size_t r = 0; r < w.ResultLines->RowCount(); ++r) {
            std::vector<std::string> row;
            for (std::size_t c = 0; c < w.ResultLines->ColumnCount(); ++c)
                row.emplace_back(w.ResultLines->Field(r, c));
            s.Rows.push_back(std::move(row));
        }
        s.Result = *w.Results[static_cast<std::size_t>(run.StatementIndex)];
        s.Index = run.StatementIndex;
        Statements.push_back(std::move(s));
        if (SlowEvery && Statements.size() % static_cast<std::size_t>(SlowEvery) == 0) QThread::msleep(SlowMs);
    }
    bool FrameDue() const override
    {
        return FrameDueEvery && Statements.size() % static_cast<std::size_t>(FrameDueEvery) == 0;
    }
    void ShowTransactionNote() override { ++TransactionNotes; }
    void ShowRunEnd(MuliThread& run, const RunEndTexts& texts) override
    {
        End = texts;
        FileOpenAtRunEnd = run.Window().ResultFile != nullptr;
    }
    void ShowFileReport(MuliThread&, const QStringList& lines) override { FileReport = lines; }

    QString Message(std::size_t i) const { return Statements.at(i).Messages.value(1); }
};

// A query window's connection, made with the binding as the program makes it.
class TestWindow : public QueryWindowState {
public:
    explicit TestWindow(const char* dsn)
    {
        EXPECT_TRUE(ODBCIntf::LoadODBC(nullptr));
        ODBCIntf::SQLAllocEnv(&hEnv);
        ODBCIntf::SQLAllocConnect(hEnv, &hDbc);
        SQLRETURN rc = ODBCIntf::SQLConnect(hDbc, reinterpret_cast<SQLCHAR*>(const_cast<char*>(dsn)), SQL_NTS,
                                            reinterpret_cast<SQLCHAR*>(const_cast<char*>("")), SQL_NTS,
                                            reinterpret_cast<SQLCHAR*>(const_cast<char*>("")), SQL_NTS);
        connected = ODBCIntf::SQLSucceeded(rc, false);
        EXPECT_TRUE(connected) << TestConnection::Diagnostics(SQL_HANDLE_DBC, hDbc);
        ODBCIntf::GetSupportedFunctions(hDbc, SupportedFunctions);
        StatementSeparator = ";";
        AutoCommit = 1;
        DbmsKind = 20;
        DSN = dsn;
    }
    ~TestWindow()
    {
        if (connected) ODBCIntf::SQLDisconnect(hDbc);
        ODBCIntf::SQLFreeConnect(hDbc);
        ODBCIntf::SQLFreeEnv(hEnv);
    }
    bool connected = false;
};

// Serves hand-offs until the condition holds; fails the test, naming what it waited for, when it
// gives up after the time allowed.
bool WaitFor(const std::function<bool()>& condition, const char* what, qint64 allowedMs = 30000)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() >= allowedMs) {
            ADD_FAILURE() << "gave up after " << allowedMs << " ms waiting for " << what;
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return true;
}

// Starts a run and waits for its end while the event loop serves the hand-offs; `during` runs on
// this thread once the run has started. A run that does not end within allowedMs fails the test
// and is stopped, so that it never outlives the window and recorder it works on; the result says
// whether it ended in time.
bool RunBatch(TestWindow& w, RunRecorder& r, const QString& sql, RunOptions options = {},
         const std::function<void(MuliThread*)>& during = {}, qint64 allowedMs = 120000)
{
    App();
    options.SqlText = sql;
    QPointer<MuliThread> t = new MuliThread(w, r, options, "", "", w.DSN);
    if (during) during(t);
    auto ended = [&] { return w.RunCounter == 0 && !t; };
    if (WaitFor(ended, "the end of the run", allowedMs)) return true;
    MuliThread::StopRun(w, t);
    if (!WaitFor(ended, "the end of the run after a stop", 120000)) std::abort();
    return false;
}

std::string FileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class EngineRunTest : public ::testing::TestWithParam<const char*> {
protected:
    const char* Dsn() const { return std::string(GetParam()) == "pg" ? TestDsn::PgDsn() : TestDsn::SQLiteDsn(); }
};

TEST_P(EngineRunTest, BatchWithAFailingStatementGoesOn)
{
    TestWindow w(Dsn());
    ASSERT_TRUE(w.connected);
    RunRecorder r;
    RunBatch(w, r,
        "drop table if exists run_t;\r\ncreate table run_t (id integer, name varchar(20));\r\n"
        "insert into run_t values (1, 'one'), (2, null), (3, 'a[@]b');\r\n"
        "select * from run_no_such_table;\r\n"
        "select id, name from run_t order by id;\r\n"
        "update run_t set name = 'x' where id > 1;\r\n");
    ASSERT_EQ(r.Statements.size(), 6u);
    EXPECT_EQ(r.Message(2), "（所影响的行数为 3 行）");
    EXPECT_TRUE(r.Message(3).contains("run_no_such_table")) << r.Message(3).toStdString();
    EXPECT_EQ(r.Statements[3].Result.Succeeded, 0);
    EXPECT_EQ(r.Statements[3].Result.HasResultSet, 0);
    EXPECT_EQ(r.Message(4), "（所影响的行数为 3 行）");
    EXPECT_EQ(r.Message(5), "（所影响的行数为 2 行）");
    for (const auto& s : r.Statements) {
        EXPECT_EQ(s.Messages.size(), 3);
        EXPECT_EQ(s.Messages.value(0), "");
        EXPECT_EQ(s.Messages.value(2), "");
        EXPECT_TRUE(s.HadStatementHandle);
    }
    const auto& select = r.Statements[4];
    EXPECT_EQ(select.Header, (std::vector<std::string>{"id", "name"}));
    EXPECT_EQ(select.Rows, (std::vector<std::vector<std::string>>{{"1", "\"one\""}, {"2", "\"\""}, {"3", "\"a[@]b\""}}));
    EXPECT_EQ(select.Result.RowCount, 3);
    EXPECT_EQ(select.Result.HasResultSet, 1);
    EXPECT_EQ(select.Result.Succeeded, 1);
    EXPECT_EQ(select.Result.Columns[1].Name, "id");
    EXPECT_EQ(select.Result.Columns[1].Numeric, 1);
    EXPECT_EQ(select.Result.Columns[2].Numeric, 0);
    EXPECT_EQ(w.TotalRows, 3);
    EXPECT_EQ(w.hStmt, nullptr);
    EXPECT_EQ(r.End.RowsText, "共返回结果行数：3");
    EXPECT_TRUE(r.End.TimeText.startsWith("执行总时间：0:00:"));
    EXPECT_TRUE(r.End.ExportEnabled);
    EXPECT_EQ(w.TransactionState, TransactionStates::AutoCommit);
}

TEST_P(EngineRunTest, ManyShortStatementsAreHandedOverInOrderWhileTheEventLoopTurns)
{
    // Hand-offs back to back, some shown slowly, some followed by the event loop's turn: each
    // statement is shown once, in order, with its own result, and timers run during the run.
    TestWindow w(Dsn());
    ASSERT_TRUE(w.connected);
    constexpr int Count = 3000;
    QString sql;
    for (int i = 0; i < Count; ++i) sql += QStringLiteral("select %1;").arg(i);
    RunRecorder r;
    r.FrameDueEvery = 7;
    r.SlowEvery = 500;
    r.SlowMs = 20;
    std::vector<std::size_t> shownAtTicks;
    App();
    QTimer ticker;
    ticker.setInterval(1);
    QObject::connect(&ticker, &QTimer::timeout, [&] { shownAtTicks.push_back(r.Statements.size()); });
    ticker.start();
    RunBatch(w, r, sql);
    ticker.stop();
    ASSERT_EQ(r.Statements.size(), static_cast<std::size_t>(Count));
    for (int i = 0; i < Count; ++i) {
        const auto& s = r.Statements[static_cast<std::size_t>(i)];
        const std::string n = std::to_string(i);
        ASSERT_EQ(s.Index, i);
        ASSERT_EQ(s.Rows, (std::vector<std::vector<std::string>>{{n}})) << i;
        ASSERT_EQ(s.Header.size(), 1u) << i;
        ASSERT_EQ(s.Messages, (QStringList{"", "（所影响的行数为 1 行）", ""})) << i;
        ASSERT_TRUE(s.HadStatementHandle) << i;
        ASSERT_EQ(s.Result.RowCount, 1) << i;
    }
    EXPECT_EQ(w.TotalRows, Count);
    EXPECT_EQ(r.End.RowsText, QStringLiteral("共返回结果行数：%1").arg(Count));
    EXPECT_TRUE(std::any_of(shownAtTicks.begin(), shownAtTicks.end(),
                            [](std::size_t shown) { return shown > 0 && shown < static_cast<std::size_t>(Count); }))
        << "no timer ran while the statements were handed over";
}

TEST_P(EngineRunTest, PreparedExecutionWhenDirectExecutionIsMissing)
{
    TestWindow w(Dsn());
    ASSERT_TRUE(w.connected);
    w.SupportedFunctions[ODBCIntf::ODBCFunctionIndex(SQL_API_SQLEXECDIRECT)] = false;
    RunRecorder r;
    RunBatch(w, r, "select 7 as seven; select * from prep_no_such_table");
    ASSERT_EQ(r.Statements.size(), 2u);
    EXPECT_EQ(r.Statements[0].Rows, (std::vector<std::vector<std::string>>{{"7"}}));
    EXPECT_EQ(r.Message(0), "（所影响的行数为 1 行）");
    EXPECT_EQ(r.Statements[1].Result.Succeeded, 0);
    EXPECT_TRUE(r.Message(1).contains("prep_no_such_table")) << r.Message(1).toStdString();
}

TEST_P(EngineRunTest, EmptyResultAndUnnamedColumn)
{
    TestWindow w(Dsn());
    ASSERT_TRUE(w.connected);
    // PostgreSQL names every column; SQLite takes an empty name.
    const bool pg = std::string(GetParam()) == "pg";
    RunRecorder r;
    RunBatch(w, r, pg ? "select 1 as a where 1 = 0" : "select 1 as \"\" where 1 = 0");
    ASSERT_EQ(r.Statements.size(), 1u);
    EXPECT_EQ(r.Message(0), "（所影响的行数为 0 行）");
    EXPECT_EQ(r.Statements[0].Result.HasResultSet, 1);
    EXPECT_EQ(r.Statements[0].Rows.size(), 0u);
    EXPECT_EQ(r.Statements[0].Header, std::vector<std::string>{pg ? "a" : "(无列名)"});
    EXPECT_EQ(r.Statements[0].Result.Columns[1].Name, pg ? "a" : "");
    EXPECT_FALSE(r.End.ExportEnabled);
}

TEST_P(EngineRunTest, RowCountIsNotCarriedOverFromTheStatementBefore)
{
    TestWindow w(Dsn());
    ASSERT_TRUE(w.connected);
    RunRecorder r;
    // PostgreSQL leaves the count of a blank statement unwritten; SQLite writes 0.
    RunBatch(w, r, "select 1; ; select 2");
    ASSERT_EQ(r.Statements.size(), 3u);
    EXPECT_EQ(r.Message(0), "（所影响的行数为 1 行）");
    EXPECT_EQ(r.Message(1), std::string(GetParam()) == "pg" ? "（该语句已经成功执行）" : "（所影响的行数为 0 行）");
    EXPECT_EQ(r.Message(2), "（所影响的行数为 1 行）");
}

TEST_P(EngineRunTest, TheWorkerClosesTheCursorBeforeTheHandOff)
{
    // With the drivers' default settings a result is held by the driver until its cursor closes:
    // the worker closes it, so the display step's release frees nothing large.
    for (const bool streaming : {false, true}) {
        const bool pg = std::string(GetParam()) == "pg";
        const char* dsn = Dsn();
        if (streaming) dsn = pg ? TestDsn::PostgreSQLCursor : TestDsn::SQLiteStep;
        TestWindow w(dsn);
        ASSERT_TRUE(w.connected);
        RunRecorder r;
        r.ProbeCursor = true;
        RunBatch(w, r,
                 "with recursive c(n) as (select 1 union all select n + 1 from c where n < 100) select n from c;"
                 "select 1 where 1 = 0; select * from cursor_no_such_table");
        ASSERT_EQ(r.Statements.size(), 3u);
        for (std::size_t i = 0; i < 2; ++i) {
            EXPECT_TRUE(r.Statements[i].HadStatementHandle);
            EXPECT_EQ(r.Statements[i].FetchAtHandOff, SQL_ERROR) << "the cursor of statement " << i
                                                                 << " was still open at its hand-off"
                                                                 << (streaming ? " (streaming)" : "");
        }
        EXPECT_EQ(r.Statements[0].Result.RowCount, 100);
    }
}

TEST_P(EngineRunTest, TheMemoryADriverFreedWithALargeResultIsMergedBeforeTheHandOff)
{
#if defined(__SANITIZE_ADDRESS__) || !defined(__GLIBC__)
    GTEST_SKIP() << "the sanitizer's allocator, not glibc's, serves this build";
#endif
    // With the drivers' default settings the closed cursor frees the driver's whole result in
    // small pieces; left unmerged, malloc merges them later under a lock that the window's frees wait on.
    for (const bool before : {true, false}) {
        TestWindow w(Dsn());
        ASSERT_TRUE(w.connected);
        RunRecorder r;
        RunOptions options;
        options.LeaveFreedResultUnmerged = before;
        RunBatch(w, r,
                 "with recursive c(n) as (select 1 union all select n + 1 from c where n < 200000) "
                 "select n, 'name ' || n from c",
                 options);
        ASSERT_EQ(r.Statements.size(), 1u);
        EXPECT_EQ(r.Statements[0].Result.RowCount, 200000);
        if (before)
            EXPECT_GT(r.Statements[0].UnmergedFreeBytes, 4u << 20) << "the run leaves nothing to merge: no check";
        else
            EXPECT_LT(r.Statements[0].UnmergedFreeBytes, 1u << 20);
    }
}

TEST_P(EngineRunTest, NumbersAreNeverCut)
{
    TestWindow w(Dsn());
    ASSERT_TRUE(w.connected);
    const bool pg = std::string(GetParam()) == "pg";
    TestConnection setup(Dsn());
    ASSERT_TRUE(setup.Ok());
    setup.Exec("drop table if exists num_t");
    // Negative values, every digit of the precision, an unconstrained numeric far beyond the
    // size the driver reports, a fraction only, and a BIGINT at its bounds.
    const std::string big = "-123456789012345678901234567890123456789012345678901234567890.123456789";
    if (pg) {
        setup.Exec("create table num_t (k integer, a numeric(10,2), b numeric(5,2), c numeric, d numeric(5,5), e bigint)");
        setup.Exec("insert into num_t values (1, -12345678.99, -123.45, 2::numeric ^ 100, -0.12345, "
                   "-9223372036854775808), (2, 12345678.99, 999.99, 1.23e-28, 0.99999, 9223372036854775807), "
                   "(3, null, null, " + big + ", null, null)");
    } else {
        // SQLite's driver describes decimal(5,2) as text of 5 characters.
        setup.Exec("create table num_t (k integer, a decimal(10,2), b decimal(5,2), c varchar(3), d decimal(5,5), "
                   "e bigint)");
        setup.Exec("insert into num_t values (1, '-12345678.99', '-123.45', 'abcdef', '-0.12345', "
                   "-9223372036854775808), (2, '12345678.99', '999.99', '1.23e-28', '0.99999', 9223372036854775807), "
                   "(3, null, null, '" + big + "', null, null)");
    }
    const std::vector<std::vector<std::string>> expected =
        pg ? std::vector<std::vector<std::string>>{
                 {"1", "\"-12345678.99\"", "\"-123.45\"", "\"1267650600228229401496703205376.0000000000000000\"",
                  "\"-0.12345\"", "-9223372036854775808"},
                 {"2", "\"12345678.99\"", "\"999.99\"", "\"0.000000000000000000000000000123\"", "\"0.99999\"",
                  "9223372036854775807"},
                 {"3", "\"\"", "\"\"", "\"" + big + "\"", "\"\"", ""}}
           : std::vector<std::vector<std::string>>{
                 {"1", "\"-12345678.99\"", "\"-123.45\"", "\"abcdef\"", "\"-0.12345\"", "-9223372036854775808"},
                 {"2", "\"12345678.99\"", "\"999.99\"", "\"1.23e-28\"", "\"0.99999\"", "9223372036854775807"},
                 {"3", "\"\"", "\"\"", "\"" + big + "\"", "\"\"", ""}};
    const QString select = "select k, a, b, c, d, e from num_t order by k";

    // Grid and text display: the window's lines; a small cap on text changes no number.
    for (int cap : {512, 16}) {
        RunOptions o;
        o.MaxFieldLenOfSqlResult = cap;
        RunRecorder r;
        RunBatch(w, r, select, o);
        ASSERT_EQ(r.Statements.size(), 1u);
        if (cap == 512 || pg) EXPECT_EQ(r.Statements[0].Rows, expected) << "cap " << cap;
        else EXPECT_EQ(r.Statements[0].Rows[2][3], "\"-123456789012345\"") << "text is cut at the cap";
    }

    // Kind 7 reads BIGINT as text.
    w.DbmsKind = DbmsKind::MySql;
    RunRecorder mysql;
    RunBatch(w, mysql, "select e from num_t order by k");
    ASSERT_EQ(mysql.Statements.size(), 1u);
    EXPECT_EQ(mysql.Statements[0].Rows, (std::vector<std::vector<std::string>>{
                                            {"\"-9223372036854775808\""}, {"\"9223372036854775807\""}, {"\"\""}}));
    w.DbmsKind = DbmsKind::Other;

    // The result file.
    w.DisplayAsText = 1;
    w.DisplayToFile = 1;
    const std::string path = TestDsn::ScratchDir() + "/numbers-" + GetParam() + ".csv";
    w.ResultFile = std::fopen(path.c_str(), "wb");
    w.ResultFileName = QString::fromStdString(path);
    RunRecorder file;
    RunBatch(w, file, select);
    std::string lines;
    for (const auto& row : expected) {
        for (std::size_t k = 0; k < row.size(); ++k) lines += (k ? "," : "") + row[k];
        lines += "\r\n";
    }
    EXPECT_EQ(FileBytes(path), lines);
}

TEST_P(EngineRunTest, AValueExactlyAsLongAsItsBufferIsShownWhole)
{
    // The driver writes one byte less than the buffer and its terminator; a value of exactly the
    // buffer's length is cut by one and must be read again.
    TestWindow w(Dsn());
    ASSERT_TRUE(w.connected);
    const bool pg = std::string(GetParam()) == "pg";
    TestConnection setup(Dsn());
    ASSERT_TRUE(setup.Ok());
    setup.Exec("drop table if exists exact_t");
    struct Case {
        std::int32_t cap;
        std::string select;
        std::vector<std::string> row;
    };
    std::vector<Case> cases;
    if (pg) {
        // numeric capped to 16 characters: a buffer of 20 bytes; 2^64 has 20 digits.
        setup.Exec("create table exact_t (n numeric, s varchar(5))");
        setup.Exec("insert into exact_t values (18446744073709551616, 'abcde')");
        cases.push_back({16, "select n, s, n * 10 from exact_t",
                         {"\"18446744073709551616\"", "\"abcde\"", "\"184467440737095516160\""}});
    } else {
        // varchar(5): room for 5 characters of up to 4 bytes, 21 bytes; SQLite keeps longer text.
        // A number's text gets 32 bytes.
        const std::string text21(21, 'x'), text32(32, 'y');
        setup.Exec("create table exact_t (s varchar(5), i integer)");
        setup.Exec("insert into exact_t values ('" + text21 + "', '" + text32 + "')");
        cases.push_back({512, "select s, i from exact_t", {"\"" + text21 + "\"", text32}});
    }
    for (const Case& c : cases) {
        RunOptions o;
        o.MaxFieldLenOfSqlResult = c.cap;
        RunRecorder r;
        RunBatch(w, r, QString::fromStdString(c.select), o);
        ASSERT_EQ(r.Statements.size(), 1u);
        EXPECT_EQ(r.Statements[0].Rows, std::vector<std::vector<std::string>>{c.row}) << c.select;
    }
}

TEST_P(EngineRunTest, SaveToFileBytes)
{
    TestWindow w(Dsn());
    ASSERT_TRUE(w.connected);
    TestConnection setup(Dsn());
    ASSERT_TRUE(setup.Ok());
    setup.Exec("drop table if exists file_t");
    setup.Exec("create table file_t (n integer, s varchar(30))");
    setup.Exec("insert into file_t values (1, 'plain'), (2, 'say \"hi\", ok'), (3, null)");
    struct Case {
        const char* batch;
        std::string bytes;
        const char* rowsText;
    };
    const Case cases[] = {
        // A statement without result set first: the first result set follows an empty line.
        {"update file_t set n = n where 0 = 1; select n, s from file_t order by n; select n from file_t where n > 5",
         "\r\n\"n\",\"s\"\r\n1,\"plain\"\r\n2,\"say \"\"hi\"\", ok\"\r\n3,\"\"\r\n"
         "\r\n\"n\"\r\n",
         "共返回结果行数：3"},
        // A result set first: the file begins with it; every later statement counts for the separator.
        {"select n, s from file_t where n < 3 order by n; update file_t set n = n where 0 = 1; "
         "select s from file_t where n = 1; select n from file_t where n > 5",
         "\"n\",\"s\"\r\n1,\"plain\"\r\n2,\"say \"\"hi\"\", ok\"\r\n"
         "\r\n\"s\"\r\n\"plain\"\r\n"
         "\r\n\"n\"\r\n",
         "共返回结果行数：3"},
    };
    const std::string path = TestDsn::ScratchDir() + "/result-" + GetParam() + ".csv";
    for (const Case& c : cases) {
        w.DisplayAsText = 1;
        w.DisplayToFile = 1;
        w.ResultFile = std::fopen(path.c_str(), "wb");
        w.ResultFileName = QString::fromStdString(path);
        RunOptions o;
        o.WriteColumnHeader = true;
        RunRecorder r;
        RunBatch(w, r, c.batch, o);
        EXPECT_EQ(FileBytes(path), c.bytes) << c.batch;
        EXPECT_EQ(r.FileReport, (QStringList{"", "下列文件已成功保存:", "",
                                             QString::fromStdString(path) + "  " + QString::number(c.bytes.size()) +
                                                 "  字节"}));
        EXPECT_EQ(r.End.RowsText, c.rowsText);
        EXPECT_EQ(w.ResultFile, nullptr);
        EXPECT_FALSE(r.FileOpenAtRunEnd) << "the worker closes the file, not the user-interface thread";
        EXPECT_FALSE(r.End.ExportEnabled);
        EXPECT_TRUE(r.Statements.back().Rows.empty()) << "no rows are shown in file mode";
    }
}

TEST_P(EngineRunTest, AFullDiskEndsTheRunAtTheFirstFailedWrite)
{
    TestWindow w(Dsn());
    ASSERT_TRUE(w.connected);
    w.DisplayAsText = 1;
    w.DisplayToFile = 1;
    w.ResultFile = std::fopen("/dev/full", "wb");
    ASSERT_NE(w.ResultFile, nullptr);
    w.ResultFileName = "/dev/full";
    TestConnection setup(Dsn());
    setup.Exec("drop table if exists after_full_t");
    const int rows = 1000000;
    RunRecorder r;
    const QString sql = std::string(GetParam()) == "pg"
                            ? QString("select n, 'some text to fill the file' from generate_series(1, %1) n").arg(rows)
                            : QString("with recursive c(n) as (select 1 union all select n + 1 from c where n < %1) "
                                      "select n, 'some text to fill the file' from c").arg(rows);
    RunBatch(w, r, sql + "; create table after_full_t (n integer)");
    ASSERT_EQ(r.Statements.size(), 1u) << "the run went on after the failed write";
    EXPECT_LT(w.StatementRows, rows) << "every row was fetched after the failed write";
    EXPECT_EQ(r.Statements[0].Result.RowCount, 0);
    EXPECT_EQ(r.Message(0), "（所影响的行数为 0 行）\n/dev/full: " + QString::fromLocal8Bit(std::strerror(ENOSPC)));
    EXPECT_EQ(r.End.RowsText, "共返回结果行数：0");
    EXPECT_EQ(r.FileReport, (QStringList{"", "下列文件保存失败:", "", "/dev/full"}));
    EXPECT_EQ(w.ResultFile, nullptr);
    const std::string exists = std::string(GetParam()) == "pg"
                                   ? "select count(*) from information_schema.tables where table_name = 'after_full_t'"
                                   : "select count(*) from sqlite_master where name = 'after_full_t'";
    EXPECT_EQ(setup.Column(exists), std::vector<std::string>{"0"}) << "a statement after the failed write ran";
}


TEST_P(EngineRunTest, ManyColumns)
{
    TestWindow w(Dsn());
    ASSERT_TRUE(w.connected);
    QString sql = "select ";
    for (int i = 1; i <= 1100; ++i) sql += QString("%1%2 as c%2").arg(i > 1 ? "," : "").arg(i);
    RunRecorder r;
    RunBatch(w, r, sql);
    ASSERT_EQ(r.Statements.size(), 1u);
    ASSERT_EQ(r.Statements[0].Header.size(), 1100u);
    EXPECT_EQ(r.Statements[0].Header[1099], "c1100");
    ASSERT_EQ(r.Statements[0].Rows.size(), 1u);
    EXPECT_EQ(r.Statements[0].Rows[0][1099], "1100");
    EXPECT_EQ(r.Statements[0].Result.ColCount, 1101);
}

TEST_P(EngineRunTest, StopDuringALongExecution)
{
    TestWindow w(Dsn());
    ASSERT_TRUE(w.connected);
    const bool pg = std::string(GetParam()) == "pg";
    // Bounded (a few seconds when nothing cancels it), so that a broken stop fails soon.
    const QString slow = pg ? "select pg_sleep(5)"
                            : "with recursive c(n) as (select 1 union all select n + 1 from c where n < 20000000) "
                              "select count(*) from c";
    RunRecorder r;
    RunBatch(w, r, "select 1; " + slow + "; select 2", {}, [&](MuliThread* t) {
        if (!WaitFor([&] { return r.Statements.size() == 1; }, "the first statement's hand-off")) return;
        QThread::msleep(300);
        MuliThread::StopRun(w, t);
    });
    ASSERT_EQ(r.Statements.size(), 2u) << "the stop did not end the run at the long statement";
    EXPECT_EQ(r.Message(1), "用户已取消查询") << "the stop did not cancel the long statement; it ran to its end";
    EXPECT_EQ(r.Statements[1].Result.Cancelled, 1);
    EXPECT_EQ(r.Statements[1].Result.Succeeded, 1);
    EXPECT_EQ(r.End.RowsText, "( 用户已取消查询 )");
    EXPECT_EQ(w.RunCancelled, 1);
}

TEST_P(EngineRunTest, AStopAtTheVeryStartOfAnExecutionIsNotLost)
{
    // A cancel sent just as the execution begins can reach the server before the statement does
    // and be lost there; the statement must end all the same, long before it would by itself.
    const bool pg = std::string(GetParam()) == "pg";
    const QString slow = pg ? "select pg_sleep(30)"
                            : "with recursive c(n) as (select 1 union all select n + 1 from c where n < 300000000) "
                              "select count(*) from c";
    for (int round = 1; round <= 8; ++round) {
        SCOPED_TRACE(round);
        TestWindow w(Dsn());
        ASSERT_TRUE(w.connected);
        RunRecorder r;
        // Bounded far below the statement's own length: a lost stop fails here at once, and the
        // remaining rounds are not run.
        const bool ended = RunBatch(
            w, r, slow, {},
            [&](MuliThread* t) {
                if (!WaitFor(
                        [&] {
                            std::lock_guard lock(w.StopLock);
                            return w.StatementExecuting;
                        },
                        "the execution"))
                    return;
                MuliThread::StopRun(w, t);
            },
            10000);
        ASSERT_TRUE(ended) << "the stop was lost: the statement went on past 10 s";
        ASSERT_EQ(r.Statements.size(), 1u);
        EXPECT_EQ(r.Message(0), "用户已取消查询");
    }
}

TEST_P(EngineRunTest, StopWhileRowsFlowKeepsTheRows)
{
    const bool pg = std::string(GetParam()) == "pg";
    if (pg) TestDsn::PgDsn();
    TestWindow w(pg ? TestDsn::PostgreSQLCursor : TestDsn::SQLiteStep);
    ASSERT_TRUE(w.connected);
    // Bounded: read to its end in seconds when the stop is lost (the cursor reads one row a trip).
    const int rows = pg ? 200000 : 2000000;
    RunRecorder r;
    RunBatch(w, r,
        QString("with recursive c(n) as (select 1 union all select n + 1 from c where n < %1) select n, 'row' from c;"
                "select 2").arg(rows),
        {}, [&](MuliThread* t) {
            if (!WaitFor([&] { return w.RowsFetching.load() == 1; }, "the first row")) return;
            QThread::msleep(100);
            MuliThread::StopRun(w, t);
        });
    ASSERT_EQ(r.Statements.size(), 1u) << "the stop did not end the run";
    const auto& s = r.Statements[0];
    ASSERT_LT(s.Result.RowCount, rows) << "the stop did not end the fetch: every row was read";
    EXPECT_GT(s.Result.RowCount, 0);
    EXPECT_EQ(static_cast<std::size_t>(s.Result.RowCount), s.Rows.size());
    EXPECT_EQ(r.Message(0), QString("用户已取消查询:（已查询到的行数为 %1 行）").arg(s.Result.RowCount));
    EXPECT_EQ(s.Result.CutShort, 1);
    EXPECT_EQ(s.Result.Cancelled, 1);
    EXPECT_EQ(s.Result.HasResultSet, 1);
    EXPECT_EQ(w.TotalRows, s.Result.RowCount);
    // The last row kept is the last one rendered (this driver may report the number as text).
    std::string last = s.Rows.back()[0];
    if (last.size() > 1 && last.front() == '"') last = last.substr(1, last.size() - 2);
    EXPECT_EQ(last, std::to_string(s.Result.RowCount));
    EXPECT_EQ(w.FetchCancelled, 1);
}

// A fetch that fails after the first rows: the rows read stay, and the result is never reported
// as whole: its message, the run's status text and the file report say that its rows end at the
// error, and the messages page with the error is to come to the front.
TEST_P(EngineRunTest, AFetchThatFailsAfterTheFirstRowsKeepsThemAndSaysTheyEndThere)
{
    const bool pg = std::string(GetParam()) == "pg";
    if (pg) TestDsn::PgDsn();
    struct Case {
        const char* Name;
        const char* Dsn;
        const char* Sql;
        std::vector<std::string> Rows;
        const char* Error;       // the driver's text behind the message's first line
        const char* NextMessage; // the statement after the cut result
        const char* NextLine;    // its line in the file
    };
    std::vector<Case> cases;
    if (pg) {
        // Read a row at a time, so that the failing row fails its own fetch.
        cases.push_back({"a failing row", TestDsn::PostgreSQLCursor,
                         "select 10 / (3 - n) from generate_series(1, 5) n; select 2", {"5", "10"},
                         "ERROR: division by zero;\nError while fetching the next result", "（所影响的行数为 1 行）", "2"});
        // The server ends the session while the third batch of 100 rows is read.
        std::vector<std::string> hundreds;
        for (int n = 1; n <= 200; ++n) hundreds.push_back(std::to_string(n));
        cases.push_back({"a killed session", TestDsn::PostgreSQLBatches,
                         "select n from generate_series(1, 1000) n "
                         "where n <> 250 or pg_terminate_backend(pg_backend_pid()); select 2",
                         hundreds, "FATAL: terminating connection due to administrator command;\nThe connection has been lost",
                         nullptr, nullptr});
    } else {
        cases.push_back({"a failing row", TestDsn::SQLiteStep,
                         "with recursive c(n) as (select 1 union all select n + 1 from c where n < 5) "
                         "select case when n < 3 then n else abs(-9223372036854775807 - 1) end from c; select 2",
                         {"\"1\"", "\"2\""}, "[SQLite]integer overflow (1)", "（所影响的行数为 1 行）", "\"2\""});
    }
    const std::string path = TestDsn::ScratchDir() + "/cut-" + GetParam() + ".txt";
    for (const Case& c : cases) {
        for (const bool toFile : {false, true}) {
            SCOPED_TRACE(std::string(c.Name) + (toFile ? ", file" : ", window"));
            TestWindow w(c.Dsn);
            ASSERT_TRUE(w.connected);
            if (toFile) {
                w.DisplayAsText = 1;
                w.DisplayToFile = 1;
                w.ResultFile = std::fopen(path.c_str(), "wb");
                w.ResultFileName = QString::fromStdString(path);
            }
            RunRecorder r;
            RunBatch(w, r, c.Sql);
            ASSERT_EQ(r.Statements.size(), 2u) << "the run goes on after the cut result";
            const auto& s = r.Statements[0];
            const auto rows = static_cast<std::int32_t>(c.Rows.size());
            EXPECT_EQ(s.Result.RowCount, rows);
            EXPECT_EQ(s.Result.Succeeded, 1);
            EXPECT_EQ(s.Result.HasResultSet, 1);
            EXPECT_EQ(s.Result.FetchFailed, 1);
            EXPECT_EQ(s.Result.Cancelled, 0);
            EXPECT_EQ(r.Message(0).toStdString(),
                      "读取结果时发生错误，结果不完整:（已查询到的行数为 " + std::to_string(rows) + " 行）\n" + c.Error);
            if (c.NextMessage)
                EXPECT_EQ(r.Message(1), c.NextMessage);
            else
                EXPECT_EQ(r.Statements[1].Result.Succeeded, 0) << "the session is gone";
            const std::int32_t total = rows + (c.NextMessage ? 1 : 0);
            EXPECT_EQ(w.TotalRows, total);
            EXPECT_EQ(r.End.RowsText.toStdString(),
                      "共返回结果行数：" + std::to_string(total) + " ( 读取结果时发生错误，结果不完整 )");
            EXPECT_TRUE(r.End.MessagesToFront);
            if (!toFile) {
                std::vector<std::string> shown;
                for (const auto& row : s.Rows) shown.push_back(row.at(0));
                EXPECT_EQ(shown, c.Rows);
                continue;
            }
            // The file holds the rows read before the error, whole, and says that they end there.
            std::string bytes;
            for (const std::string& row : c.Rows) bytes += row + "\r\n";
            if (c.NextLine) bytes += std::string("\r\n") + c.NextLine + "\r\n";
            EXPECT_EQ(FileBytes(path), bytes);
            EXPECT_EQ(r.FileReport, (QStringList{"", "下列文件保存失败:", "",
                                                 QString::fromStdString(path) + "  " + QString::number(bytes.size()) +
                                                     "  字节",
                                                 "（读取结果时发生错误，结果不完整）"}));
        }
    }
}

TEST_P(EngineRunTest, ManualCommitLeavesATransactionNote)
{
    TestWindow w(Dsn());
    ASSERT_TRUE(w.connected);
    ODBCIntf::SQLSetConnectOption(w.hDbc, SQL_AUTOCOMMIT, SQL_AUTOCOMMIT_OFF);
    w.AutoCommit = 0;
    RunRecorder r;
    RunBatch(w, r, "select 1");
    EXPECT_EQ(w.TransactionState, TransactionStates::None);
    EXPECT_EQ(r.TransactionNotes, 0);
    RunBatch(w, r, "create table if not exists tx_t (n integer); insert into tx_t values (1)");
    EXPECT_EQ(w.TransactionState, TransactionStates::MayBeOpen);
    EXPECT_GE(r.TransactionNotes, 1);
    w.TransactionState = TransactionStates::NotSupported;
    RunBatch(w, r, "insert into tx_t values (2)");
    EXPECT_EQ(w.TransactionState, TransactionStates::NotSupported);
    SQLEndTran(SQL_HANDLE_DBC, w.hDbc, SQL_ROLLBACK);
}

INSTANTIATE_TEST_SUITE_P(Drivers, EngineRunTest, ::testing::Values("sqlite", "pg"));

// The size of the process's address space, in bytes.
rlim_t AddressSpaceBytes()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmSize:", 0) == 0) return static_cast<rlim_t>(std::stoll(line.substr(7))) * 1024;
    return 0;
}

TEST(EngineRunStart, AWorkerThreadThatCannotBeMadeLeavesNoRunBehind)
{
    App();
    TestWindow w(TestDsn::SQLiteDsn());
    ASSERT_TRUE(w.connected);
    RunRecorder r;
    RunOptions o;
    o.SqlText = "select 1";
    // An address space with no room for another thread's stack.
    rlimit before{};
    ASSERT_EQ(getrlimit(RLIMIT_AS, &before), 0);
    rlimit full = before;
    full.rlim_cur = AddressSpaceBytes() + (4 << 20);
    MuliThread* started = nullptr;
    bool thrown = false;
    ASSERT_EQ(setrlimit(RLIMIT_AS, &full), 0);
    try {
        started = new MuliThread(w, r, o, "", "", w.DSN);
    } catch (const std::runtime_error&) {
        thrown = true;
    }
    setrlimit(RLIMIT_AS, &before);
    EXPECT_TRUE(thrown) << "the run command reports what it could not start";
    EXPECT_EQ(w.RunCounter, 0) << "no run is under way: closing the window must not wait for one";
    if (started) {
        // A thread that never ran never ends: the object is freed here.
        w.RunCounter = 0;
        delete started;
    }
    // The window runs again.
    RunRecorder again;
    RunBatch(w, again, "select 1");
    ASSERT_EQ(again.Statements.size(), 1u);
    EXPECT_EQ(again.Statements[0].Rows, (std::vector<std::vector<std::string>>{{"1"}}));
}

TEST(EngineRunOptions, FieldLengthCapOfFourThousandNinetySixForKindsAboveFiveButSeven)
{
    TestWindow w(TestDsn::SQLiteDsn());
    ASSERT_TRUE(w.connected);
    struct Case {
        TDbmsKind kind;
        std::int32_t option, cap;
    };
    for (Case c : {Case{1, 65536, 65536}, Case{5, 10000, 10000}, Case{6, 10000, 4096}, Case{7, 65536, 65536},
                   Case{8, 10000, 4096}, Case{11, 4097, 4096}, Case{20, 65536, 4096}, Case{20, 4096, 4096},
                   Case{20, 100, 100}, Case{3, 100, 100}}) {
        w.DbmsKind = c.kind;
        RunOptions o;
        o.MaxFieldLenOfSqlResult = c.option;
        RunRecorder r;
        RunBatch(w, r, "select 1", o);
        EXPECT_EQ(w.MaxFieldLen, c.cap) << "kind " << c.kind << ", option " << c.option;
    }
}

TEST(EngineRunOptions, KindSevenTakesBackslashEscapesInLiterals)
{
    TestWindow w(TestDsn::SQLiteDsn());
    ASSERT_TRUE(w.connected);
    // SQLite itself takes the backslash as a plain character: 'a\' is a whole literal there.
    const QString batch = "select 'a\\' as v; select 2 -- note";
    RunRecorder other;
    RunBatch(w, other, batch);
    ASSERT_EQ(other.Statements.size(), 2u);
    EXPECT_EQ(other.Statements[0].Rows, (std::vector<std::vector<std::string>>{{"\"a\\\""}}));
    w.DbmsKind = DbmsKind::MySql;
    RunRecorder mysql;
    RunBatch(w, mysql, batch);
    EXPECT_EQ(w.StatementCount, 1) << "for kind 7 the literal runs on to the end of the batch";
}

// SQLite keeps any value in any column, and its driver describes a column by its declared type (an
// expression column by its first row's value): no value may be changed to fit that type. A value
// that is exactly one of the type shows by the type's rule, any other as the driver's text.
TEST(EngineRendering, SQLiteShowsEveryStoredValueAsItIs)
{
    TestWindow w(TestDsn::SQLiteDsn());
    ASSERT_TRUE(w.connected);
    TestConnection setup(TestDsn::SQLiteDsn());
    ASSERT_TRUE(setup.Ok());
    setup.Exec("drop table if exists keep_t");
    setup.Exec("create table keep_t (k integer, i integer, r real, n numeric, d date, ts timestamp, t text)");
    // Each value stored in every column, where SQLite's column affinity may turn it into a number.
    // Beside each: what `sqlite3` shows (`select i, r, n, d, ts, t from keep_t order by k`, list
    // mode) and what the run shows. The run differs only where a column's rule renders: text carries
    // the qualifier, a whole real has no ".0", NULL text is two qualifiers.
    struct Case {
        const char* stored;
        const char* sqlite3;                 // i|r|n|d|ts|t
        std::vector<std::string> shown;      // i, r, n, d, ts, t
    };
    const Case cases[] = {
        {"9999999999", "9999999999|9999999999.0|9999999999|9999999999|9999999999|9999999999",
         {"9999999999", "9999999999", "9999999999", "9999999999", "9999999999", "\"9999999999\""}},
        {"-2147483649", "-2147483649|-2147483649.0|-2147483649|-2147483649|-2147483649|-2147483649",
         {"-2147483649", "-2147483649", "-2147483649", "-2147483649", "-2147483649", "\"-2147483649\""}},
        {"2147483647", "2147483647|2147483647.0|2147483647|2147483647|2147483647|2147483647",
         {"2147483647", "2147483647", "2147483647", "2147483647", "2147483647", "\"2147483647\""}},
        {"2.5", "2.5|2.5|2.5|2.5|2.5|2.5", {"2.5", "2.5", "2.5", "2.5", "2.5", "\"2.5\""}},
        {"0.1", "0.1|0.1|0.1|0.1|0.1|0.1", {"0.1", "0.1", "0.1", "0.1", "0.1", "\"0.1\""}},
        {"'abc'", "abc|abc|abc|abc|abc|abc", {"abc", "abc", "abc", "abc", "abc", "\"abc\""}},
        {"1733850000", "1733850000|1733850000.0|1733850000|1733850000|1733850000|1733850000",
         {"1733850000", "1733850000", "1733850000", "1733850000", "1733850000", "\"1733850000\""}},
        {"'not a date'", "not a date|not a date|not a date|not a date|not a date|not a date",
         {"not a date", "not a date", "not a date", "not a date", "not a date", "\"not a date\""}},
        {"'2024-05-06T07:08:09Z'",
         "2024-05-06T07:08:09Z|2024-05-06T07:08:09Z|2024-05-06T07:08:09Z|2024-05-06T07:08:09Z|2024-05-06T07:08:09Z|"
         "2024-05-06T07:08:09Z",
         {"2024-05-06T07:08:09Z", "2024-05-06T07:08:09Z", "2024-05-06T07:08:09Z", "2024-05-06T07:08:09Z",
          "2024-05-06T07:08:09Z", "\"2024-05-06T07:08:09Z\""}},
        {"'2024-05-06'", "2024-05-06|2024-05-06|2024-05-06|2024-05-06|2024-05-06|2024-05-06",
         {"2024-05-06", "2024-05-06", "2024-05-06", "2024-05-06", "2024-05-06", "\"2024-05-06\""}},
        {"'2024-02-30'", "2024-02-30|2024-02-30|2024-02-30|2024-02-30|2024-02-30|2024-02-30",
         {"2024-02-30", "2024-02-30", "2024-02-30", "2024-02-30", "2024-02-30", "\"2024-02-30\""}},
        {"'2024-05-06 07:08:09'",
         "2024-05-06 07:08:09|2024-05-06 07:08:09|2024-05-06 07:08:09|2024-05-06 07:08:09|2024-05-06 07:08:09|"
         "2024-05-06 07:08:09",
         {"2024-05-06 07:08:09", "2024-05-06 07:08:09", "2024-05-06 07:08:09", "2024-05-06 07:08:09",
          "2024-05-06 07:08:09", "\"2024-05-06 07:08:09\""}},
        {"42", "42|42.0|42|42|42|42", {"42", "42", "42", "42", "42", "\"42\""}},
        // Numbers around the 15 digits that a plain decimal keeps, and a fraction of a second.
        {"123456789012345", "123456789012345|123456789012345.0|123456789012345|123456789012345|123456789012345|"
         "123456789012345",
         {"123456789012345", "123456789012345", "123456789012345", "123456789012345", "123456789012345",
          "\"123456789012345\""}},
        {"1234567890123456", "1234567890123456|1.23456789012346e+15|1234567890123456|1234567890123456|"
         "1234567890123456|1234567890123456",
         {"1234567890123456", "1.23456789012346E15", "1.23456789012346E15", "1234567890123456", "1234567890123456",
          "\"1234567890123456\""}},
        {"12345678901234.5", "12345678901234.5|12345678901234.5|12345678901234.5|12345678901234.5|12345678901234.5|"
         "12345678901234.5",
         {"12345678901234.5", "12345678901234.5", "12345678901234.5", "12345678901234.5", "12345678901234.5",
          "\"12345678901234.5\""}},
        {"'2024-05-06 07:08:09.5'",
         "2024-05-06 07:08:09.5|2024-05-06 07:08:09.5|2024-05-06 07:08:09.5|2024-05-06 07:08:09.5|"
         "2024-05-06 07:08:09.5|2024-05-06 07:08:09.5",
         {"2024-05-06 07:08:09.5", "2024-05-06 07:08:09.5", "2024-05-06 07:08:09.5", "2024-05-06 07:08:09.5",
          "2024-05-06 07:08:09", "\"2024-05-06 07:08:09.5\""}},
        {"null", "|||||", {"", "", "", "", "", "\"\""}},
    };
    std::string insert = "insert into keep_t values ";
    for (std::size_t k = 0; k < std::size(cases); ++k) {
        insert += k ? ", (" : "(";
        insert += std::to_string(k);
        for (int c = 0; c < 6; ++c) insert += std::string(", ") + cases[k].stored;
        insert += ")";
    }
    ASSERT_TRUE(setup.Exec(insert));
    // The demo's sum over groups: the first group's sum is whole, so the driver describes the
    // column as integer.
    setup.Exec("drop table if exists keep_items");
    setup.Exec("create table keep_items (g varchar(10), quantity integer, price decimal(10,2))");
    setup.Exec("insert into keep_items values ('a', 2, 171), ('b', 1, 280.9), ('c', 2, 49.8)");
    const std::vector<std::vector<std::string>> sums = {{"\"a\"", "1", "342"}, {"\"b\"", "1", "280.9"},
                                                        {"\"c\"", "1", "99.6"}};
    std::vector<std::vector<std::string>> expected;
    for (const Case& c : cases) expected.push_back(c.shown);
    const QString batch = "select i, r, n, d, ts, t from keep_t order by k;"
                          "select g, count(*), sum(quantity * price) from keep_items group by g order by g";

    // Grid and text display: the window's rows, which grid, text, copy and export show; with the
    // driver's defaults and streaming.
    TestWindow step(TestDsn::SQLiteStep);
    ASSERT_TRUE(step.connected);
    for (auto [window, asText] : {std::pair<TestWindow*, std::uint8_t>{&w, 0}, {&w, 1}, {&step, 0}}) {
        window->DisplayAsText = asText;
        RunRecorder r;
        RunBatch(*window, r, batch);
        ASSERT_EQ(r.Statements.size(), 2u);
        const auto& rows = r.Statements[0].Rows;
        ASSERT_EQ(rows.size(), expected.size());
        for (std::size_t k = 0; k < rows.size(); ++k)
            EXPECT_EQ(rows[k], expected[k]) << "stored " << cases[k].stored << ", sqlite3 shows " << cases[k].sqlite3
                                            << (asText ? " (text)" : " (grid)") << (window == &step ? " streaming" : "");
        // Streaming, the driver describes the expression columns as text: the same values, qualified.
        if (window == &step)
            EXPECT_EQ(r.Statements[1].Rows, (std::vector<std::vector<std::string>>{
                                                {"\"a\"", "\"1\"", "\"342\""}, {"\"b\"", "\"1\"", "\"280.9\""},
                                                {"\"c\"", "\"1\"", "\"99.6\""}}));
        else
            EXPECT_EQ(r.Statements[1].Rows, sums);
        // Alignment, sort and export still take the numbers' columns as numbers.
        const auto& columns = r.Statements[0].Result.Columns;
        for (std::size_t c = 1; c <= 6; ++c) EXPECT_EQ(columns[c].Numeric, c <= 3 ? 1 : 0) << "column " << c;
    }

    // The result file: a text that holds the separator keeps its field.
    setup.Exec("insert into keep_t values (99, 'a,b', 'a,b', 'a,b', 'a,b', 'a,b', 'a,b')");
    expected.push_back({"\"a,b\"", "\"a,b\"", "\"a,b\"", "\"a,b\"", "\"a,b\"", "\"a,b\""});
    w.DisplayAsText = 1;
    w.DisplayToFile = 1;
    const std::string path = TestDsn::ScratchDir() + "/kept-values.csv";
    w.ResultFile = std::fopen(path.c_str(), "wb");
    w.ResultFileName = QString::fromStdString(path);
    RunRecorder file;
    RunBatch(w, file, batch);
    std::string lines;
    auto addLines = [&](const std::vector<std::vector<std::string>>& block) {
        for (const auto& row : block) {
            for (std::size_t k = 0; k < row.size(); ++k) lines += (k ? "," : "") + row[k];
            lines += "\r\n";
        }
    };
    addLines(expected);
    lines += "\r\n";
    addLines(sums);
    EXPECT_EQ(FileBytes(path), lines);
}

// A long text in a number or date column is cut at the cap as in a text column, never read whole.
TEST(EngineRendering, SQLiteCutsALongTextInANumberOrDateColumnAtTheCapAsInAnyTextColumn)
{
    TestConnection setup(TestDsn::SQLiteDsn());
    ASSERT_TRUE(setup.Ok());
    setup.Exec("drop table if exists long_t");
    setup.Exec("create table long_t (i integer, r real, n numeric, d date, ts timestamp, t text)");
    std::string stored;
    for (int k = 0; k < 200; ++k) stored += "\xE4\xB8\xAD";
    stored += std::string(1 << 20, 'x');
    std::string insert = "insert into long_t values (";
    for (int c = 0; c < 6; ++c) insert += (c ? ", '" : "'") + stored + "'";
    ASSERT_TRUE(setup.Exec(insert + ")"));
    for (const char* dsn : {TestDsn::SQLiteDsn(), TestDsn::SQLiteStep}) {
        TestWindow w(dsn);
        ASSERT_TRUE(w.connected);
        for (std::int32_t cap : {512, 1024}) {
            // The cap in characters: 200 three-byte characters, then single bytes.
            const std::string cut = stored.substr(0, 200 * 3 + std::size_t(cap - 200));
            RunOptions o;
            o.MaxFieldLenOfSqlResult = cap;
            RunRecorder r;
            RunBatch(w, r, "select i, r, n, d, ts, t from long_t", o);
            ASSERT_EQ(r.Statements.size(), 1u);
            ASSERT_EQ(r.Statements[0].Rows.size(), 1u);
            const auto& row = r.Statements[0].Rows[0];
            ASSERT_EQ(row.size(), 6u);
            for (std::size_t c = 0; c < 5; ++c)
                EXPECT_EQ(row[c], cut) << dsn << ", cap " << cap << ", column " << c + 1 << ": " << row[c].size()
                                            << " bytes";
            EXPECT_EQ(row[5], "\"" + cut + "\"") << dsn << ", cap " << cap;
        }
    }
}

// A fetch that says it changed a bound value (success with information) never shows the changed
// value silently: the value is read again whole, or the messages say that it was changed.
TEST(EngineRendering, AValueTheFetchChangedIsReadAgainOrNamedInTheMessages)
{
    {
        // PostgreSQL cuts bytes to their 100-byte buffer (01004), which kind 1 shows as text.
        TestWindow w(TestDsn::PgDsn());
        ASSERT_TRUE(w.connected);
        w.DbmsKind = DbmsKind::DB2;
        RunRecorder r;
        RunBatch(w, r, "select decode(repeat('61', 150), 'hex'), decode(repeat('62', 99) || '00' || '63', 'hex')");
        ASSERT_EQ(r.Statements.size(), 1u);
        EXPECT_EQ(r.Statements[0].Rows, (std::vector<std::vector<std::string>>{{std::string(150, 'a'),
                                                                                 std::string(99, 'b')}}));
        // Read again up to the cap, as a text is; a shorter value after a longer one is its own bytes only.
        for (std::int32_t cap : {512, 120}) {
            RunOptions o;
            o.MaxFieldLenOfSqlResult = cap;
            RunRecorder capped;
            RunBatch(w, capped, "select decode(x, 'hex') from (values (1, repeat('61', 150)), (2, repeat('62', 20)), "
                                "(3, repeat('63', 700)), (4, '64')) v(k, x) order by k", o);
            ASSERT_EQ(capped.Statements.size(), 1u);
            const auto shown = [&](std::size_t n) { return std::min<std::size_t>(n, std::size_t(cap)); };
            EXPECT_EQ(capped.Statements[0].Rows,
                      (std::vector<std::vector<std::string>>{{std::string(shown(150), 'a')},
                                                             {std::string(20, 'b')},
                                                             {std::string(shown(700), 'c')},
                                                             {"d"}}))
                << "cap " << cap;
        }
    }
    // No driver here reports a number, a date or a time it changed; this one does: a time that
    // lost its fraction (the column not told), an integer out of range (column 2).
    std::ofstream(TestDsn::DsnFile(), std::ios::app) << "\n[TarnvaleChanger]\nDriver=" TV_CHANGED_VALUES_DRIVER "\n";
    TestWindow w("TarnvaleChanger");
    ASSERT_TRUE(w.connected);
    RunRecorder r;
    RunBatch(w, r, "select t, i from changed; select t, i, 'no getdata' from changed");
    ASSERT_EQ(r.Statements.size(), 2u);
    EXPECT_EQ(r.Statements[0].Rows,
              (std::vector<std::vector<std::string>>{{"07:05:09.5", "42"}, {"07:05:10", "4294967296"}}));
    EXPECT_EQ(r.Message(0), "（所影响的行数为 2 行）");
    // A driver that cannot read the values again: the values stay as it changed them, and the
    // messages say where.
    EXPECT_EQ(r.Statements[1].Rows, (std::vector<std::vector<std::string>>{{"07:05:09", "42"}, {"07:05:10", "0"}}));
    EXPECT_EQ(r.Message(1), "（所影响的行数为 2 行）\n第 1 行的值已被驱动程序改变：Fractional truncation\n"
                            "第 2 行第 2 列的值已被驱动程序改变：Numeric value out of range");
}

TEST(EngineRendering, PostgreSQLTypesAndKinds)
{
    TestWindow w(TestDsn::PgDsn());
    ASSERT_TRUE(w.connected);
    const QString sql =
        "select 42::int, -7::smallint, 9876543210123::bigint, (select count(*) from generate_series(1, 12)), "
        "12.50::numeric(6,2), 0.1::real, 1e20::float8, date '0985-01-02', time '07:05:09', "
        "timestamp '2024-03-05 07:08:09.123457', '\\x6162'::bytea, null::int, null::varchar, true, "
        "repeat('é', 600)::text";
    struct Case {
        TDbmsKind kind;
        const char* timestamp;
        const char* binary;
    };
    for (Case c : {Case{20, "2024-03-05 07:08:09", "(BLOB)"}, Case{1, "2024-03-05-07.08.09.123457", "ab"},
                   Case{2, "2024-03-05 07:08:09.123", "<Binary>"}, Case{5, "2024-03-05 07:08:09.12346", "(BLOB)"}}) {
        w.DbmsKind = c.kind;
        RunRecorder r;
        RunBatch(w, r, sql);
        ASSERT_EQ(r.Statements.size(), 1u);
        ASSERT_EQ(r.Statements[0].Rows.size(), 1u);
        const auto& row = r.Statements[0].Rows[0];
        ASSERT_EQ(row.size(), 15u);
        EXPECT_EQ(row[0], "42");
        EXPECT_EQ(row[1], "-7");
        EXPECT_EQ(row[2], "9876543210123");
        EXPECT_EQ(row[3], "12");
        EXPECT_EQ(row[4], "\"12.50\"");
        EXPECT_EQ(row[5], "0.100000001490116");
        EXPECT_EQ(row[6], "1E20");
        EXPECT_EQ(row[7], "0985-01-02");
        EXPECT_EQ(row[8], "07:05:09");
        EXPECT_EQ(row[9], c.timestamp) << c.kind;
        EXPECT_EQ(row[10], c.binary) << c.kind;
        EXPECT_EQ(row[11], "");
        EXPECT_EQ(row[12], "\"\"");
        // The cap counts characters and never cuts one in half.
        std::string capped = "\"";
        for (int i = 0; i < 512; ++i) capped += "é";
        EXPECT_TRUE(row[14] == capped + "\"") << "the text is not capped at 512 characters: " << row[14].size();
        EXPECT_EQ(r.Statements[0].Result.Columns[5].Numeric, 1);
        EXPECT_EQ(r.Statements[0].Result.Columns[10].Numeric, 0);
    }
}

} // namespace
