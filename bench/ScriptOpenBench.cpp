// Measures opening SQL scripts through the frame's open command (the file dialog answered by the
// test chooser) into a real query window under the offscreen platform: a script of many lines and a
// statement on one line, each at N and 2N, loaded at once as before (every size at once) and in
// slices as now. A 10 ms timer records the longest time the event loop did not answer, from the
// command until the editor holds the text and has painted it, and for a while idle afterwards with
// the caret blinking in the editor.
//
// "history LINES [REFERENCE [ROUNDS]]" measures the editing of a script of LINES and 2 x LINES lines
// once it is open: the stall of putting the finished document into the editor, the cost of one key
// typed, and the stalls of undoing and redoing the open and a key. Each round runs in a process of
// its own, this program's and REFERENCE's (the same bench built from another commit) alternately.
// "history-line BYTES [REFERENCE [ROUNDS]]" measures the same for a statement of BYTES on one line.
#include "BenchScript.h"
#include "KeywordLists.h"
#include "KeywordTables.h"
#include "LongLineDisplay.h"
#include "ScriptedFileChooser.h"
#include "Settings.h"
#include "SqlScriptFile.h"
#include "SqlScriptLoader.h"
#include "TFMain.h"
#include "TFMain_mul.h"

#include <QApplication>
#include <QProcess>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>

#include <algorithm>
#include <map>
#include <tuple>
#include <vector>
#include <cstdio>
#include <malloc.h>
#include <unistd.h>

namespace {

QByteArray Lines(int lines) { return BenchScript(lines, QLatin1StringView("\r\n")).toUtf8(); }

double Ms(qint64 ns) { return static_cast<double>(ns) / 1e6; }

double ResidentMb()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly)) return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0) : 0;
}

// The longest gap between the ticks of a 10 ms timer while it runs.
class StallMeter {
public:
    StallMeter()
    {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            longest_ = std::max(longest_, clock_.nsecsElapsed());
            clock_.restart();
        });
    }
    void Start()
    {
        longest_ = 0;
        clock_.start();
        timer_.start();
    }
    double Stop()
    {
        timer_.stop();
        longest_ = std::max(longest_, clock_.nsecsElapsed());
        return std::max(0.0, Ms(longest_) - 10.0);
    }

private:
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 longest_ = 0;
};

void RunEvents(qint64 forMs)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < forMs) QApplication::processEvents(QEventLoop::AllEvents, 5);
}

struct Figures {
    double Open = 0, OpenStall = 0, IdleStall = 0, Mb = 0, WidestLine = 0, CaretMove = 0, Key = 0;
    bool Whole = false;
};

// A query window of the benches' size, shown with the focus in its editor.
void ShowWindow(TFMain& window)
{
    window.DbmsKind = 2;
    window.resize(1000, 700);
    window.show();
    window.activateWindow();
    window.RichEdit_sql->setFocus();
    QApplication::processEvents();
}

// Opens path into window through the frame's open command, with meter started, until the editor
// holds the text whole and has painted it; the time in ms.
double OpenScript(TFMain_mul& frame, ScriptedFileChooser& chooser, TFMain& window, const QString& path, StallMeter& meter)
{
    const QString title = window.windowTitle();
    chooser.Accept(path);
    meter.Start();
    QElapsedTimer t;
    t.start();
    QTimer::singleShot(0, [&] { frame.OpenSqlScript(window); });
    while (t.elapsed() < 600000 && (window.windowTitle() == title || SqlScriptLoader::Running(window)))
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    window.RichEdit_sql->viewport()->repaint();
    QApplication::processEvents();
    return Ms(t.nsecsElapsed());
}

