#include "ResultGrid.h"
#include "ResultPageControl.h"
#include "StatusPanelBar.h"
#include "TFMain.h"
#include "WidgetTestApp.h"

#include <QHeaderView>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Rows = std::vector<std::vector<std::string>>;

struct Column {
    std::string Name;
    int DisplayWidth = 4;
};

std::unique_ptr<TQryResult_Tesk> ResultSet(const std::vector<Column>& columns, int rowCount)
{
    auto r = std::make_unique<TQryResult_Tesk>(static_cast<int>(columns.size()));
    for (std::size_t j = 0; j < columns.size(); ++j) {
        r->Columns[j + 1].Name = QString::fromStdString(columns[j].Name);
        r->Columns[j + 1].DisplayWidth = columns[j].DisplayWidth;
    }
    r->RowCount = rowCount;
    r->HasResultSet = 1;
    r->Succeeded = 1;
    return r;
}

std::unique_ptr<TQryResult_Tesk> NoResultSet(bool succeeded)
{
    auto r = std::make_unique<TQryResult_Tesk>(1);
    r->Succeeded = succeeded ? 1 : 0;
    return r;
}

// A window in the middle of a run, the engine's side played by the test.
class ResultDisplay : public testing::Test {
protected:
    void SetUp() override
    {
        w.resize(900, 400);
        w.show();
        Settle();
    }

    void StartRun(int statements)
    {
        w.PrepareForRun();
        w.Results.clear();
        w.Results.resize(static_cast<std::size_t>(statements));
        w.StatementCount = statements;
        w.RunCounter = 1;
    }

    // Leaves statement i's outcome in the window as the engine does before the hand-off, then
    // hands it over in the given mode.
    void Show(int i, std::unique_ptr<TQryResult_Tesk> result, const std::vector<Column>& columns, const Rows& rows,
              const QString& message, std::uint8_t asText = 0, std::uint8_t toFile = 0)
    {
        w.Results[static_cast<std::size_t>(i)] = std::move(result);
        w.ResultColumnCount = static_cast<int>(columns.size());
        w.ResultLines->Reset(columns.size());
        if (!columns.empty()) {
            std::vector<std::string> names;
            for (const auto& c : columns) names.push_back(c.Name);
            w.ResultLines->SetHeader(names);
        }
        for (const auto& row : rows) {
            for (const auto& field : row) {
                w.ResultLines->CurrentField() = field;
                w.ResultLines->EndField();
            }
            w.ResultLines->EndRow();
        }
        w.MessageLines = QStringList{QString(), message, QString()};
        w.DisplayStatement(i, asText, toFile);
    }

    void ShowSelect(int i, const std::vector<Column>& columns, const Rows& rows, std::uint8_t asText = 0,
                    std::uint8_t toFile = 0)
    {
        Show(i, ResultSet(columns, static_cast<int>(rows.size())), columns, rows,
             QStringLiteral("（所影响的行数为 %1 行）").arg(rows.size()), asText, toFile);
    }

    QStringList Pages() const
    {
        QStringList pages;
        for (int i = 0; i < w.PageControl_result->count(); ++i) pages << w.PageControl_result->tabText(i);
        return pages;
    }
    QString FrontPage() const { return w.PageControl_result->tabText(w.PageControl_result->currentIndex()); }
    QStringList Messages() const { return w.RichEdit_result->toPlainText().split(QLatin1Char('\n')); }
    ResultGrid* Grid(int i) const { return w.findChild<ResultGrid*>(QStringLiteral("STRINGGRID%1").arg(i)); }

    TFMain w;
};

