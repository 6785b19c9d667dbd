// Real batches run by the worker into a query window inside the frame.
#include "CommandImage.h"
#include "MuliThread.h"
#include "ODBCIntf.h"
#include "ResultGrid.h"
#include "ResultPageControl.h"
#include "ResultTabStrip.h"
#include "StatusPanelBar.h"
#include "TFMain.h"
#include "TFMain_mul.h"
#include "TestConnection.h"
#include "TestDsn.h"
#include "WidgetTestApp.h"

#include <QElapsedTimer>
#include <QMdiSubWindow>
#include <QTabBar>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

// A query window that notes the statement handle at each hand-off and right after its release.
class RecordingWindow : public TFMain {
public:
    using TFMain::TFMain;

    std::vector<bool> HandleWhileShown;
    std::vector<bool> HandleAfterRelease;
    std::vector<int> PageInFront; // after each statement's display

    void ShowStatementResult(MuliThread& run) override
    {
        HandleWhileShown.push_back(hStmt != SQL_NULL_HSTMT);
        TFMain::ShowStatementResult(run);
        PageInFront.push_back(PageControl_result->currentIndex());
    }
    // Comes after the statement's release whenever a transaction may be open.
    void ShowTransactionNote() override
    {
        HandleAfterRelease.push_back(hStmt != SQL_NULL_HSTMT);
        TFMain::ShowTransactionNote();
    }
};

// The window's own connection, made with the binding as opening a window makes it.
class WindowConnection {
public:
    WindowConnection(TFMain& w, const char* dsn, bool autoCommit) : w_(w)
    {
        EXPECT_TRUE(ODBCIntf::LoadODBC(nullptr));
        ODBCIntf::SQLAllocEnv(&w.hEnv);
        ODBCIntf::SQLAllocConnect(w.hEnv, &w.hDbc);
        auto text = [](const char* s) { return reinterpret_cast<SQLCHAR*>(const_cast<char*>(s)); };
        const SQLRETURN rc = ODBCIntf::SQLConnect(w.hDbc, text(dsn), SQL_NTS, text(""), SQL_NTS, text(""), SQL_NTS);
        connected_ = SQL_SUCCEEDED(rc);
        EXPECT_TRUE(connected_) << "cannot connect to " << dsn;
        ODBCIntf::GetSupportedFunctions(w.hDbc, w.SupportedFunctions);
        w.DbmsKind = DbmsKind::Other;
        w.StatementSeparator = ";";
        w.DSN = QString::fromLatin1(dsn);
        w.AutoCommit = autoCommit ? 1 : 0;
        if (autoCommit) {
            w.TransactionState = TransactionStates::AutoCommit;
        } else {
            const SQLRETURN off = ODBCIntf::SQLSetConnectOption(w.hDbc, SQL_AUTOCOMMIT, SQL_AUTOCOMMIT_OFF);
            w.TransactionState = SQL_SUCCEEDED(off) ? TransactionStates::None : TransactionStates::NotSupported;
        }
    }
    ~WindowConnection()
    {
        if (connected_) {
            if (!w_.AutoCommit) SQLEndTran(SQL_HANDLE_DBC, w_.hDbc, SQL_ROLLBACK);
            ODBCIntf::SQLDisconnect(w_.hDbc);
        }
        ODBCIntf::SQLFreeConnect(w_.hDbc);
        ODBCIntf::SQLFreeEnv(w_.hEnv);
        w_.hDbc = SQL_NULL_HDBC;
        w_.hEnv = SQL_NULL_HENV;
    }
    bool Ok() const { return connected_; }

private:
    TFMain& w_;
    bool connected_ = false;
};

class RunIntoQueryWindow : public testing::TestWithParam<const char* (*)()> {
protected:
    void SetUp() override
    {
        dsn = GetParam()();
        frame.resize(1000, 700);
        frame.show();
        window = new RecordingWindow(&frame);
        window->setWindowTitle("查询 -- run  --无标题1");
        window->WindowNumber = 1;
        frame.AddQueryWindow(window);
        Settle();
    }
    void TearDown() override
    {
        frame.RemoveQueryWindow(window);
        frame.WM_QUERYWINDOWCLOSING();
        delete frame.SubWindowOf(window);
    }

