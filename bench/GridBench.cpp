// Measures what a user does with a large result grid, beside what the run took: header-click
// sorts by a text and by numeric columns, the export of the grid next to a save-to-file run of the
// same query, and Ctrl+A then Ctrl+C into the clipboard.
#include "BenchWindow.h"
#include "MuliThread.h"
#include "ODBCIntf.h"
#include "ResultExportFile.h"
#include "ResultGrid.h"
#include "ResultGridMouseDown.h"
#include "ResultGridModel.h"
#include "ResultGridSort.h"
#include "Prompter.h"
#include "Settings.h"
#include "Gb18030Text.h"
#include "TFMain.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <functional>
#include <numeric>
#include <string>
#include <vector>

namespace {

const char* Query = "select id, name, d, amount, ts from big";

struct ClickFigures {
    double Ms = 0;         // from the click until the new order is in place
    double StallMs = 0;    // the longest time the window's event loop did not run meanwhile
};

// A left click on the header of column col, as the grid hands it to the window, then the event
// loop until the sort has ended; a 5 ms timer tells how long the loop went without running.
ClickFigures HeaderClick(TFMain& w, ResultGrid& grid, int col)
{
    grid.scrollTo(grid.model()->index(0, col));
    QHeaderView* header = grid.horizontalHeader();
    const QPoint at = header->viewport()->mapTo(&grid, QPoint(header->sectionViewportPosition(col) + 5, 5));
    QElapsedTimer timer, gap;
    timer.start();
    HandleResultGridMouseDown(*w.Results[0], grid, Qt::LeftButton, at.x(), at.y());
    ClickFigures f;
    f.StallMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    if (grid.Model()->Sorting()) {
        QEventLoop loop;
        QObject::connect(grid.Model(), &ResultGridModel::SortFinished, &loop, &QEventLoop::quit);
        QTimer tick;
        gap.start();
        QObject::connect(&tick, &QTimer::timeout, [&] {
            f.StallMs = std::max(f.StallMs, static_cast<double>(gap.nsecsElapsed()) / 1e6);
            gap.restart();
        });
        tick.start(5);
        loop.exec();
    }
    f.Ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    return f;
}

// Runs the event loop until ended() holds, looked at every 5 ms; the longest time the loop went
// without running meanwhile.
double LongestGapUntil(const std::function<bool()>& ended)
{
    QEventLoop loop;
    QTimer tick;
    QElapsedTimer gap;
    double longest = 0;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        longest = std::max(longest, static_cast<double>(gap.nsecsElapsed()) / 1e6);
        gap.restart();
        if (ended()) loop.quit();
    });
    gap.start();
    tick.start(5);
    loop.exec();
    return longest;
}

// What a sort of the same rows costs at the least: the column's values read into one key each
// and std::sort of the row numbers over them (doubles, or GB18030 bytes compared as bytes).
double SortLimit(const ResultGridCells& cells, int col, bool numeric)
{
    const ResultRowStore& rows = cells.Rows();
    const std::size_t n = rows.RowCount();
    std::vector<std::uint32_t> order(n);
    std::iota(order.begin(), order.end(), 0u);
    QElapsedTimer timer;
    timer.start();
    if (numeric) {
        std::vector<double> keys(n);
        for (std::size_t r = 0; r < n; ++r) {
            const std::string_view v = ResultGridCells::Unqualified(rows.Field(r, col - 1), cells.TextQualifier());
            std::from_chars(v.data(), v.data() + v.size(), keys[r]);
        }
        std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) { return keys[a] < keys[b]; });
    } else {
        std::string bytes;
        std::vector<std::size_t> start(n + 1);
        Gb18030Text gb18030;
        for (std::size_t r = 0; r < n; ++r) {
            start[r] = bytes.size();
            gb18030.Append(rows.Field(r, col - 1), bytes);
        }
        start[n] = bytes.size();
        auto key = [&](std::uint32_t r) { return std::string_view(bytes).substr(start[r], start[r + 1] - start[r]); };
        std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) { return key(a) < key(b); });
    }
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

void Key(ResultGrid& grid, int key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::ControlModifier);
    QApplication::sendEvent(&grid, &press);
}