TEST_F(ResultDisplay, PagesOnlyForResultSetsLastOneInFront)
{
    StartRun(3);
    ShowSelect(0, {{"id"}, {"name"}}, {{"1", "abc"}, {"2", "de"}});
    EXPECT_EQ(Pages(), (QStringList{"消息", "结果1"}));
    EXPECT_EQ(FrontPage(), "结果1");

    Show(1, NoResultSet(true), {}, {}, QStringLiteral("（所影响的行数为 3 行）"));
    EXPECT_EQ(Pages(), (QStringList{"消息", "结果1"}));
    EXPECT_EQ(FrontPage(), "结果1") << "a statement without result set leaves the last page in front";

    ShowSelect(2, {{"n"}}, {{"7"}});
    EXPECT_EQ(Pages(), (QStringList{"消息", "结果1", "结果3"}));
    EXPECT_EQ(FrontPage(), "结果3");

    ASSERT_EQ(w.ResultGrids.size(), 3u);
    ASSERT_EQ(w.ResultTabs.size(), 3u);
    EXPECT_EQ(w.ResultGrids[0], Grid(0));
    EXPECT_EQ(w.ResultGrids[1], nullptr);
    EXPECT_EQ(w.ResultTabs[1], nullptr);
    EXPECT_EQ(w.ResultGrids[2], Grid(2));
    EXPECT_EQ(Grid(1), nullptr);
    EXPECT_EQ(w.PageControl_result->indexOf(w.ResultTabs[2]), 2);
    EXPECT_EQ(Messages(), (QStringList{"", "（所影响的行数为 2 行）", "", "", "（所影响的行数为 3 行）", "", "",
                                       "（所影响的行数为 1 行）", ""}));

    // The next run starts from the messages page alone.
    StartRun(1);
    EXPECT_EQ(Pages(), (QStringList{"消息"}));
    EXPECT_TRUE(w.ResultGrids.empty());
    EXPECT_TRUE(w.ResultTabs.empty());
    EXPECT_TRUE(w.RichEdit_result->toPlainText().isEmpty());
    EXPECT_EQ(Grid(0), nullptr);
}

TEST_F(ResultDisplay, FailedStatementMakesNoPage)
{
    StartRun(2);
    Show(0, NoResultSet(false), {}, {}, QStringLiteral("[SQLite]no such table: nowhere"));
    EXPECT_EQ(Pages(), (QStringList{"消息"}));
    EXPECT_EQ(FrontPage(), "消息");
    EXPECT_EQ(Messages(), (QStringList{"", "[SQLite]no such table: nowhere", ""}));
}

TEST_F(ResultDisplay, GridHoldsNamesRowNumbersAndFields)
{
    StartRun(1);
    ShowSelect(0, {{"id"}, {"名称"}}, {{"1", "abc"}, {"2", "x[@]y"}});
    ResultGrid* g = Grid(0);
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->RowCount(), 3);
    EXPECT_EQ(g->ColCount(), 3);
    EXPECT_EQ(g->FixedCols(), 1);
    EXPECT_EQ(g->FixedRows(), 1);
    EXPECT_TRUE(g->showGrid());
    EXPECT_TRUE(g->isVisible());
    EXPECT_FALSE(g->verticalHeader()->isVisible());
    EXPECT_EQ(g->verticalHeader()->defaultSectionSize(), 18);
    EXPECT_EQ(g->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_EQ(g->font().pixelSize(), 12);
    EXPECT_EQ(g->font().family(), "WenQuanYi Micro Hei");

    const ResultGridModel& m = *g->Model();
    EXPECT_EQ(m.Cell(0, 0), "");
    EXPECT_EQ(m.Cell(1, 0), "id");
    EXPECT_EQ(m.Cell(2, 0), "名称");
    EXPECT_EQ(m.headerData(1, Qt::Horizontal).toString(), "id");
    EXPECT_EQ(m.Cell(0, 1), "1");
    EXPECT_EQ(m.Cell(0, 2), "2");
    EXPECT_EQ(m.Cell(2, 1), "abc");
    EXPECT_EQ(m.Cell(2, 2), "x[@]y");
    // The grid took the statement's rows; the window holds a fresh, empty store.
    ASSERT_NE(w.ResultLines, nullptr);
    EXPECT_EQ(w.ResultLines->RowCount(), 0u);
    EXPECT_FALSE(w.ResultLines->HasHeader());
}

