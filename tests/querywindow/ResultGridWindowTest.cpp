// Result grids and the messages page in a query window of the running program, over real SQLite
// and PostgreSQL results: header clicks, clicks and double clicks, Ctrl+C and Ctrl+A, page
// changes, status texts, the messages page's keys, pop-up menu and font, and the export.
#include "FindReplaceDialog.h"
#include "FrameTestSupport.h"
#include "FailingLastStep.h"
#include "FileReplacement.h"
#include "ImmutableFolder.h"
#include "ProgramGlobals.h"
#include "ProgramStart.h"
#include "RecordingOpener.h"
#include "ResultExportFile.h"
#include "ResultGrid.h"
#include "ResultGridModel.h"
#include "ScriptedFileChooser.h"
#include "ScriptedFontChooser.h"
#include "ResultPageControl.h"
#include "StatusPanelBar.h"
#include "TestConnection.h"
#include "TestDsn.h"
#include "TFMain.h"
#include "TFMain_mul.h"
#include "Tfrm_connect.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QScrollBar>
#include <QSemaphore>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QThreadPool>

#include <unistd.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

struct Driver {
    const char* Name;
    bool Pg;
    const char* User;
};

class ResultGridWindow : public testing::TestWithParam<Driver> {
protected:
    void SetUp() override
    {
        installation = std::make_unique<TestInstallation>(TestInstallation::Contents{});
        const QString dsn = QString::fromLatin1(GetParam().Pg ? TestDsn::PgDsn() : TestDsn::SQLiteDsn());
        const QString user = QString::fromLatin1(GetParam().User);
        WhenModal<Tfrm_connect>([dsn, user](Tfrm_connect& d) {
            d.ComboBox_odbc->setEditText(dsn);
            d.Edit_user->setText(user);
            d.btnOK->click();
        });
        frame.reset(ProgramStart::Start());
        Settle();
        ASSERT_EQ(frame->QueryWindows().size(), 1) << "the first query window did not open";
        w = frame->QueryWindows().value(0);
        frame->SubWindowOf(w)->showMaximized();
        frame->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    }
    void TearDown() override
    {
        CloseFrame(frame);
        installation.reset();
    }

    const char* Dsn() const { return GetParam().Pg ? TestDsn::PgDsn() : TestDsn::SQLiteDsn(); }
    void MakeRows()
    {
        TestConnection setup(Dsn(), GetParam().User);
        ASSERT_TRUE(setup.Ok());
        setup.Exec("DROP TABLE IF EXISTS tv_grid_rows");
        setup.Exec("CREATE TABLE tv_grid_rows (seq INTEGER, id INTEGER, name VARCHAR(20), amount DECIMAL(10,2), "
                   "note VARCHAR(20))");
        setup.Exec("INSERT INTO tv_grid_rows VALUES (1, 3, '张伟', 12.50, 'a,b')");
        setup.Exec("INSERT INTO tv_grid_rows VALUES (2, 1, '李娜', 9.00, 'say \"hi\"')");
        setup.Exec("INSERT INTO tv_grid_rows VALUES (3, NULL, 'Maria', NULL, NULL)");
        setup.Exec("INSERT INTO tv_grid_rows VALUES (4, 4, '王芳', 100.25, '')");
    }
    static constexpr const char* Rows = "SELECT id, name, amount, note FROM tv_grid_rows ORDER BY seq";
    // Rows i = 1 to n with k = (i * 7919) % 1000 beside them.
    static QString CountingRows(int n)
    {
        return QStringLiteral("WITH RECURSIVE s(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM s WHERE i < %1) "
                              "SELECT i, (i * 7919) %% 1000 AS k FROM s")
            .arg(n)
            .replace(QLatin1String("%%"), QLatin1String("%"));
    }
    // The grid of a run of CountingRows(n), or none when the run did not show all n rows.
    ResultGrid* CountingGrid(int n)
    {
        Run(w, CountingRows(n));
        ResultGrid* g = Grid(0);
        return g && g->RowCount() - 1 == n ? g : nullptr;
    }

    // F5's command on the window's text, up to the end of the run.
    void Run(TFMain* window, const QString& sql)
    {
        window->RichEdit_sql->setPlainText(sql);
        frame->MdiArea->setActiveSubWindow(frame->SubWindowOf(window));
        frame->ToolButton_run->trigger();
        ASSERT_TRUE(WaitUntil([window] { return window->RunCounter == 0 && !window->RunWorker; })) << "the run did not end";
        Settle();
    }
    ResultGrid* Grid(int i) const { return w->findChild<ResultGrid*>(QStringLiteral("STRINGGRID%1").arg(i)); }
    static QStringList RowNumbers(const ResultGrid* g)
    {
        QStringList numbers;
        for (int row = 1; row < g->RowCount(); ++row) numbers << g->Model()->Cell(0, row);
        return numbers;
    }
    // The centre of cell (col, row), scrolled into view, in the coordinates of the widget that
    // receives its clicks.
    static QPoint CellCentre(ResultGrid* g, int col, int row)
    {
        g->scrollTo(g->model()->index(std::max(row - 1, 0), col));
        if (row == 0)
            return {g->horizontalHeader()->sectionViewportPosition(col) + g->columnWidth(col) / 2,
                    g->horizontalHeader()->height() / 2};
        return {g->columnViewportPosition(col) + g->columnWidth(col) / 2, g->rowViewportPosition(row - 1) + 9};
    }
    static QWidget* Target(ResultGrid* g, int row) { return row == 0 ? g->horizontalHeader()->viewport() : g->viewport(); }
    static void Click(ResultGrid* g, int col, int row, Qt::KeyboardModifiers mods = {}, Qt::MouseButton b = Qt::LeftButton)
    {
        QTest::mouseClick(Target(g, row), b, mods, CellCentre(g, col, row));
    }
    // As the window system delivers it: press, release, press, double click, release.
    static void DoubleClick(ResultGrid* g, int col, int row)
    {
        const QPoint at = CellCentre(g, col, row);
        QTest::mouseClick(Target(g, row), Qt::LeftButton, {}, at);
        QTest::mousePress(Target(g, row), Qt::LeftButton, {}, at);
        QTest::mouseDClick(Target(g, row), Qt::LeftButton, {}, at);
        QTest::mouseRelease(Target(g, row), Qt::LeftButton, {}, at);
    }
    static QString Clipboard() { return QGuiApplication::clipboard()->text(); }
    void ShowPage(int index)
    {
        // As the user's click on a tab does it: the tab widget's page change.
        w->PageControl_result->setCurrentIndex(index);
        Settle();
    }