Figures Open(TFMain_mul& frame, ScriptedFileChooser& chooser, const QString& path, bool sliced,
             qint64 idleMs)
{
    SqlScriptLoader::SlicedFrom = sliced ? qsizetype(1) << 20 : std::numeric_limits<qsizetype>::max();
    LongLineDisplay::LongLine = sliced ? 10000 : std::numeric_limits<int>::max() - 1;
    Figures f;
    // Memory freed by the open before this one goes back to the system first.
    malloc_trim(0);
    const double before = ResidentMb();
    {
        TFMain window;
        ShowWindow(window);
        StallMeter meter;
        f.Open = OpenScript(frame, chooser, window, path, meter);
        f.OpenStall = meter.Stop();
        f.Mb = ResidentMb() - before;
        meter.Start();
        RunEvents(idleMs);
        f.IdleStall = meter.Stop();
        // The caret to the middle of the longest line, shown and painted.
        QPlainTextEdit& editor = *window.RichEdit_sql;
        QTextBlock longest = editor.document()->firstBlock();
        for (QTextBlock b = longest; b.isValid(); b = b.next())
            if (b.length() > longest.length()) longest = b;
        QElapsedTimer move;
        move.start();
        QTextCursor caret = editor.textCursor();
        caret.setPosition(longest.position() + longest.length() / 2);
        editor.setTextCursor(caret);
        editor.ensureCursorVisible();
        editor.viewport()->repaint();
        f.CaretMove = Ms(move.nsecsElapsed());
        // One character typed there, coloured and painted.
        move.restart();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
        QApplication::sendEvent(&editor, &press);
        editor.viewport()->repaint();
        f.Key = Ms(move.nsecsElapsed());
        for (QTextBlock b = window.RichEdit_sql->document()->firstBlock(); b.isValid(); b = b.next())
            if (const QTextLayout* l = b.layout())
                for (int i = 0; i < l->lineCount(); ++i) f.WidestLine = std::max(f.WidestLine, l->lineAt(i).naturalTextWidth());
        QTextCursor typed = editor.textCursor();
        typed.deletePreviousChar();
        const QByteArray shown = window.RichEdit_sql->toPlainText().toUtf8();
        // The text as the program reads the file (a last empty line stays a line).
        f.Whole = shown == SqlScriptFile::Read(path).Text.toUtf8();
        window.RichEdit_sql->document()->setModified(false);
    }
    QApplication::processEvents();
    return f;
}

void Print(const char* what, const Figures& n, const Figures& n2)
{
    std::printf("  %-12s N: open %7.0f ms  stall %7.0f ms  idle stall %5.0f ms  caret move %6.1f ms  key %6.1f ms  +%4.0f MB  widest line %9.0f px%s\n",
                what, n.Open, n.OpenStall, n.IdleStall, n.CaretMove, n.Key, n.Mb, n.WidestLine, n.Whole ? "" : "  TEXT DIFFERS");
    std::printf("  %-12s 2N: open %6.0f ms  stall %7.0f ms  idle stall %5.0f ms  caret move %6.1f ms  key %6.1f ms  +%4.0f MB  widest line %9.0f px%s   2N/N open %.2f\n",
                "", n2.Open, n2.OpenStall, n2.IdleStall, n2.CaretMove, n2.Key, n2.Mb, n2.WidestLine, n2.Whole ? "" : "  TEXT DIFFERS",
                n.Open > 0 ? n2.Open / n.Open : 0);
}

// The editing of an open script, in one process: the figures as one line of "name=value" pairs.
struct EditFigures {
    double HandOver = 0, Open = 0, Resize = 0, KeyMedian = 0, KeyMax = 0;
    double UndoOpen = 0, UndoOpenStall = 0, RedoOpen = 0, RedoOpenStall = 0, UndoKey = 0, UndoKeyStall = 0;
    bool Same = true;
};

// Until no load runs in the window any more, then painted; the longest stall and the time.
std::pair<double, double> Settle(TFMain& window, StallMeter& meter, QElapsedTimer& t)
{
    while (t.elapsed() < 600000 && SqlScriptLoader::Running(window)) QApplication::processEvents(QEventLoop::AllEvents, 5);
    window.RichEdit_sql->viewport()->repaint();
    QApplication::processEvents();
    const double time = Ms(t.nsecsElapsed());
    return {meter.Stop(), time};
}

