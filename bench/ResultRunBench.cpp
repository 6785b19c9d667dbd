// Measures a run of a large result side by side, each figure the median of three runs, each run
// in a process of its own (so that its peak memory is its own):
//   (a)  a bare fetch loop over columns bound as the run binds them;
//   (a2) the same loop with every column bound as text, the limit of a tool that shows text;
//   (b)  a save-to-file run into a query window (the same window, keeping no rows);
//   (c)  a grid run into a query window: the end of the run plus the first paint of the grid;
//   (e)  a text run into a query window: the end of the run plus the first paint of the text;
//   (d)  isql writing the same query to a file.
// On SQLite, interleaved rounds (medians of 5) compare the save-to-file run (b) with the same run
// binding the columns by their types as for every other driver (b0, the binding before SQLite's
// values were read as text), and with a bare loop that binds every column as text and writes
// the rows as CSV (a3), also on a thread of its own as the run fetches (a3t): once a process has
// a second thread, every mutex of the SQLite library costs an atomic operation.
// The worst user-interface stall is the longest gap between the ticks of a 5 ms timer on the
// user-interface thread, from the run's start to the end of the first paint.
#include "MuliThread.h"
#include "ODBCIntf.h"
#include "ResultColumns.h"

#include "ResultGrid.h"
#include "TFMain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

const char* Query = "select id, name, d, amount, ts from big";

// The time of the run alone, from its statement's execution to its end: no connecting, no window
// made, no first paint.
double g_runMs = 0;

long PeakRssKb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    return 0;
}

struct Connection {
    SQLHENV env = SQL_NULL_HENV;
    SQLHDBC dbc = SQL_NULL_HDBC;
    explicit Connection(const std::string& dsn)
    {
        ODBCIntf::LoadODBC(nullptr);
        ODBCIntf::SQLAllocEnv(&env);
        ODBCIntf::SQLAllocConnect(env, &dbc);
        if (!ODBCIntf::SQLSucceeded(ODBCIntf::SQLConnect(dbc, (SQLCHAR*)dsn.c_str(), SQL_NTS, (SQLCHAR*)"", SQL_NTS,
                                                         (SQLCHAR*)"", SQL_NTS),
                                    false)) {
            std::cerr << "cannot connect to " << dsn << "\n";
            std::exit(2);
        }
    }
    ~Connection()
    {
        ODBCIntf::SQLDisconnect(dbc);
        ODBCIntf::SQLFreeConnect(dbc);
        ODBCIntf::SQLFreeEnv(env);
    }
};

// Executes the query and binds its columns: every one as text, or as the run binds them.
SQLHSTMT BoundQuery(const Connection& c, std::vector<TColumnDescriptor>& cols, bool everyColumnAsText)
{
    SQLHSTMT s;
    ODBCIntf::SQLAllocStmt(c.dbc, &s);
    ODBCIntf::SQLExecDirect(s, (SQLCHAR*)Query, SQL_NTS);
    SQLSMALLINT n = 0;
    ODBCIntf::SQLNumResultCols(s, &n);
    cols.resize(static_cast<std::size_t>(n) + 1);
    RenderContext ctx;
    ctx.Kind = 20;
    ctx.MaxFieldLen = 512;
    for (int j = 1; j <= n; ++j) {
        DescribeResultColumn(s, static_cast<SQLUSMALLINT>(j), cols[j], ctx);
        if (everyColumnAsText) {
            cols[j].Bind(s, static_cast<SQLUSMALLINT>(j), SQL_C_CHAR, static_cast<SQLLEN>(cols[j].ColumnSize) * 4 + 64);
        } else {
            FieldsList_Tesk f;
            BindResultColumn(s, static_cast<SQLUSMALLINT>(j), cols[j], f, ctx);
        }
    }
    return s;
}

// (a) and (a2): reads every row into bound columns and does nothing with them.
long long BareFetch(const std::string& dsn, bool everyColumnAsText)
{
    Connection c(dsn);
    std::vector<TColumnDescriptor> cols;
    SQLHSTMT s = BoundQuery(c, cols, everyColumnAsText);
    long long rows = 0;
    while (ODBCIntf::SQLSucceeded(ODBCIntf::SQLFetch(s), false)) ++rows;
    ODBCIntf::SQLFreeStmt(s, SQL_DROP);
    return rows;
}