    // The run command's part: the window's running state, the worker, its slot and the busy mark.
    void Run(const QString& sql)
    {
        window->StatusBar1->SetPanelText(1, "执行所需时间：");
        window->ToolButton_export->setEnabled(false);
        window->ToolButton_stop->setEnabled(true);
        window->ToolButton_run->setEnabled(false);
        window->SyncFrameToolbar();
        RunOptions options;
        options.SqlText = sql;
        auto* worker = new MuliThread(*window, *window, options, window->User, window->Password, window->DSN);
        ASSERT_TRUE(frame.ThreadTable.Set(window->WindowNumber, worker));
        worker->WindowHandle = window->Handle();
        frame.MarkWindowBusy(window->Handle());
        QPointer<MuliThread> running(worker);
        EXPECT_EQ(window->RunCounter, 1);
        EXPECT_EQ(CommandImage::Of(WindowItem()), CommandImage::Running);
        EXPECT_FALSE(frame.ToolButton_run->isEnabled());
        EXPECT_TRUE(frame.ToolButton_stop->isEnabled());
        ASSERT_TRUE(WaitUntil([&] { return window->RunCounter == 0 && running.isNull(); }))
            << "the run did not end";
        EXPECT_EQ(frame.ThreadTable.At(window->WindowNumber), nullptr) << "the ended worker is gone from its slot";
    }

    QAction* WindowItem() const { return frame.N_windows->actions().value(4); }
    QStringList Pages() const
    {
        QStringList pages;
        for (int i = 0; i < window->PageControl_result->count(); ++i) pages << window->PageControl_result->tabText(i);
        return pages;
    }
    QStringList Messages() const { return window->RichEdit_result->toPlainText().split(QLatin1Char('\n')); }
    ResultGrid* Grid(int i) const { return window->findChild<ResultGrid*>(QStringLiteral("STRINGGRID%1").arg(i)); }
    void MakeTable()
    {
        TestConnection setup(dsn);
        ASSERT_TRUE(setup.Ok());
        setup.Exec("DROP TABLE IF EXISTS tv_qw_rows");
        setup.Exec("CREATE TABLE tv_qw_rows (id INTEGER, name VARCHAR(20))");
        setup.Exec("INSERT INTO tv_qw_rows VALUES (1, 'abc')");
        setup.Exec("INSERT INTO tv_qw_rows VALUES (2, 'x[@]y')");
    }

    const char* dsn = nullptr;
    TFMain_mul frame;
    RecordingWindow* window = nullptr;
};