// An undo or redo by its key in the editor, until the editor shows the text it puts back.
std::pair<double, double> HistoryStep(TFMain& window, bool undo)
{
    StallMeter meter;
    meter.Start();
    QElapsedTimer t;
    t.start();
    QTimer::singleShot(0, [&] {
        QKeyEvent key(QEvent::KeyPress, undo ? Qt::Key_Z : Qt::Key_Y, Qt::ControlModifier);
        QApplication::sendEvent(window.RichEdit_sql, &key);
    });
    QApplication::processEvents();
    return Settle(window, meter, t);
}

QString Shown(const TFMain& window) { return window.RichEdit_sql->toPlainText(); }

EditFigures Edit(TFMain_mul& frame, ScriptedFileChooser& chooser, const QString& path, int keys)
{
    EditFigures f;
    TFMain window;
    ShowWindow(window);
    {
        StallMeter meter;
        f.Open = OpenScript(frame, chooser, window, path, meter);
        // The slices take about 20 ms each: the longest stall is the hand-over.
        f.HandOver = meter.Stop();
    }
    RunEvents(300);
    {
        // The window made wider once the script is open.
        StallMeter meter;
        meter.Start();
        window.resize(1100, 700);
        RunEvents(300);
        f.Resize = meter.Stop();
    }
    const QString opened = Shown(window);
    std::tie(f.UndoOpenStall, f.UndoOpen) = HistoryStep(window, true);
    f.Same = f.Same && Shown(window).isEmpty();
    RunEvents(300);
    std::tie(f.RedoOpenStall, f.RedoOpen) = HistoryStep(window, false);
    f.Same = f.Same && Shown(window) == opened;
    RunEvents(300);

    // Keys typed at the starts of lines spread over the text, each coloured and painted.
    QPlainTextEdit& editor = *window.RichEdit_sql;
    std::vector<double> times;
    QString beforeLast;
    for (int i = 0; i < keys; ++i) {
        const QTextBlock line = editor.document()->findBlockByNumber(editor.document()->blockCount() * i / keys);
        QTextCursor caret = editor.textCursor();
        caret.setPosition(line.position());
        editor.setTextCursor(caret);
        editor.ensureCursorVisible();
        editor.viewport()->repaint();
        QApplication::processEvents();
        if (i == keys - 1) beforeLast = Shown(window);
        QElapsedTimer t;
        t.start();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
        QApplication::sendEvent(&editor, &press);
        editor.viewport()->repaint();
        times.push_back(Ms(t.nsecsElapsed()));
        QApplication::processEvents();
    }
    std::sort(times.begin(), times.end());
    f.KeyMedian = times[times.size() / 2];
    f.KeyMax = times.back();
    f.Same = f.Same && Shown(window).size() == opened.size() + keys;
    std::tie(f.UndoKeyStall, f.UndoKey) = HistoryStep(window, true);
    f.Same = f.Same && Shown(window) == beforeLast;
    window.RichEdit_sql->document()->setModified(false);
    return f;
}

const char* const EditNames[] = {"handover", "open", "resizestall", "key", "keymax", "undoopen", "undoopenstall",
                                 "redoopen", "redoopenstall", "undokey", "undokeystall"};

std::vector<double> Values(const EditFigures& f)
{
    return {f.HandOver, f.Open, f.Resize, f.KeyMedian, f.KeyMax, f.UndoOpen, f.UndoOpenStall, f.RedoOpen, f.RedoOpenStall, f.UndoKey, f.UndoKeyStall};
}

double Median(std::vector<double> v)
{
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

// One round in a process of its own: program, "history-one", the script's path, the keys to type;
// its figures.
std::map<QString, double> EditRound(const QString& program, const QString& path, int keys)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(program, {QStringLiteral("history-one"), path, QString::number(keys)});
    p.waitForFinished(-1);
    std::map<QString, double> figures;
    for (const QByteArray& line : p.readAllStandardOutput().split('\n'))
        if (line.startsWith("FIGURES "))
            for (const QByteArray& pair : line.mid(8).split(' ')) {
                const QList<QByteArray> kv = pair.split('=');
                if (kv.size() == 2) figures[QString::fromLatin1(kv[0])] = kv[1].toDouble();
            }
    return figures;
}