// (a3): every column bound as text, every row written to the file as CSV lines.
long long BareTextToCsv(const std::string& dsn, const std::string& path)
{
    Connection c(dsn);
    QElapsedTimer run;
    run.start();
    std::vector<TColumnDescriptor> cols;
    SQLHSTMT s = BoundQuery(c, cols, true);
    const std::size_t n = cols.size() - 1;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::string out;
    long long rows = 0;
    while (ODBCIntf::SQLSucceeded(ODBCIntf::SQLFetch(s), false)) {
        for (std::size_t j = 1; j <= n; ++j) {
            if (j > 1) out += ',';
            if (cols[j].Indicator > 0) out.append(cols[j].DataBuffer.get(), static_cast<std::size_t>(cols[j].Indicator));
        }
        out += "\r\n";
        if (out.size() >= (1 << 20)) {
            std::fwrite(out.data(), 1, out.size(), f);
            out.clear();
        }
        ++rows;
    }
    std::fwrite(out.data(), 1, out.size(), f);
    std::fclose(f);
    ODBCIntf::SQLFreeStmt(s, SQL_DROP);
    g_runMs = static_cast<double>(run.nsecsElapsed()) / 1e6;
    return rows;
}

// Serves the run's hand-offs from an idle event loop, as the program does, until the worker is gone.
void WaitForRun(QPointer<MuliThread>& t)
{
    QEventLoop loop;
    if (!t) return;
    QObject::connect(t.data(), &QObject::destroyed, &loop, &QEventLoop::quit);
    loop.exec();
}

// (b), (c), (e): a run into a real query window in the given display mode, up to the first paint
// of what it shows; a timer on the user-interface thread measures the longest gap between ticks.
enum class Display { File, Grid, Text };

long long WindowRun(const std::string& dsn, Display mode, const std::string& path, double& worstStallMs,
                    const QString& sql = Query, bool bindSQLiteByType = false)
{
    Connection conn(dsn);
    TFMain window;
    window.hEnv = conn.env;
    window.hDbc = conn.dbc;
    ODBCIntf::GetSupportedFunctions(window.hDbc, window.SupportedFunctions);
    window.StatementSeparator.assign(1, ';');
    window.AutoCommit = 1;
    window.DbmsKind = 20;
    window.resize(1000, 700);
    window.show();
    if (mode == Display::Text) window.menu_run_display_txtClick();
    if (mode == Display::File) {
        window.menu_run_display_FileClick();
        window.ResultFile = std::fopen(path.c_str(), "wb");
        window.ResultFileName = QString::fromStdString(path);
    }
    QCoreApplication::processEvents();

    QElapsedTimer sinceTick;
    sinceTick.start();
    qint64 worst = 0;
    QTimer ticker;
    ticker.setInterval(5);
    QObject::connect(&ticker, &QTimer::timeout, [&] { worst = std::max(worst, sinceTick.restart()); });
    ticker.start();

    RunOptions o;
    o.SqlText = sql;
    o.BindSQLiteByType = bindSQLiteByType;
    QElapsedTimer run;
    run.start();
    QPointer<MuliThread> t = new MuliThread(window, window, o, "", "", QString::fromStdString(dsn));
    WaitForRun(t);
    g_runMs = static_cast<double>(run.nsecsElapsed()) / 1e6;
    // The first screen of what the run shows.
    window.grab();
    worst = std::max(worst, sinceTick.restart());
    worstStallMs = static_cast<double>(worst);
    window.hEnv = SQL_NULL_HENV;
    window.hDbc = SQL_NULL_HDBC;
    return window.TotalRows;
}

int Child(const std::string& mode, const std::string& dsn, const std::string& file)
{
    QElapsedTimer timer;
    timer.start();
    long long rows = 0;
    double stall = 0;
    if (mode == "a") rows = BareFetch(dsn, false);
    else if (mode == "a2") rows = BareFetch(dsn, true);
    else if (mode == "a3") rows = BareTextToCsv(dsn, file);
    else if (mode == "a3t") std::thread([&] { rows = BareTextToCsv(dsn, file); }).join();
    else if (mode == "b") rows = WindowRun(dsn, Display::File, file, stall);
    else if (mode == "b0") rows = WindowRun(dsn, Display::File, file, stall, Query, true);
    else if (mode == "c") rows = WindowRun(dsn, Display::Grid, file, stall);
    else if (mode == "e") rows = WindowRun(dsn, Display::Text, file, stall);
    std::cout << "rows=" << rows << " ms=" << timer.elapsed() << " runms=" << g_runMs << " peakkb=" << PeakRssKb()
              << " stallms=" << stall
              << std::endl;
    return 0;
}

