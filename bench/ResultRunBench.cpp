// Measures a run of a large result side by side, each figure the median of three interleaved
// rounds, each run in a process of its own (so that its peak memory is its own):
//   (a)  a bare fetch loop over columns bound as the run binds them;
//   (a2) the same loop with every column bound as text, the limit of a tool that shows text;
//   (b)  a save-to-file run into a query window (the same window, keeping no rows);
//   (c)  a grid run into a query window: the end of the run plus the first paint of the grid;
//   (e)  a text run into a query window: the end of the run plus the first paint of the text;
//   (e0) the same with the memory the driver freed with the result left unmerged, as before;
//   (d)  isql writing the same query to a file.
// On SQLite, interleaved rounds (medians of 5) compare the save-to-file run (b) with the same run
// binding the columns by their types as for every other driver (b0, the binding before SQLite's
// values were read as text), and with a bare loop that binds every column as text and writes
// the rows as CSV (a3), also on a thread of its own as the run fetches (a3t): once a process has
// a second thread, every mutex of the SQLite library costs an atomic operation. When
// RESULT_BENCH_REFERENCE names the same bench built from another commit, its save-to-file run
// (bref) joins those rounds, and its file is compared with ours byte for byte.
// RESULT_BENCH_ROUNDS sets the number of those rounds; RESULT_BENCH_FILE_ONLY=1 runs only them.
// The worst user-interface stall is the longest gap between the ticks of a 5 ms timer on the
// user-interface thread, under a real display, from the run's start through its first paint and
// the window's close until the worker has gone and the window's thread is idle.
#include "MuliThread.h"
#include "ODBCIntf.h"
#include "ResultColumns.h"

#include "ResultGrid.h"
#include "TFMain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
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
// The wait for the window to become idle after a window run, which no time figure counts.
double g_idleWaitMs = 0;

// A number of this process's status file, by its label ("VmHWM:").
long StatusNumber(const std::string& label)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(label, 0) == 0) return std::stol(line.substr(label.size()));
    return 0;
}

long PeakRssKb() { return StatusNumber("VmHWM:"); }

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

// The threads of this process.
long ThreadCount() { return StatusNumber("Threads:"); }

// Serves the event loop until the run has ended, its worker thread gone, and the window is idle:
// 200 ms in a row in which the 5 ms timer ticked without a gap over 20 ms (at most 10 s).
void WaitUntilIdle(const qint64& lastGap, QTimer& ticker, long threadsBefore)
{
    QEventLoop loop;
    QElapsedTimer quiet, all;
    quiet.start();
    all.start();
    QObject::connect(&ticker, &QTimer::timeout, &loop, [&] {
        if (lastGap > 20 || ThreadCount() > threadsBefore) quiet.restart();
        if (quiet.elapsed() >= 200 || all.elapsed() >= 10000) loop.quit();
    });
    loop.exec();
}

// (b), (c), (e): a run into a real query window in the given display mode, its first paint, and
// the window closed as soon as the run has ended; a timer on the user-interface thread measures the
// longest gap between its ticks until the worker has gone and the window's thread is idle.
enum class Display { File, Grid, Text };

struct WindowRunOptions {
    bool BindSQLiteByType = false;
    bool LeaveFreedResultUnmerged = false;
};

long long WindowRun(const std::string& dsn, Display mode, const std::string& path, double& worstStallMs,
                    const QString& sql = Query, WindowRunOptions options = {})
{
    Connection conn(dsn);
    auto window = std::make_unique<TFMain>();
    window->hEnv = conn.env;
    window->hDbc = conn.dbc;
    ODBCIntf::GetSupportedFunctions(window->hDbc, window->SupportedFunctions);
    window->StatementSeparator.assign(1, ';');
    window->AutoCommit = 1;
    window->DbmsKind = 20;
    window->resize(1000, 700);
    window->show();
    if (mode == Display::Text) window->menu_run_display_txtClick();
    if (mode == Display::File) {
        window->menu_run_display_FileClick();
        window->ResultFile = std::fopen(path.c_str(), "wb");
        window->ResultFileName = QString::fromStdString(path);
    }
    QCoreApplication::processEvents();
    const long threadsBefore = ThreadCount();

    QElapsedTimer sinceTick;
    sinceTick.start();
    qint64 worst = 0, lastGap = 0;
    QTimer ticker;
    ticker.setInterval(5);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        lastGap = sinceTick.restart();
        worst = std::max(worst, lastGap);
    });
    ticker.start();

    RunOptions o;
    o.SqlText = sql;
    o.BindSQLiteByType = options.BindSQLiteByType;
    o.LeaveFreedResultUnmerged = options.LeaveFreedResultUnmerged;
    QElapsedTimer run;
    run.start();
    QPointer<MuliThread> t = new MuliThread(*window, *window, o, "", "", QString::fromStdString(dsn));
    WaitForRun(t);
    g_runMs = static_cast<double>(run.nsecsElapsed()) / 1e6;
    // The first screen of what the run shows.
    window->grab();
    const long long rows = window->TotalRows;
    QElapsedTimer idle;
    idle.start();
    window->hEnv = SQL_NULL_HENV;
    window->hDbc = SQL_NULL_HDBC;
    window.reset();
    WaitUntilIdle(lastGap, ticker, threadsBefore);
    g_idleWaitMs = static_cast<double>(idle.nsecsElapsed()) / 1e6;
    worstStallMs = static_cast<double>(worst);
    return rows;
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
    else if (mode == "b0") rows = WindowRun(dsn, Display::File, file, stall, Query, {.BindSQLiteByType = true});
    else if (mode == "c") rows = WindowRun(dsn, Display::Grid, file, stall);
    else if (mode == "e") rows = WindowRun(dsn, Display::Text, file, stall);
    else if (mode == "e0") rows = WindowRun(dsn, Display::Text, file, stall, Query, {.LeaveFreedResultUnmerged = true});
    std::cout << "rows=" << rows << " ms=" << static_cast<double>(timer.elapsed()) - g_idleWaitMs << " runms=" << g_runMs << " peakkb=" << PeakRssKb()
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

