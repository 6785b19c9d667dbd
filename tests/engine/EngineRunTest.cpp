#include "MuliThread.h"
#include "ODBCIntf.h"
#include "TestConnection.h"
#include "TestDsn.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QThread>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

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
        TQryResult_Tesk Result{0};
    };
    std::vector<Statement> Statements;
    RunEndTexts End;
    QStringList FileReport;
    int TransactionNotes = 0;
    int Prepared = 0;

    QObject* DisplayContext() override { return this; }
    void PrepareForRun() override { ++Prepared; }
    void ShowStatementResult(MuliThread& run) override
    {
        EXPECT_EQ(QThread::currentThread(), thread());
        QueryWindowState& w = run.Window();
        Statement s;
        s.Messages = w.MessageLines;
        s.HadStatementHandle = w.hStmt != SQL_NULL_HSTMT;
        s.Header = w.ResultLines->Header();
        for (std::size_t r = 0; r < w.ResultLines->RowCount(); ++r) {
            std::vector<std::string> row;
            for (std::size_t c = 0; c < w.ResultLines->ColumnCount(); ++c)
                row.emplace_back(w.ResultLines->Field(r, c));
            s.Rows.push_back(std::move(row));
        }
        s.Result = *w.Results[static_cast<std::size_t>(run.StatementIndex)];
        Statements.push_back(std::move(s));
    }
    void ShowTransactionNote() override { ++TransactionNotes; }
    void ShowRunEnd(MuliThread&, const RunEndTexts& texts) override { End = texts; }
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

// Starts a run and waits for its end while the event loop serves the hand-offs; `during` runs on
// this thread once the run has started.
void RunBatch(TestWindow& w, RunRecorder& r, const QString& sql, RunOptions options = {},
         const std::function<void(MuliThread*)>& during = {})
{
    App();
    options.SqlText = sql;
    QPointer<MuliThread> t = new MuliThread(w, r, options, "", "", w.DSN);
    if (during) during(t);
    QElapsedTimer timer;
    timer.start();
    while ((w.RunCounter != 0 || t) && timer.elapsed() < 120000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    ASSERT_EQ(w.RunCounter, 0) << "the run did not end";
}

// Serves hand-offs until the condition holds.
void WaitFor(const std::function<bool()>& condition)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition() && timer.elapsed() < 30000) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
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

TEST_P(EngineRunTest, PreparedExecutionWhenDirectExecutionIsMissing)
{
    TestWindow w(Dsn());
    ASSERT_TRUE(w.connected);
    w.SupportedFunctions[ODBCIntf::ODBCFunctionIndex(SQL_API_SQLEXECDIRECT)] = false;
    RunRecorder r;
    RunBatch(w, r, "select 7 as seven; select * from prep_no_such_table");
    ASSERT_EQ(r.Statements.size(), 2u);
    ASSERT_EQ(r.Statements[0].Rows.size(), 1u);
    EXPECT_EQ(r.Statements[0].Rows[0][0].find('7') != std::string::npos, true);
    EXPECT_EQ(r.Statements[1].Result.Succeeded, 0);
}

TEST_P(EngineRunTest, EmptyResultAndUnnamedColumn)
{
    TestWindow w(Dsn());
    ASSERT_TRUE(w.connected);
    RunRecorder r;
    RunBatch(w, r, "select 1 as a where 1 = 0");
    ASSERT_EQ(r.Statements.size(), 1u);
    EXPECT_EQ(r.Message(0), "（所影响的行数为 0 行）");
    EXPECT_EQ(r.Statements[0].Result.HasResultSet, 1);
    EXPECT_EQ(r.Statements[0].Rows.size(), 0u);
    EXPECT_EQ(r.Statements[0].Header, std::vector<std::string>{"a"});
    EXPECT_FALSE(r.End.ExportEnabled);
}

TEST_P(EngineRunTest, SaveToFileBytes)
{
    TestWindow w(Dsn());
    ASSERT_TRUE(w.connected);
    w.DisplayAsText = 1;
    w.DisplayToFile = 1;
    const std::string path = TestDsn::ScratchDir() + "/result-" + GetParam() + ".csv";
    w.ResultFile = std::fopen(path.c_str(), "wb");
    w.ResultFileName = QString::fromStdString(path);
    RunOptions o;
    o.WriteColumnHeader = true;
    RunRecorder r;
    RunBatch(w, r,
        "drop table if exists file_t; create table file_t (n integer, s varchar(30));"
        "insert into file_t values (1, 'plain'), (2, 'say \"hi\", ok'), (3, null);"
        "select n, s from file_t order by n; select n from file_t where n > 5",
        o);
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    EXPECT_EQ(bytes.str(),
              "\r\n\"n\",\"s\"\r\n1,\"plain\"\r\n2,\"say \"\"hi\"\", ok\"\r\n3,\"\"\r\n"
              "\r\n\"n\"\r\n");
    ASSERT_EQ(r.FileReport.size(), 4);
    EXPECT_EQ(r.FileReport[1], "下列文件已成功保存:");
    EXPECT_EQ(r.FileReport[3], QString::fromStdString(path) + "  " + QString::number(bytes.str().size()) + "  字节");
    EXPECT_EQ(w.ResultFile, nullptr);
    EXPECT_FALSE(r.End.ExportEnabled);
    EXPECT_TRUE(r.Statements[4].Rows.empty());
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
    EXPECT_EQ(r.Statements[0].Rows[0][1099].find("1100") != std::string::npos, true);
    EXPECT_EQ(r.Statements[0].Result.ColCount, 1101);
}

TEST_P(EngineRunTest, StopDuringALongExecution)
{
    TestWindow w(Dsn());
    ASSERT_TRUE(w.connected);
    const bool pg = std::string(GetParam()) == "pg";
    const QString slow = pg ? "select pg_sleep(60)"
                            : "with recursive c(n) as (select 1 union all select n + 1 from c where n < 2000000000) "
                              "select count(*) from c";
    RunRecorder r;
    QElapsedTimer timer;
    timer.start();
    RunBatch(w, r, "select 1; " + slow + "; select 2", {}, [&](MuliThread* t) {
        WaitFor([&] { return r.Statements.size() == 1; });
        QThread::msleep(300);
        MuliThread::StopRun(w, t);
    });
    EXPECT_LT(timer.elapsed(), 30000);
    ASSERT_EQ(r.Statements.size(), 2u);
    EXPECT_EQ(r.Message(1), "用户已取消查询");
    EXPECT_EQ(r.Statements[1].Result.Cancelled, 1);
    EXPECT_EQ(r.Statements[1].Result.Succeeded, 1);
    EXPECT_EQ(r.End.RowsText, "( 用户已取消查询 )");
    EXPECT_EQ(w.RunCancelled, 1);
}

TEST_P(EngineRunTest, StopWhileRowsFlowKeepsTheRows)
{
    const bool pg = std::string(GetParam()) == "pg";
    if (pg) TestDsn::PgDsn();
    TestWindow w(pg ? TestDsn::PostgreSQLCursor : TestDsn::SQLiteStep);
    ASSERT_TRUE(w.connected);
    RunRecorder r;
    RunBatch(w, r,
        "with recursive c(n) as (select 1 union all select n + 1 from c where n < 200000000) select n, 'row' from c;"
        "select 2",
        {}, [&](MuliThread* t) {
            WaitFor([&] { return w.RowsFetching.load() == 1; });
            QThread::msleep(200);
            MuliThread::StopRun(w, t);
        });
    ASSERT_EQ(r.Statements.size(), 1u);
    const auto& s = r.Statements[0];
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