// "history LINES ..." edits a script of many lines, "history-line BYTES ..." a statement on one line.
int History(int argc, char** argv, const QString& self)
{
    const bool oneLine = QByteArray(argv[1]) == "history-line";
    const int lines = argc > 2 ? std::atoi(argv[2]) : oneLine ? 5'000'000 : 242028;
    // Every key in a long line lays the line out again: a few show it.
    const int keys = oneLine ? 3 : 15;
    const QString reference = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString();
    const int rounds = argc > 4 ? std::atoi(argv[4]) : 3;
    QTemporaryDir dir;
    QString paths[2];
    double mb[2];
    for (int size = 0; size < 2; ++size) {
        const QByteArray bytes = oneLine ? BenchOneLine(qsizetype(lines) * (size + 1)) : Lines(lines * (size + 1));
        mb[size] = static_cast<double>(bytes.size()) / 1e6;
        paths[size] = dir.filePath(QStringLiteral("h%1.sql").arg(size));
        QFile f(paths[size]);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
    }
    const QString programs[2] = {self, reference};
    const int ways = reference.isEmpty() ? 1 : 2;
    // [way][size][figure] -> one value per round
    std::map<QString, std::vector<double>> runs[2][2];
    for (int round = 0; round < rounds; ++round)
        for (int size = 0; size < 2; ++size)
            for (int w = 0; w < ways; ++w) {
                // The reference goes first in odd rounds: drift does not favour one side.
                const int way = round % 2 ? ways - 1 - w : w;
                for (const auto& [name, value] : EditRound(programs[way], paths[size], keys)) runs[way][size][name].push_back(value);
            }
    if (oneLine)
        std::printf("editing an open statement on one line: N = %.1f MB, 2N = %.1f MB; medians of %d rounds, ms\n", mb[0], mb[1], rounds);
    else
        std::printf("editing an open script: N = %d lines (%.1f MB), 2N = %d lines (%.1f MB); medians of %d rounds, ms\n", lines,
                    mb[0], 2 * lines, mb[1], rounds);
    std::printf("  %-14s", "");
    for (int size = 0; size < 2; ++size)
        std::printf(ways == 2 ? "  %4s ours  reference  ours/ref" : "  %4s ours", size ? "2N" : "N");
    std::printf("\n");
    for (const char* name : EditNames) {
        std::printf("  %-14s", name);
        for (int size = 0; size < 2; ++size) {
            const double ours = Median(runs[0][size][QString::fromLatin1(name)]);
            if (ways == 1) {
                std::printf("  %9.1f", ours);
                continue;
            }
            const double ref = Median(runs[1][size][QString::fromLatin1(name)]);
            std::printf("  %9.1f  %9.1f  %8.3f", ours, ref, ref > 0 ? ours / ref : 0);
        }
        std::printf("\n");
    }
    for (int way = 0; way < ways; ++way)
        for (int size = 0; size < 2; ++size)
            for (double same : runs[way][size][QStringLiteral("same")])
                if (same == 0) std::printf("  %s %s: TEXT DIFFERS after an edit, undo or redo\n", way ? "reference" : "ours", size ? "2N" : "N");
    std::printf("(handover: the open's longest stall, the slices taking about 20 ms; resizestall: the window made wider after the open; key: one key typed at a line's start and "
                "painted, median and longest of 15 (3 on one line); undoopen/redoopen: undoing and redoing the open by Ctrl+Z and Ctrl+Y until "
                "the editor shows the text; undokey: undoing the last key)\n");
    return 0;
}