TEST_P(RunIntoQueryWindow, GridRunShowsPagesGridsAndMessagesAndReleasesEachStatement)
{
    MakeTable();
    WindowConnection connection(*window, dsn, false);
    ASSERT_TRUE(connection.Ok());
    ASSERT_EQ(window->TransactionState.load(), TransactionStates::None);

    Run("UPDATE tv_qw_rows SET name = 'z' WHERE id = 3;\r\n"
        "SELECT id, name FROM tv_qw_rows ORDER BY id;\r\n"
        "SELECT id FROM tv_qw_rows WHERE id < 0;\r\n"
        "SELECT count(*) AS n FROM tv_qw_rows;\r\n"
        "SELECT * FROM tv_qw_nowhere;\r\n");

    EXPECT_EQ(Pages(), (QStringList{"消息", "结果2", "结果3", "结果4"}));
    EXPECT_EQ(window->PageControl_result->currentIndex(), 3);
    ASSERT_EQ(window->ResultGrids.size(), 5u);
    EXPECT_EQ(window->ResultGrids[0], nullptr);
    EXPECT_EQ(window->ResultGrids[4], nullptr);

    ResultGrid* rows = Grid(1);
    ASSERT_NE(rows, nullptr);
    EXPECT_EQ(rows->RowCount(), 3);
    EXPECT_EQ(rows->ColCount(), 3);
    EXPECT_EQ(rows->Model()->Cell(1, 0), "id");
    EXPECT_EQ(rows->Model()->Cell(2, 0), "name");
    EXPECT_EQ(rows->Model()->Cell(0, 1), "1");
    EXPECT_EQ(rows->Model()->Cell(1, 1), "1");
    // Character values come wrapped in the text qualifier.
    EXPECT_EQ(rows->Model()->Cell(2, 1), "\"abc\"");
    EXPECT_EQ(rows->Model()->Cell(2, 2), "\"x[@]y\"");
    EXPECT_EQ(rows->columnWidth(0), 30);

    ResultGrid* empty = Grid(2);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->RowCount(), 2);
    EXPECT_EQ(empty->FixedCols(), 0);
    EXPECT_EQ(empty->columnWidth(0), 30);
    ASSERT_NE(Grid(3), nullptr);
    EXPECT_EQ(Grid(3)->Model()->Cell(1, 1), "2");

    const QStringList messages = Messages();
    ASSERT_GE(messages.size(), 15);
    EXPECT_EQ(messages.mid(0, 13),
              (QStringList{"", "（所影响的行数为 0 行）", "", "", "（所影响的行数为 2 行）", "", "",
                           "（所影响的行数为 0 行）", "", "", "（所影响的行数为 1 行）", "", ""}));
    EXPECT_TRUE(messages.mid(13).join('\n').contains("tv_qw_nowhere")) << messages.join('\n').toStdString();

    // Every statement's handle reached its display and was released right after it.
    EXPECT_EQ(window->HandleWhileShown, std::vector<bool>(5, true));
    EXPECT_EQ(window->HandleAfterRelease, std::vector<bool>(5, false));
    EXPECT_TRUE(window->hStmt == SQL_NULL_HSTMT);
    EXPECT_EQ(window->StatusBar2->PanelText(1), "可能存在未提交的事务");

    EXPECT_TRUE(window->StatusBar1->PanelText(0).startsWith("开始执行时间：20"));
    EXPECT_TRUE(window->StatusBar1->PanelText(1).startsWith("执行总时间：0:00:"));
    EXPECT_EQ(window->StatusBar1->PanelText(2), "共返回结果行数：3");
    EXPECT_TRUE(window->ToolButton_run->isEnabled());
    EXPECT_FALSE(window->ToolButton_stop->isEnabled());
    EXPECT_TRUE(window->ToolButton_export->isEnabled());
    // The frame shows the window idle again.
    EXPECT_EQ(CommandImage::Of(WindowItem()), CommandImage::None);
    EXPECT_TRUE(frame.ToolButton_run->isEnabled());
    EXPECT_FALSE(frame.ToolButton_stop->isEnabled());
    EXPECT_TRUE(frame.ToolButton_export->isEnabled());
    EXPECT_TRUE(frame.mainmenu_query_save->isEnabled());

    // The next run starts from the messages page alone.
    Run("SELECT 5 AS five");
    EXPECT_EQ(Pages(), (QStringList{"消息", "结果1"}));
    EXPECT_EQ(Messages(), (QStringList{"", "（所影响的行数为 1 行）", ""}));
    EXPECT_EQ(Grid(1), nullptr);
    ASSERT_NE(Grid(0), nullptr);
    EXPECT_EQ(Grid(0)->Model()->Cell(1, 1), "5");
}

