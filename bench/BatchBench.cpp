// Measures runs of many short statements in a real query window, side by side in one run, under
// a real display (run it under xvfb-run with QT_QPA_PLATFORM=xcb):
//   text:  N and 2N x "select 1;" in text display, beside isql -b running the same statements;
//   grid:  N and 2N x "select i as a;" in grid display (one result page each), then the next run
//          in the same window, which first clears those pages;
//   find:  a find on the messages page of L and 2L lines, the match at the end, until the match is
//          selected; beside the same find of an earlier build when BATCH_FIND_REFERENCE names its
//          batch_bench;
//   line:  scroll steps on the messages page over a line of C and 2C characters.
// Each run is a process of its own; the runs of all kinds are interleaved, REPEAT times (3), and
// every figure is the median. The stall is the longest gap between the ticks of a 5 ms timer on
// the user-interface thread, from the run's start until the run has ended and the window is idle
// (nothing painted or deleted for 200 ms). Every ratio is ours / the reference. BATCH_KINDS
// (e.g. "find,line" or "isql,grid") runs only the kinds it names.
#include "BenchWindow.h"
#include "MuliThread.h"
#include "ODBCIntf.h"
#include "ResultGrid.h"
#include "ResultPageControl.h"
#include "TFMain.h"

#include "FindReplaceController.h"
#include "FindReplaceDialog.h"
#include "OstrelLibrary.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QProcess>
#include <QScrollBar>
#include <QTabWidget>
#include <QTimer>
#include <QWheelEvent>

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The longest gap between ticks of a 5 ms timer on this thread, and the time of the last paint or
// deletion the window did (events seen by an application-wide filter).
class StallMeter : public QObject {
public:
    StallMeter()
    {
        ticker_.setInterval(5);
        QObject::connect(&ticker_, &QTimer::timeout, this, [this] { worst_ = std::max(worst_, sinceTick_.restart()); });
        qApp->installEventFilter(this);
    }
    void Start()
    {
        worst_ = 0;
        sinceTick_.start();
        sinceWork_.start();
        ticker_.start();
    }
    // Serves events until nothing was painted or deleted for quietMs; returns the worst stall.
    double WaitIdle(int quietMs = 200)
    {
        while (sinceWork_.elapsed() < quietMs) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        worst_ = std::max(worst_, sinceTick_.restart());
        ticker_.stop();
        return static_cast<double>(worst_);
    }
protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::Paint:
        case QEvent::UpdateRequest:
        case QEvent::DeferredDelete:
        case QEvent::ChildRemoved:
        case QEvent::MetaCall: sinceWork_.restart(); break;
        default: break;
        }
        return false;
    }

private:
    QTimer ticker_;
    QElapsedTimer sinceTick_, sinceWork_;
    qint64 worst_ = 0;
};

QString Statements(const char* format, int count)
{
    QString sql;
    const QString statement = QString::fromLatin1(format);
    const bool numbered = statement.contains(QLatin1String("%1"));
    for (int i = 0; i < count; ++i) sql += numbered ? statement.arg(i) : statement;
    return sql;
}

using Figures = std::map<std::string, double>;

void Print(const Figures& f)
{
    for (const auto& [k, v] : f) std::cout << k << "=" << v << " ";
    std::cout << std::endl;
}

// A run into a window to its end and the window idle: ms (to the run's end), idlems, stallms.
void TimedRun(BenchWindow& b, StallMeter& meter, const QString& sql, Figures& f, const std::string& prefix)
{
    QElapsedTimer total;
    total.start();
    meter.Start();
    f[prefix + "ms"] = b.Run(sql);
    f[prefix + "stallms"] = meter.WaitIdle();
    f[prefix + "idlems"] = static_cast<double>(total.elapsed()) - 200;
}