int HistoryOne(const QString& path, int keys)
{
    TFMain_mul frame;
    frame.resize(1100, 800);
    ScriptedFileChooser chooser;
    SqlScriptLoader::SlicedFrom = qsizetype(1) << 20;
    const EditFigures f = Edit(frame, chooser, path, keys);
    std::printf("FIGURES");
    const std::vector<double> values = Values(f);
    for (std::size_t i = 0; i < values.size(); ++i) std::printf(" %s=%.3f", EditNames[i], values[i]);
    std::printf(" same=%d\n", f.Same ? 1 : 0);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    // Under a display when one is given (xvfb-run with QT_QPA_PLATFORM=xcb), offscreen otherwise.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    LoadKeywordFiles(TARNVALE_KEYWORD_DIR);
    CreateKeywordTables();
    Settings::WordsAnalyze = true;
    const QByteArray mode = argc > 1 ? QByteArray(argv[1]) : QByteArray();
    if (mode == "history" || mode == "history-line" || mode == "history-one") {
        const int result = mode != "history-one" ? History(argc, argv, QCoreApplication::applicationFilePath())
                                                 : HistoryOne(QString::fromLocal8Bit(argc > 2 ? argv[2] : ""), argc > 3 ? std::atoi(argv[3]) : 15);
        FreeKeywordTables();
        ClearKeywordLists();
        return result;
    }
    const int lines = argc > 1 ? std::atoi(argv[1]) : 121014;
    const qsizetype lineBytes = argc > 2 ? std::atoll(argv[2]) : 2'500'000;

    QTemporaryDir dir;
    TFMain_mul frame;
    frame.resize(1100, 800);
    ScriptedFileChooser chooser;

    struct Input {
        const char* What;
        QByteArray Bytes;
    };
    const Input many[] = {{"lines", Lines(lines)}, {"lines", Lines(2 * lines)}};
    const Input one[] = {{"one line", BenchOneLine(lineBytes)}, {"one line", BenchOneLine(2 * lineBytes)}};
    int n = 0;
    auto write = [&](const QByteArray& bytes) {
        const QString path = dir.filePath(QStringLiteral("s%1.sql").arg(++n));
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return path;
    };
    const QString manyPaths[] = {write(many[0].Bytes), write(many[1].Bytes)};
    const QString onePaths[] = {write(one[0].Bytes), write(one[1].Bytes)};

    std::printf("script open: N = %d lines (%.1f MB), 2N = %d lines (%.1f MB); one line N = %.1f MB, 2N = %.1f MB\n", lines,
                many[0].Bytes.size() / 1e6, 2 * lines, many[1].Bytes.size() / 1e6, one[0].Bytes.size() / 1e6,
                one[1].Bytes.size() / 1e6);
    // [before, after][many lines, one line][N, 2N], the runs of both ways interleaved.
    Figures f[2][2][2];
    for (int size = 0; size < 2; ++size)
        for (int way = 0; way < 2; ++way) {
            f[way][0][size] = Open(frame, chooser, manyPaths[size], way == 1, 1500);
            f[way][1][size] = Open(frame, chooser, onePaths[size], way == 1, 3000);
        }
    for (int way = 0; way < 2; ++way) {
        std::printf("%s:\n", way ? "after (in slices, long lines wrapped)" : "before (at once)");
        Print("many lines", f[way][0][0], f[way][0][1]);
        Print("one line", f[way][1][0], f[way][1][1]);
    }
    std::printf("after/before:\n");
    for (int what = 0; what < 2; ++what)
        for (int size = 0; size < 2; ++size) {
            const Figures& b = f[0][what][size];
            const Figures& a = f[1][what][size];
            std::printf("  %-10s %-2s open %.2f  longest stall %.3f  idle stall %.3f\n", what ? "one line" : "many lines",
                        size ? "2N" : "N", a.Open / b.Open, a.OpenStall / std::max(b.OpenStall, 1.0),
                        a.IdleStall / std::max(b.IdleStall, 1.0));
        }
    std::printf("(a line wider than %d px overflows the text engine's fixed-point positions)\n", (1 << 25));

    FreeKeywordTables();
    ClearKeywordLists();
    return 0;
}
