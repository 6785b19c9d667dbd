// Measures a run of a large result side by side: a bare fetch loop, a save-to-file run, a grid
// run up to the moment the grid can show its first screen, and isql writing the same query to a
// file. Each measurement runs in a process of its own so that its peak memory is its own.
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

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

namespace {

const char* Query = "select id, name, d, amount, ts from big";

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

// (a) Reads every row into bound columns and does nothing with them.
long long BareFetch(const std::string& dsn)
{
    Connection c(dsn);
    SQLHSTMT s;
    ODBCIntf::SQLAllocStmt(c.dbc, &s);
    ODBCIntf::SQLExecDirect(s, (SQLCHAR*)Query, SQL_NTS);
    SQLSMALLINT n = 0;
    ODBCIntf::SQLNumResultCols(s, &n);
    std::vector<TColumnDescriptor> cols(static_cast<std::size_t>(n) + 1);
    RenderContext ctx;
    ctx.Kind = 20;
    ctx.MaxFieldLen = 512;
    for (int j = 1; j <= n; ++j) {
        DescribeResultColumn(s, static_cast<SQLUSMALLINT>(j), cols[j], ctx);
        FieldsList_Tesk f;
        BindResultColumn(s, static_cast<SQLUSMALLINT>(j), cols[j], f, ctx);
    }
    long long rows = 0;
    while (ODBCIntf::SQLSucceeded(ODBCIntf::SQLFetch(s), false)) ++rows;
    ODBCIntf::SQLFreeStmt(s, SQL_DROP);
    return rows;
}

// A display that does nothing but what a run needs, for the file run.
class QuietDisplay : public QObject, public RunDisplay {
public:
    QObject* DisplayContext() override { return this; }
    void PrepareForRun() override {}
    void ShowStatementResult(MuliThread&) override {}
    void ShowTransactionNote() override {}
    void ShowRunEnd(MuliThread&, const RunEndTexts&) override {}
    void ShowFileReport(MuliThread&, const QStringList& lines) override { report = lines; }
    QStringList report;
};

class BenchWindow : public QueryWindowState {
public:
    explicit BenchWindow(const std::string& dsn) : conn(dsn)
    {
        hEnv = conn.env;
        hDbc = conn.dbc;
        ODBCIntf::GetSupportedFunctions(hDbc, SupportedFunctions);
        StatementSeparator = ";";
        AutoCommit = 1;
        DbmsKind = 20;
    }
    ~BenchWindow() { hEnv = SQL_NULL_HENV, hDbc = SQL_NULL_HDBC; }
    Connection conn;
};

// Serves the run's hand-offs from an idle event loop, as the program does, until the worker is gone.
void WaitForRun(QueryWindowState&, QPointer<MuliThread>& t)
{
    QEventLoop loop;
    if (!t) return;
    QObject::connect(t.data(), &QObject::destroyed, &loop, &QEventLoop::quit);
    loop.exec();
}

// (b) A save-to-file run.
long long FileRun(const std::string& dsn, const std::string& path)
{
    BenchWindow w(dsn);
    w.DisplayAsText = 1;
    w.DisplayToFile = 1;
    w.ResultFile = std::fopen(path.c_str(), "wb");
    w.ResultFileName = QString::fromStdString(path);
    QuietDisplay display;
    RunOptions o;
    o.SqlText = Query;
    QPointer<MuliThread> t = new MuliThread(w, display, o, "", "", QString::fromStdString(dsn));
    WaitForRun(w, t);
    return w.TotalRows;
}

// (c) A grid run into a real query window, up to the grid's first screen; a timer on the
// user-interface thread measures the longest gap between its ticks.
long long GridRun(const std::string& dsn, double& worstStallMs)
{
    Connection conn(dsn);
    TFMain window;
    window.hEnv = conn.env;
    window.hDbc = conn.dbc;
    ODBCIntf::GetSupportedFunctions(window.hDbc, window.SupportedFunctions);
    window.StatementSeparator = ";";
    window.AutoCommit = 1;
    window.DbmsKind = 20;
    window.resize(1000, 700);
    window.show();
    QCoreApplication::processEvents();

    QElapsedTimer sinceTick;
    sinceTick.start();
    qint64 worst = 0;
    QTimer ticker;
    ticker.setInterval(5);
    QObject::connect(&ticker, &QTimer::timeout, [&] { worst = std::max(worst, sinceTick.restart()); });
    ticker.start();

    RunOptions o;
    o.SqlText = Query;
    QPointer<MuliThread> t = new MuliThread(window, window, o, "", "", QString::fromStdString(dsn));
    WaitForRun(window, t);
    // The first screen: the grid page painted once.
    window.grab();
    worst = std::max(worst, sinceTick.restart());
    worstStallMs = static_cast<double>(worst);
    long long rows = window.ResultGrids.empty() || !window.ResultGrids[0] ? 0 : window.ResultGrids[0]->RowCount() - 1;
    window.hEnv = SQL_NULL_HENV;
    window.hDbc = SQL_NULL_HDBC;
    return rows;
}

int Child(const std::string& mode, const std::string& dsn, const std::string& file)
{
    QElapsedTimer timer;
    timer.start();
    long long rows = 0;
    double stall = 0;
    if (mode == "a") rows = BareFetch(dsn);
    else if (mode == "b") rows = FileRun(dsn, file);
    else if (mode == "c") rows = GridRun(dsn, stall);
    std::cout << "rows=" << rows << " ms=" << timer.elapsed() << " peakkb=" << PeakRssKb() << " stallms=" << stall
              << std::endl;
    return 0;
}

struct Figures {
    long long rows = 0;
    double ms = 0;
    long peakKb = 0;
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
        if (k == "peakkb") f.peakKb = std::stol(v);
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
    for (const QString& dsn : {QString("BenchSQLite"), QString("BenchPG")}) {
        const QString fileB = dir + "/" + dsn + "-run.csv", fileD = dir + "/" + dsn + "-isql.csv";
        Figures a = RunChild(self, "a", dsn, "");
        Figures b = RunChild(self, "b", dsn, fileB);
        Figures c = RunChild(self, "c", dsn, "");
        Figures d = RunIsql(dsn, fileD);
        const double textBytes = static_cast<double>(QFileInfo(fileB).size());
        auto rate = [&](const Figures& f) { return f.ms > 0 ? a.rows / (f.ms / 1000.0) : 0.0; };
        std::printf("\n%s: %lld rows, result as text %.1f MB\n", dsn.toUtf8().constData(), a.rows, textBytes / 1e6);
        std::printf("  (a) bare fetch loop      %8.0f ms  %10.0f rows/s  peak %6ld MB\n", a.ms, rate(a), a.peakKb / 1024);
        std::printf("  (b) save-to-file run     %8.0f ms  %10.0f rows/s  peak %6ld MB\n", b.ms, rate(b), b.peakKb / 1024);
        std::printf("  (c) grid run, 1st screen %8.0f ms  %10.0f rows/s  peak %6ld MB  worst UI stall %.0f ms\n", c.ms,
                    rate(c), c.peakKb / 1024, c.stallMs);
        std::printf("  (d) isql -b -d,          %8.0f ms  %10.0f rows/s\n", d.ms, rate(d));
        std::printf("  b/a %.2f (target >= 0.80)   c/a %.2f   b/d %.2f (target > 1)   time c/b %.2f (target <= 1.5)\n",
                    rate(b) / rate(a), rate(c) / rate(a), rate(b) / rate(d), c.ms / b.ms);
        std::printf("  peak memory of c over a: %.1f MB = %.2f x the result as text (target <= 2.5); rows kept %lld\n",
                    (c.peakKb - a.peakKb) / 1024.0, (c.peakKb - a.peakKb) * 1024.0 / textBytes, c.rows);
    }
    return 0;
}