struct Figures {
    long long rows = 0;
    double ms = 0;
    double runMs = 0;
    double peakKb = 0;
    double stallMs = 0;
};

Figures RunChild(const QString& self, const QString& mode, const QString& dsn, const QString& file)
{
    QProcess p;
    p.start(self, {"--child", mode, dsn, file});
    p.waitForFinished(-1);
    Figures f;
    std::istringstream in(p.readAllStandardOutput().toStdString());
    std::string tok;
    while (in >> tok) {
        auto eq = tok.find('=');
        std::string k = tok.substr(0, eq), v = tok.substr(eq + 1);
        if (k == "rows") f.rows = std::stoll(v);
        if (k == "ms") f.ms = std::stod(v);
        if (k == "runms") f.runMs = std::stod(v);
        if (k == "peakkb") f.peakKb = std::stod(v);
        if (k == "stallms") f.stallMs = std::stod(v);
    }
    if (p.exitCode() != 0) std::cerr << p.readAllStandardError().toStdString();
    return f;
}

Figures RunIsql(const QString& dsn, const QString& file)
{
    QElapsedTimer timer;
    timer.start();
    QProcess p;
    p.setStandardOutputFile(file);
    p.start("isql", {"-b", "-d,", dsn});
    p.write(QByteArray(Query) + "\n");
    p.closeWriteChannel();
    p.waitForFinished(-1);
    Figures f;
    f.ms = static_cast<double>(timer.elapsed());
    return f;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Every figure the median of three runs, each taken by itself.
template <typename Measure>
Figures MedianOfThree(Measure measure)
{
    std::vector<Figures> runs{measure(), measure(), measure()};
    auto median = [&](double Figures::*field) {
        std::vector<double> v;
        for (const Figures& f : runs) v.push_back(f.*field);
        return Median(v);
    };
    Figures m;
    m.rows = runs[0].rows;
    m.ms = median(&Figures::ms);
    m.peakKb = median(&Figures::peakKb);
    m.stallMs = median(&Figures::stallMs);
    return m;
}

// Rounds of the given runs one after another, so that the drift of a shared machine falls on all
// of them alike; each figure the median of its rounds.
std::vector<Figures> Interleaved(int rounds, const std::vector<std::function<Figures()>>& runs)
{
    std::vector<std::vector<double>> ms(runs.size()), runMs(runs.size());
    std::vector<Figures> result(runs.size());
    for (int r = 0; r < rounds; ++r)
        for (std::size_t k = 0; k < runs.size(); ++k) {
            Figures f = runs[k]();
            ms[k].push_back(f.ms);
            runMs[k].push_back(f.runMs);
            result[k].rows = f.rows;
        }
    for (std::size_t k = 0; k < runs.size(); ++k) {
        result[k].ms = Median(ms[k]);
        result[k].runMs = Median(runMs[k]);
    }
    return result;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 4 && std::string(argv[1]) == "--child") {
        QApplication app(argc, argv);
        return Child(argv[2], argv[3], argc >= 5 ? argv[4] : "");
    }
    QCoreApplication app(argc, argv);
    const QString self = QCoreApplication::applicationFilePath();
    const QString dir = argc >= 2 ? argv[1] : "/tmp";
    struct Source {
        const char* dsn;
        const char* settings;
    };
    for (Source s : {Source{"BenchSQLite", "SQLite3 driver, its defaults (the whole result read at execution)"},
                     Source{"BenchSQLiteStep", "SQLite3 driver, streaming (StepAPI=1)"},
                     Source{"BenchPG", "PostgreSQL ANSI driver, its defaults (the whole result read at execution)"},
                     Source{"BenchPGCursor", "PostgreSQL ANSI driver, streaming (UseDeclareFetch=1, Fetch=10000)"}}) {
        const QString dsn = s.dsn;
        const QString fileB = dir + "/" + dsn + "-run.csv", fileD = dir + "/" + dsn + "-isql.csv";
        auto child = [&](const char* mode, const QString& file = {}) {
            return MedianOfThree([&] { return RunChild(self, mode, dsn, file); });
        };
        const Figures a = child("a"), a2 = child("a2"), b = child("b", fileB), c = child("c"), e = child("e");
        const Figures d = MedianOfThree([&] { return RunIsql(dsn, fileD); });
        const double textBytes = static_cast<double>(QFileInfo(fileB).size());
        auto rate = [&](const Figures& f) { return f.ms > 0 ? static_cast<double>(a.rows) / (f.ms / 1000.0) : 0.0; };
        auto line = [&](const char* what, const Figures& f, bool ownProcess) {
            std::printf("  %-52s %8.0f ms %10.0f rows/s", what, f.ms, rate(f));
            if (ownProcess) std::printf("  peak %6.0f MB", f.peakKb / 1024);
            if (f.stallMs > 0) std::printf("  worst UI stall %4.0f ms", f.stallMs);
            std::printf("\n");
        };
        std::printf("\n%s: %s\n  %lld rows, result as text %.1f MB; each figure the median of 3 runs\n", s.dsn,
                    s.settings, a.rows, textBytes / 1e6);
        line("(a)  bare fetch loop, columns bound as the run binds", a, true);
        line("(a2) bare fetch loop, every column bound as text", a2, true);
        line("(b)  save-to-file run into a query window", b, true);
        line("(c)  grid run: end of the run + first paint of grid", c, true);
        line("(e)  text run: end of the run + first paint of text", e, true);
        line("(d)  isql -b -d,", d, false);
        std::printf("  b/a %.2f   b/a2 %.2f   b/d %.2f   time c/b %.2f   time e/b %.2f   rows kept: b %lld, c %lld, e %lld\n",
                    rate(b) / rate(a), rate(b) / rate(a2), rate(b) / rate(d), c.ms / b.ms, e.ms / b.ms, b.rows, c.rows,
                    e.rows);
        // The file run has the same window and driver and keeps no rows: what the display holds is
        // the peak above it.
        std::printf("  peak memory of the rows shown, over (b): grid %.1f MB = %.2f x the text, "
                    "text %.1f MB = %.2f x the text\n",
                    (c.peakKb - b.peakKb) / 1024.0, (c.peakKb - b.peakKb) * 1024.0 / textBytes,
                    (e.peakKb - b.peakKb) / 1024.0, (e.peakKb - b.peakKb) * 1024.0 / textBytes);
        if (dsn.startsWith("BenchSQLite")) {
            const QString fileB0 = dir + "/" + dsn + "-bytype.csv", fileA3 = dir + "/" + dsn + "-bare.csv";
            const std::vector<Figures> f = Interleaved(
                5, {[&] { return RunChild(self, "b", dsn, fileB); }, [&] { return RunChild(self, "b0", dsn, fileB0); },
                    [&] { return RunChild(self, "a3", dsn, fileA3); }, [&] { return RunChild(self, "a3t", dsn, fileA3); }});
            std::printf("  interleaved, medians of 5 rounds (process; the run alone, from its execution to its end):\n");
            auto runLine = [&](const char* what, const Figures& g) {
                std::printf("  %-52s %8.0f ms %8.0f ms run\n", what, g.ms, g.runMs);
            };
            runLine("(b)  save-to-file run, values read as text", f[0]);
            runLine("(b0) save-to-file run, columns bound by type", f[1]);
            runLine("(a3) bare loop, every column as text, CSV file", f[2]);
            runLine("(a3t) the same loop on a thread of its own", f[3]);
            std::printf("  time b/b0 %.2f (run %.2f)   time b/a3 %.2f (run %.2f)   time b/a3t %.2f (run %.2f)\n",
                        f[0].ms / f[1].ms, f[0].runMs / f[1].runMs, f[0].ms / f[2].ms, f[0].runMs / f[2].runMs,
                        f[0].ms / f[3].ms, f[0].runMs / f[3].runMs);
        }
    }

    // Batches of short statements: batch_bench, through the window's pages and beside isql.
    return 0;
}