int Child(const std::string& mode, const std::string& dsn, int count)
{
    StallMeter meter;
    Figures f;
    if (mode == "text" || mode == "grid") {
        BenchWindow b(QString::fromStdString(dsn), 1000, 700);
        if (!b.ok) {
            std::cerr << "cannot connect to " << dsn << "\n";
            std::exit(2);
        }
        if (mode == "text") b.w.menu_run_display_txtClick();
        TimedRun(b, meter, mode == "text" ? Statements("select 1;", count) : Statements("select %1 as a;", count), f, "");
        f["pages"] = b.w.PageControl_result->count();
        if (mode == "grid") {
            // The next run in the same window: its pages go first.
            TimedRun(b, meter, QStringLiteral("select 1 as a;"), f, "next");
            f["nextpages"] = b.w.PageControl_result->count();
        }
    } else if (mode == "find") {
        OstrelLibrary::Load(QString::fromLocal8Bit(qgetenv("OSTREL_DIR")));
        TFMain w;
        w.resize(1000, 700);
        w.show();
        w.PageControl_result->show();
        QStringList lines;
        for (int i = 0; i < count; ++i) lines << QStringLiteral("（所影响的行数为 %1 行）").arg(i);
        lines << QStringLiteral("needle");
        w.RichEdit_result->appendPlainText(lines.join(QLatin1Char('\n')));
        QCoreApplication::processEvents();
        w.RichEdit_result->SetSelection(0, 0);
        w.FindDialog1->SetFindText(QStringLiteral("needle"));
        meter.Start();
        QElapsedTimer t;
        t.start();
        w.FindDialog1Find();
        // A long find goes on between events.
        if (auto* find = w.findChild<FindReplaceController*>())
            while (find->MessagesFindRunning()) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        f["ms"] = static_cast<double>(t.nsecsElapsed()) / 1e6;
        f["found"] = w.RichEdit_result->SelectedText() == QStringLiteral("needle");
        f["stallms"] = meter.WaitIdle();
    } else if (mode == "line") {
        TFMain w;
        w.resize(1000, 700);
        w.show();
        w.PageControl_result->show();
        QStringList lines;
        for (int i = 0; i < 60; ++i) lines << (i % 3 == 0 ? QString::number(i).repeated(count / 2 + 1).left(count) : QStringLiteral("short"));
        w.RichEdit_result->appendPlainText(lines.join(QLatin1Char('\n')));
        meter.WaitIdle(100);
        QScrollBar* v = w.RichEdit_result->verticalScrollBar();
        QScrollBar* h = w.RichEdit_result->horizontalScrollBar();
        v->setValue(0);
        meter.WaitIdle(100);
        constexpr int Steps = 20;
        double total = 0, worst = 0;
        for (int i = 0; i < 2 * Steps; ++i) {
            // A step down or right, painted at once; the stall is the slowest step.
            QElapsedTimer t;
            t.start();
            (i % 2 ? h : v)->triggerAction(QAbstractSlider::SliderSingleStepAdd);
            w.RichEdit_result->viewport()->repaint();
            const double ms = static_cast<double>(t.nsecsElapsed()) / 1e6;
            total += ms;
            worst = std::max(worst, ms);
        }
        f["ms"] = total / (2 * Steps);
        f["stallms"] = worst;
    }
    Print(f);
    return 0;
}

Figures RunChild(const QString& self, const QString& mode, const QString& dsn, int count)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(self, {"--child", mode, dsn, QString::number(count)});
    p.waitForFinished(-1);
    Figures f;
    std::istringstream in(p.readAllStandardOutput().toStdString());
    std::string tok;
    while (in >> tok) {
        const auto eq = tok.find('=');
        if (eq != std::string::npos) f[tok.substr(0, eq)] = std::stod(tok.substr(eq + 1));
    }
    if (p.exitCode() != 0) std::cerr << mode.toStdString() << " " << dsn.toStdString() << " failed\n";
    return f;
}

Figures RunIsql(const QString& dsn, int count)
{
    QElapsedTimer timer;
    timer.start();
    QProcess p;
    p.setStandardOutputFile(QProcess::nullDevice());
    p.start("isql", {"-b", dsn});
    p.write(Statements("select 1;\n", count).toLatin1());
    p.closeWriteChannel();
    p.waitForFinished(-1);
    return {{"ms", static_cast<double>(timer.elapsed())}};
}