TEST_F(ResultDisplay, EmptyResultGridHasNamesOverOneEmptyRow)
{
    StartRun(1);
    ShowSelect(0, {{"a"}, {"b"}}, {});
    ResultGrid* g = Grid(0);
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->RowCount(), 2);
    EXPECT_EQ(g->FixedCols(), 0);
    EXPECT_FALSE(g->showGrid());
    EXPECT_EQ(g->columnWidth(0), 30);
    EXPECT_EQ(g->Model()->Cell(1, 0), "a");
    EXPECT_EQ(g->Model()->Cell(0, 1), "");
    EXPECT_EQ(Pages(), (QStringList{"消息", "结果1"}));
}

TEST_F(ResultDisplay, ColumnWidthsFromDisplayWidthsAndNames)
{
    StartRun(1);
    const std::vector<Column> columns{{"i", 4}, {"d", 8}, {"c15", 15}, {"c16", 16}, {"c23", 23},
                                      {std::string(30, 'n'), 4}};
    ShowSelect(0, columns, {{"1", "2", "3", "4", "5", "6"}});
    ResultGrid* g = Grid(0);
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->columnWidth(0), 30);
    EXPECT_EQ(g->columnWidth(1), 81);
    EXPECT_EQ(g->columnWidth(2), 161);
    EXPECT_EQ(g->columnWidth(3), 301);
    EXPECT_EQ(g->columnWidth(4), 193);
    EXPECT_EQ(g->columnWidth(5), 199);
    EXPECT_GE(g->columnWidth(6), 218);
}

// Whether a cell's text rectangle, as the grid's style lays it out and draws in it (a margin on
// either side), holds the whole text.
bool ShowsWholeText(const ResultGrid& grid, int row, int column)
{
    const QModelIndex index = grid.model()->index(row, column);
    QStyleOptionViewItem option;
    option.initFrom(&grid);
    option.rect = grid.visualRect(index);
    option.text = index.data().toString();
    option.features = QStyleOptionViewItem::HasDisplay;
    const QRect text = grid.style()->subElementRect(QStyle::SE_ItemViewItemText, &option, &grid);
    const int margin = grid.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &grid) + 1;
    return grid.fontMetrics().horizontalAdvance(option.text) <= text.width() - 2 * margin;
}

TEST_F(ResultDisplay, RowNumberColumnWidensWithTheDigitsOfTheRowCount)
{
    // At least the widths by digits; wider where the grid's font needs more for the last number.
    const std::pair<int, int> cases[] = {{9999, 30}, {10000, 37}, {100000, 44}};
    for (auto [rows, width] : cases) {
        StartRun(1);
        Rows data(static_cast<std::size_t>(rows), std::vector<std::string>{"v"});
        ShowSelect(0, {{"v"}}, data);
        ASSERT_NE(Grid(0), nullptr);
        EXPECT_EQ(Grid(0)->RowCount(), rows + 1);
        EXPECT_GE(Grid(0)->columnWidth(0), width) << rows << " rows";
        EXPECT_EQ(Grid(0)->Model()->Cell(0, rows), QString::number(rows));
        EXPECT_TRUE(ShowsWholeText(*Grid(0), rows - 1, 0)) << rows << " rows";
    }
}

TEST(ResultGridRows, AGridOfMillionsOfRowsTellsItsViewOfThemInSlicesAndStillReachesEveryRow)
{
    constexpr int Rows = 1100001;
    auto store = [] {
        auto rows = std::make_unique<ResultRowStore>(1);
        rows->SetHeader({"n"});
        for (int i = 1; i <= Rows; ++i) {
            rows->CurrentField() = std::to_string(i * 2);
            rows->EndField();
            rows->EndRow();
        }
        return rows;
    };
    // At once after the hand-off: the view knows only the first rows; a selection of all reaches the last.
    ResultGrid g;
    g.resize(400, 300);
    g.show();
    g.SetRows(store(), 2, false);
    EXPECT_LT(g.model()->rowCount(), Rows);
    EXPECT_EQ(g.RowCount(), Rows + 1);
    g.SetSelection({1, 1, 1, Rows});
    EXPECT_EQ(g.Selection(), (GridRect{1, 1, 1, Rows}));
    EXPECT_EQ(g.model()->rowCount(), Rows);

    // Left to the event loop, the view comes to know every row.
    ResultGrid h;
    h.resize(400, 300);
    h.show();
    h.SetRows(store(), 2, false);
    ASSERT_TRUE(WaitUntil([&] { return h.model()->rowCount() == Rows; }));
    EXPECT_EQ(h.verticalHeader()->count(), Rows);
    h.SetCurrentCell(1, Rows);
    EXPECT_EQ(h.Row(), Rows);
    EXPECT_EQ(h.currentIndex().data().toString(), QString::number(Rows * 2));
}