    std::unique_ptr<TestInstallation> installation;
    std::unique_ptr<TFMain_mul> frame;
    TFMain* w = nullptr;
    RecordingPrompter prompter;
};

TEST_P(ResultGridWindow, HeaderClicksSortAndTurnTheDirectionColumnZeroRestoresTheFetchedOrder)
{
    MakeRows();
    Run(w, Rows);
    ResultGrid* g = Grid(0);
    ASSERT_NE(g, nullptr);
    TQryResult_Tesk& r = *w->Results[0];
    ASSERT_EQ(RowNumbers(g), (QStringList{"1", "2", "3", "4"}));

    struct Step {
        int Col;
        const char* SortColumn;
        int Ascending;
        QStringList Rows;
    };
    const Step steps[] = {
        // id: 3, 1, NULL, 4 as numbers, the empty one last.
        {1, "1", 1, {"2", "1", "4", "3"}},
        {1, "1", 0, {"3", "4", "1", "2"}},
        // amount: on PostgreSQL NUMERIC wrapped in the qualifier, 12.50, 9.00, NULL, 100.25, sorted
        // as numbers; the SQLite driver describes it as text, sorted as the texts "12.5", "9", "", "100.25".
        {3, "3", 1, GetParam().Pg ? QStringList{"2", "1", "4", "3"} : QStringList{"3", "4", "1", "2"}},
        // name as text in GBK order: Maria, 李 (li), 王 (wang), 张 (zhang).
        {2, "2", 1, {"3", "2", "4", "1"}},
        {2, "2", 0, {"1", "4", "2", "3"}},
        {0, "0", 1, {"1", "2", "3", "4"}},
        {0, "0", 0, {"4", "3", "2", "1"}},
    };
    for (const Step& s : steps) {
        Click(g, s.Col, 0);
        EXPECT_EQ(r.SortColumn, s.SortColumn) << "column " << s.Col;
        EXPECT_EQ(r.SortAscending, s.Ascending) << "column " << s.Col;
        EXPECT_EQ(RowNumbers(g), s.Rows) << "column " << s.Col;
        EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the hourglass is gone again";
    }
    // The cells travel with their rows.
    EXPECT_EQ(g->Model()->Cell(2, 1), "\"王芳\"");
    EXPECT_TRUE(prompter.Prompts.empty());
}

TEST_P(ResultGridWindow, ANumericColumnHoldingTextKeepsTheGridsOrder)
{
    // A text column whose result the test marks as numbers.
    TestConnection setup(Dsn(), GetParam().User);
    ASSERT_TRUE(setup.Ok());
    setup.Exec("DROP TABLE IF EXISTS tv_grid_text");
    setup.Exec("CREATE TABLE tv_grid_text (seq INTEGER, v VARCHAR(10))");
    setup.Exec("INSERT INTO tv_grid_text VALUES (1, '2')");
    setup.Exec("INSERT INTO tv_grid_text VALUES (2, 'abc')");
    setup.Exec("INSERT INTO tv_grid_text VALUES (3, '1')");
    Run(w, "SELECT seq, v FROM tv_grid_text ORDER BY seq");
    ResultGrid* g = Grid(0);
    ASSERT_NE(g, nullptr);
    TQryResult_Tesk& r = *w->Results[0];
    ASSERT_EQ(r.Columns[2].Numeric, 0);
    r.Columns[2].Numeric = 1;
    Click(g, 1, 0);
    Click(g, 1, 0);
    ASSERT_EQ(RowNumbers(g), (QStringList{"3", "2", "1"}));
    Click(g, 2, 0);
    EXPECT_EQ(RowNumbers(g), (QStringList{"3", "2", "1"})) << "never half sorted";
    EXPECT_EQ(r.SortColumn, "2");
    EXPECT_EQ(r.SortAscending, 1);
    EXPECT_TRUE(prompter.Prompts.empty()) << "nothing is said";
    Click(g, 2, 0);
    EXPECT_EQ(r.SortAscending, 0) << "the next click on the same header turns the direction";
}

// The demo data source is a SQLite database.
class DemoDataSource : public ResultGridWindow {};