bool SameBytes(const QString& a, const QString& b)
{
    QFile fa(a), fb(b);
    if (!fa.open(QIODevice::ReadOnly) || !fb.open(QIODevice::ReadOnly) || fa.size() != fb.size()) return false;
    while (!fa.atEnd())
        if (fa.read(1 << 20) != fb.read(1 << 20)) return false;
    return true;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Rounds of the given runs one after another, so that the drift of a shared machine falls on all
// of them alike; each figure the median of its rounds.
std::vector<Figures> Interleaved(int rounds, const std::vector<std::function<Figures()>>& runs)
{
    std::vector<std::vector<Figures>> taken(runs.size());
    for (int r = 0; r < rounds; ++r)
        for (std::size_t k = 0; k < runs.size(); ++k) taken[k].push_back(runs[k]());
    std::vector<Figures> result(runs.size());
    for (std::size_t k = 0; k < runs.size(); ++k) {
        auto median = [&](double Figures::*field) {
            std::vector<double> v;
            for (const Figures& f : taken[k]) v.push_back(f.*field);
            return Median(v);
        };
        result[k].rows = taken[k].front().rows;
        result[k].ms = median(&Figures::ms);
        result[k].runMs = median(&Figures::runMs);
        result[k].peakKb = median(&Figures::peakKb);
        result[k].stallMs = median(&Figures::stallMs);
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
    const QString reference = QString::fromLocal8Bit(qgetenv("RESULT_BENCH_REFERENCE"));
    bool roundsSet = false;
    const int roundsAsked = qEnvironmentVariableIntValue("RESULT_BENCH_ROUNDS", &roundsSet);
    const int fileRounds = roundsSet && roundsAsked > 0 ? roundsAsked : 5;
    const bool fileOnly = qEnvironmentVariableIntValue("RESULT_BENCH_FILE_ONLY") != 0;
    struct Source {
        const char* dsn;
        const char* settings;
    };
    for (Source s : {Source{"BenchSQLite", "SQLite3 driver, its defaults (the whole result read at execution)"},
                     Source{"BenchSQLiteStep", "SQLite3 driver, streaming (StepAPI=1)"},
                     Source{"BenchPG", "PostgreSQL ANSI driver, its defaults (the whole result read at execution)"},
                     Source{"BenchPGCursor", "PostgreSQL ANSI driver, streaming (UseDeclareFetch=1, Fetch=10000)"}}) {
        const QString dsn = s.dsn;
        if (fileOnly && !dsn.startsWith("BenchSQLite")) continue;
        const QString fileB = dir + "/" + dsn + "-run.csv", fileD = dir + "/" + dsn + "-isql.csv";
        auto child = [&](const char* mode, const QString& file = {}) {
            return [=, &self] { return RunChild(self, mode, dsn, file); };
        };
        if (!fileOnly) {
            const std::vector<Figures> f = Interleaved(3, {child("a"), child("a2"), child("b", fileB), child("c"), child("e"),
                                                           child("e0"), [&] { return RunIsql(dsn, fileD); }});
            const Figures &a = f[0], &a2 = f[1], &b = f[2], &c = f[3], &e = f[4], &e0 = f[5], &d = f[6];
            const double textBytes = static_cast<double>(QFileInfo(fileB).size());
            auto rate = [&](const Figures& f) { return f.ms > 0 ? static_cast<double>(a.rows) / (f.ms / 1000.0) : 0.0; };
            auto line = [&](const char* what, const Figures& f, bool ownProcess) {
                std::printf("  %-52s %8.0f ms %10.0f rows/s", what, f.ms, rate(f));
                if (ownProcess) std::printf("  peak %6.0f MB", f.peakKb / 1024);
                if (f.stallMs > 0) std::printf("  worst UI stall %4.0f ms", f.stallMs);
                std::printf("\n");
            };
            std::printf("\n%s: %s\n  %lld rows, result as text %.1f MB; each figure the median of 3 interleaved rounds\n", s.dsn,
                        s.settings, a.rows, textBytes / 1e6);
            line("(a)  bare fetch loop, columns bound as the run binds", a, true);
            line("(a2) bare fetch loop, every column bound as text", a2, true);
            line("(b)  save-to-file run into a query window", b, true);
            line("(c)  grid run: end of the run + first paint of grid", c, true);
            line("(e)  text run: end of the run + first paint of text", e, true);
            line("(e0) the same, the driver's freed result unmerged", e0, true);
            line("(d)  isql -b -d,", d, false);
            std::printf("  time b/a %.2f   b/a2 %.2f   b/d %.2f   c/b %.2f   e/b %.2f   e/e0 %.2f   worst stall e/e0 %.0f/%.0f ms"
                        "   rows kept: b %lld, c %lld, e %lld\n",
                        b.ms / a.ms, b.ms / a2.ms, b.ms / d.ms, c.ms / b.ms, e.ms / b.ms, e.ms / e0.ms, e.stallMs,
                        e0.stallMs, b.rows, c.rows, e.rows);
            // The file run has the same window and driver and keeps no rows: what the display holds is
            // the peak above it.
            std::printf("  peak memory of the rows shown, over (b): grid %.1f MB = %.2f x the text, "
                        "text %.1f MB = %.2f x the text\n",
                        (c.peakKb - b.peakKb) / 1024.0, (c.peakKb - b.peakKb) * 1024.0 / textBytes,
                        (e.peakKb - b.peakKb) / 1024.0, (e.peakKb - b.peakKb) * 1024.0 / textBytes);
        }
        if (dsn.startsWith("BenchSQLite")) {
            const QString fileB0 = dir + "/" + dsn + "-bytype.csv", fileA3 = dir + "/" + dsn + "-bare.csv";
            const QString fileRef = dir + "/" + dsn + "-reference.csv";
            std::vector<std::function<Figures()>> runs{
                [&] { return RunChild(self, "b", dsn, fileB); }, [&] { return RunChild(self, "b0", dsn, fileB0); },
                [&] { return RunChild(self, "a3", dsn, fileA3); }, [&] { return RunChild(self, "a3t", dsn, fileA3); }};
            if (!reference.isEmpty()) runs.push_back([&] { return RunChild(reference, "b", dsn, fileRef); });
            const std::vector<Figures> g = Interleaved(fileRounds, runs);
            if (fileOnly) std::printf("\n%s: %s\n", s.dsn, s.settings);
            std::printf("  interleaved, medians of %d rounds (process; the run alone, from its execution to its end):\n",
                        fileRounds);
            auto runLine = [&](const char* what, const Figures& r) {
                std::printf("  %-52s %8.0f ms %8.0f ms run\n", what, r.ms, r.runMs);
            };
            runLine("(b)  save-to-file run, values read as text", g[0]);
            runLine("(b0) save-to-file run, columns bound by type", g[1]);
            runLine("(a3) bare loop, every column as text, CSV file", g[2]);
            runLine("(a3t) the same loop on a thread of its own", g[3]);
            std::printf("  time b/b0 %.2f (run %.2f)   time b/a3 %.2f (run %.2f)   time b/a3t %.2f (run %.2f)\n",
                        g[0].ms / g[1].ms, g[0].runMs / g[1].runMs, g[0].ms / g[2].ms, g[0].runMs / g[2].runMs,
                        g[0].ms / g[3].ms, g[0].runMs / g[3].runMs);
            if (!reference.isEmpty()) {
                const Figures& r = g[4];
                runLine("(bref) the same run of the reference build", r);
                std::printf("  time bref/a3t %.2f (run %.2f)   time b/bref %.2f (run %.2f)   files %s\n", r.ms / g[3].ms,
                            r.runMs / g[3].runMs, g[0].ms / r.ms, g[0].runMs / r.runMs,
                            SameBytes(fileB, fileRef) ? "byte for byte the same" : "DIFFER");
            }
        }
    }

    // Batches of short statements: batch_bench, through the window's pages and beside isql.
    return 0;
}