// A result that ends at a failed fetch keeps the rows read in its grid, but its error comes to the
// front and the status texts say that its rows end there.
TEST_P(RunIntoQueryWindow, AResultCutByAFailedFetchPutsItsErrorInFront)
{
    const bool pg = GetParam() == &TestDsn::PgDsn;
    // Read a row at a time, so that the failing row fails its own fetch.
    WindowConnection connection(*window, pg ? TestDsn::PostgreSQLCursor : TestDsn::SQLiteStep, true);
    ASSERT_TRUE(connection.Ok());

    Run(QString(pg ? "SELECT 10 / (3 - n) AS q FROM generate_series(1, 5) n"
                   : "WITH RECURSIVE c(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM c WHERE n < 5) "
                     "SELECT CASE WHEN n < 3 THEN n ELSE abs(-9223372036854775807 - 1) END AS q FROM c") +
        "; SELECT 2 AS b");

    EXPECT_EQ(Pages(), (QStringList{"消息", "结果1", "结果2"}));
    EXPECT_EQ(window->PageInFront, (std::vector<int>{0, 0})) << "the cut result's error stays in front for the rest of the run";
    EXPECT_EQ(window->PageControl_result->currentIndex(), 0) << "the run ends with the error in front";
    ResultGrid* cut = Grid(0);
    ASSERT_NE(cut, nullptr);
    EXPECT_EQ(cut->RowCount(), 3);
    EXPECT_EQ(cut->Model()->Cell(1, 1), pg ? "5" : "\"1\"");
    EXPECT_EQ(cut->Model()->Cell(1, 2), pg ? "10" : "\"2\"");
    EXPECT_TRUE(Messages().contains("读取结果时发生错误，结果不完整:（已查询到的行数为 2 行）"))
        << Messages().join('\n').toStdString();
    const QString note = " ( 读取结果时发生错误，结果不完整 )";
    EXPECT_EQ(window->StatusBar1->PanelText(2), "共返回结果行数：3" + note);
    window->ResultGridEnter(cut);
    EXPECT_EQ(window->StatusBar1->PanelText(2), "返回结果行数：2" + note);
    window->ResultGridEnter(Grid(1));
    EXPECT_EQ(window->StatusBar1->PanelText(2), "返回结果行数：1");
    window->ResultGridExit(Grid(1));
    EXPECT_EQ(window->StatusBar1->PanelText(2), "共返回结果行数：3" + note);
}

TEST_P(RunIntoQueryWindow, TextRunWritesCommaLines)
{
    WindowConnection connection(*window, dsn, true);
    ASSERT_TRUE(connection.Ok());
    window->menu_run_display_txtClick();

    Run("SELECT 1 AS a, 'abc' AS b; SELECT 2 AS a, 'x' AS b WHERE 1 = 0");

    EXPECT_EQ(Messages(), (QStringList{"a,b", "1,\"abc\"", "", "（所影响的行数为 1 行）", "", "a,b", "",
                                       "（所影响的行数为 0 行）", ""}));
    EXPECT_EQ(Pages(), (QStringList{"消息"}));
    EXPECT_EQ(window->StatusBar1->PanelText(2), "共返回结果行数：1");
    EXPECT_FALSE(window->ToolButton_export->isEnabled()) << "text display has nothing to export";
    EXPECT_TRUE(window->hStmt == SQL_NULL_HSTMT);
}

TEST_P(RunIntoQueryWindow, FileRunShowsMessagesAndTheFileReportOnly)
{
    WindowConnection connection(*window, dsn, true);
    ASSERT_TRUE(connection.Ok());
    window->menu_run_display_FileClick();
    const std::string path = TestDsn::ScratchDir() + "/window-result.txt";
    window->ResultFileName = QString::fromStdString(path);
    window->ResultFile = std::fopen(path.c_str(), "wb");
    ASSERT_NE(window->ResultFile, nullptr);

    Run("SELECT 1 AS a; SELECT 2 AS b");

    EXPECT_EQ(Pages(), (QStringList{"消息"}));
    const QStringList messages = Messages();
    EXPECT_EQ(messages, (QStringList{"", "（所影响的行数为 1 行）", "", "", "（所影响的行数为 1 行）", "", "",
                                     "下列文件已成功保存:", "", QString::fromStdString(path) + "  8  字节"}));
    EXPECT_EQ(window->ResultFile, nullptr);
    std::ifstream file(path, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), "1\r\n\r\n2\r\n");
    EXPECT_FALSE(window->ToolButton_export->isEnabled());
    EXPECT_TRUE(frame.ToolButton_run->isEnabled());
}

// The paints a widget gets.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* target) { target->installEventFilter(this); }
    int Paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) ++Paints;
        return false;
    }
};