TEST_F(ResultDisplay, TextModeWritesCommaLinesNamesFirstThenTheMessages)
{
    StartRun(2);
    ShowSelect(0, {{"id"}, {"name"}}, {{"1", "abc"}, {"2", ""}}, 1);
    Show(1, NoResultSet(true), {}, {}, QStringLiteral("（该语句已经成功执行）"), 1);
    EXPECT_EQ(Messages(), (QStringList{"id,name", "1,abc", "2,", "", "（所影响的行数为 2 行）", "", "",
                                       "（该语句已经成功执行）", ""}));
    EXPECT_EQ(Pages(), (QStringList{"消息"}));
    EXPECT_EQ(Grid(0), nullptr);
}

TEST_F(ResultDisplay, TextModeTakesTheRowsAsTheyAre)
{
    StartRun(1);
    const int rows = 1000000;
    w.Results[0] = ResultSet({{"id"}, {"name"}}, rows);
    w.ResultColumnCount = 2;
    w.ResultLines->Reset(2);
    w.ResultLines->SetHeader({"id", "name"});
    for (int i = 1; i <= rows; ++i) {
        w.ResultLines->CurrentField() = std::to_string(i);
        w.ResultLines->EndField();
        w.ResultLines->CurrentField() = "名" + std::to_string(i);
        w.ResultLines->EndField();
        w.ResultLines->EndRow();
    }
    const ResultRowStore* shown = w.ResultLines.get();
    w.MessageLines = QStringList{QString(), QStringLiteral("（所影响的行数为 %1 行）").arg(rows), QString()};
    w.DisplayStatement(0, 1, 0);

    // The text page reads the statement's rows where they are; the window has a new store.
    ASSERT_NE(w.ResultLines, nullptr);
    EXPECT_NE(w.ResultLines.get(), shown);
    EXPECT_EQ(w.ResultLines->RowCount(), 0u);
    const ResultText& text = w.RichEdit_result->Text();
    ASSERT_EQ(text.LineCount(), static_cast<std::size_t>(rows) + 4);
    EXPECT_EQ(text.Line(0), "id,name");
    EXPECT_EQ(text.Line(1), "1,名1");
    EXPECT_EQ(text.Line(static_cast<std::size_t>(rows)), "1000000,名1000000");
    EXPECT_EQ(text.Line(static_cast<std::size_t>(rows) + 2), "（所影响的行数为 1000000 行）");
    // The page shows the end of the text, as it follows the end while it shows it.
    Settle();
    EXPECT_EQ(w.RichEdit_result->verticalScrollBar()->value(), w.RichEdit_result->verticalScrollBar()->maximum());
    EXPECT_GT(w.RichEdit_result->FirstVisibleLine(), static_cast<std::size_t>(rows) - 100);

    // The next run lets the rows go.
    StartRun(1);
    EXPECT_TRUE(w.RichEdit_result->Text().IsEmpty());
}

TEST_F(ResultDisplay, FileModeShowsOnlyTheMessages)
{
    StartRun(2);
    ShowSelect(0, {{"id"}}, {{"1"}}, 1, 1);
    Show(1, NoResultSet(true), {}, {}, QStringLiteral("（所影响的行数为 1 行）"), 1, 1);
    EXPECT_EQ(Pages(), (QStringList{"消息"}));
    EXPECT_EQ(FrontPage(), "消息");
    EXPECT_EQ(Messages(),
              (QStringList{"", "（所影响的行数为 1 行）", "", "", "（所影响的行数为 1 行）", ""}));
}

TEST_F(ResultDisplay, TransactionNoteInTheSecondStatusBar)
{
    w.ShowTransactionNote();
    EXPECT_EQ(w.StatusBar2->PanelText(1), "可能存在未提交的事务");
}

} // namespace