TEST_P(DemoDataSource, ItsPricesSortAsNumbers)
{
    QFile file(QStringLiteral(TARNVALE_DATA_DIR "/demo.sql"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString script = QString::fromUtf8(file.readAll());
    {
        TestConnection setup(Dsn(), GetParam().User);
        ASSERT_TRUE(setup.Ok());
        for (const char* drop : {"DROP VIEW IF EXISTS order_totals", "DROP TABLE IF EXISTS order_items",
                                 "DROP TABLE IF EXISTS orders", "DROP TABLE IF EXISTS products",
                                 "DROP TABLE IF EXISTS customers"})
            setup.Exec(drop);
        for (const QString& statement : script.split(QStringLiteral(";\n"), Qt::SkipEmptyParts))
            if (statement.contains(QLatin1String("create")) || statement.contains(QLatin1String("insert")))
                setup.Exec(statement.toStdString());
    }
    Run(w, QStringLiteral("select id, price from products order by id"));
    ResultGrid* g = Grid(0);
    ASSERT_NE(g, nullptr);
    ASSERT_EQ(g->RowCount(), 9);
    // The driver describes the declared type as a number, so the grid compares numbers.
    EXPECT_EQ(w->Results[0]->Columns[2].Numeric, 1) << w->Results[0]->Columns[2].SqlType;
    Click(g, 2, 0);
    QStringList prices;
    for (int row = 1; row < g->RowCount(); ++row) prices << g->Model()->Cell(2, row);
    EXPECT_EQ(prices, (QStringList{"24.9", "38.5", "45", "86", "119", "152", "179", "268"}));
    EXPECT_TRUE(prompter.Prompts.empty());
}

// A large grid sorts away from the window's thread: the window answers meanwhile, a second click
// waits for the first sort, and a window closed during the sort frees nothing that the sort reads.
TEST_P(ResultGridWindow, ALargeGridSortsWhileTheWindowAnswers)
{
    const int n = ResultGridModel::BackgroundSortRows + 50000;
    ResultGrid* g = CountingGrid(n);
    ASSERT_NE(g, nullptr);
    TQryResult_Tesk& r = *w->Results[0];
    ASSERT_NE(r.Columns[2].Numeric, 0);

    bool finished = false;
    int answer = 1;
    QObject::connect(g->Model(), &ResultGridModel::SortFinished, g, [&](int result) {
        finished = true;
        answer = result;
    });
    Click(g, 2, 0);
    EXPECT_TRUE(g->Model()->Sorting() || finished);
    // While it sorts, a click on another header changes neither the order nor the sort state.
    Click(g, 1, 0);
    EXPECT_EQ(r.SortColumn, "2");
    ASSERT_TRUE(WaitUntil([&] { return finished; })) << "the sort did not end";
    EXPECT_EQ(answer, 0);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the hourglass is gone again";
    long previous = -1;
    bool ordered = true;
    for (int row = 1; row < g->RowCount() && ordered; row += 997) {
        const long k = g->Model()->Cell(2, row).toLong();
        ordered = k >= previous;
        previous = k;
    }
    EXPECT_TRUE(ordered) << "rows in the order of column k";
    EXPECT_EQ(g->Model()->Cell(1, 1).toLong() * 7919 % 1000, g->Model()->Cell(2, 1).toLong()) << "cells travel with their rows";

    // The window goes while its grid sorts.
    Click(g, 1, 0);
    ASSERT_TRUE(g->Model()->Sorting());
    frame->SubWindowOf(w)->close();
    ASSERT_TRUE(WaitUntil([] { return QApplication::overrideCursor() == nullptr; })) << "the hourglass stays";
    QThreadPool::globalInstance()->waitForDone();
    Settle();
    w = nullptr;
}

TEST_P(ResultGridWindow, RowNumberClicksDataCellClicksAndDoubleClicksSelect)
{
    MakeRows();
    Run(w, Rows);
    ResultGrid* g = Grid(0);
    ASSERT_NE(g, nullptr);
    EXPECT_FALSE(g->RowSelect());
    EXPECT_EQ(g->Selection(), (GridRect{1, 1, 1, 1})) << "a new grid has its first data cell current";
    EXPECT_EQ(g->horizontalScrollBar()->value(), 0) << "and shows its row numbers";

    Click(g, 0, 3);
    EXPECT_TRUE(g->RowSelect());
    EXPECT_EQ(g->Row(), 3);
    EXPECT_EQ(g->Selection(), (GridRect{1, 3, 4, 3}));

    Click(g, 2, 2);
    EXPECT_FALSE(g->RowSelect());
    EXPECT_EQ(g->Col(), 2);
    EXPECT_EQ(g->Row(), 2);
    EXPECT_EQ(g->Selection(), (GridRect{2, 2, 2, 2}));

    // A right click changes nothing.
    Click(g, 0, 4, {}, Qt::RightButton);
    EXPECT_FALSE(g->RowSelect());
    EXPECT_EQ(g->Selection(), (GridRect{2, 2, 2, 2}));

    // A drag or Shift+click from a data cell never takes in the row numbers.
    Click(g, 3, 1);
    Click(g, 0, 3, Qt::ShiftModifier);
    EXPECT_TRUE(g->RowSelect()) << "a Shift+click on a row number still selects the row";

    DoubleClick(g, 1, 1);
    EXPECT_TRUE(g->RowSelect());
    EXPECT_EQ(g->Selection(), (GridRect{1, 1, 4, 1}));
    w->ResultGridDblClick(g);
    EXPECT_FALSE(g->RowSelect());
    w->ResultGridDblClick(g);
    w->ResultGridDblClick(g);
    EXPECT_FALSE(g->RowSelect()) << "two double clicks return to cell selection";

    // The keys never move the cursor into the row numbers.
    g->setFocus();
    g->SetCurrentCell(1, 2);
    QTest::keyClick(g, Qt::Key_Left);
    QTest::keyClick(g, Qt::Key_Home);
    EXPECT_EQ(g->Col(), 1);
    QTest::keyClick(g, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(g, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(g->Selection(), (GridRect{1, 2, 2, 3}));
}

TEST_P(ResultGridWindow, ScrolledSidewaysTheRowNumbersStayAtTheLeftAndAClickThereSelectsTheRow)
{
    MakeRows();
    QString sql = "SELECT id";
    for (int i = 0; i < 30; ++i) sql += ", name, note";
    Run(w, sql + " FROM tv_grid_rows ORDER BY seq");
    ResultGrid* g = Grid(0);
    ASSERT_NE(g, nullptr);
    const int last = g->ColCount() - 1;
    // Column 0 with its header cell, as the grid shows it before any scrolling.
    const QRect strip(g->viewport()->x(), g->horizontalHeader()->y(), g->columnWidth(0),
                      g->horizontalHeader()->height() + 4 * g->rowHeight(0));
    const QImage unscrolled = g->grab(strip).toImage();
    auto rowCentre = [&](int row) {
        return QPoint(strip.left() + g->columnWidth(0) / 2,
                      g->viewport()->y() + g->rowViewportPosition(row - 1) + g->rowHeight(row - 1) / 2);
    };

    g->horizontalScrollBar()->setValue(g->horizontalScrollBar()->maximum());
    Settle();
    ASSERT_GT(g->LeftCol(), 1);
    EXPECT_LE(g->columnViewportPosition(last) + g->columnWidth(last), g->viewport()->width()) << "the last column is in view";
    EXPECT_EQ(g->columnViewportPosition(g->LeftCol()), g->columnWidth(0)) << "the first column in view starts after column 0";
    EXPECT_EQ(g->grab(strip).toImage(), unscrolled) << "column 0 is drawn at the left edge";

    int row = -1, col = -1;
    g->GridCellAtPoint(rowCentre(3).x(), rowCentre(3).y(), row, col);
    EXPECT_EQ(std::pair(row, col), std::pair(3, 0));
    const QPoint right = rowCentre(2) + QPoint(g->columnWidth(0), 0);
    g->GridCellAtPoint(right.x(), right.y(), row, col);
    EXPECT_EQ(std::pair(row, col), std::pair(2, g->LeftCol()));
    g->GridCellAtPoint(strip.left() + 2, strip.top() + 2, row, col);
    EXPECT_EQ(std::pair(row, col), std::pair(0, 0));

    QWidget* target = g->childAt(rowCentre(3));
    ASSERT_NE(target, nullptr);
    QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(g, rowCentre(3)));
    EXPECT_TRUE(g->RowSelect());
    EXPECT_EQ(g->Row(), 3);
    EXPECT_EQ(g->Selection(), (GridRect{1, 3, last, 3}));
    EXPECT_GT(g->LeftCol(), 1) << "the click keeps the view where it is";

    target = g->childAt(right);
    ASSERT_NE(target, nullptr);
    QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(g, right));
    EXPECT_FALSE(g->RowSelect());
    EXPECT_EQ(g->Selection(), (GridRect{g->LeftCol(), 2, g->LeftCol(), 2}));

    // The border at the fixed column's edge belongs to a column out of view: a drag there resizes nothing.
    const int hidden = g->LeftCol() - 1, hiddenWidth = g->columnWidth(hidden), leftWidth = g->columnWidth(g->LeftCol());
    QWidget* header = g->horizontalHeader()->viewport();
    const QPoint edge(g->columnWidth(0) + 1, g->horizontalHeader()->height() / 2);
    QTest::mousePress(header, Qt::LeftButton, {}, edge);
    QTest::mouseMove(header, edge + QPoint(40, 0));
    QTest::mouseRelease(header, Qt::LeftButton, {}, edge + QPoint(40, 0));
    EXPECT_EQ(g->columnWidth(hidden), hiddenWidth);
    EXPECT_EQ(g->columnWidth(g->LeftCol()), leftWidth);

    // Keys bring a column back beside the fixed one.
    g->SetCurrentCell(1, 1);
    Settle();
    EXPECT_EQ(g->LeftCol(), 1);
    EXPECT_EQ(g->columnViewportPosition(1), g->columnWidth(0));
}

TEST_P(ResultGridWindow, CtrlCCopiesTheSelectionCtrlASelectsTheDataBothTakenByTheGrid)
{
    MakeRows();
    Run(w, Rows);
    ResultGrid* g = Grid(0);
    ASSERT_NE(g, nullptr);
    // Shortcuts of the program on the same keys do not take them from the grid.
    int stolen = 0;
    for (QKeySequence keys : {QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_A)}) {
        auto* shortcut = new QAction(frame.get());
        shortcut->setShortcut(keys);
        QObject::connect(shortcut, &QAction::triggered, [&stolen] { ++stolen; });
        frame->addAction(shortcut);
    }

    Click(g, 1, 1);
    Click(g, 2, 2, Qt::ShiftModifier);
    ASSERT_EQ(g->Selection(), (GridRect{1, 1, 2, 2}));
    struct Case {
        bool Header;
        QString Expected;
    };
    const Case cases[] = {
        {true, "id\tname\r\n3\t\"张伟\"\r\n1\t\"李娜\""},
        {false, "3\t\"张伟\"\r\n1\t\"李娜\""},
    };
    for (const Case& c : cases) {
        Settings::ExportWithTblColumn = c.Header;
        QGuiApplication::clipboard()->setText("before");
        QTest::keyClick(g, Qt::Key_C, Qt::ControlModifier);
        EXPECT_EQ(Clipboard(), c.Expected);
    }

    QGuiApplication::clipboard()->setText("before");
    QTest::keyClick(g, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Clipboard(), "before") << "Ctrl+Shift+C is nothing special";

    QTest::keyClick(g, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(g->Selection(), (GridRect{1, 1, 4, 4}));
    Settings::ExportWithTblColumn = true;
    QTest::keyClick(g, Qt::Key_C, Qt::ControlModifier);
    const QStringList lines = Clipboard().split("\r\n");
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines[0], "id\tname\tamount\tnote");
    EXPECT_EQ(lines[3], "\t\"Maria\"\t\"\"\t\"\"");
    EXPECT_TRUE(lines[4].startsWith("4\t\"王芳\"\t\"100.25"));
    EXPECT_EQ(stolen, 0);

    // With row selection the rows' data cells are copied.
    Click(g, 0, 2);
    Settings::ExportWithTblColumn = false;
    QTest::keyClick(g, Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(Clipboard().startsWith("1\t\"李娜\"\t\"9")) << Clipboard().toStdString();
}

TEST_P(ResultGridWindow, PageChangesMoveTheFocusAndTheStatusTextsFollowIt)
{
    MakeRows();
    Run(w, QString(Rows) + ";\nUPDATE tv_grid_rows SET note = 'x' WHERE seq = 0;\nSELECT count(*) AS n FROM tv_grid_rows");
    ASSERT_EQ(w->PageControl_result->count(), 3);
    EXPECT_EQ(w->PageControl_result->currentIndex(), 2) << "the last page is in front";
    const QString runRows = w->StatusBar1->PanelText(2);
    EXPECT_EQ(runRows, "共返回结果行数：5");
    const QString runStart = w->StatusBar1->PanelText(0);

    ShowPage(0);
    EXPECT_TRUE(w->RichEdit_result->hasFocus());

    ResultGrid* first = Grid(0);
    ASSERT_NE(first, nullptr);
    first->SetCurrentCell(3, 4);
    ShowPage(1);
    EXPECT_TRUE(first->hasFocus());
    EXPECT_EQ(first->Col(), 1);
    EXPECT_EQ(first->Row(), 1);
    const TQryResult_Tesk& r0 = *w->Results[0];
    EXPECT_EQ(w->StatusBar1->PanelText(0),
              "开始执行时间：" + r0.StartTime.toLocalTime().toString("yyyy-MM-dd hh:mm:ss"));
    EXPECT_TRUE(w->StatusBar1->PanelText(1).startsWith("执行所需时间：0:00:")) << w->StatusBar1->PanelText(1).toStdString();
    EXPECT_EQ(w->StatusBar1->PanelText(2), "返回结果行数：4");

    ShowPage(2);
    ResultGrid* count = Grid(2);
    ASSERT_NE(count, nullptr);
    EXPECT_TRUE(count->hasFocus());
    EXPECT_EQ(w->StatusBar1->PanelText(2), "返回结果行数：1");

    ShowPage(0);
    EXPECT_EQ(w->StatusBar1->PanelText(0), runStart);
    EXPECT_TRUE(w->StatusBar1->PanelText(1).startsWith("执行总时间：0:00:"));
    EXPECT_EQ(w->StatusBar1->PanelText(2), runRows);

    // A cancelled statement says so.
    w->Results[0]->Cancelled = 1;
    w->RunCancelled = 1;
    ShowPage(1);
    EXPECT_EQ(w->StatusBar1->PanelText(2), "( 用户已取消查询 )");
    ShowPage(0);
    EXPECT_EQ(w->StatusBar1->PanelText(2), "( 用户已取消查询 )");
}

TEST_P(ResultGridWindow, StatusTextsGoToTheGridsOwnWindow)
{
    MakeRows();
    Run(w, Rows);
    frame->ToolButton_newsql->trigger();
    Settle();
    ASSERT_EQ(frame->QueryWindows().size(), 2);
    TFMain* other = frame->ActiveQueryWindow();
    ASSERT_NE(other, w);
    const QString otherText = other->StatusBar1->PanelText(2);
    w->ResultGridEnter(Grid(0));
    EXPECT_EQ(w->StatusBar1->PanelText(2), "返回结果行数：4");
    EXPECT_EQ(other->StatusBar1->PanelText(2), otherText);
    w->ResultGridExit(Grid(0));
    EXPECT_EQ(w->StatusBar1->PanelText(2), "共返回结果行数：4");
    EXPECT_EQ(other->StatusBar1->PanelText(2), otherText);
}

TEST_P(ResultGridWindow, MessagesPageKeysAndPopupMenu)
{
    Run(w, "SELECT 1 AS a");
    ShowPage(0);
    ResultTextView* memo = w->RichEdit_result;
    ASSERT_TRUE(memo->hasFocus());
    ASSERT_FALSE(memo->toPlainText().isEmpty());
    const int length = static_cast<int>(memo->toPlainText().size());

    for (Qt::KeyboardModifiers mods : {Qt::KeyboardModifiers(Qt::ControlModifier), Qt::ControlModifier | Qt::ShiftModifier}) {
        memo->SetSelection(0, 0);
        QTest::keyClick(memo, Qt::Key_A, mods);
        EXPECT_EQ(memo->SelectionEnd() - memo->SelectionStart(), length);
    }

    // Ctrl+F: the find dialog with the selected text.
    memo->SetSelection(1, 5);
    QTest::keyClick(memo, Qt::Key_F, Qt::ControlModifier);
    ASSERT_NE(w->FindDialog1, nullptr);
    EXPECT_TRUE(w->FindDialog1->isVisible());
    EXPECT_EQ(w->FindDialog1->FindText(), memo->SelectedText());
    EXPECT_EQ(w->FindDialog1->pos(), QPoint(w->width() / 2 - 100, memo->y() + 100));
    w->FindDialog1->hide();

    QMenu* menu = w->PopupMenu_richeditresult;
    ASSERT_NE(menu, nullptr);
    QStringList items;
    for (QAction* a : menu->actions()) items << (a->isSeparator() ? "-" : a->objectName() + " " + a->text());
    EXPECT_EQ(items, (QStringList{"N_richeditresult_cut 剪切(&T)", "N_richeditresult_copy 复制(&C)",
                                  "N_richeditresult_paste 粘贴(&P)", "N_richeditresult_selectall 全选(&S)", "-",
                                  "N_richeditresult_font 字体(&F)"}));
    struct Case {
        bool Selection;
        bool CutCopy;
    };
    for (const Case& s : {Case{true, true}, Case{false, false}}) {
        memo->SetSelection(0, s.Selection ? 3 : 0);
        QTest::mousePress(memo->viewport(), Qt::RightButton, {}, QPoint(10, 10));
        EXPECT_TRUE(menu->isVisible());
        EXPECT_EQ(w->N_richeditresult_cut->isEnabled(), s.CutCopy);
        EXPECT_EQ(w->N_richeditresult_copy->isEnabled(), s.CutCopy);
        EXPECT_TRUE(w->N_richeditresult_paste->isEnabled());
        EXPECT_TRUE(w->N_richeditresult_selectall->isEnabled());
        menu->hide();
        QTest::mouseRelease(memo->viewport(), Qt::RightButton, {}, QPoint(10, 10));
    }
    QTest::mousePress(memo->viewport(), Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(memo->viewport(), Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_FALSE(menu->isVisible()) << "the left button opens nothing";

    // The items: copy, cut, paste (only text), select all.
    memo->setPlainText("alpha beta");
    memo->SetSelection(0, 5);
    w->N_richeditresult_copyClick();
    EXPECT_EQ(Clipboard(), "alpha");
    w->N_richeditresult_cutClick();
    EXPECT_EQ(memo->toPlainText(), " beta");
    w->N_richeditresult_pasteClick();
    EXPECT_EQ(memo->toPlainText(), "alpha beta");
    auto* image = new QMimeData;
    image->setData("image/png", QByteArray("\x89PNG"));
    QGuiApplication::clipboard()->setMimeData(image);
    w->N_richeditresult_pasteClick();
    EXPECT_EQ(memo->toPlainText(), "alpha beta") << "no text, no paste";
    w->N_richeditresult_selectallClick();
    EXPECT_EQ(memo->SelectedText(), "alpha beta");
}

TEST_P(ResultGridWindow, MessagesFontIsWrittenWhenChosenNotOnCancelAndCarriedToANewWindow)
{
    ScriptedFontChooser fonts;
    const QString ini = installation->IniPath();
    auto section = [&ini] {
        QFile file(ini);
        file.open(QIODevice::ReadOnly);
        const QString text = QString::fromUtf8(file.readAll()).replace("\r\n", "\n");
        const qsizetype at = text.indexOf("[Font_SQLResult]");
        return text.mid(at, text.indexOf("[", at + 1) - at).trimmed();
    };

    QFont chosen("DejaVu Sans");
    chosen.setPointSize(14);
    chosen.setBold(true);
    chosen.setItalic(true);
    fonts.Answer = [&chosen](const QFont&) { return std::optional<QFont>(chosen); };
    w->N_richeditresult_font->trigger();
    ASSERT_EQ(fonts.Names, QStringList{"FontDialog_richedit_result"});
    EXPECT_EQ(w->RichEdit_result->font().family(), "DejaVu Sans");
    EXPECT_EQ(section(), "[Font_SQLResult]\nFontName=DejaVu Sans\nSize=14\nFontStyle=3");
    EXPECT_FALSE(QFileInfo(ini).permissions() & QFile::WriteOwner) << "read-only again";

    // A cancelled dialog writes nothing: what the file holds stays.
    QFile::setPermissions(ini, QFile::ReadOwner | QFile::WriteOwner);
    {
        QFile file(ini);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        QString text = QString::fromUtf8(file.readAll());
        file.close();
        text.replace("Size=14", "Size=99");
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text.toUtf8());
    }
    fonts.Answer = nullptr;
    w->N_richeditresult_font->trigger();
    EXPECT_EQ(fonts.Offered.back().family(), "DejaVu Sans");
    EXPECT_EQ(section(), "[Font_SQLResult]\nFontName=DejaVu Sans\nSize=99\nFontStyle=3");

    // The window goes; a new one shows the font.
    frame->SubWindowOf(w)->close();
    Settle();
    ASSERT_TRUE(frame->QueryWindows().isEmpty());
    WhenModal<Tfrm_connect>([this](Tfrm_connect& d) {
        d.ComboBox_odbc->setEditText(QString::fromLatin1(Dsn()));
        d.Edit_user->setText(QString::fromLatin1(GetParam().User));
        d.btnOK->click();
    });
    frame->mainmenu_file_connect->trigger();
    Settle();
    ASSERT_EQ(frame->QueryWindows().size(), 1);
    const QFont shown = frame->QueryWindows().value(0)->RichEdit_result->font();
    EXPECT_EQ(shown.family(), "DejaVu Sans");
    EXPECT_EQ(shown.pointSize(), 14);
    EXPECT_TRUE(shown.bold());
    EXPECT_TRUE(shown.italic());
}

class ResultExport : public ResultGridWindow {
protected:
    void SetUp() override
    {
        ResultGridWindow::SetUp();
        if (HasFatalFailure()) return;
        ASSERT_TRUE(dir.isValid());
        MakeRows();
        Run(w, Rows);
        ASSERT_NE(Grid(0), nullptr);
    }
    static QByteArray Bytes(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    QByteArray Amount(const char* pg, const char* sqlite) const { return GetParam().Pg ? pg : sqlite; }

    QTemporaryDir dir;
    ScriptedFileChooser files;
    RecordingOpener desktop;
};

TEST_P(ResultExport, WithTheMessagesPageInFrontOnlyTheMessage)
{
    ShowPage(0);
    w->btnEportClick();
    ASSERT_EQ(prompter.Prompts.size(), 1u);
    EXPECT_EQ(prompter.Prompts[0].Text, "请选中要导出结果的网格");
    EXPECT_EQ(prompter.Prompts[0].Caption, "提示");
    EXPECT_EQ(prompter.Prompts[0].Icon, Prompter::Icon::Information);
    EXPECT_EQ(prompter.Prompts[0].Buttons, Prompter::Ok);
    EXPECT_TRUE(files.Requests.empty());
}

TEST_P(ResultExport, BytesOfNullsCjkCommasAndQuotesInTheSortedOrder)
{
    Settings::ExportWithTblColumn = true;
    Click(Grid(0), 1, 0);  // by id, ascending: 1, 3, 4, NULL
    files.Accept(dir.path() + "/results", 0);
    w->btnEportClick();
    ASSERT_EQ(files.Requests.size(), 1u);
    EXPECT_EQ(files.Requests[0].Name, "SaveDialog1");
    EXPECT_EQ(files.Requests[0].Title, "保存查询结果");
    EXPECT_EQ(files.Requests[0].Kind, FileChooser::Mode::Save);
    EXPECT_EQ(files.Requests[0].Filters, (QStringList{"Csv Files(*.csv)", "Txt Files(*.txt)", "All Files(*.*)"}));
    const QByteArray expected = "id,name,amount,note\r\n"
                                "1,\"\xE6\x9D\x8E\xE5\xA8\x9C\",\"" + Amount("9.00", "9") + "\",\"say \"\"hi\"\"\"\r\n"
                                "3,\"\xE5\xBC\xA0\xE4\xBC\x9F\",\"" + Amount("12.50", "12.5") + "\",\"a,b\"\r\n"
                                "4,\"\xE7\x8E\x8B\xE8\x8A\xB3\",\"100.25\",\"\"\r\n"
                                ",\"Maria\",\"\",\"\"\r\n";
    EXPECT_EQ(Bytes(dir.path() + "/results.csv"), expected);
    EXPECT_TRUE(prompter.Prompts.empty());
    EXPECT_TRUE(desktop.Queried.isEmpty()) << "FileOpenByExcelAuto is off";

    // Without the header line, as a .txt.
    Settings::ExportWithTblColumn = false;
    files.Accept(dir.path() + "/results", 1);
    w->btnEportClick();
    EXPECT_EQ(Bytes(dir.path() + "/results.txt"), expected.mid(expected.indexOf("\r\n") + 2));
}

TEST_P(ResultExport, NamesThatWouldBreakTheHeaderLineAreQualified)
{
    Settings::ExportWithTblColumn = true;
    Run(w, "select 1 as \"com,ma\", 2 as \"say \"\"hi\"\"\", 3 as \"two\nlines\", 4 as plain");
    files.Accept(dir.path() + "/names", 0);
    w->btnEportClick();
    EXPECT_EQ(Bytes(dir.path() + "/names.csv"),
              QByteArray("\"com,ma\",\"say \"\"hi\"\"\",\"two\nlines\",plain\r\n1,2,3,4\r\n"));
}

TEST_P(ResultExport, SQLiteValuesThatFitNoColumnTypeShowWholeInTheGridCopyAndExport)
{
    // SQLite keeps any value in any column; its driver describes them by the declared type.
    if (GetParam().Pg) GTEST_SKIP() << "PostgreSQL keeps only values of a column's type";
    TestConnection setup(Dsn(), GetParam().User);
    ASSERT_TRUE(setup.Ok());
    setup.Exec("DROP TABLE IF EXISTS tv_grid_any");
    setup.Exec("CREATE TABLE tv_grid_any (i INTEGER, r REAL, d DATE, ts TIMESTAMP)");
    setup.Exec("INSERT INTO tv_grid_any VALUES (9999999999, 'abc', 1733850000, 'not a date')");
    setup.Exec("INSERT INTO tv_grid_any VALUES (2.5, 2.5, '2024-05-06T07:08:09Z', '2024-05-06 07:08:09')");
    Run(w, "SELECT i, r, d, ts FROM tv_grid_any ORDER BY rowid");
    ResultGrid* g = Grid(0);
    ASSERT_NE(g, nullptr);
    const QStringList rows[] = {{"9999999999", "abc", "1733850000", "not a date"},
                                {"2.5", "2.5", "2024-05-06T07:08:09Z", "2024-05-06 07:08:09"}};
    for (int row = 1; row <= 2; ++row)
        for (int col = 1; col <= 4; ++col) EXPECT_EQ(g->Model()->Cell(col, row), rows[row - 1][col - 1]);

    Settings::ExportWithTblColumn = false;
    QTest::keyClick(g, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(g, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(Clipboard(), rows[0].join('\t') + "\r\n" + rows[1].join('\t'));

    files.Accept(dir.path() + "/any", 0);
    w->btnEportClick();
    EXPECT_EQ(Bytes(dir.path() + "/any.csv"), (rows[0].join(',') + "\r\n" + rows[1].join(',') + "\r\n").toUtf8());
}

TEST_P(ResultExport, ACsvIsOpenedWithTheDesktopsProgramWhenAsked)
{
    Settings::FileOpenByExcelAuto = true;
    struct Case {
        const char* Name;
        int Filter;
        bool HasProgram;
        bool Opened;
        bool Message;
    };
    const Case cases[] = {
        {"a", 0, true, true, false},
        {"b", 0, false, false, true},
        {"c.CSV", 2, true, true, false},
        {"d", 1, true, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        desktop.Opened.clear();
        desktop.Queried.clear();
        desktop.HasProgram = c.HasProgram;
        prompter.Prompts.clear();
        files.Accept(dir.path() + "/" + c.Name, c.Filter);
        w->btnEportClick();
        const QString path = dir.path() + "/" + ResultExportFile::CompleteName(c.Name, c.Filter);
        EXPECT_TRUE(QFileInfo::exists(path)) << "the file is written in every case";
        EXPECT_EQ(desktop.Opened, c.Opened ? QStringList{path} : QStringList{});
        EXPECT_EQ(desktop.Queried.isEmpty(), c.Filter == 1) << "a .txt is never opened";
        ASSERT_EQ(prompter.Prompts.size(), c.Message ? 1u : 0u);
        if (c.Message) {
            EXPECT_EQ(prompter.Prompts[0].Text, "您的机器里未安装Microsoft Excel");
            EXPECT_EQ(prompter.Prompts[0].Caption, "提示");
            EXPECT_EQ(prompter.Prompts[0].Icon, Prompter::Icon::Information);
        }
    }
}

TEST_P(ResultExport, AnExistingFileIsReplacedOnlyAfterYes)
{
    const QString path = dir.path() + "/kept.csv";
    {
        QFile kept(path);
        ASSERT_TRUE(kept.open(QIODevice::WriteOnly));
        kept.write("the user's file");
    }
    prompter.Answers = {Prompter::No};
    files.Accept(dir.path() + "/kept", 0);
    files.Cancel();
    w->btnEportClick();
    ASSERT_EQ(prompter.Prompts.size(), 1u);
    EXPECT_EQ(prompter.Prompts[0].Text, path + " 已存在。\n要替换它吗？");
    EXPECT_EQ(Bytes(path), "the user's file");

    prompter.Answers = {Prompter::Yes};
    files.Accept(path, 0);
    w->btnEportClick();
    EXPECT_TRUE(Bytes(path).startsWith("3,")) << Bytes(path).toStdString();
}

TEST_P(ResultExport, AnUnwritableFolderKeepsTheOldFileAndSaysWhy)
{
    const QString folder = dir.path() + "/locked";
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = folder + "/kept.csv";
    {
        QFile kept(path);
        ASSERT_TRUE(kept.open(QIODevice::WriteOnly));
        kept.write("the user's file");
    }
    Settings::FileOpenByExcelAuto = true;
    ImmutableFolder locked(folder);
    ASSERT_TRUE(locked.Ok()) << "the file system cannot lock a folder";
    prompter.Answers = {Prompter::Yes};
    files.Accept(path, 0);
    w->btnEportClick();
    ASSERT_EQ(prompter.Prompts.size(), 2u);
    const PromptRecord& error = prompter.Prompts[1];
    EXPECT_EQ(error.Text, path + ": " + qt_error_string(EPERM));
    EXPECT_EQ(error.Caption, "提示");
    EXPECT_EQ(error.Icon, Prompter::Icon::Error);
    EXPECT_EQ(Bytes(path), "the user's file");
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{"kept.csv"});
    EXPECT_TRUE(desktop.Queried.isEmpty());
    EXPECT_TRUE(desktop.Opened.isEmpty());
}

TEST_P(ResultExport, AnExportWhoseLastStepFailsKeepsTheOldFileAndOpensNothing)
{
    const QString path = dir.path() + "/kept.csv";
    Settings::FileOpenByExcelAuto = true;
    // A small grid is written on the window's thread, a large one away from it.
    for (const int rows : {0, ResultExportFile::BackgroundRows}) {
        if (rows) {
            ASSERT_NE(CountingGrid(rows), nullptr);
        }
        for (const FailingLastStep::Step step : {FailingLastStep::Step::Sync, FailingLastStep::Step::Rename}) {
            SCOPED_TRACE(FailingLastStep::Name(step) + std::string(rows ? " on a large grid" : ""));
            {
                QFile kept(path);
                ASSERT_TRUE(kept.open(QIODevice::WriteOnly));
                kept.write("the user's file");
            }
            prompter.Prompts.clear();
            prompter.Answers = {Prompter::Yes};
            files.Accept(path, 0);
            QString reason;
            {
                FailingLastStep failing(step, path);
                w->btnEportClick();
                EXPECT_EQ(w->Exporting(), rows != 0);
                ASSERT_TRUE(WaitUntil([this] { return !w->Exporting(); })) << "the export did not end";
                ASSERT_TRUE(failing.Reached()) << "the file system cannot lock a file";
                reason = failing.ErrorText();
            }
            ASSERT_EQ(prompter.Prompts.size(), 2u);
            EXPECT_EQ(prompter.Prompts[1].Text, path + ": " + reason);
            EXPECT_EQ(prompter.Prompts[1].Icon, Prompter::Icon::Error);
            EXPECT_EQ(Bytes(path), "the user's file");
            EXPECT_EQ(QDir(dir.path()).entryList({"kept*"}, QDir::Files), QStringList{"kept.csv"});
            EXPECT_TRUE(desktop.Queried.isEmpty());
            EXPECT_TRUE(desktop.Opened.isEmpty());
        }
    }
}

// A large grid is exported away from the window's thread with its progress in the status bar:
// the same bytes as an export on the window's thread, in the order at the start however the grid
// is sorted meanwhile; a second export does nothing until the first has ended, and the file is
// opened only once it is in place.
TEST_P(ResultExport, ALargeGridExportsWhileTheWindowAnswers)
{
    const int n = ResultExportFile::BackgroundRows + 50000;
    ResultGrid* g = CountingGrid(n);
    ASSERT_NE(g, nullptr);
    Click(g, 2, 0);
    ASSERT_TRUE(g->Model()->Sorting());
    // The file gets the order the grid shows: no export while a sort is putting it in place.
    w->btnEportClick();
    EXPECT_TRUE(files.Requests.empty()) << "an export asked during the sort";
    EXPECT_FALSE(w->Exporting());
    ASSERT_TRUE(WaitUntil([g] { return !g->Model()->Sorting(); })) << "the sort did not end";
    Settings::ExportWithTblColumn = true;
    Settings::FileOpenByExcelAuto = true;
    const QString onThread = dir.path() + "/on-thread.csv";
    ASSERT_EQ(ResultExportFile::Write(onThread, g->Model()->Cells(), true), "");

    const QString path = dir.path() + "/large.csv";
    files.Accept(path, 0);
    w->btnEportClick();
    ASSERT_TRUE(w->Exporting());
    const QProgressBar* progress = w->StatusBar1->Progress();
    ASSERT_NE(progress, nullptr);
    EXPECT_EQ(progress->maximum(), n);
    w->btnEportClick();
    EXPECT_EQ(files.Requests.size(), 1u) << "no second export while one runs";
    EXPECT_TRUE(desktop.Queried.isEmpty()) << "nothing is opened before the file is in place";
    Click(g, 1, 0);
    ASSERT_TRUE(WaitUntil([&] { return !w->Exporting() && !g->Model()->Sorting(); })) << "the export did not end";
    EXPECT_EQ(w->StatusBar1->Progress(), nullptr) << "the progress bar is gone again";
    EXPECT_EQ(g->Model()->Cell(1, 1), "1") << "the grid was sorted meanwhile";
    const QByteArray expected = Bytes(onThread);
    EXPECT_TRUE(expected.startsWith("i,k\r\n") && expected.mid(5, 20).contains(",0\r\n")) << "in the order of k";
    EXPECT_TRUE(Bytes(path) == expected) << "the file differs from the export on the window's thread";
    EXPECT_EQ(desktop.Opened, QStringList{path});
    EXPECT_TRUE(prompter.Prompts.empty());
}

// The window goes while its grid is exported: the export reads its own handle on the rows and
// puts the file in place whole, and nothing is said or opened for the window that is gone.
TEST_P(ResultExport, AWindowClosedDuringItsExportHearsNothing)
{
    const int n = ResultExportFile::BackgroundRows;
    ASSERT_NE(CountingGrid(n), nullptr);
    Settings::FileOpenByExcelAuto = true;
    const QString path = dir.path() + "/large.csv";
    QSemaphore windowGone;
    // The export waits in its last step until the window has gone.
    FileReplacement::SetSync([&windowGone](int fd) {
        windowGone.tryAcquire(1, 30000);
        return ::fsync(fd);
    });
    files.Accept(path, 0);
    w->btnEportClick();
    ASSERT_TRUE(w->Exporting());
    const QPointer<TFMain> window(w);
    frame->SubWindowOf(w)->close();
    w = nullptr;
    const bool closed = WaitUntil([&window] { return window.isNull(); });
    windowGone.release();
    QThreadPool::globalInstance()->waitForDone();
    FileReplacement::SetSync({});
    ASSERT_TRUE(closed) << "the window stays";
    Settle();
    EXPECT_TRUE(prompter.Prompts.empty());
    EXPECT_TRUE(desktop.Queried.isEmpty());
    EXPECT_TRUE(desktop.Opened.isEmpty());
    EXPECT_EQ(Bytes(path).count("\r\n"), n);
}

TEST_P(ResultExport, TheResultFileOfASaveToFileRunIsReplacedOnlyAfterYes)
{
    const QString path = dir.path() + "/run.txt";
    {
        QFile kept(path);
        ASSERT_TRUE(kept.open(QIODevice::WriteOnly));
        kept.write("the user's file");
    }
    frame->menu_run_display_File->trigger();
    w->RichEdit_sql->setPlainText(Rows);
    prompter.Answers = {Prompter::No};
    files.Accept(dir.path() + "/run", 0);
    files.Cancel();
    frame->ToolButton_run->trigger();
    Settle();
    EXPECT_EQ(w->RunCounter, 0) << "no run without a file";
    ASSERT_EQ(prompter.Prompts.size(), 1u);
    EXPECT_EQ(prompter.Prompts[0].Text, path + " 已存在。\n要替换它吗？");
    EXPECT_EQ(Bytes(path), "the user's file");

    prompter.Answers = {Prompter::Yes};
    files.Accept(path, 0);
    Run(w, Rows);
    EXPECT_TRUE(Bytes(path).startsWith("3,\"")) << Bytes(path).toStdString();
}

const Driver Drivers[] = {{"SQLite", false, ""}, {"PostgreSQL", true, "postgres"}};

INSTANTIATE_TEST_SUITE_P(Drivers, ResultGridWindow, testing::ValuesIn(Drivers),
                         [](const testing::TestParamInfo<Driver>& info) { return std::string(info.param.Name); });
INSTANTIATE_TEST_SUITE_P(SQLite, DemoDataSource, testing::Values(Drivers[0]),
                         [](const testing::TestParamInfo<Driver>& info) { return std::string(info.param.Name); });
INSTANTIATE_TEST_SUITE_P(Drivers, ResultExport, testing::ValuesIn(Drivers),
                         [](const testing::TestParamInfo<Driver>& info) { return std::string(info.param.Name); });

} // namespace