double Median(std::vector<double> v)
{
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

int EnvInt(const char* name, int fallback)
{
    const QByteArray v = qgetenv(name);
    return v.isEmpty() ? fallback : v.toInt();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 5 && std::string(argv[1]) == "--child") {
        QApplication app(argc, argv);
        return Child(argv[2], argv[3], std::stoi(argv[4]));
    }
    QCoreApplication app(argc, argv);
    const QString self = QCoreApplication::applicationFilePath();
    const int n = EnvInt("BATCH_N", 10000), lines = EnvInt("BATCH_LINES", 2500000), chars = EnvInt("BATCH_CHARS", 50000);
    const int repeat = EnvInt("REPEAT", 3);
    const QString reference = QString::fromLocal8Bit(qgetenv("BATCH_FIND_REFERENCE"));
    const QStringList kinds = QString::fromLocal8Bit(qgetenv("BATCH_KINDS").isEmpty() ? "text,isql,grid,find,line"
                                                                                      : qgetenv("BATCH_KINDS"))
                                  .split(QLatin1Char(','));
    const QStringList dsns = QString::fromLocal8Bit(qgetenv("BATCH_DSNS").isEmpty() ? "BenchSQLite,BenchSQLiteStep,BenchPG,BenchPGCursor"
                                                                                      : qgetenv("BATCH_DSNS"))
                                 .split(QLatin1Char(','));

    // One key per measurement; every repetition goes once over all of them.
    struct Case {
        QString Key, Mode, Dsn;
        int Count;
        QString Program;
    };
    // BATCH_BEFORE names an earlier build of this bench: its text and grid runs go beside ours.
    const QString before = QString::fromLocal8Bit(qgetenv("BATCH_BEFORE"));
    const bool grids = kinds.contains("grid");
    std::vector<Case> cases;
    for (const QString& dsn : dsns)
        for (int k : {1, 2}) {
            if (kinds.contains("text")) cases.push_back({QString("text %1 %2").arg(dsn).arg(k), "text", dsn, k * n, self});
            if (kinds.contains("text") && !before.isEmpty())
                cases.push_back({QString("before text %1 %2").arg(dsn).arg(k), "text", dsn, k * n, before});
            if (kinds.contains("isql")) cases.push_back({QString("isql %1 %2").arg(dsn).arg(k), "isql", dsn, k * n, self});
            if (kinds.contains("grid")) cases.push_back({QString("grid %1 %2").arg(dsn).arg(k), "grid", dsn, k * n, self});
            if (kinds.contains("grid") && !before.isEmpty())
                cases.push_back({QString("before grid %1 %2").arg(dsn).arg(k), "grid", dsn, k * n, before});
        }
    for (int k : {1, 2}) {
        if (kinds.contains("find")) {
            cases.push_back({QString("find %1").arg(k), "find", "", k * lines, self});
            if (!reference.isEmpty()) cases.push_back({QString("findref %1").arg(k), "find", "", k * lines, reference});
        }
        if (kinds.contains("line")) cases.push_back({QString("line %1").arg(k), "line", "", k * chars, self});
    }
    std::map<QString, std::vector<Figures>> runs;
    for (int r = 0; r < repeat; ++r)
        for (const Case& c : cases)
            runs[c.Key].push_back(c.Mode == "isql" ? RunIsql(c.Dsn, c.Count) : RunChild(c.Program, c.Mode, c.Dsn, c.Count));
    auto m = [&](const QString& key, const char* field) {
        std::vector<double> v;
        for (const Figures& f : runs[key]) {
            const auto it = f.find(field);
            if (it != f.end()) v.push_back(it->second);
        }
        return Median(v);
    };

    std::printf("Short statements in a query window, under a display; medians of %d interleaved runs; "
                "stall: the longest the window did not answer, to the run's end and the window idle\n", repeat);
    for (const QString& dsn : kinds.contains("text") || kinds.contains("grid") ? dsns : QStringList()) {
        const QByteArray d = dsn.toLatin1();
        std::printf("\n%s\n", d.constData());
        for (int k : {1, 2}) {
            if (!kinds.contains("text")) break;
            const QString t = QString("text %1 %2").arg(dsn).arg(k), i = QString("isql %1 %2").arg(dsn).arg(k);
            std::printf("  text display %6d x \"select 1;\"   ours %7.0f ms (%.3f ms each, stall %4.0f ms)   isql -b %6.0f ms"
                        "   ours/isql %5.2f\n",
                        k * n, m(t, "ms"), m(t, "ms") / (k * n), m(t, "stallms"), m(i, "ms"), m(t, "ms") / m(i, "ms"));
        }
        for (int k : {1, 2}) {
            if (!grids) break;
            const QString g = QString("grid %1 %2").arg(dsn).arg(k);
            const QString i = QString("isql %1 %2").arg(dsn).arg(k);
            std::printf("  grid display %6d x \"select i as a;\" %7.0f ms (%.3f ms each, stall %4.0f ms, %5.0f pages)"
                        "   ours/isql %6.1f   next run %5.0f ms (stall %4.0f ms, %1.0f pages left)\n",
                        k * n, m(g, "ms"), m(g, "ms") / (k * n), m(g, "stallms"), m(g, "pages"), m(g, "ms") / m(i, "ms"),
                        m(g, "nextms"), m(g, "nextstallms"), m(g, "nextpages") - 1);
        }
        if (!before.isEmpty()) {
            for (int k : {1, 2}) {
                const QString t = QString("before text %1 %2").arg(dsn).arg(k), i = QString("isql %1 %2").arg(dsn).arg(k);
                std::printf("  before: text %6d x \"select 1;\"   %7.0f ms (%.3f ms each, stall %4.0f ms)   ours/isql %5.2f"
                            "   now/before %5.2f\n",
                            k * n, m(t, "ms"), m(t, "ms") / (k * n), m(t, "stallms"), m(t, "ms") / m(i, "ms"),
                            m(QString("text %1 %2").arg(dsn).arg(k), "ms") / m(t, "ms"));
            }
            for (int k : {1, 2}) {
                if (!grids) break;
                const QString g = QString("before grid %1 %2").arg(dsn).arg(k);
                std::printf("  before: grid %6d x \"select i as a;\" %7.0f ms (%.3f ms each, stall %4.0f ms)   now/before %5.2f\n",
                            k * n, m(g, "ms"), m(g, "ms") / (k * n), m(g, "stallms"),
                            m(QString("grid %1 %2").arg(dsn).arg(k), "ms") / m(g, "ms"));
            }
            std::printf("  before: ratios 2N/N: text %.2f   grid %.2f\n",
                        m(QString("before text %1 2").arg(dsn), "ms") / m(QString("before text %1 1").arg(dsn), "ms"),
                        m(QString("before grid %1 2").arg(dsn), "ms") / m(QString("before grid %1 1").arg(dsn), "ms"));
        }
        const QString t1 = QString("text %1 1").arg(dsn), t2 = QString("text %1 2").arg(dsn);
        const QString g1 = QString("grid %1 1").arg(dsn), g2 = QString("grid %1 2").arg(dsn);
        std::printf("  ratios 2N/N: text %.2f   isql %.2f   grid %.2f   next run after the grid run %.2f\n",
                    m(t2, "ms") / m(t1, "ms"), m(QString("isql %1 2").arg(dsn), "ms") / m(QString("isql %1 1").arg(dsn), "ms"),
                    m(g2, "ms") / m(g1, "ms"), m(g2, "nextms") / std::max(1.0, m(g1, "nextms")));
    }
    if (!kinds.contains("find") && !kinds.contains("line")) return 0;
    std::printf("\nMessages page\n");
    for (int k : kinds.contains("find") && kinds.contains("line") ? std::vector<int>{1, 2} : std::vector<int>{}) {
        const QString f = QString("find %1").arg(k), l = QString("line %1").arg(k);
        std::printf("  find over %8d lines, match at the end %7.1f ms (stall %4.0f ms%s)   scroll step over lines of %6d "
                    "characters %6.1f ms (stall %4.0f ms)\n",
                    k * lines, m(f, "ms"), m(f, "stallms"), m(f, "found") ? "" : ", NOT FOUND", k * chars, m(l, "ms"),
                    m(l, "stallms"));
    }
    if (kinds.contains("find") && kinds.contains("line"))
        std::printf("  ratios 2N/N: find %.2f   scroll step %.2f\n", m("find 2", "ms") / m("find 1", "ms"),
                    m("line 2", "ms") / m("line 1", "ms"));
    else
        for (int k : {1, 2}) {
            const QString f = QString("find %1").arg(k), l = QString("line %1").arg(k);
            if (kinds.contains("find"))
                std::printf("  find over %8d lines, match at the end %7.1f ms (stall %4.0f ms%s)\n", k * lines,
                            m(f, "ms"), m(f, "stallms"), m(f, "found") ? "" : ", NOT FOUND");
            if (kinds.contains("line"))
                std::printf("  scroll step over lines of %6d characters %6.1f ms (stall %4.0f ms)\n", k * chars,
                            m(l, "ms"), m(l, "stallms"));
        }
    if (!reference.isEmpty() && kinds.contains("find")) {
        std::printf("  the same find in the reference build (%s)\n", reference.toLocal8Bit().constData());
        for (int k : {1, 2}) {
            const QString f = QString("find %1").arg(k), r = QString("findref %1").arg(k);
            std::printf("  find over %8d lines: ours %7.1f ms (stall %4.0f ms)   reference %7.1f ms (stall %4.0f ms)"
                        "   ours/reference: time %.2f, stall %.2f\n",
                        k * lines, m(f, "ms"), m(f, "stallms"), m(r, "ms"), m(r, "stallms"), m(f, "ms") / m(r, "ms"),
                        m(f, "stallms") / m(r, "stallms"));
        }
    }
    return 0;
}