QString ManyStatements(const char* statement, int count)
{
    QString sql;
    for (int i = 0; i < count; ++i) sql += QString::fromLatin1(statement).arg(i);
    return sql;
}

TEST_P(RunIntoQueryWindow, ManyStatementsPaintOnceAFrameAndTheNextRunClearsTheirPagesAtOnce)
{
    WindowConnection connection(*window, dsn, true);
    ASSERT_TRUE(connection.Ok());
    constexpr int Statements = 300;
    // A frame is 16 ms: a run paints its results at most once in that time, not at every statement.
    auto mostPaints = [](const QElapsedTimer& run) { return static_cast<int>(run.elapsed() / 16) + 4; };

    Run(QStringLiteral("SELECT 0 AS a;"));
    Settle();
    PaintCounter tabs(window->PageControl_result->tabBar());
    QElapsedTimer grid;
    grid.start();
    Run(ManyStatements("SELECT %1 AS a;", Statements));
    EXPECT_LE(tabs.Paints, mostPaints(grid)) << "over " << grid.elapsed() << " ms";
    ASSERT_EQ(window->PageControl_result->count(), Statements + 1);
    EXPECT_EQ(window->PageControl_result->currentIndex(), Statements) << "the last page is in front";
    EXPECT_EQ(window->PageControl_result->currentWidget(), window->ResultTabs.back());
    EXPECT_TRUE(window->ResultTabs.back()->updatesEnabled());
    EXPECT_FALSE(window->ResultTabs.front()->updatesEnabled()) << "a page behind the front one does not paint";
    // Every result has its page and grid, and a tab that can be brought into view.
    for (int i = 0; i < Statements; ++i) {
        ASSERT_NE(Grid(i), nullptr) << i;
        EXPECT_EQ(window->PageControl_result->tabText(i + 1), QStringLiteral("结果%1").arg(i + 1));
        EXPECT_TRUE(window->PageControl_result->tabBar()->isTabVisible(i + 1)) << i;
    }

    // The next run starts with the messages page alone: the old pages are out of sight and of
    // every lookup by name at once, and their widgets go soon after; the keys stay in the editor.
    const QPointer<QWidget> oldPage(window->ResultTabs[7]);
    window->RichEdit_sql->setFocus();
    ASSERT_EQ(window->window()->focusWidget(), window->RichEdit_sql);
    Run(QStringLiteral("SELECT 1 AS a;"));
    EXPECT_EQ(window->window()->focusWidget(), window->RichEdit_sql);
    EXPECT_EQ(Pages(), (QStringList{"消息", "结果1"}));
    EXPECT_EQ(Grid(Statements - 1), nullptr);
    EXPECT_EQ(Grid(7), nullptr);
    ASSERT_NE(Grid(0), nullptr);
    EXPECT_TRUE(Grid(0)->isVisible());
    EXPECT_TRUE(oldPage.isNull() || !oldPage->isVisible());
    EXPECT_TRUE(WaitUntil([&] { return oldPage.isNull(); })) << "the old pages are deleted";

    window->menu_run_display_txtClick();
    PaintCounter text(window->RichEdit_result->viewport());
    QElapsedTimer texts;
    texts.start();
    Run(ManyStatements("SELECT %1 AS a;", Statements));
    EXPECT_LE(text.Paints, mostPaints(texts)) << "over " << texts.elapsed() << " ms";
    EXPECT_EQ(Pages(), (QStringList{"消息"}));
    EXPECT_EQ(window->RichEdit_result->Text().Line(0), "a");
    EXPECT_EQ(window->RichEdit_result->Text().LineCount(), static_cast<std::size_t>(Statements) * 5);
}

INSTANTIATE_TEST_SUITE_P(Drivers, RunIntoQueryWindow, testing::Values(&TestDsn::SQLiteDsn, &TestDsn::PgDsn),
                         [](const testing::TestParamInfo<const char* (*)()>& info) {
                             return info.index == 0 ? std::string("SQLite") : std::string("PostgreSQL");
                         });

} // namespace