// A save-to-file run of the query into a query window; its time in ms, or a negative time when the
// window cannot connect.
double FileRun(const QString& dsn, const QString& folder)
{
    BenchWindow file(dsn);
    if (!file.ok) return -1;
    file.w.menu_run_display_FileClick();
    const QByteArray path = QFile::encodeName(folder + "/" + dsn + "-file.csv");
    file.w.ResultFile = std::fopen(path.constData(), "wb");
    file.w.ResultFileName = QString::fromUtf8(path);
    return file.Run(Query);
}

// A grid run of the query into a query window, to the end of the run; its time in ms.
double GridRun(const QString& dsn)
{
    BenchWindow grid(dsn);
    return grid.ok ? grid.Run(Query) : -1;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

struct RunFigures {
    double GridMs = 0;  // a grid run, fetch and show
    double FileMs = 0;  // a save-to-file run of the same query
};

// Rounds of every source's grid and file runs one after another, so that the drift of a shared
// machine falls on all of them alike; each figure the median of its rounds.
std::vector<RunFigures> InterleavedRuns(const std::vector<QString>& dsns, const QString& folder, int rounds)
{
    std::vector<std::vector<double>> grid(dsns.size()), file(dsns.size());
    for (int r = 0; r < rounds; ++r)
        for (std::size_t k = 0; k < dsns.size(); ++k) {
            grid[k].push_back(GridRun(dsns[k]));
            file[k].push_back(FileRun(dsns[k], folder));
        }
    std::vector<RunFigures> result(dsns.size());
    for (std::size_t k = 0; k < dsns.size(); ++k) result[k] = {Median(grid[k]), Median(file[k])};
    return result;
}

void Measure(const QString& dsn, const QString& folder, const RunFigures& runs)
{
    const double fileRunMs = runs.FileMs;
    BenchWindow grid(dsn);
    if (!grid.ok) {
        std::printf("%s: cannot connect\n", qPrintable(dsn));
        return;
    }
    grid.Run(Query);
    ResultGrid* g = grid.w.ResultGrids.empty() ? nullptr : grid.w.ResultGrids[0];
    if (!g || !g->Model()) {
        std::printf("%s: no grid\n", qPrintable(dsn));
        return;
    }
    const TQryResult_Tesk& r = *grid.w.Results[0];
    std::printf("\n%s: %d rows x %d columns; runs the median of 3 interleaved rounds\n", qPrintable(dsn),
                g->RowCount() - 1, g->ColCount() - 1);
    std::printf("  grid run (fetch and show)        %8.0f ms = %.2f x the save-to-file run\n", runs.GridMs,
                runs.GridMs / fileRunMs);
    std::printf("  save-to-file run                 %8.0f ms\n", fileRunMs);
    struct Sort {
        int Col;
        const char* What;
    };
    for (const Sort s : {Sort{2, "name"}, Sort{1, "id"}, Sort{4, "amount"}}) {
        const bool numeric = r.Columns[static_cast<std::size_t>(s.Col)].Numeric != 0;
        const ClickFigures ascending = HeaderClick(grid.w, *g, s.Col);
        const ClickFigures descending = HeaderClick(grid.w, *g, s.Col);
        // The same sort on the window's own thread, as a click sorted before: the window stalls all along.
        QElapsedTimer onThread;
        onThread.start();
        g->Model()->SortByColumn(s.Col, true, numeric);
        const double onThreadMs = static_cast<double>(onThread.nsecsElapsed()) / 1e6;
        const double limit = SortLimit(g->Model()->Cells(), s.Col, numeric);
        std::printf("  sort by %-6s (%s) %6.0f ms ascending, %6.0f ms descending = %.2f x std::sort of the row numbers "
                    "(%.0f ms); longest stall %.0f / %.0f ms (on the window's thread it stalls %.0f ms)\n",
                    s.What, numeric ? "numbers" : "text   ", ascending.Ms, descending.Ms, ascending.Ms / limit, limit,
                    ascending.StallMs, descending.StallMs, onThreadMs);
    }
    HeaderClick(grid.w, *g, 0);

    // The export as the export command starts it (a grid this large is written away from the
    // window's thread), beside the same export on the window's thread.
    Settings::ExportWithTblColumn = true;
    const QString exportPath = folder + "/" + dsn + "-export.csv";
    QElapsedTimer timer;
    timer.start();
    grid.w.ExportGrid(*g, exportPath);
    const double startMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    const double exportStallMs = std::max(startMs, LongestGapUntil([&grid] { return !grid.w.Exporting(); }));
    const double exportMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    timer.restart();
    const QString error = ResultExportFile::Write(folder + "/" + dsn + "-export-on-thread.csv", g->Model()->Cells(), true);
    const double onThreadExportMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    std::printf("  export of the grid               %8.0f ms = %.2f x the save-to-file run (target <= 0.30)%s, %.1f MB; "
                "longest stall %.0f ms (on the window's thread it stalls %.0f ms)\n",
                exportMs, exportMs / fileRunMs, error.isEmpty() ? "" : qPrintable(" FAILED: " + error),
                static_cast<double>(QFile(exportPath).size()) / 1e6, exportStallMs, onThreadExportMs);

    g->setFocus();
    timer.restart();
    Key(*g, Qt::Key_A);
    Key(*g, Qt::Key_C);
    const double copyMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    const QString copied = QGuiApplication::clipboard()->text();
    const qsizetype lines = copied.count(QLatin1Char('\n')) + (copied.isEmpty() ? 0 : 1);
    std::printf("  Ctrl+A, Ctrl+C                   %8.0f ms, clipboard %lld characters in %lld lines (%s)\n", copyMs,
                static_cast<long long>(copied.size()), static_cast<long long>(lines),
                // The names' line comes first when the settings add it to copies and exports.
                lines == g->RowCount() - 1 + (Settings::ExportWithTblColumn ? 1 : 0) ? "every row" : "ROWS MISSING");
}

// Text keys of CJK cells go through the GB18030 converter: a column of 1,000,000 Chinese names.
void MeasureCjkSort()
{
    const char* family[] = {"张", "李", "王", "陈", "刘", "杨", "黄", "赵"};
    const char* given[] = {"伟", "芳", "娜", "静", "敏", "强", "磊", "洋", "艳", "军"};
    auto store = std::make_unique<ResultRowStore>(1);
    store->SetHeader({"name"});
    constexpr int Rows = 1000000;
    for (int i = 0; i < Rows; ++i) {
        std::string& field = store->CurrentField();
        field.assign(1, '"');
        field += family[(i * 7) % 8];
        field += given[(i * 13) % 10];
        field += given[(i / 10) % 10];
        field += std::to_string(i % 997);
        field += "\"";
        store->EndField();
        store->EndRow();
    }
    ResultGridCells cells(std::move(store), 2, false);
    cells.SetTextQualifier("\"");
    QElapsedTimer timer;
    timer.start();
    ResultGridSort::SortGridByColumn(cells, 1, true, false);
    const double ascending = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    timer.restart();
    ResultGridSort::SortGridByColumn(cells, 1, false, false);
    const double descending = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    std::printf("\nIn memory: 1000000 Chinese names sorted as text %.0f ms ascending, %.0f ms descending\n", ascending,
                descending);
}

// What the program would say in a message box is printed: the bench never waits for a click.
class PrintingPrompter : public Prompter {
public:
    Button Message(const QString& text, const QString&, Icon, int) override
    {
        std::printf("  message: %s\n", qPrintable(text));
        return Ok;
    }
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    PrintingPrompter prompter;
    Prompter::Install(&prompter);
    const QString folder = argc >= 2 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp");
    // Each driver with its default settings and streaming.
    const std::vector<QString> dsns{"BenchSQLite", "BenchSQLiteStep", "BenchPG", "BenchPGCursor"};
    const std::vector<RunFigures> runs = InterleavedRuns(dsns, folder, 3);
    for (std::size_t k = 0; k < dsns.size(); ++k) Measure(dsns[k], folder, runs[k]);
    MeasureCjkSort();
    Prompter::Install(nullptr);
    return 0;
}
