// Measures the end of a run with millions of rows in grid display: the hand-off that puts the rows
// into the window's grid, and every turn of the event loop after it until the window is idle, for
// N and 2N rows, beside a table view given the same rows at once (every row a header section).
#include "ResultGrid.h"
#include "ResultGridModel.h"
#include "TFMain.h"
#include "TQryResult_Tesk.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QTableView>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

constexpr int Columns = 5;

std::unique_ptr<ResultRowStore> Rows(int n)
{
    auto store = std::make_unique<ResultRowStore>(Columns);
    store->SetHeader({"id", "name", "d", "amount", "ts"});
    for (int i = 0; i < n; ++i) {
        store->CurrentField() = std::to_string(i + 1);
        store->EndField();
        store->CurrentField() = "name " + std::to_string(i + 1);
        store->EndField();
        store->CurrentField() = "2000-01-01";
        store->EndField();
        store->CurrentField() = std::to_string(i % 100000) + ".25";
        store->EndField();
        store->CurrentField() = "2020-01-01 00:00:00";
        store->EndField();
        store->EndRow();
    }
    return store;
}

double Ms(const QElapsedTimer& t) { return static_cast<double>(t.nsecsElapsed()) / 1e6; }

struct Figures {
    double HandOff = 0;  // the call that shows the rows
    double Longest = 0;  // the longest turn of the event loop after it
    double Total = 0;    // from the hand-off until the window is idle
    int Turns = 0;
};

// Turns of the event loop until nothing is left to do; the longest one and the time of all.
void UntilIdle(Figures& f, const QElapsedTimer& since)
{
    for (int idle = 0; idle < 3;) {
        QElapsedTimer turn;
        turn.start();
        const bool busy = QCoreApplication::eventDispatcher()->processEvents(QEventLoop::AllEvents);
        f.Longest = std::max(f.Longest, Ms(turn));
        ++f.Turns;
        idle = busy ? 0 : idle + 1;
    }
    f.Total = Ms(since);
}

// The statement's rows handed to the window as the engine hands them over; allAtOnce: the grid's
// view is told of every row in the hand-off itself, as before the slices.
Figures Window(int n, bool allAtOnce)
{
    TFMain w;
    w.resize(1600, 900);
    w.show();
    QCoreApplication::processEvents();
    w.PrepareForRun();
    auto result = std::make_unique<TQryResult_Tesk>(Columns + 1);
    result->HasResultSet = result->Succeeded = 1;
    result->RowCount = n;
    for (int j = 1; j <= Columns; ++j) result->Columns[static_cast<std::size_t>(j)].Name = QString::number(j);
    w.Results.clear();
    w.Results.push_back(std::move(result));
    w.StatementCount = 1;
    w.ResultColumnCount = Columns;
    w.ResultLines = Rows(n);
    Figures f;
    QElapsedTimer t;
    t.start();
    w.DisplayStatement(0, 0, 0);
    if (allAtOnce) w.ResultGrids[0]->Model()->ShowMoreRows(n);
    f.HandOff = Ms(t);
    UntilIdle(f, t);
    return f;
}

// The same rows in a table view set up as the grid's, given to it at once.
Figures AtOnce(int n)
{
    QTableView view;
    view.verticalHeader()->hide();
    view.verticalHeader()->setDefaultSectionSize(18);
    view.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view.resize(1600, 600);
    view.show();
    QCoreApplication::processEvents();
    auto* model = new ResultGridModel(Rows(n), Columns + 1, false, &view);
    Figures f;
    QElapsedTimer t;
    t.start();
    view.setModel(model);
    f.HandOff = Ms(t);
    UntilIdle(f, t);
    return f;
}

void Print(const char* what, const Figures& n, const Figures& twice)
{
    std::printf("  %-34s N: hand-off %6.1f ms, longest turn %6.1f ms, idle after %6.1f ms (%d turns) | "
                "2N: %6.1f, %6.1f, %6.1f ms | 2N/N total %.2f\n",
                what, n.HandOff, n.Longest, n.Total, n.Turns, twice.HandOff, twice.Longest, twice.Total,
                twice.Total / n.Total);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int n = argc > 1 ? std::stoi(argv[1]) : 2500000;
    std::printf("Grid display of a run's last statement, N = %d and 2N = %d rows x %d columns\n", n, 2 * n, Columns);
    // Interleaved, medians of three.
    std::vector<Figures> atOnce[2], windowAtOnce[2], window[2];
    for (int round = 0; round < 3; ++round)
        for (int k = 0; k < 2; ++k) {
            atOnce[k].push_back(AtOnce(n * (k + 1)));
            windowAtOnce[k].push_back(Window(n * (k + 1), true));
            window[k].push_back(Window(n * (k + 1), false));
        }
    auto median = [](std::vector<Figures> v) {
        Figures m;
        auto pick = [&](double Figures::* field) {
            std::vector<double> x;
            for (const Figures& f : v) x.push_back(f.*field);
            std::sort(x.begin(), x.end());
            m.*field = x[x.size() / 2];
        };
        pick(&Figures::HandOff);
        pick(&Figures::Longest);
        pick(&Figures::Total);
        m.Turns = v[v.size() / 2].Turns;
        return m;
    };
    const Figures a = median(atOnce[0]), a2 = median(atOnce[1]), b = median(windowAtOnce[0]),
                  b2 = median(windowAtOnce[1]), g = median(window[0]), g2 = median(window[1]);
    Print("table view, all rows at once", a, a2);
    Print("window's grid, all rows at once", b, b2);
    Print("window's grid, rows in slices", g, g2);
    auto stall = [](const Figures& f) { return std::max(f.HandOff, f.Longest); };
    std::printf("  longest stall, slices / all at once in the window: N %.2f, 2N %.2f\n", stall(g) / stall(b),
                stall(g2) / stall(b2));
    return 0;
}
